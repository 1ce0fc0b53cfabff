// The word list of a corpus: every word type (or word with its word tag) of the run's kind set
// with its frequency, its range (the number of files it occurs in) and its share per million
// running words. One pass over the sequence index counts both frequency and range.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "corpus/DWordList.h"
#include "corpus/TextIndex.h"
#include "engine/RunSettings.h"

namespace quenterra {

inline constexpr char kWordListCaption[] = "Word List";
inline constexpr char kCountingWordsCaption[] = "Counting words";  // the progress window's

// What a count reads once at its start.
struct TWordListSettings {
  bool useTags = false;  // a type is a word with its word tag
  int32_t minFreq = 1;   // the lowest frequency kept
  TKindSet kinds = kWordKinds;
  bool tagBefore = false;  // word tags stand before their words (WordTag 2 and wTagBefore)
  TDWordsList stopIds;     // sorted; empty unless UseStoplist is on

  // From the settings: Min_Word_Freq, the kind set, the word-tag side and the stop list;
  // useTags only when word tags are configured.
  static TWordListSettings FromSettings(const TRunSettings& run, const TTextIndex& index,
                                        bool useTags);
};

struct TWordEntry {
  int32_t word = -1;      // token id
  int32_t tag = -1;       // word-tag token id, -1 for none or without tags
  int64_t frequency = 0;  // occurrences
  int32_t range = 0;      // files it occurs in
};

// Frequency descending, text ascending (byte by byte), range descending; ties follow by
// frequency, then text.
enum class TWordListSortKey : uint8_t { kFrequency, kAlpha, kRange };

class TWordList {
 public:
  // Counts the corpus. When the sequence is long a progress window "Counting words" with a
  // Cancel button shows; Cancelled() then tells that the list holds the files counted so far.
  // The index and the tables must outlive the list.
  TWordList(TTextIndex& index, const TLangTables& tables, const TWordListSettings& settings);

  int Count() const { return static_cast<int>(entries_.size()); }
  const TWordEntry& Item(int i) const { return entries_.at(static_cast<size_t>(i)); }
  bool Tagged() const { return tagged_; }
  bool Cancelled() const { return cancelled_; }
  // The running words of the corpus (the kind set's occurrences), before any filter.
  int64_t CorpusWords() const { return corpusWords_; }
  int32_t FileCount() const { return fileCount_; }
  double PerMillion(int i) const;

  void Sort(TWordListSortKey key);
  std::string WordText(int i) const;
  std::string TagText(int i) const;  // empty for none

  const TLangTables& Tables() const { return tables_; }

 private:
  void CountFiles(const TWordListSettings& settings);
  void Finish(const TWordListSettings& settings);

  TTextIndex& index_;
  const TLangTables& tables_;
  bool tagged_;
  bool cancelled_ = false;
  int64_t corpusWords_ = 0;
  int32_t fileCount_ = 0;
  std::vector<TWordEntry> entries_;
};

}  // namespace quenterra
