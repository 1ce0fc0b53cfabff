// Collocates by position: every word (or word with its word tag) within a window of L1..Ln to
// the left and R1..Rm to the right of each node of a concordance, with its frequency at each
// distance, its total in the window, its corpus frequency and the association scores of
// engine/CollocateScores.h.
//
// Distances count counted positions (the concordance's kind set) inside the node's file; the
// window of a node ends at its file's edges. Stop words are not counted as collocates but take
// their place in the window. A node's own words are not in its window; another node's may be.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "corpus/DWordList.h"
#include "engine/CollocateScores.h"
#include "engine/Concordance.h"
#include "engine/RunSettings.h"

namespace quenterra {

inline constexpr int kMaxCollocateWindow = 12;  // positions each side
inline constexpr char kCollocatesCaption[] = "Collocates";

// What a count reads once at its start.
struct TCollocateSettings {
  int left = 5;                  // 0 .. kMaxCollocateWindow
  int right = 5;                 // 0 .. kMaxCollocateWindow, left + right at least 1
  bool useTags = false;          // a collocate is a word with its word tag
  int32_t minCooccurrence = 1;   // the fewest occurrences in the window kept
  int32_t minCollocateFreq = 1;  // the lowest corpus frequency kept
  TDWordsList stopIds;           // sorted; empty unless UseStoplist is on

  // The stop list from the run's settings when UseStoplist is on, and minCooccurrence from
  // Min_Word_Freq; the rest as given.
  static TCollocateSettings FromSettings(const TRunSettings& run, const TTextIndex& index);
};

struct TCollocate {
  int32_t word = -1;  // token id
  int32_t tag = -1;   // word-tag token id, -1 for none or without tags
  // Occurrences by distance: [d - 1] at Ld, [kMaxCollocateWindow + d - 1] at Rd.
  std::array<int32_t, 2 * kMaxCollocateWindow> at{};
  int32_t total = 0;      // O: over every distance
  int64_t frequency = 0;  // f_c: in the corpus
  std::array<double, kCollocateScoreCount> scores{};

  int32_t Left(int distance) const { return at[static_cast<size_t>(distance - 1)]; }
  int32_t Right(int distance) const {
    return at[static_cast<size_t>(kMaxCollocateWindow + distance - 1)];
  }
  double Score(TCollocateScore score) const { return scores[static_cast<size_t>(score)]; }
};

enum class TCollocateSortKind : uint8_t { kTotal, kAlpha, kScore, kLeft, kRight };

// A sort key: total (descending), the collocate's text (ascending, byte by byte), a score
// (descending, undefined scores last) or the frequency at one distance (descending). Equal items
// follow by total, then text.
struct TCollocateSortKey {
  TCollocateSortKind kind = TCollocateSortKind::kTotal;
  TCollocateScore score = TCollocateScore::kMutualInfo;  // for kScore
  int distance = 0;                                      // for kLeft and kRight, 1 ..

  // "freq", "alpha", a score's name (CollocateScoreName), "L1" .. "L12", "R1" .. "R12".
  static bool Parse(const std::string& name, TCollocateSortKey& key);
};

class TCollocateList {
 public:
  // Counts the collocates around every line of `nodes`, drops those below the minima and scores
  // the rest; corpusWords is N. The concordance's index and tables must outlive the list.
  TCollocateList(TConcordance& nodes, const TCollocateSettings& settings, int64_t corpusWords);

  int Count() const { return static_cast<int>(items_.size()); }
  const TCollocate& Item(int i) const { return items_.at(static_cast<size_t>(i)); }
  int Left() const { return left_; }
  int Right() const { return right_; }
  bool Tagged() const { return tagged_; }
  int64_t NodeFrequency() const { return nodeFrequency_; }
  int64_t CorpusWords() const { return corpusWords_; }

  void Sort(const TCollocateSortKey& key);
  // The collocate's word and its tag (empty for none), corpus encoding.
  std::string WordText(int i) const;
  std::string TagText(int i) const;

  const TLangTables& Tables() const { return tables_; }

 private:
  void CountAround(TConcordance& nodes, const TCollocateSettings& settings);
  void Finish(const TCollocateSettings& settings);

  TTextIndex& index_;
  const TLangTables& tables_;
  int left_, right_;
  bool tagged_;
  int64_t nodeFrequency_;
  int64_t corpusWords_;
  std::vector<TCollocate> items_;
};

}  // namespace quenterra
