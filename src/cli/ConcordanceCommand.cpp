// `quenterra-cli concordance PATTERN FILE...`: the lines of the corpus where a pattern matches,
// with their context, node aligned.
#include <memory>
#include <string>
#include <vector>

#include "cli/Commands.h"
#include "cli/ListCommand.h"
#include "cli/TableCommand.h"
#include "engine/Concordance.h"
#include "engine/ResultTables.h"

namespace quenterra::cli {

namespace {

constexpr char kCommand[] = "concordance";
constexpr int kMaxContext = 1000;

const std::string kUsage =
    std::string(
        "Usage: quenterra-cli concordance [OPTIONS] PATTERN FILE...\n"
        "       quenterra-cli concordance [OPTIONS] --batch PATTERNS FILE...\n"
        "       quenterra-cli --workspace FILE.qws concordance [OPTIONS] PATTERN\n"
        "\n"
        "Prints every place of the FILEs (indexed in temporary files) where the PATTERN matches:\n"
        "the node and the words left and right of it, inside its file. Patterns follow the\n"
        "extract dialog: 'in front of' (a phrase), 'post + office' (both within SpanRange words,\n"
        "the node running from the first to the last), 'post > office' (in this order); Word/Tag\n"
        "terms are word&tag. Every occurrence is listed: neither Min_Word_Freq nor the stop list\n"
        "removes one. TSV and JSON carry file, position (of the node's first word in the\n"
        "corpus), left, node and right.\n"
        "\n") +
    kPatternOptionsHelp +
    "  --context N              N words of context each side (default 5), 0 to 1000\n"
    "  --chars                  count the context in characters instead of words\n"
    "  --tags                   show each word with its word tag\n"
    "  --sort KEY[,KEY...]      position (the default), node, L1..L5 or R1..R5 (the word at\n"
    "                           that distance left or right of the node); ties keep position\n" +
    kTableOutputHelp;

struct TConcordanceArgs {
  bool help = false;
  std::vector<std::string> files;
  TPatternArgs pattern;
  TConcordanceView view;
  std::vector<TConcordanceSortKey> sort;
  TTableOutput output;
};

bool TakeOption(TOptionArg& option, TConcordanceArgs& args) {
  const std::string& name = option.Name();
  if (name == "--context") {
    args.view.context = option.Number(0, kMaxContext);
  } else if (name == "--chars") {
    args.view.unit = TContextUnit::kCharacters;
  } else if (name == "--tags") {
    args.view.showTags = true;
  } else if (name == "--sort") {
    args.sort = CommaList<TConcordanceSortKey>(option, TConcordanceSortKey::Parse);
  } else {
    return TakePatternOption(option, args.pattern) || TakeTableOutputOption(option, args.output);
  }
  return true;
}

TConcordanceArgs ParseOptions(const TArgs& args) {
  TConcordanceArgs parsed;
  parsed.files = ParseCommandArgs(kCommand, args, parsed.help,
                                  [&](TOptionArg& option) { return TakeOption(option, parsed); });
  if (parsed.help || parsed.pattern.batchFile) return parsed;
  if (parsed.files.empty()) CommandUsage(kCommand, "no PATTERN given");
  parsed.pattern.pattern = parsed.files.front();
  parsed.files.erase(parsed.files.begin());
  return parsed;
}

}  // namespace

int RunConcordance(const TArgs& args, TCliSession& session) {
  const TConcordanceArgs options = ParseOptions(args);
  TListCommand command{kCommand, kUsage, options.help, options.files, {}};
  std::unique_ptr<TExtractRecords> records;
  std::unique_ptr<TConcordanceTable> table;
  command.apply = [&](TProgramSettings& settings) {
    ApplyPatternSettings(kCommand, options.pattern, settings.config);
    if (options.view.showTags && settings.config.WordTag == 0) {
      CommandUsage(kCommand, "--tags needs a corpus with word tags (--set WordTag=1 or 2)");
    }
  };
  command.prepare = [&](const TProgramSettings& settings) {
    records = ParsePatternRequest(options.pattern, settings);
    return records != nullptr;
  };
  command.compute = [&](TCorpus& corpus, TProgramSettings& settings) {
    table = MakeConcordanceTable(*records, *corpus.Index(), settings.Run(), corpus.FileNames(),
                                 options.view);
    if (!options.sort.empty()) table->Concordance().Sort(options.sort);
    TListResult result;
    result.print = [&] { return PrintTable(*table, options.output); };
    return result;
  };
  return RunListCommand(command, session);
}

}  // namespace quenterra::cli
