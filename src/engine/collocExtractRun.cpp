// The window scan of one pattern line: from each occurrence of the rarest term, the windows that
// can hold the line with that occurrence in place, each window start examined once per line.
#include "engine/collocExtractRun.h"

#include <algorithm>
#include <memory>

#include "engine/collocExtract.h"
#include "engine/collocList.h"

namespace quenterra {

namespace {

constexpr int64_t kProgressWork = 10000;  // occurrences x span above which a window shows
constexpr int kPollEvery = 512;           // occurrences between two looks at the cancel state

// The term that drives the run and where its occurrences come from.
struct TRarestTerm {
  int term = 0;
  int64_t value = 0;   // its estimated frequency
  bool byTag = false;  // its tag is rarer than its word: occurrences are tag positions
};

// The estimate of each term: the frequency of the tokens its word part matches, or in Word/Tag
// lines that of the tags its tag part matches when smaller. A tag part that a word without tag
// satisfies bounds nothing (untagged words are in no tag count) and is not used.
TRarestTerm FindRarestTerm(TTextIndex& index, const TExtractRecord& record, TKindSet kinds) {
  TRarestTerm rarest;
  for (int i = 0; i < record.TermCount(); ++i) {
    const TExtractTerm& term = record.Term(i);
    TRarestTerm estimate{i, index.PatternFreq(term.WordQuery(), kinds), false};
    if (record.Kind() == TSearchKind::kWordTag && !term.MatchesUntagged()) {
      int64_t tagFreq = 0;
      for (const std::string& pattern : term.TagPatterns()) {
        tagFreq +=
            index.PatternFreq(TTokenPattern(pattern, term.Encoding()), KindBit(kKindWordTag));
      }
      if (tagFreq < estimate.value) estimate = {i, tagFreq, true};
    }
    if (i == 0 || estimate.value < rarest.value) rarest = estimate;
  }
  return rarest;
}

TDWordsList Occurrences(TTextIndex& index, const TExtractTerm& term, const TRarestTerm& rarest,
                        TKindSet kinds) {
  if (rarest.byTag) {
    return index.PatternListPositions(term.TagPatterns(), KindBit(kKindWordTag), term.Encoding());
  }
  return index.PatternPositions(term.WordQuery(), kinds);
}

// Examines the windows around the occurrences of one line's rarest term and counts those that
// satisfy the line.
class TWindowScan {
 public:
  TWindowScan(TTextIndex& index, const TExtractRecord& record, const TExtractSettings& settings,
              TCollocationList& list, int rarest)
      : index_(index),
        record_(record),
        settings_(settings),
        list_(list),
        matcher_(index, record),
        span_(settings.span),
        terms_(record.TermCount()),
        withTags_(record.Kind() == TSearchKind::kWordTag),
        tokenState_(index.TokenCount(), 0) {
    bool unordered = record.Order() == TOrderMode::kUnordered;
    left_ = unordered ? span_ - 1 : span_ - terms_ + rarest;
    lowest_ = unordered ? 0 : rarest;
  }

  // One occurrence, in ascending position order; byTag when it is the position of a word tag.
  void Occurrence(int32_t position, bool byTag);

 private:
  static constexpr uint8_t kKnown = 1, kCounted = 2, kExcluded = 4;

  uint8_t State(uint32_t id);
  bool Counted(int32_t position) { return (State(index_.TokenAt(position)) & kCounted) != 0; }
  int32_t WordOfTag(int32_t position);
  void AddPlace(int32_t position);
  int Gather(int32_t node);
  void Examine(size_t start);
  // The token test of a window's places.
  auto PlaceTest(const int32_t* words, const int32_t* tags) {
    return [this, words, tags](int term, int place) {
      return matcher_.Matches(term, words[place], tags != nullptr ? tags[place] : -1);
    };
  }

  TTextIndex& index_;
  const TExtractRecord& record_;
  const TExtractSettings& settings_;
  TCollocationList& list_;
  TLineMatcher matcher_;
  int span_;                             // S
  int terms_;                            // T
  bool withTags_;                        // a Word/Tag line: windows carry tags
  int left_ = 0;                         // L: counted positions to look left of an occurrence
  int lowest_ = 0;                       // B: the fewest counted positions left of it in a window
  int32_t lastStart_ = -1;               // the last window start examined
  int32_t fileBegin_ = 0, fileEnd_ = 0;  // the current occurrence's file
  std::vector<uint8_t> tokenState_;      // by token id: kKnown | kCounted | kExcluded
  // The counted places around the current occurrence, left to right.
  std::vector<int32_t> positions_, words_, tags_;
  std::vector<uint8_t> excluded_;
  std::vector<int32_t> before_;  // the left places, nearest first
};

uint8_t TWindowScan::State(uint32_t id) {
  uint8_t& state = tokenState_[id];
  if (state != 0) return state;
  const TIndexToken& token = index_.GetToken(id);
  state = kKnown;
  if (token.kind < 8 && (settings_.kinds & KindBit(token.kind)) != 0) state |= kCounted;
  int at = 0;
  if (static_cast<int64_t>(token.frequency) < settings_.minWordFreq ||
      (settings_.stopIds.Count() > 0 && settings_.stopIds.Find(id, at))) {
    state |= kExcluded;
  }
  return state;
}

// From a tag towards its word (after it when tags come first), over what is not counted; -1 when
// the file ends first.
int32_t TWindowScan::WordOfTag(int32_t position) {
  int step = settings_.tagBefore ? 1 : -1;
  for (int32_t at = position + step; at >= fileBegin_ && at < fileEnd_; at += step) {
    if (Counted(at)) return at;
  }
  return -1;
}

void TWindowScan::AddPlace(int32_t position) {
  uint32_t id = index_.TokenAt(position);
  positions_.push_back(position);
  words_.push_back(static_cast<int32_t>(id));
  excluded_.push_back((State(id) & kExcluded) != 0);
  if (!withTags_) return;
  int32_t side = settings_.tagBefore ? position - 1 : position + 1;
  int32_t tag = -1;
  if (side >= fileBegin_ && side < fileEnd_) {
    uint32_t tagId = index_.TokenAt(side);
    if (index_.GetToken(tagId).kind == kKindWordTag) tag = static_cast<int32_t>(tagId);
  }
  tags_.push_back(tag);
}

// Up to L counted places left of the node and S - 1 - B right of it, inside its file: every
// window the node admits lies within them. Returns the node's place: the number of places left
// of it.
int TWindowScan::Gather(int32_t node) {
  positions_.clear();
  words_.clear();
  tags_.clear();
  excluded_.clear();
  before_.clear();
  for (int32_t at = node - 1; at >= fileBegin_ && static_cast<int>(before_.size()) < left_; --at) {
    if (Counted(at)) before_.push_back(at);
  }
  for (auto at = before_.rbegin(); at != before_.rend(); ++at) AddPlace(*at);
  AddPlace(node);
  int right = 0;
  for (int32_t at = node + 1; at < fileEnd_ && right < span_ - 1 - lowest_; ++at) {
    if (Counted(at)) {
      AddPlace(at);
      ++right;
    }
  }
  return static_cast<int>(before_.size());
}

void TWindowScan::Occurrence(int32_t position, bool byTag) {
  auto range = index_.GetFileRange(index_.FileOf(position));
  fileBegin_ = range.first;
  fileEnd_ = range.second;
  int32_t node = byTag ? WordOfTag(position) : position;
  if (node < 0) return;
  int nodePlace = Gather(node);
  // n, the counted places left of the node in the window, runs from the most down to B, so
  // window starts ascend.
  for (int n = nodePlace; n >= lowest_; --n) {
    size_t start = static_cast<size_t>(nodePlace - n);
    if (positions_[start] <= lastStart_) continue;  // examined for an earlier occurrence
    if (start + static_cast<size_t>(span_) > positions_.size()) return;  // the file ends
    Examine(start);
    lastStart_ = positions_[start];
  }
}

// A window is examined once, so an adjacent line looks for its phrase at every offset, leftmost
// first: the occurrence that reached the window first need not be the one of its phrase ('a b'
// in 'x b a b' is reached first by the 'b' at place 1).
void TWindowScan::Examine(size_t start) {
  auto first = excluded_.begin() + static_cast<std::ptrdiff_t>(start);
  if (std::find(first, first + span_, 1) != first + span_) return;
  const int32_t* words = &words_[start];
  const int32_t* tags = withTags_ ? &tags_[start] : nullptr;
  auto test = PlaceTest(words, tags);
  int position = 0;
  bool found = false;
  if (record_.Order() == TOrderMode::kAdjacent) {
    for (int offset = 0; !found && offset + terms_ <= span_; ++offset) {
      found = MatchPlaces(TOrderMode::kAdjacent, terms_, span_, offset, test, position);
    }
  } else {
    found = MatchPlaces(record_.Order(), terms_, span_, 0, test, position);
  }
  if (found) list_.Add(words, tags, position);
}

}  // namespace

bool ExtractInto(TTextIndex& index, const TExtractRecord& record, const TExtractSettings& settings,
                 TCollocationList& list) {
  int terms = record.TermCount();
  if (terms == 0 || terms > settings.span) return true;
  TRarestTerm rarest = FindRarestTerm(index, record, settings.kinds);
  if (settings.minWordFreq > rarest.value) return true;
  TDWordsList occurrences = Occurrences(index, record.Term(rarest.term), rarest, settings.kinds);
  TWindowScan scan(index, record, settings, list, rarest.term);

  int count = occurrences.Count();
  std::unique_ptr<TProgress> progress;
  if (static_cast<int64_t>(count) * settings.span > kProgressWork) {
    progress = ShowProgress(settings.progressKind, "Extracting");
    progress->SetLabel(record.Text());
    progress->SetMax(count - 1);
  }
  const uint32_t* positions = occurrences.Items();
  for (int i = 0; i < count; ++i) {
    if (progress && i % kPollEvery == 0) {
      progress->SetPosition(i);
      progress->ProcessMessages();
      if (progress->CancelState() != TCancelState::kRunning) return false;
    }
    scan.Occurrence(static_cast<int32_t>(positions[i]), rarest.byTag);
  }
  return true;
}

}  // namespace quenterra
