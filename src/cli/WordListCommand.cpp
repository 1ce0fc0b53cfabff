// `quenterra-cli wordlist FILE...`: every word type of the corpus with its frequency, range and
// share per million.
#include <memory>
#include <string>
#include <vector>

#include "cli/Commands.h"
#include "cli/ListCommand.h"
#include "cli/TableCommand.h"
#include "engine/ResultTables.h"
#include "engine/WordList.h"

namespace quenterra::cli {

namespace {

constexpr char kCommand[] = "wordlist";

const std::string kUsage =
    std::string(
        "Usage: quenterra-cli wordlist [OPTIONS] FILE...\n"
        "       quenterra-cli --workspace FILE.qws wordlist [OPTIONS]\n"
        "\n"
        "Lists every word of the FILEs (indexed in temporary files) with its frequency, its\n"
        "range (the number of files it occurs in) and its frequency per million running words.\n"
        "Words rarer than Min_Word_Freq and stop words are left out; the running words count\n"
        "them all.\n"
        "\n"
        "  --pos-tags               a word with each of its word tags is one entry (needs word\n"
        "                           tags, --set WordTag=1 ...)\n"
        "  --min-freq N             the lowest frequency kept, 1 to 32767 (sets Min_Word_Freq)\n"
        "  --sort KEY               freq (the default), alpha or range; ties by freq, then "
        "alpha\n") +
    kTableOutputHelp +
    "\n"
    "The global option --stoplist FILE leaves the words of FILE out.\n";

struct TWordListArgs {
  bool help = false;
  std::vector<std::string> files;
  bool posTags = false;
  std::optional<int> minFreq;
  TWordListSortKey sort = TWordListSortKey::kFrequency;
  TTableOutput output;
};

bool TakeOption(TOptionArg& option, TWordListArgs& args) {
  const std::string& name = option.Name();
  if (name == "--pos-tags") {
    args.posTags = true;
  } else if (name == "--min-freq") {
    args.minFreq = option.Number(1, 32767);
  } else if (name == "--sort") {
    args.sort = option.Choice<TWordListSortKey>({{"freq", TWordListSortKey::kFrequency},
                                                 {"alpha", TWordListSortKey::kAlpha},
                                                 {"range", TWordListSortKey::kRange}});
  } else {
    return TakeTableOutputOption(option, args.output);
  }
  return true;
}

}  // namespace

int RunWordList(const TArgs& args, TCliSession& session) {
  TWordListArgs options;
  options.files = ParseCommandArgs(kCommand, args, options.help,
                                   [&](TOptionArg& option) { return TakeOption(option, options); });
  TListCommand command{kCommand, kUsage, options.help, options.files, {}};
  std::unique_ptr<TWordListTable> table;
  command.apply = [&](TProgramSettings& settings) {
    if (options.minFreq) settings.config.Min_Word_Freq = *options.minFreq;
    if (options.posTags && settings.config.WordTag == 0) {
      CommandUsage(kCommand, "--pos-tags needs a corpus with word tags (--set WordTag=1 or 2)");
    }
  };
  command.compute = [&](TCorpus& corpus, TProgramSettings& settings) {
    table = MakeWordListTable(*corpus.Index(), settings.Run(), options.posTags);
    table->List().Sort(options.sort);
    TListResult result;
    result.print = [&] { return PrintTable(*table, options.output); };
    return result;
  };
  return RunListCommand(command, session);
}

}  // namespace quenterra::cli
