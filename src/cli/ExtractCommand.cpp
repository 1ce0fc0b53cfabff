// `quenterra-cli extract PATTERN FILE...`: the extract dialog and the extraction run without a
// window. The pattern (or a batch file of patterns) is parsed with the dialog's grammar, the run
// counts the collocations over the corpus, and the list is printed as a list window would save
// it, or as TSV or JSON for programs.
#include <algorithm>
#include <cstdio>
#include <iostream>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "cli/Commands.h"
#include "cli/Console.h"
#include "cli/ListCommand.h"
#include "cli/ListOptions.h"
#include "cli/LocaleText.h"
#include "engine/NGrams.h"
#include "engine/collocExtract.h"
#include "engine/collocList.h"
#include "patterns/ExtractPattern.h"
#include "platform/AtomicFile.h"
#include "platform/Messages.h"

namespace quenterra::cli {

namespace {

constexpr char kScoreHelp[] =
    "  --score t|mi|ll|none     T-Score, Mutual Information, Log-likelihood or no score (sets\n"
    "                           Last_Method_Selected); T-Score and Log-likelihood need span 2\n";

const std::string kUsage =
    "Usage: quenterra-cli extract [OPTIONS] PATTERN FILE...\n"
    "       quenterra-cli extract [OPTIONS] --batch PATTERNS FILE...\n"
    "       quenterra-cli --workspace FILE.qws extract [OPTIONS] PATTERN\n"
    "\n"
    "Counts every window of SpanRange words of the FILEs (indexed in temporary files) that holds\n"
    "the PATTERN, drops those seen fewer than Min_Word_Freq times, scores them and prints the\n"
    "list sorted as a new list window sorts it: by score, then by frequency. Patterns follow the\n"
    "extract dialog: 'post office' (adjacent), 'post + office*' (anywhere in the window),\n"
    "'post > office' (in this order); Word/Tag terms are word&tag. Pattern errors are printed\n"
    "and end the command with status 1.\n"
    "\n"
    "  --syntax word|regex|tag  Word/Phrase (the default), Regular Expression or Word/Tag\n"
    "                           syntax; Word/Tag needs word tags (--set WordTag=1 ...)\n"
    "  --batch FILE             the patterns of FILE, one a line, as one request\n"
    "  --span N                 window length, 2 to 12 (sets SpanRange)\n" +
    ListOptionsHelp(kScoreHelp, "Word/Tag") +
    "\n"
    "The global option --stoplist FILE removes the windows that hold a word of FILE.\n";

struct TExtractArgs {
  bool help = false;
  std::vector<std::string> positional;  // PATTERN (unless --batch) and the FILEs
  TSearchKind kind = TSearchKind::kWordPhrase;
  std::optional<std::string> batchFile;
  std::optional<int> span;
  TListOptions list;
};

[[noreturn]] void Usage(const std::string& text) { CommandUsage("extract", text); }

// Applies the option at args[i]; false when it is no option of this command.
bool TakeOption(const TArgs& args, size_t& i, TExtractArgs& options) {
  TOptionArg option("extract", args, i);
  const std::string& name = option.Name();
  if (name == "--help" || name == "-h") {
    options.help = true;
  } else if (name == "--syntax") {
    options.kind = option.Choice<TSearchKind>({{"word", TSearchKind::kWordPhrase},
                                               {"regex", TSearchKind::kRegExp},
                                               {"tag", TSearchKind::kWordTag}});
  } else if (name == "--batch") {
    options.batchFile = option.Value();
  } else if (name == "--span") {
    options.span = option.Number(kMinSpan, kMaxSpan);
  } else {
    return TakeListOption(option, options.list);
  }
  return true;
}

TExtractArgs ParseOptions(const TArgs& args) {
  TExtractArgs options;
  bool more = true;
  for (size_t i = 0; i < args.size(); ++i) {
    if (more && args[i] == "--") {
      more = false;
    } else if (more && args[i].size() > 1 && args[i][0] == '-') {
      if (!TakeOption(args, i, options)) Usage("unknown option '" + args[i] + "'");
    } else {
      options.positional.push_back(args[i]);
    }
  }
  if (!options.help && !options.batchFile && options.positional.empty()) Usage("no PATTERN given");
  return options;
}

// The pattern, or the lines of the batch file (line ends of either kind), in the corpus
// encoding.
std::vector<std::string> PatternLines(const TExtractArgs& options, const std::string& pattern,
                                      const TLangTables& tables) {
  if (!options.batchFile) return {FromLocale(pattern, tables, "The pattern")};
  constexpr uint64_t kMaxBatchFile = 16 * 1024 * 1024;
  const std::string text = ReadWholeFile(*options.batchFile, kMaxBatchFile);
  return SplitLines(FromLocaleFile(text, tables, "The batch file " + *options.batchFile));
}

// The settings of the options, on top of those of the corpus (a workspace brings its own).
void ApplyRunSettings(const TExtractArgs& options, ZuzadovUdirev& config) {
  if (options.span) config.SpanRange = *options.span;
  ApplyListSettings(options.list, config);
  if (options.list.scoreMethod) {
    config.Last_Method_Selected = static_cast<uint8_t>(*options.list.scoreMethod);
  }
  if (options.kind == TSearchKind::kWordTag && config.WordTag == 0) {
    Usage("Word/Tag syntax needs a corpus with word tags (--set WordTag=1 or 2)");
  }
}

// The score method the new list will show.
TScoreMethod ShownMethod(const ZuzadovUdirev& config) {
  TScoreMethod method = ValidScoreMethod(config.Last_Method_Selected);
  if (config.SpanRange >= 3 && method != TScoreMethod::kMutualInfo) method = TScoreMethod::kNone;
  return method;
}

// Whether every token the term matches is a stop word, so that no window holding it counts.
bool StopTerm(const TExtractTerm& term, const TTextIndex& index, const TDWordsList& stopIds,
              TKindSet kinds) {
  const std::vector<const TIndexToken*> tokens = index.MatchTokens(term.WordQuery(), kinds);
  int at = 0;
  return !tokens.empty() &&
         std::all_of(tokens.begin(), tokens.end(),
                     [&](const TIndexToken* token) { return stopIds.Find(token->id, at); });
}

// Tells on stderr, one line each, why a pattern line can count nothing: more terms than a window
// of SpanRange places can hold in order, or a term that only stop words match.
void ExplainLines(const TExtractRecords& records, const TTextIndex& index,
                  const TProgramSettings& settings) {
  const TLangTables& tables = settings.tables;
  const TKindSet kinds = RunKinds(settings.config);
  const TDWordsList stopIds = settings.config.UseStoplist
                                  ? settings.stopList.BuildIdList(index, kinds, tables)
                                  : TDWordsList();
  const int span = settings.config.SpanRange;
  for (int i = 0; i < records.RecordCount(); ++i) {
    const TExtractRecord& record = records.Record(i);
    const std::string line = "'" + tables.ToUtf8(record.Text()) + "'";
    if (record.Order() != TOrderMode::kUnordered && record.TermCount() > span) {
      PrintMessage("extract: " + line + " has " + std::to_string(record.TermCount()) +
                   " terms in order, more than a window of " + std::to_string(span) +
                   " words holds (--span " + std::to_string(record.TermCount()) + " or more)");
    }
    for (int t = 0; t < record.TermCount() && stopIds.Count() > 0; ++t) {
      if (StopTerm(record.Term(t), index, stopIds, kinds)) {
        PrintMessage("extract: '" + tables.ToUtf8(record.Term(t).Text()) +
                     "' is a stop word: every window that holds it is left out");
      }
    }
  }
}

}  // namespace

int RunExtract(const TArgs& args, TCliSession& session) {
  const TExtractArgs options = ParseOptions(args);
  TListCommand command{"extract", kUsage, options.help, options.positional, options.list};
  std::string pattern;
  if (!options.batchFile && !options.help) {
    pattern = command.files.front();
    command.files.erase(command.files.begin());
  }
  std::unique_ptr<TExtractRecords> records;
  command.apply = [&options](TProgramSettings& settings) {
    ApplyRunSettings(options, settings.config);
    CheckSortKeys("extract", options.list,
                  {ShownMethod(settings.config), options.kind == TSearchKind::kWordTag, true},
                  "--syntax tag");
  };
  // A workspace brings its own settings (separators, case, meta-tags) that the pattern is read
  // under; without one, a faulty pattern is reported before the files are indexed.
  command.prepare = [&](const TProgramSettings& settings) {
    try {
      records = ParseExtractRequest(options.kind, options.batchFile.has_value(),
                                    PatternLines(options, pattern, settings.tables),
                                    settings.config, settings.tables);
    } catch (const EQuenterra& error) {
      MsgError(error.what());
      return false;
    }
    return true;
  };
  command.compute = [&](TCorpus& corpus, TProgramSettings& settings) {
    TListResult result;
    result.list = ExtractAll(*records, *corpus.Index(), settings.Run());
    result.shownMethod = result.list->ScoreMethod();
    result.askedMethod = ValidScoreMethod(settings.config.Last_Method_Selected);
    result.caption = records->Caption();
    ExplainLines(*records, *corpus.Index(), settings);
    return result;
  };
  return RunListCommand(command, session);
}

}  // namespace quenterra::cli
