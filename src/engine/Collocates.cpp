#include "engine/Collocates.h"

#include <algorithm>
#include <cmath>
#include <unordered_map>

#include "engine/NGrams.h"

namespace quenterra {

namespace {

std::string_view TokenText(const TTextIndex& index, int32_t id) {
  if (id < 0) return {};
  const TIndexToken& token = index.GetToken(static_cast<uint32_t>(id));
  return {token.text, token.length};
}

uint64_t Key(int32_t word, int32_t tag) {
  return static_cast<uint64_t>(static_cast<uint32_t>(word)) << 32 | static_cast<uint32_t>(tag);
}

// Descending, undefined scores last: -1 when a ranks first.
int CompareDescending(double a, double b) {
  const bool nanA = std::isnan(a), nanB = std::isnan(b);
  if (nanA || nanB) return nanA == nanB ? 0 : (nanA ? 1 : -1);
  return a > b ? -1 : (a < b ? 1 : 0);
}

}  // namespace

TCollocateSettings TCollocateSettings::FromSettings(const TRunSettings& run,
                                                    const TTextIndex& index) {
  TCollocateSettings settings;
  settings.minCooccurrence = std::max(run.config.Min_Word_Freq, 1);
  if (run.config.UseStoplist) {
    settings.stopIds = run.stopList.BuildIdList(index, RunKinds(run.config), run.tables);
  }
  return settings;
}

bool TCollocateSortKey::Parse(const std::string& name, TCollocateSortKey& key) {
  key = {};
  if (name == "freq") return true;
  if (name == "alpha") {
    key.kind = TCollocateSortKind::kAlpha;
    return true;
  }
  for (int s = 0; s < kCollocateScoreCount; ++s) {
    if (name != CollocateScoreName(static_cast<TCollocateScore>(s))) continue;
    key.kind = TCollocateSortKind::kScore;
    key.score = static_cast<TCollocateScore>(s);
    return true;
  }
  if (name.size() < 2 || (name[0] != 'L' && name[0] != 'R')) return false;
  const std::string digits = name.substr(1);
  if (digits.find_first_not_of("0123456789") != std::string::npos || digits.size() > 2 ||
      digits[0] == '0') {
    return false;
  }
  key.distance = std::stoi(digits);
  key.kind = name[0] == 'L' ? TCollocateSortKind::kLeft : TCollocateSortKind::kRight;
  return key.distance <= kMaxCollocateWindow;
}

TCollocateList::TCollocateList(TConcordance& nodes, const TCollocateSettings& settings,
                               int64_t corpusWords)
    : index_(nodes.Index()),
      tables_(nodes.Tables()),
      left_(std::clamp(settings.left, 0, kMaxCollocateWindow)),
      right_(std::clamp(settings.right, 0, kMaxCollocateWindow)),
      tagged_(settings.useTags),
      nodeFrequency_(nodes.Count()),
      corpusWords_(corpusWords) {
  CountAround(nodes, settings);
  Finish(settings);
  Sort({});
}

void TCollocateList::CountAround(TConcordance& nodes, const TCollocateSettings& settings) {
  // The item of each collocate: by token id without tags, else by (word, tag).
  std::vector<int32_t> byWord(tagged_ ? 0 : index_.TokenCount(), -1);
  std::unordered_map<uint64_t, uint32_t> byPair;
  const bool tagBefore = nodes.Settings().tagBefore;
  auto item = [&](int32_t id, int32_t position) -> TCollocate& {
    if (!tagged_) {
      int32_t& slot = byWord[static_cast<size_t>(id)];
      if (slot < 0) {
        slot = static_cast<int32_t>(items_.size());
        items_.push_back(TCollocate{id, -1});
      }
      return items_[static_cast<size_t>(slot)];
    }
    const int32_t tag = TagOf(index_, position, index_.FileOf(position), tagBefore);
    auto [entry, added] = byPair.try_emplace(Key(id, tag), static_cast<uint32_t>(items_.size()));
    if (added) items_.push_back(TCollocate{id, tag});
    return items_[entry->second];
  };
  auto count = [&](int32_t position, size_t slot) {
    const auto id = static_cast<int32_t>(index_.TokenAt(position));
    int at = 0;
    if (settings.stopIds.Count() > 0 && settings.stopIds.Find(static_cast<uint32_t>(id), at)) {
      return;
    }
    TCollocate& collocate = item(id, position);
    ++collocate.at[slot];
    ++collocate.total;
  };
  for (int i = 0; i < nodes.Count(); ++i) {
    const std::vector<int32_t> before = nodes.ContextPositions(i, true, left_);
    for (size_t d = 0; d < before.size(); ++d) count(before[d], d);
    const std::vector<int32_t> after = nodes.ContextPositions(i, false, right_);
    for (size_t d = 0; d < after.size(); ++d) count(after[d], kMaxCollocateWindow + d);
  }
}

void TCollocateList::Finish(const TCollocateSettings& settings) {
  TCollocateCounts counts;
  counts.nodeFrequency = static_cast<double>(nodeFrequency_);
  counts.corpusWords = static_cast<double>(corpusWords_);
  counts.windowSize = left_ + right_;
  std::vector<TCollocate> kept;
  for (TCollocate& item : items_) {
    item.frequency = tagged_ ? index_.PairFreq(item.word, item.tag)
                             : index_.GetToken(static_cast<uint32_t>(item.word)).frequency;
    if (item.total < settings.minCooccurrence || item.frequency < settings.minCollocateFreq) {
      continue;
    }
    counts.observed = item.total;
    counts.collocateFreq = static_cast<double>(item.frequency);
    for (int s = 0; s < kCollocateScoreCount; ++s) {
      item.scores[static_cast<size_t>(s)] = CollocateScore(static_cast<TCollocateScore>(s), counts);
    }
    kept.push_back(item);
  }
  items_ = std::move(kept);
}

void TCollocateList::Sort(const TCollocateSortKey& key) {
  auto text = [&](const TCollocate& item) {
    return std::pair(TokenText(index_, item.word), TokenText(index_, item.tag));
  };
  auto first = [&](const TCollocate& a, const TCollocate& b) -> int {
    switch (key.kind) {
      case TCollocateSortKind::kTotal:
        return b.total - a.total;
      case TCollocateSortKind::kAlpha:
        return 0;
      case TCollocateSortKind::kScore:
        return CompareDescending(a.Score(key.score), b.Score(key.score));
      case TCollocateSortKind::kLeft:
        return b.Left(key.distance) - a.Left(key.distance);
      case TCollocateSortKind::kRight:
        return b.Right(key.distance) - a.Right(key.distance);
    }
    return 0;
  };
  std::sort(items_.begin(), items_.end(), [&](const TCollocate& a, const TCollocate& b) {
    if (const int c = first(a, b); c != 0) return c < 0;
    if (key.kind != TCollocateSortKind::kAlpha && a.total != b.total) return a.total > b.total;
    return text(a) < text(b);
  });
}

std::string TCollocateList::WordText(int i) const {
  return std::string(TokenText(index_, Item(i).word));
}

std::string TCollocateList::TagText(int i) const {
  return std::string(TokenText(index_, Item(i).tag));
}

}  // namespace quenterra
