// The grammar of extract patterns and the rules of the extract dialog. A pattern line is one or
// more terms separated by spaces (adjacent), by the unordered separator ('+') or by the
// subsequent separator ('>'), one kind of separator per line:
//
//   Word/Phrase          post office      post + office%      post > office?
//   Regular Expression   colou?r          \ba\W\w+            (a spaced-out line is several terms)
//   Word/Tag             run%&vbn         &nn + computer      word&tag, word alone = word&*
//
// The dialog's working values live in TExtractDialogState; a form binds its widgets to it and
// calls these functions for opening, the radio buttons, OK and the result.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "settings/ExtractHistory.h"
#include "platform/CharSet.h"
#include "engine/collocExtract.h"
#include "platform/Errors.h"

namespace quenterra {

// A pattern that breaks the grammar; the text is the message the dialog shows.
class EExtractPattern : public EQuenterra {
 public:
  using EQuenterra::EQuenterra;
};

inline constexpr char kEmptyPatternMessage[] = "The pattern is empty.";
inline constexpr int kMinSpan = 2;
inline constexpr int kMaxSpan = 12;

// The characters a Word/Phrase or Word/Tag line may not hold: the delimiters without the space,
// the wildcards and the two separators (and, for Word/Tag, the tag search separator).
TCharSet ExtractInvalidSet(uint8_t kind);
// The characters that end a term: the space and the two separators; the space alone for
// regular expressions.
TCharSet ExtractTermStopSet(uint8_t kind);

// Parses one line into a record appended to records: nothing for a blank line. Throws
// EExtractPattern with the grammar's messages, ERegExp for a regular expression that does not
// compile.
void AddExtractPattern(uint8_t kind, TExtractRecords& records, const std::string& line);

// The example text under the pattern field, made from the current special characters.
std::string ExtractExamples(uint8_t kind);

// What the extract dialog holds while it is open.
struct TExtractDialogState {
  bool Batch = false;
  uint8_t Kind = kWordPhrase;           // the checked radio button
  std::string Pattern;                  // SearchString (normal mode)
  std::vector<std::string> BatchLines;  // BatchStrings (batch mode)
  int32_t Span = kMinSpan;              // SpanUD, 2 to 12

  // Opening: the span from SpanRange; batch mode takes LastBatchSyntax and the Batch history,
  // normal mode the requested kind and the most recent pattern of its history.
  static TExtractDialogState Open(bool batch, uint8_t kind);
  // A radio button was checked: in normal mode the pattern field shows the most recent pattern
  // of that kind's history (empty when it has none).
  void SelectKind(uint8_t kind);
  // The entries of the pattern field's drop-down: the history of the checked kind.
  const std::vector<std::string>& History() const;
  std::string Examples() const { return ExtractExamples(Kind); }
  // The Word/Tag button is enabled only when the corpus carries word tags (WordTag not 0).
  static bool WordTagEnabled();
};

// Parses the dialog's pattern (or every batch line) into a new request. On any error of the
// grammar or of a regular expression shows its message with MsgError and returns null; in batch
// mode the first faulty line rejects the whole batch. "The pattern is empty." when no line holds
// a term.
std::unique_ptr<TExtractRecords> BuildExtractRecords(const TExtractDialogState& dialog);

// OK: parses once as a test. False (the error shown) keeps the dialog open with the focus in
// the pattern field.
bool ExtractDialogOk(const TExtractDialogState& dialog);

// After an accepted OK: updates the histories (batch: LastBatchSyntax and the Batch lines;
// normal: the pattern moves to the front of its kind's history), stores the span in SpanRange
// and returns a fresh parse (null only when that fails).
std::unique_ptr<TExtractRecords> AcceptExtractDialog(const TExtractDialogState& dialog);

}  // namespace quenterra
