// N-gram counting: every run of n consecutive counted positions inside one corpus file, counted
// into a hashed collocation list without a search pattern. The same pass, in recording mode, is
// the full extract's second count, which stores where each kept base n-gram occurs.
//
// Counted positions are those whose token's kind is in the run's kind set ({1}, or {1, 2, 3}
// when SkipNormalTags is off); every other position (word tags always) is transparent: it takes
// no place in an n-gram and does not break one. An n-gram never spans two files and never holds
// a word rarer than the minimum frequency or a stop word; with tags, never a word whose tag is
// rarer than the minimum frequency.
//
// Exclusion is tracked in a bit register instead of re-scanning each n-gram: bit 0 stands for
// the newest counted position, bit j for the one j places back; a set bit excludes every n-gram
// that holds that position. The register starts with the n mask bits set, so nothing is counted
// before n positions of the file have been seen.
#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "corpus/DWordList.h"
#include "corpus/TextIndex.h"
#include "engine/RunSettings.h"
#include "engine/StepProgress.h"

namespace quenterra {

class TCollocationList;

inline constexpr int kMinNGram = 2;
inline constexpr int kMaxNGram = 12;                 // also the largest span of the full extract
inline constexpr char kNGramsCaption[] = "N-Grams";  // the list window's title
inline constexpr char kExtractingNGramsCaption[] = "Extracting N-Grams";  // the progress window's
// The first count runs ProgressBar steps of this many positions.
inline constexpr int32_t kNGramProgressStep = 512;

// What a counting pass reads once at its start.
struct TNGramSettings {
  int n = 2;                // kMinNGram .. kMaxNGram
  bool useTags = false;     // items carry the word tag of each word
  int32_t minWordFreq = 2;  // rarer words (and tags) exclude their n-grams
  TKindSet kinds = kWordKinds;
  bool tagBefore = false;  // word tags stand before their words (WordTag 2 and wTagBefore)
  TDWordsList stopIds;     // sorted; empty unless UseStoplist is on
  std::vector<std::string> fileNames;  // progress labels by file number; missing ones are blank

  // From the settings and the stop list: n clamped to kMinNGram .. kMaxNGram, useTags only when
  // word tags are configured (WordTag is not 0).
  static TNGramSettings FromSettings(const TRunSettings& run, const TTextIndex& index, int n,
                                     bool useTags, std::vector<std::string> fileNames);
};

// Per-token facts that the passes test at every position, looked up by token id.
class TTokenFlags {
 public:
  TTokenFlags(const TTextIndex& index, const TNGramSettings& settings);

  bool Counted(uint32_t id) const { return Has(id, kCounted); }
  // Rarer than the minimum frequency, or a stop word.
  bool Excluded(uint32_t id) const { return Has(id, kRare | kStop); }
  bool Rare(uint32_t id) const { return Has(id, kRare); }
  bool WordTag(uint32_t id) const { return Has(id, kWordTagKind); }

 private:
  static constexpr uint8_t kCounted = 1;
  static constexpr uint8_t kRare = 2;
  static constexpr uint8_t kStop = 4;
  static constexpr uint8_t kWordTagKind = 8;
  bool Has(uint32_t id, uint8_t bits) const { return id < flags_.size() && (flags_[id] & bits); }

  std::vector<uint8_t> flags_;  // by token id
};

// The word tag of the word at `position` of the file whose positions are [first, end): the
// token right after it (right before it with tagBefore) when that is a word tag, else -1.
int32_t WordTagAt(TTextIndex& index, const TTokenFlags& flags, int32_t position, int32_t first,
                  int32_t end, bool tagBefore);

// The full extract's occurrence arrays: one block of positions with one slice per kept base
// n-gram, as long as its count. A slice is named by its handle, 1 for the first (0 is none).
class TOccurrenceArrays {
 public:
  explicit TOccurrenceArrays(const std::vector<int32_t>& lengths);

  uint32_t SliceCount() const { return static_cast<uint32_t>(starts_.size() - 1); }
  // Stores position at index `at` of the slice; false, storing nothing, when either is outside.
  bool Store(uint32_t handle, int32_t at, int32_t position);
  // The slice's positions; empty for an unknown handle. Valid while the arrays live.
  std::span<const int32_t> Slice(uint32_t handle) const;
  int64_t Total() const { return static_cast<int64_t>(block_.size()); }

 private:
  std::vector<int32_t> block_;  // every slice, one after another
  std::vector<size_t> starts_;  // slice i (0-based) is block_[starts_[i] .. starts_[i + 1])
};

// Counts the n-grams of every corpus file, in file order, into `list` (hashed, WordCount
// settings.n). Without occurrences, each n-gram is Added with position 0. With occurrences (the
// full extract's second count) an n-gram is counted only when its item's Extra names a slice:
// FindAndCount gives it its new count c, and the position of its last word goes to index c - 1
// of that slice.
//
// When progress shows a window, its label names each file and every 512th position advances the
// bar by one and polls for a cancel. Returns false when the user cancelled; counting stops after
// the current step.
bool CountNGrams(TTextIndex& index, TCollocationList& list, const TNGramSettings& settings,
                 TStepProgress& progress, TOccurrenceArrays* occurrences = nullptr);

// The n-gram list of the corpus (a new list the caller owns; it reads the run's tables, which
// must outlive it): n is Max_Span, tags follow UsePOSTags, stop words UseStoplist; items counted
// fewer than Min_Word_Freq times are dropped and the rest scored by Last_Method_Selected. When the
// sequence count times n exceeds 10000 a progress window "Extracting N-Grams" with a Cancel button
// is shown; a cancel ends the counting, and the list then holds what was counted, dropped and
// scored the same way. fileNames label the progress by file number. The caller holds the busy flag
// and shows the list in a window titled kNGramsCaption (marked tagged when UsePOSTags is on).
std::unique_ptr<TCollocationList> ExtractNGrams(TTextIndex& index,
                                                const std::vector<std::string>& fileNames,
                                                const TFullExtractOptions& options,
                                                const TRunSettings& run);

// The corpus word count N of the scores: the occurrences of the tokens of the run's kind set.
int64_t CorpusWords(const TTextIndex& index, const ZuzadovUdirev& config);
// The kind set of a run: {1}, or {1, 2, 3} when SkipNormalTags is off.
TKindSet RunKinds(const ZuzadovUdirev& config);

}  // namespace quenterra
