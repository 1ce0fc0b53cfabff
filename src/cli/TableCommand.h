// What the commands printing a result table (concordance, collocates, wordlist) share beyond the
// list-command runner: reading their arguments, the node pattern (or batch file) read with the
// extract grammar, and the output options --format and --limit.
#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "cli/Commands.h"
#include "cli/ListOptions.h"
#include "engine/ResultTable.h"
#include "engine/collocExtract.h"

namespace quenterra::cli {

// The options of a search pattern: --syntax, --batch and --span.
struct TPatternArgs {
  TSearchKind kind = TSearchKind::kWordPhrase;
  std::optional<std::string> batchFile;
  std::optional<int> span;  // SpanRange: the window of unordered and subsequent lines
  std::string pattern;      // unless batchFile
};
extern const char kPatternOptionsHelp[];

// --format and --limit.
struct TTableOutput {
  TListFormat format = TListFormat::kText;
  int limit = -1;  // rows printed at most; -1 for all
};
extern const char kTableOutputHelp[];

// Reads args: the options that take(option) accepts (false: an unknown option, a usage error),
// the rest (and everything after "--") as positional arguments, returned in order. "--help" and
// "-h" set help.
std::vector<std::string> ParseCommandArgs(const std::string& command, const TArgs& args, bool& help,
                                          const std::function<bool(TOptionArg&)>& take);

bool TakePatternOption(TOptionArg& option, TPatternArgs& pattern);
// The option's value as a comma-separated list, each item read by parse (false: not a valid
// item, a usage error naming it).
template <typename T, typename Parse>
std::vector<T> CommaList(TOptionArg& option, Parse&& parse) {
  std::vector<T> items;
  const std::string text = option.Value() + ',';
  for (size_t from = 0, comma; (comma = text.find(',', from)) != std::string::npos;
       from = comma + 1) {
    T item{};
    const std::string name = text.substr(from, comma - from);
    if (!parse(name, item)) option.Fail("unknown " + option.Name() + " value '" + name + "'");
    items.push_back(item);
  }
  return items;
}
bool TakeTableOutputOption(TOptionArg& option, TTableOutput& output);

// Puts --span into the settings; refuses Word/Tag syntax for a corpus without word tags.
void ApplyPatternSettings(const std::string& command, const TPatternArgs& pattern,
                          ZuzadovUdirev& config);
// Parses the pattern (or the batch file's lines) with the extract grammar; null, the message
// shown, when it breaks the grammar or the batch file cannot be read.
std::unique_ptr<TExtractRecords> ParsePatternRequest(const TPatternArgs& pattern,
                                                     const TProgramSettings& settings);

// Prints the table in the output's form; false when standard output failed.
bool PrintTable(const TResultTable& table, const TTableOutput& output);

}  // namespace quenterra::cli
