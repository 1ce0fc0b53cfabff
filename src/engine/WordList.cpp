#include "engine/WordList.h"

#include <algorithm>
#include <memory>
#include <unordered_map>

#include "engine/NGrams.h"
#include "platform/Progress.h"

namespace quenterra {

namespace {

constexpr int32_t kProgressPositions = 4 * 1024 * 1024;  // above which a progress window shows
constexpr int32_t kPollPositions = 1024 * 1024;          // between two looks at the cancel state

std::string_view TokenText(const TTextIndex& index, int32_t id) {
  if (id < 0) return {};
  const TIndexToken& token = index.GetToken(static_cast<uint32_t>(id));
  return {token.text, token.length};
}

}  // namespace

TWordListSettings TWordListSettings::FromSettings(const TRunSettings& run, const TTextIndex& index,
                                                  bool useTags) {
  const ZuzadovUdirev& config = run.config;
  TWordListSettings settings;
  settings.useTags = useTags && config.WordTag != 0;
  settings.minFreq = std::max(config.Min_Word_Freq, 1);
  settings.kinds = RunKinds(config);
  settings.tagBefore = config.WordTag == 2 && config.wTagBefore;
  if (config.UseStoplist) {
    settings.stopIds = run.stopList.BuildIdList(index, settings.kinds, run.tables);
  }
  return settings;
}

TWordList::TWordList(TTextIndex& index, const TLangTables& tables,
                     const TWordListSettings& settings)
    : index_(index),
      tables_(tables),
      tagged_(settings.useTags),
      corpusWords_(index.GetStats(settings.kinds).frequency),
      fileCount_(index.FileCount()) {
  CountFiles(settings);
  Finish(settings);
  Sort(TWordListSortKey::kFrequency);
}

// One pass over every file's positions: each counted token (with its tag) adds to its entry,
// and to the entry's range the first time in a file.
void TWordList::CountFiles(const TWordListSettings& settings) {
  // The entry of each type: by token id without tags, else by (word, tag).
  std::vector<int32_t> byWord(tagged_ ? 0 : index_.TokenCount(), -1);
  std::unordered_map<uint64_t, uint32_t> byPair;
  std::vector<int32_t> lastFile;  // by entry
  auto entry = [&](uint32_t id, int32_t tag) -> uint32_t {
    if (!tagged_) {
      int32_t& slot = byWord[id];
      if (slot < 0) {
        slot = static_cast<int32_t>(entries_.size());
        entries_.push_back({static_cast<int32_t>(id), -1, 0, 0});
        lastFile.push_back(-1);
      }
      return static_cast<uint32_t>(slot);
    }
    const uint64_t key = uint64_t{id} << 32 | static_cast<uint32_t>(tag);
    auto [found, added] = byPair.try_emplace(key, static_cast<uint32_t>(entries_.size()));
    if (added) {
      entries_.push_back({static_cast<int32_t>(id), tag, 0, 0});
      lastFile.push_back(-1);
    }
    return found->second;
  };
  std::unique_ptr<TProgress> progress;
  if (index_.SequenceCount() > kProgressPositions) {
    progress = ShowProgress(TProgressKind::kCancel, kCountingWordsCaption);
    progress->SetMax(index_.SequenceCount());
  }
  std::vector<uint8_t> kinds(index_.TokenCount());
  for (uint32_t id = 0; id < index_.TokenCount(); ++id) kinds[id] = index_.GetToken(id).kind;
  auto counted = [&](uint32_t id) {
    return id < kinds.size() && kinds[id] < 8 && (settings.kinds & KindBit(kinds[id])) != 0;
  };
  for (int32_t file = 0; file < fileCount_; ++file) {
    const auto [begin, end] = index_.GetFileRange(file);
    for (int32_t p = begin; p < end; ++p) {
      if (progress && p % kPollPositions == 0) {
        progress->SetPosition(p);
        progress->ProcessMessages();
        if ((cancelled_ = progress->CancelState() != TCancelState::kRunning)) return;
      }
      const uint32_t id = index_.TokenAt(p);
      if (!counted(id)) continue;
      int32_t tag = -1;
      if (tagged_) {
        const int32_t side = settings.tagBefore ? p - 1 : p + 1;
        if (side >= begin && side < end && kinds[index_.TokenAt(side)] == kKindWordTag) {
          tag = static_cast<int32_t>(index_.TokenAt(side));
        }
      }
      const uint32_t e = entry(id, tag);
      ++entries_[e].frequency;
      if (lastFile[e] != file) {
        lastFile[e] = file;
        ++entries_[e].range;
      }
    }
  }
}

void TWordList::Finish(const TWordListSettings& settings) {
  std::erase_if(entries_, [&](const TWordEntry& entry) {
    int at = 0;
    return entry.frequency < settings.minFreq ||
           (settings.stopIds.Count() > 0 &&
            settings.stopIds.Find(static_cast<uint32_t>(entry.word), at));
  });
}

double TWordList::PerMillion(int i) const {
  if (corpusWords_ == 0) return 0;
  return static_cast<double>(Item(i).frequency) * 1e6 / static_cast<double>(corpusWords_);
}

void TWordList::Sort(TWordListSortKey key) {
  auto text = [&](const TWordEntry& entry) {
    return std::pair(TokenText(index_, entry.word), TokenText(index_, entry.tag));
  };
  std::sort(entries_.begin(), entries_.end(), [&](const TWordEntry& a, const TWordEntry& b) {
    if (key == TWordListSortKey::kAlpha) return text(a) < text(b);
    if (key == TWordListSortKey::kRange && a.range != b.range) return a.range > b.range;
    if (a.frequency != b.frequency) return a.frequency > b.frequency;
    return text(a) < text(b);
  });
}

std::string TWordList::WordText(int i) const {
  return std::string(TokenText(index_, Item(i).word));
}

std::string TWordList::TagText(int i) const { return std::string(TokenText(index_, Item(i).tag)); }

}  // namespace quenterra
