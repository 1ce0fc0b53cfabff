// `quenterra-cli keyness --reference REF.qws FILE...`: the words whose frequency in the corpus
// differs most from a reference workspace's, by Log-likelihood and %DIFF.
#include <memory>
#include <string>
#include <vector>

#include "cli/CommandCorpus.h"
#include "cli/Commands.h"
#include "cli/ListCommand.h"
#include "cli/TableCommand.h"
#include "engine/Keyness.h"
#include "engine/ResultTables.h"

namespace quenterra::cli {

namespace {

constexpr char kCommand[] = "keyness";

const std::string kUsage =
    std::string(
        "Usage: quenterra-cli keyness [OPTIONS] --reference REF.qws FILE...\n"
        "       quenterra-cli --workspace FILE.qws keyness [OPTIONS] --reference REF.qws\n"
        "\n"
        "Compares the word list of the corpus (the FILEs, or the workspace) with that of the\n"
        "reference workspace REF.qws (read with its own settings, --set on top): every word of\n"
        "either with its frequency in both, the signed Log-likelihood (negative where the word\n"
        "is relatively rarer in the corpus) and %DIFF, highest Log-likelihood first. Every word\n"
        "counts, whatever Min_Word_Freq says; stop words are left out.\n"
        "\n"
        "  --reference REF.qws      the reference workspace (required)\n"
        "  --pos-tags               a word with each of its word tags is one entry\n"
        "  --sort ll|diff           by Log-likelihood (the default) or by %DIFF\n") +
    kTableOutputHelp;

struct TKeynessArgs {
  bool help = false;
  std::vector<std::string> files;
  std::string reference;
  bool posTags = false;
  bool byPercentDiff = false;
  TTableOutput output;
};

bool TakeOption(TOptionArg& option, TKeynessArgs& args) {
  if (option.Name() == "--reference") {
    args.reference = option.Value();
  } else if (option.Name() == "--pos-tags") {
    args.posTags = true;
  } else if (option.Name() == "--sort") {
    args.byPercentDiff = option.Choice<bool>({{"ll", false}, {"diff", true}});
  } else {
    return TakeTableOutputOption(option, args.output);
  }
  return true;
}

// Every word of the corpus: the word list without the minimum.
std::unique_ptr<TWordList> AllWords(TCorpus& corpus, const TProgramSettings& settings,
                                    bool posTags) {
  TWordListSettings words =
      TWordListSettings::FromSettings(settings.Run(), *corpus.Index(), posTags);
  words.minFreq = 1;
  return std::make_unique<TWordList>(*corpus.Index(), settings.tables, words);
}

}  // namespace

int RunKeyness(const TArgs& args, TCliSession& session) {
  TKeynessArgs options;
  options.files = ParseCommandArgs(kCommand, args, options.help,
                                   [&](TOptionArg& option) { return TakeOption(option, options); });
  if (!options.help && options.reference.empty()) CommandUsage(kCommand, "no --reference given");
  TListCommand command{kCommand, kUsage, options.help, options.files, {}};
  std::unique_ptr<TKeywordTable> table;
  command.apply = [&](TProgramSettings& settings) {
    if (options.posTags && settings.config.WordTag == 0) {
      CommandUsage(kCommand, "--pos-tags needs a corpus with word tags (--set WordTag=1 or 2)");
    }
  };
  command.compute = [&](TCorpus& corpus, TProgramSettings& settings) {
    TListResult result;
    // The reference is read with its own settings, in a session of its own.
    TCliSession reference;
    reference.options = session.options;
    reference.options.workspaceFile = options.reference;
    if (!ApplyGlobalOptions(reference.options, reference.settings)) return result;
    std::unique_ptr<TCorpus> other = OpenCommandCorpus(reference, {}, kCommand);
    if (other == nullptr || other->Index() == nullptr) return result;
    const std::unique_ptr<TWordList> study = AllWords(corpus, settings, options.posTags);
    const std::unique_ptr<TWordList> base =
        AllWords(*other, reference.settings, options.posTags && reference.settings.config.WordTag);
    table = std::make_unique<TKeywordTable>(std::make_unique<TKeywordList>(*study, *base),
                                            settings.tables);
    table->List().Sort(options.byPercentDiff);
    result.print = [&] { return PrintTable(*table, options.output); };
    return result;
  };
  return RunListCommand(command, session);
}

}  // namespace quenterra::cli
