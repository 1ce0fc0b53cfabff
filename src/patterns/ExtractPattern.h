// The grammar of extract patterns. A pattern line is one or more terms separated by spaces
// (adjacent), by the unordered separator ('+') or by the subsequent separator ('>'), one kind of
// separator per line:
//
//   Word/Phrase          post office      post + office%      post > office?
//   Regular Expression   colou?r          \ba\W\w+            (a spaced-out line is several terms)
//   Word/Tag             run%&vbn         &nn + computer      word&tag, word alone = word&*
//
// The special characters (wildcards, separators), letter case and meta-tags come from the
// settings passed in, the characters of a line from the encoding of the tables; the extract
// dialog's rules are in dialogs/ExtractOptions.h. Messages are UTF-8.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "corpus/LangTables.h"
#include "engine/collocExtract.h"
#include "platform/CharSet.h"
#include "platform/Errors.h"
#include "settings/ExtractHistory.h"
#include "settings/Settings.h"

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
TCharSet ExtractInvalidSet(TSearchKind kind, const ZuzadovUdirev& config,
                           const TCharCoding& coding);
// The characters that end a term: the space and the two separators; the space alone for
// regular expressions.
TCharSet ExtractTermStopSet(TSearchKind kind, const ZuzadovUdirev& config);

// Parses one line into a record appended to records: nothing for a blank line. Throws
// EExtractPattern with the grammar's messages, ERegExp for a regular expression that does not
// compile.
void AddExtractPattern(TSearchKind kind, TExtractRecords& records, const std::string& line,
                       const ZuzadovUdirev& config, const TLangTables& tables);

// The example text under the pattern field, made from the special characters, in the encoding
// of `coding`.
std::string ExtractExamples(TSearchKind kind, const ZuzadovUdirev& config,
                            const TCharCoding& coding);

// Parses a pattern, or every line of a batch, into a new request captioned by the pattern (or
// "Batch collocation"). Throws as AddExtractPattern does; "The pattern is empty." when no line
// holds a term; in a batch the first faulty line rejects the whole batch.
std::unique_ptr<TExtractRecords> ParseExtractRequest(TSearchKind kind, bool batch,
                                                     const std::vector<std::string>& lines,
                                                     const ZuzadovUdirev& config,
                                                     const TLangTables& tables);

}  // namespace quenterra
