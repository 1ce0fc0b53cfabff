// `quenterra-cli ngrams FILE...`: the n-gram extraction without a window. Every run of N
// consecutive counted words of each file is counted, rare n-grams dropped, the rest scored and
// printed as the "N-Grams" list window would save it, or as TSV or JSON.
#include <algorithm>
#include <cstdio>
#include <iostream>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "cli/Commands.h"
#include "cli/ListCommand.h"
#include "cli/ListOptions.h"
#include "engine/NGrams.h"
#include "engine/collocList.h"

namespace quenterra::cli {

namespace {

constexpr char kCommand[] = "ngrams";

constexpr char kScoreHelp[] =
    "  --score t|mi|ll|none     T-Score, Mutual Information, Log-likelihood or no score (sets\n"
    "                           Last_Method_Selected); T-Score and Log-likelihood need span 2\n";

const std::string kUsage =
    "Usage: quenterra-cli ngrams [OPTIONS] FILE...\n"
    "       quenterra-cli --workspace FILE.qws ngrams [OPTIONS]\n"
    "\n"
    "Counts every sequence of N consecutive words inside each of the FILEs (indexed in\n"
    "temporary files): word tags, and normal tags when SkipNormalTags is on, are passed over\n"
    "without breaking a sequence. Sequences holding a word rarer than Min_Word_Freq or a stop\n"
    "word are not counted; those seen fewer than Min_Word_Freq times are dropped. The list is\n"
    "scored and printed sorted as a new list window sorts it: by score, then by frequency.\n"
    "\n"
    "  --span N                 n-gram length, 2 to 12 (sets Max_Span)\n"
    "  --pos-tags               count each word with its word tag, a tag rarer than\n"
    "                           Min_Word_Freq excluding it (sets UsePOSTags; needs word tags,\n"
    "                           --set WordTag=1 ...)\n" +
    ListOptionsHelp(kScoreHelp, "--pos-tags", false) +
    "\n"
    "The global option --stoplist FILE removes the n-grams that hold a word of FILE.\n";

struct TNGramsOptions {
  bool help = false;
  std::vector<std::string> files;
  std::optional<int> span;
  bool posTags = false;
  TListOptions list;
};

[[noreturn]] void Usage(const std::string& text) { CommandUsage(kCommand, text); }

TNGramsOptions ParseOptions(const TArgs& args) {
  TNGramsOptions options;
  bool more = true;
  for (size_t i = 0; i < args.size(); ++i) {
    if (more && args[i] == "--") {
      more = false;
      continue;
    }
    if (!more || args[i].size() < 2 || args[i][0] != '-') {
      options.files.push_back(args[i]);
      continue;
    }
    TOptionArg option(kCommand, args, i);
    if (option.Name() == "--help" || option.Name() == "-h") {
      options.help = true;
    } else if (option.Name() == "--span") {
      options.span = option.Number(kMinNGram, kMaxNGram);
    } else if (option.Name() == "--pos-tags") {
      options.posTags = true;
    } else if (!TakeListOption(option, options.list)) {
      Usage("unknown option '" + args[i] + "'");
    }
  }
  return options;
}

// The settings of the options, on top of those of the corpus (a workspace brings its own).
void ApplyRunSettings(const TNGramsOptions& options, TProgramSettings& settings) {
  TFullExtractOptions& fullExtract = settings.fullExtract;
  ZuzadovUdirev& config = settings.config;
  if (options.span) fullExtract.Max_Span = *options.span;
  if (options.posTags) {
    if (config.WordTag == 0) {
      Usage("--pos-tags needs a corpus with word tags (--set WordTag=1 or 2)");
    }
    fullExtract.UsePOSTags = true;
  }
  ApplyListSettings(options.list, config);
  if (options.list.scoreMethod) {
    config.Last_Method_Selected = static_cast<uint8_t>(*options.list.scoreMethod);
  }
  TScoreMethod method = ValidScoreMethod(config.Last_Method_Selected);
  if (std::clamp(fullExtract.Max_Span, kMinNGram, kMaxNGram) >= 3 &&
      method != TScoreMethod::kMutualInfo) {
    method = TScoreMethod::kNone;
  }
  const bool tagged = fullExtract.UsePOSTags && config.WordTag != 0;
  CheckSortKeys(kCommand, options.list, {method, tagged, false}, "--pos-tags");
}

}  // namespace

int RunNGrams(const TArgs& args, TCliSession& session) {
  const TNGramsOptions options = ParseOptions(args);
  TListCommand command{kCommand, kUsage, options.help, options.files, options.list};
  command.contents = TIndexContents::kSequence;
  command.apply = [&options](TProgramSettings& settings) { ApplyRunSettings(options, settings); };
  command.compute = [](TCorpus& corpus, TProgramSettings& settings) {
    TListResult result;
    result.list =
        ExtractNGrams(*corpus.Index(), corpus.FileNames(), settings.fullExtract, settings.Run());
    result.shownMethod = result.list->ScoreMethod();
    result.askedMethod = ValidScoreMethod(settings.config.Last_Method_Selected);
    result.caption = kNGramsCaption;
    return result;
  };
  return RunListCommand(command, session);
}

}  // namespace quenterra::cli
