// `quenterra-cli collocates PATTERN FILE...`: the words around the nodes of a pattern, counted at
// each distance and scored.
#include <memory>
#include <string>
#include <vector>

#include "cli/Commands.h"
#include "cli/ListCommand.h"
#include "cli/TableCommand.h"
#include "engine/Collocates.h"
#include "engine/ResultTables.h"

namespace quenterra::cli {

namespace {

constexpr char kCommand[] = "collocates";

const std::string kUsage =
    std::string(
        "Usage: quenterra-cli collocates [OPTIONS] PATTERN FILE...\n"
        "       quenterra-cli collocates [OPTIONS] --batch PATTERNS FILE...\n"
        "       quenterra-cli --workspace FILE.qws collocates [OPTIONS] PATTERN\n"
        "\n"
        "Counts every word within --left words before and --right words after each place where\n"
        "the PATTERN matches (the concordance's nodes, inside their files): its frequency at\n"
        "each distance, its total in the window (Freq), its corpus frequency, and the scores MI,\n"
        "MI3, T-score, z-score, Log-likelihood, Dice and logDice from these, the node's frequency\n"
        "and the corpus size N. Stop words are not counted. TSV and JSON carry every score and,\n"
        "on each row, the node frequency and N.\n"
        "\n") +
    kPatternOptionsHelp +
    "  --left N, --right N      window positions before and after the node, 0 to 12 each\n"
    "                           (default 5 each; not both 0)\n"
    "  --pos-tags               a collocate is a word with its word tag (needs word tags)\n"
    "  --min-freq N             the fewest occurrences in the window kept, 1 to 32767 (sets\n"
    "                           Min_Word_Freq)\n"
    "  --min-coll-freq N        the lowest corpus frequency of a collocate kept (default 1)\n"
    "  --score S[,S...]         the scores of the text form: mi, mi3, t, z, ll, dice, logdice\n"
    "                           (default all)\n"
    "  --sort KEY               freq (the default), alpha, a score, or L1..L12 / R1..R12 (the\n"
    "                           frequency at that distance); ties by freq, then alpha\n" +
    kTableOutputHelp +
    "\n"
    "The global option --stoplist FILE leaves the words of FILE out of the collocates.\n";

struct TCollocatesArgs {
  bool help = false;
  std::vector<std::string> files;
  TPatternArgs pattern;
  int left = 5, right = 5;
  bool posTags = false;
  std::optional<int> minFreq;
  int minCollocateFreq = 1;
  std::vector<TCollocateScore> scores;  // empty: all
  std::optional<TCollocateSortKey> sort;
  TTableOutput output;
};

// A score's name (CollocateScoreName).
bool ParseScore(const std::string& name, TCollocateScore& score) {
  TCollocateSortKey key;
  if (!TCollocateSortKey::Parse(name, key) || key.kind != TCollocateSortKind::kScore) return false;
  score = key.score;
  return true;
}

bool TakeOption(TOptionArg& option, TCollocatesArgs& args) {
  const std::string& name = option.Name();
  if (name == "--left" || name == "--right") {
    (name == "--left" ? args.left : args.right) = option.Number(0, kMaxCollocateWindow);
  } else if (name == "--pos-tags") {
    args.posTags = true;
  } else if (name == "--min-freq") {
    args.minFreq = option.Number(1, 32767);
  } else if (name == "--min-coll-freq") {
    args.minCollocateFreq = option.Number(1, INT32_MAX);
  } else if (name == "--score") {
    args.scores = CommaList<TCollocateScore>(option, ParseScore);
  } else if (name == "--sort") {
    TCollocateSortKey key;
    const std::string text = option.Value();
    if (!TCollocateSortKey::Parse(text, key)) option.Fail("unknown --sort value '" + text + "'");
    args.sort = key;
  } else {
    return TakePatternOption(option, args.pattern) || TakeTableOutputOption(option, args.output);
  }
  return true;
}

TCollocatesArgs ParseOptions(const TArgs& args) {
  TCollocatesArgs parsed;
  parsed.files = ParseCommandArgs(kCommand, args, parsed.help,
                                  [&](TOptionArg& option) { return TakeOption(option, parsed); });
  if (parsed.help) return parsed;
  if (parsed.left + parsed.right == 0) CommandUsage(kCommand, "the window is empty");
  if (parsed.sort && (parsed.sort->kind == TCollocateSortKind::kLeft ||
                      parsed.sort->kind == TCollocateSortKind::kRight)) {
    const int side = parsed.sort->kind == TCollocateSortKind::kLeft ? parsed.left : parsed.right;
    if (parsed.sort->distance > side) CommandUsage(kCommand, "--sort names no window position");
  }
  if (parsed.scores.empty()) parsed.scores = AllCollocateScores();
  if (parsed.pattern.batchFile) return parsed;
  if (parsed.files.empty()) CommandUsage(kCommand, "no PATTERN given");
  parsed.pattern.pattern = parsed.files.front();
  parsed.files.erase(parsed.files.begin());
  return parsed;
}

// Every score for TSV and JSON; the chosen ones for the text form.
std::vector<TCollocateScore> TableScores(const TCollocatesArgs& args) {
  return args.output.format == TListFormat::kText ? args.scores : AllCollocateScores();
}

}  // namespace

int RunCollocates(const TArgs& args, TCliSession& session) {
  const TCollocatesArgs options = ParseOptions(args);
  TListCommand command{kCommand, kUsage, options.help, options.files, {}};
  std::unique_ptr<TExtractRecords> records;
  std::unique_ptr<TCollocateTable> table;
  command.apply = [&](TProgramSettings& settings) {
    ApplyPatternSettings(kCommand, options.pattern, settings.config);
    if (options.minFreq) settings.config.Min_Word_Freq = *options.minFreq;
    if (options.posTags && settings.config.WordTag == 0) {
      CommandUsage(kCommand, "--pos-tags needs a corpus with word tags (--set WordTag=1 or 2)");
    }
  };
  command.prepare = [&](const TProgramSettings& settings) {
    records = ParsePatternRequest(options.pattern, settings);
    return records != nullptr;
  };
  command.compute = [&](TCorpus& corpus, TProgramSettings& settings) {
    TCollocateSettings shape;
    shape.left = options.left;
    shape.right = options.right;
    shape.useTags = options.posTags;
    shape.minCollocateFreq = options.minCollocateFreq;
    table =
        MakeCollocateTable(*records, *corpus.Index(), settings.Run(), shape, TableScores(options));
    if (options.sort) table->List().Sort(*options.sort);
    TListResult result;
    result.print = [&] { return PrintTable(*table, options.output); };
    return result;
  };
  return RunListCommand(command, session);
}

}  // namespace quenterra::cli
