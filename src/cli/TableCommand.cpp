#include "cli/TableCommand.h"

#include <iostream>

#include "cli/LocaleText.h"
#include "patterns/ExtractPattern.h"
#include "platform/AtomicFile.h"
#include "platform/Messages.h"

namespace quenterra::cli {

const char kPatternOptionsHelp[] =
    "  --syntax word|regex|tag  Word/Phrase (the default), Regular Expression or Word/Tag\n"
    "                           syntax; Word/Tag needs word tags (--set WordTag=1 ...)\n"
    "  --batch FILE             the patterns of FILE, one a line, as one request\n"
    "  --span N                 the window of 'a + b' and 'a > b' patterns, 2 to 12 (sets\n"
    "                           SpanRange)\n";

const char kTableOutputHelp[] =
    "  --limit N                print the first N rows only\n"
    "  --format text|tsv|json   text: columns laid out as the window saves them (the\n"
    "                           default); tsv: a header and a line a row; json: for programs\n";

std::vector<std::string> ParseCommandArgs(const std::string& command, const TArgs& args, bool& help,
                                          const std::function<bool(TOptionArg&)>& take) {
  std::vector<std::string> positional;
  bool more = true;
  for (size_t i = 0; i < args.size(); ++i) {
    if (more && args[i] == "--") {
      more = false;
    } else if (more && args[i].size() > 1 && args[i][0] == '-') {
      TOptionArg option(command, args, i);
      if (option.Name() == "--help" || option.Name() == "-h") {
        help = true;
      } else if (!take(option)) {
        CommandUsage(command, "unknown option '" + args[i] + "'");
      }
    } else {
      positional.push_back(args[i]);
    }
  }
  return positional;
}

bool TakePatternOption(TOptionArg& option, TPatternArgs& pattern) {
  const std::string& name = option.Name();
  if (name == "--syntax") {
    pattern.kind = option.Choice<TSearchKind>({{"word", TSearchKind::kWordPhrase},
                                               {"regex", TSearchKind::kRegExp},
                                               {"tag", TSearchKind::kWordTag}});
  } else if (name == "--batch") {
    pattern.batchFile = option.Value();
  } else if (name == "--span") {
    pattern.span = option.Number(kMinSpan, kMaxSpan);
  } else {
    return false;
  }
  return true;
}

bool TakeTableOutputOption(TOptionArg& option, TTableOutput& output) {
  if (option.Name() == "--limit") {
    output.limit = option.Number(0, INT32_MAX);
  } else if (option.Name() == "--format") {
    output.format = option.Choice<TListFormat>(
        {{"text", TListFormat::kText}, {"tsv", TListFormat::kTsv}, {"json", TListFormat::kJson}});
  } else {
    return false;
  }
  return true;
}

void ApplyPatternSettings(const std::string& command, const TPatternArgs& pattern,
                          ZuzadovUdirev& config) {
  if (pattern.span) config.SpanRange = *pattern.span;
  if (pattern.kind == TSearchKind::kWordTag && config.WordTag == 0) {
    CommandUsage(command, "Word/Tag syntax needs a corpus with word tags (--set WordTag=1 or 2)");
  }
}

std::unique_ptr<TExtractRecords> ParsePatternRequest(const TPatternArgs& pattern,
                                                     const TProgramSettings& settings) {
  constexpr uint64_t kMaxBatchFile = 16 * 1024 * 1024;
  try {
    std::vector<std::string> lines;
    if (pattern.batchFile) {
      const std::string text = ReadWholeFile(*pattern.batchFile, kMaxBatchFile);
      lines =
          SplitLines(FromLocaleFile(text, settings.tables, "The batch file " + *pattern.batchFile));
    } else {
      lines = {FromLocale(pattern.pattern, settings.tables, "The pattern")};
    }
    return ParseExtractRequest(pattern.kind, pattern.batchFile.has_value(), lines, settings.config,
                               settings.tables);
  } catch (const EQuenterra& error) {
    MsgError(error.what());
    return nullptr;
  }
}

bool PrintTable(const TResultTable& table, const TTableOutput& output) {
  switch (output.format) {
    case TListFormat::kText:
      WriteTableText(std::cout, table, output.limit);
      break;
    case TListFormat::kTsv:
      WriteTableTsv(std::cout, table, output.limit);
      break;
    case TListFormat::kJson:
      WriteTableJson(std::cout, table, output.limit);
      break;
  }
  std::cout.flush();
  return std::cout.good();
}

}  // namespace quenterra::cli
