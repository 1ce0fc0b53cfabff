// Concordance lines (key word in context): every place where a pattern line of a request matches,
// found through the text index, with its left and right context read from the sequence.
//
// A place is a node: the counted positions (kinds of the run's kind set; word tags and, when
// SkipNormalTags is on, normal tags are passed over) from the first to the last token the line's
// terms took, inside one file:
//   adjacent     the phrase itself
//   unordered    starts at a token that satisfies some term and ends where the last term is first
//                satisfied; at most SpanRange counted positions
//   subsequent   starts at a token that satisfies term 0 and ends where the last term is first
//                satisfied after it, in order; at most SpanRange counted positions
// Every counted position that starts such a node gives one line, so 'a + b' over 'a b a' has two
// lines ('a b' and 'b a'). In a batch, a node that two lines find is listed once. Unlike the
// extraction run, neither Min_Word_Freq nor the stop list removes places: a concordance shows
// every occurrence.
//
// Context is the counted positions left of the node's first and right of its last token, inside
// the node's file: L1 is the nearest on the left, R1 on the right.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "corpus/LangTables.h"
#include "corpus/TextIndex.h"
#include "engine/collocExtract.h"
#include "settings/Settings.h"

namespace quenterra {

inline constexpr char kConcordanceCaption[] = "Concordance";
inline constexpr char kSearchingCaption[] = "Searching";  // the progress window's
inline constexpr int kMaxSortDistance = 5;                // L5 .. R5

// What a search reads once at its start.
struct TConcordanceSettings {
  int span = 2;  // SpanRange: the window of unordered and subsequent lines
  TKindSet kinds = kWordKinds;
  bool tagBefore = false;  // word tags stand before their words (WordTag 2 and wTagBefore)

  static TConcordanceSettings FromSettings(const ZuzadovUdirev& config);
};

struct TConcordanceLine {
  int32_t file = 0;   // file number
  int32_t first = 0;  // position of the node's first token
  int32_t last = 0;   // position of its last token
};

enum class TContextUnit : uint8_t { kWords, kCharacters };

// How context and node show: their size each side, and each word with its word tag or alone.
struct TConcordanceView {
  int context = 5;  // words, or characters, each side
  TContextUnit unit = TContextUnit::kWords;
  bool showTags = false;
};

enum class TConcordanceSortKind : uint8_t { kPosition, kNode, kLeft, kRight };

// A sort key: file and position, the node's text, or the word at L1..L5 / R1..R5.
struct TConcordanceSortKey {
  TConcordanceSortKind kind = TConcordanceSortKind::kPosition;
  int distance = 0;  // 1 .. kMaxSortDistance for kLeft and kRight

  // "position", "node", "L1" .. "L5", "R1" .. "R5"; false for any other name.
  static bool Parse(const std::string& name, TConcordanceSortKey& key);
  std::string Name() const;
};

class TConcordance {
 public:
  // The index and the tables must outlive the concordance (windows are closed before the index
  // goes). word-tag texts in word-tag display are joined to their words as the corpus writes them
  // (config's word-tag style).
  TConcordance(TTextIndex& index, const TLangTables& tables, const ZuzadovUdirev& config,
               TConcordanceSettings settings);

  // Finds the lines of every record of the request, ascending by position. When the work is
  // large a progress window "Searching" with a Cancel button shows; a cancel keeps the lines found
  // so far and returns false.
  bool Search(const TExtractRecords& records);
  // Appends the lines of one record (possibly repeating a node of another record); false when
  // the user cancelled.
  bool SearchRecord(const TExtractRecord& record);

  int Count() const { return static_cast<int>(lines_.size()); }
  const TConcordanceLine& Line(int i) const { return lines_.at(static_cast<size_t>(i)); }
  const std::vector<TConcordanceLine>& Lines() const { return lines_; }

  // Sorts by the keys in turn; lines equal under all of them keep position order.
  void Sort(const std::vector<TConcordanceSortKey>& keys);

  // Up to `count` counted positions left (right) of line i's node in its file, nearest first.
  std::vector<int32_t> ContextPositions(int i, bool left, int count);
  // The token id of the counted position `distance` (1 ..) left or right of line i's node, or
  // -1 when the file ends first.
  int32_t ContextWord(int i, bool left, int distance);
  // The texts (corpus encoding) of the left context, right context and node of line i. Character
  // context is cut to `view.context` characters, at its outer end.
  std::string LeftText(int i, const TConcordanceView& view);
  std::string RightText(int i, const TConcordanceView& view);
  std::string NodeText(int i, const TConcordanceView& view);

  TTextIndex& Index() const { return index_; }
  const TLangTables& Tables() const { return tables_; }
  const TConcordanceSettings& Settings() const { return settings_; }

 private:
  class TMatcher;
  void AddOccurrence(TMatcher& matcher, int32_t position, int rarest);
  int Gather(TMatcher& matcher, int32_t node, int left, int right);
  using TRange = std::pair<int32_t, int32_t>;  // a file's positions [first, end)
  // Appends the word at position (of file) as the view shows it.
  void AppendWord(std::string& out, int32_t position, int32_t file, const TConcordanceView& view);
  // The words at the positions, joined by spaces.
  std::string Join(const std::vector<int32_t>& positions, int32_t file,
                   const TConcordanceView& view);
  // The next counted position left (right) of `at` inside range, or -1.
  int32_t Step(int32_t at, bool left, const TRange& range);
  // Up to `count` counted positions next to `from` inside range, nearest first.
  std::vector<int32_t> Neighbours(int32_t from, bool left, int count, const TRange& range);
  std::string ContextText(int i, bool left, const TConcordanceView& view);
  void Deduplicate();

  TTextIndex& index_;
  const TLangTables& tables_;
  TConcordanceSettings settings_;
  int wordTagStyle_;              // WordTag: 1 joined by the delimiter, 2 start string and stop
  std::string tagDelimiter_;      // between a word and its tag (style 1)
  std::string tagStart_;          // before a tag (style 2)
  std::string tagStop_;           // after it (style 2)
  std::vector<uint8_t> counted_;  // by token id: its kind is in the kind set
  std::vector<TConcordanceLine> lines_;
  int32_t lastStart_ = -1;  // of the record being searched: starts up to it were tried
};

}  // namespace quenterra
