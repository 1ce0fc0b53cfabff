#include "engine/Concordance.h"

#include <algorithm>
#include <memory>
#include <numeric>
#include <string_view>

#include "engine/NGrams.h"
#include "engine/collocExtractRun.h"
#include "platform/Progress.h"

namespace quenterra {

namespace {

constexpr int64_t kProgressWork = 100000;  // occurrences above which a progress window shows
constexpr int kPollEvery = 512;            // occurrences between two looks at the cancel state

std::string_view TokenText(const TTextIndex& index, int32_t id) {
  const TIndexToken& token = index.GetToken(static_cast<uint32_t>(id));
  return {token.text, token.length};
}

// The place (in `count` places from place 0) where the line's last term is satisfied when the
// line starts at place 0, or -1. test(term, place) tests one term at one place.
template <typename Test>
int EndPlace(TOrderMode order, int terms, int count, Test&& test) {
  if (order == TOrderMode::kAdjacent) {
    if (count < terms) return -1;
    for (int t = 0; t < terms; ++t) {
      if (!test(t, t)) return -1;
    }
    return terms - 1;
  }
  if (order == TOrderMode::kSubsequent) {
    int found = 0;
    for (int place = 0; place < count && found < terms; ++place) {
      if (test(found, place)) {
        if (++found == terms) return place;
      } else if (place == 0) {
        return -1;
      }
    }
    return -1;
  }
  // Unordered: each term is marked at the first place that satisfies it; place 0 must mark one.
  std::vector<char> marked(static_cast<size_t>(terms), 0);
  int left = terms;
  for (int place = 0; place < count; ++place) {
    for (int t = 0; t < terms; ++t) {
      if (marked[static_cast<size_t>(t)] == 0 && test(t, place)) {
        marked[static_cast<size_t>(t)] = 1;
        --left;
      }
    }
    if (left == terms) return -1;  // place 0 satisfied no term
    if (left == 0) return place;
  }
  return -1;
}

// Cuts text to its first (or last) `count` characters.
std::string KeepChars(const std::string& text, size_t count, bool last, const TCharCoding& coding) {
  const size_t length = coding.Length(text);
  if (length <= count) return text;
  size_t skip = last ? length - count : count;
  size_t pos = 0;
  for (size_t i = 0; i < skip; ++i) coding.Next(text, pos);
  return last ? text.substr(pos) : text.substr(0, pos);
}

}  // namespace

// The term tests of one pattern line and the places around the occurrence being looked at.
class TConcordance::TMatcher {
 public:
  TMatcher(const TTextIndex& index, const TExtractRecord& record)
      : record_(record), tests_(index, record) {}

  const TExtractRecord& Record() const { return record_; }
  bool WithTags() const { return record_.Kind() == TSearchKind::kWordTag; }
  // Whether the word at place `at` satisfies the term.
  bool Matches(int term, size_t at) {
    return tests_.Matches(term, words[at], WithTags() ? tags[at] : -1);
  }

  // The places around the current occurrence, left to right.
  std::vector<int32_t> positions, words, tags;

 private:
  const TExtractRecord& record_;
  TLineMatcher tests_;
};

TConcordanceSettings TConcordanceSettings::FromSettings(const ZuzadovUdirev& config) {
  TConcordanceSettings settings;
  settings.span = std::clamp(config.SpanRange, 2, 12);
  settings.kinds = RunKinds(config);
  settings.tagBefore = config.WordTag == 2 && config.wTagBefore;
  return settings;
}

bool TConcordanceSortKey::Parse(const std::string& name, TConcordanceSortKey& key) {
  if (name == "position" || name == "node") {
    key = {name == "node" ? TConcordanceSortKind::kNode : TConcordanceSortKind::kPosition, 0};
    return true;
  }
  if (name.size() != 2 || (name[0] != 'L' && name[0] != 'R')) return false;
  if (name[1] < '1' || name[1] > '0' + kMaxSortDistance) return false;
  key = {name[0] == 'L' ? TConcordanceSortKind::kLeft : TConcordanceSortKind::kRight,
         name[1] - '0'};
  return true;
}

std::string TConcordanceSortKey::Name() const {
  switch (kind) {
    case TConcordanceSortKind::kPosition:
      return "position";
    case TConcordanceSortKind::kNode:
      return "node";
    case TConcordanceSortKind::kLeft:
      return "L" + std::to_string(distance);
    case TConcordanceSortKind::kRight:
      return "R" + std::to_string(distance);
  }
  return "";
}

TConcordance::TConcordance(TTextIndex& index, const TLangTables& tables,
                           const ZuzadovUdirev& config, TConcordanceSettings settings)
    : index_(index), tables_(tables), settings_(settings), wordTagStyle_(config.WordTag) {
  tables.Coding().Append(tagDelimiter_, config.wTagDelimiter);
  if (!config.wTagStarts.empty()) tagStart_ = config.wTagStarts.front();
  tables.Coding().Append(tagStop_, config.wTagStop);
  counted_.resize(index.TokenCount());
  for (uint32_t id = 0; id < index.TokenCount(); ++id) {
    const uint8_t kind = index.GetToken(id).kind;
    counted_[id] = kind < 8 && (settings_.kinds & KindBit(kind)) != 0;
  }
}

bool TConcordance::Search(const TExtractRecords& records) {
  bool complete = true;
  for (int r = 0; r < records.RecordCount() && complete; ++r) {
    complete = SearchRecord(records.Record(r));
  }
  Deduplicate();
  return complete;
}

bool TConcordance::SearchRecord(const TExtractRecord& record) {
  const int terms = record.TermCount();
  if (terms == 0 || (record.Order() != TOrderMode::kAdjacent && terms > settings_.span)) {
    return true;
  }
  int rarest = 0;
  int64_t rarestFreq = 0;
  for (int t = 0; t < terms; ++t) {
    const int64_t freq = index_.PatternFreq(record.Term(t).WordQuery(), settings_.kinds);
    if (t == 0 || freq < rarestFreq) rarest = t, rarestFreq = freq;
  }
  if (rarestFreq == 0) return true;
  TDWordsList occurrences =
      index_.PatternPositions(record.Term(rarest).WordQuery(), settings_.kinds);
  TMatcher matcher(index_, record);
  lastStart_ = -1;
  const int count = occurrences.Count();
  std::unique_ptr<TProgress> progress;
  if (count > kProgressWork) {
    progress = ShowProgress(TProgressKind::kCancel, kSearchingCaption);
    progress->SetLabel(record.Text());
    progress->SetMax(count - 1);
  }
  for (int i = 0; i < count; ++i) {
    if (progress && i % kPollEvery == 0) {
      progress->SetPosition(i);
      progress->ProcessMessages();
      if (progress->CancelState() != TCancelState::kRunning) return false;
    }
    AddOccurrence(matcher, static_cast<int32_t>(occurrences.Items()[i]), rarest);
  }
  return true;
}

// The counted places that can share a node with the occurrence: for a phrase, those its other
// terms must take; else SpanRange - 1 each side.
void TConcordance::AddOccurrence(TMatcher& matcher, int32_t position, int rarest) {
  const TExtractRecord& record = matcher.Record();
  const int terms = record.TermCount();
  const bool adjacent = record.Order() == TOrderMode::kAdjacent;
  const int left = adjacent ? rarest : settings_.span - 1;
  const int right = adjacent ? terms - 1 - rarest : settings_.span - 1;
  const int nodePlace = Gather(matcher, position, left, right);
  const int window = adjacent ? terms : settings_.span;
  const int firstStart = adjacent ? nodePlace - rarest : 0;
  if (firstStart < 0) return;
  auto test = [&](size_t start) {
    return [&matcher, start](int term, int place) {
      return matcher.Matches(term, start + static_cast<size_t>(place));
    };
  };
  for (int s = firstStart; s <= nodePlace; ++s) {
    const auto start = static_cast<size_t>(s);
    if (matcher.positions[start] <= lastStart_) continue;  // tried for an earlier occurrence
    lastStart_ = matcher.positions[start];
    const int count = std::min(window, static_cast<int>(matcher.positions.size()) - s);
    const int end = EndPlace(record.Order(), terms, count, test(start));
    if (end < 0) continue;
    const int32_t first = matcher.positions[start];
    lines_.push_back({index_.FileOf(first), first, matcher.positions[start + end]});
    if (adjacent) return;
  }
}

// Fills the matcher's places with up to `left` counted positions before the node, the node and
// up to `right` after it, inside its file. Returns the node's place.
int TConcordance::Gather(TMatcher& matcher, int32_t node, int left, int right) {
  const int32_t file = index_.FileOf(node);
  const TRange range = index_.GetFileRange(file);
  std::vector<int32_t> before = Neighbours(node, true, left, range);
  std::vector<int32_t> after = Neighbours(node, false, right, range);
  matcher.positions.assign(before.rbegin(), before.rend());
  matcher.positions.push_back(node);
  matcher.positions.insert(matcher.positions.end(), after.begin(), after.end());
  matcher.words.clear();
  matcher.tags.clear();
  for (int32_t p : matcher.positions) {
    matcher.words.push_back(static_cast<int32_t>(index_.TokenAt(p)));
    if (matcher.WithTags()) matcher.tags.push_back(TagOf(index_, p, file, settings_.tagBefore));
  }
  return static_cast<int>(before.size());
}

int32_t TConcordance::Step(int32_t at, bool left, const TRange& range) {
  for (at += left ? -1 : 1; at >= range.first && at < range.second; at += left ? -1 : 1) {
    if (counted_[index_.TokenAt(at)] != 0) return at;
  }
  return -1;
}

std::vector<int32_t> TConcordance::Neighbours(int32_t from, bool left, int count,
                                              const TRange& range) {
  std::vector<int32_t> found;
  for (int32_t at = from; static_cast<int>(found.size()) < count;) {
    at = Step(at, left, range);
    if (at < 0) break;
    found.push_back(at);
  }
  return found;
}

void TConcordance::Deduplicate() {
  auto key = [](const TConcordanceLine& line) { return std::pair(line.first, line.last); };
  std::sort(lines_.begin(), lines_.end(),
            [&](const auto& a, const auto& b) { return key(a) < key(b); });
  lines_.erase(std::unique(lines_.begin(), lines_.end(),
                           [&](const auto& a, const auto& b) { return key(a) == key(b); }),
               lines_.end());
}

std::vector<int32_t> TConcordance::ContextPositions(int i, bool left, int count) {
  const TConcordanceLine& line = Line(i);
  return Neighbours(left ? line.first : line.last, left, count, index_.GetFileRange(line.file));
}

int32_t TConcordance::ContextWord(int i, bool left, int distance) {
  std::vector<int32_t> found = ContextPositions(i, left, distance);
  if (static_cast<int>(found.size()) < distance) return -1;
  return static_cast<int32_t>(index_.TokenAt(found.back()));
}

void TConcordance::Sort(const std::vector<TConcordanceSortKey>& keys) {
  // The text of every line under every key, taken once.
  std::vector<std::vector<std::string>> texts(keys.size());
  const TConcordanceView plain{0, TContextUnit::kWords, false};
  for (size_t k = 0; k < keys.size(); ++k) {
    const TConcordanceSortKey& key = keys[k];
    if (key.kind == TConcordanceSortKind::kPosition) continue;
    for (int i = 0; i < Count(); ++i) {
      if (key.kind == TConcordanceSortKind::kNode) {
        texts[k].push_back(NodeText(i, plain));
      } else {
        const int32_t id = ContextWord(i, key.kind == TConcordanceSortKind::kLeft, key.distance);
        texts[k].emplace_back(id < 0 ? std::string_view() : TokenText(index_, id));
      }
    }
  }
  std::vector<size_t> order(lines_.size());
  std::iota(order.begin(), order.end(), size_t{0});
  auto before = [&](size_t a, size_t b) {
    for (size_t k = 0; k < keys.size(); ++k) {
      if (keys[k].kind == TConcordanceSortKind::kPosition) break;
      if (const int c = texts[k][a].compare(texts[k][b]); c != 0) return c < 0;
    }
    return lines_[a].first < lines_[b].first ||
           (lines_[a].first == lines_[b].first && lines_[a].last < lines_[b].last);
  };
  std::sort(order.begin(), order.end(), before);
  std::vector<TConcordanceLine> sorted;
  sorted.reserve(order.size());
  for (size_t i : order) sorted.push_back(lines_[i]);
  lines_ = std::move(sorted);
}

void TConcordance::AppendWord(std::string& out, int32_t position, int32_t file,
                              const TConcordanceView& view) {
  const std::string_view word = TokenText(index_, static_cast<int32_t>(index_.TokenAt(position)));
  const int32_t tag =
      view.showTags && wordTagStyle_ != 0 ? TagOf(index_, position, file, settings_.tagBefore) : -1;
  if (tag < 0) {
    out += word;
  } else if (wordTagStyle_ == 1) {
    ((out += word) += tagDelimiter_) += TokenText(index_, tag);
  } else if (settings_.tagBefore) {
    (((out += tagStart_) += TokenText(index_, tag)) += tagStop_) += word;
  } else {
    (((out += word) += tagStart_) += TokenText(index_, tag)) += tagStop_;
  }
}

std::string TConcordance::Join(const std::vector<int32_t>& positions, int32_t file,
                               const TConcordanceView& view) {
  std::string text;
  for (int32_t position : positions) {
    if (!text.empty()) text += ' ';
    AppendWord(text, position, file, view);
  }
  return text;
}

std::string TConcordance::ContextText(int i, bool left, const TConcordanceView& view) {
  const TConcordanceLine& line = Line(i);
  const TRange range = index_.GetFileRange(line.file);
  const auto wanted = static_cast<size_t>(std::max(view.context, 0));
  std::vector<int32_t> positions;
  if (view.unit == TContextUnit::kWords) {
    positions = Neighbours(left ? line.first : line.last, left, view.context, range);
  } else {
    // Words until their characters (and the spaces before them) reach the number asked for.
    const TCharCoding& coding = tables_.Coding();
    size_t length = 0;
    for (int32_t at = left ? line.first : line.last; length < wanted;) {
      if ((at = Step(at, left, range)) < 0) break;
      std::string word;
      AppendWord(word, at, line.file, view);
      length += coding.Length(word) + 1;
      positions.push_back(at);
    }
  }
  if (left) std::reverse(positions.begin(), positions.end());
  const std::string text = Join(positions, line.file, view);
  if (view.unit == TContextUnit::kWords) return text;
  return KeepChars(text, wanted, left, tables_.Coding());
}

std::string TConcordance::LeftText(int i, const TConcordanceView& view) {
  return ContextText(i, true, view);
}

std::string TConcordance::RightText(int i, const TConcordanceView& view) {
  return ContextText(i, false, view);
}

std::string TConcordance::NodeText(int i, const TConcordanceView& view) {
  const TConcordanceLine& line = Line(i);
  const TRange range = index_.GetFileRange(line.file);
  std::vector<int32_t> positions{line.first};
  while (positions.back() < line.last) {
    const int32_t at = Step(positions.back(), false, range);
    if (at < 0) break;
    positions.push_back(at);
  }
  return Join(positions, line.file, view);
}

}  // namespace quenterra
