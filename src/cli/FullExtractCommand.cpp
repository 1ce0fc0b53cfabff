// `quenterra-cli full-extract FILE...`: the full extract without a window. Base n-grams of
// Min_Span words pass the initial filter, their occurrences are followed up to Max_Span words
// into extension trees, and every sequence that passes the extended filter is printed as the
// "Full Extract" list window would save it, or as TSV or JSON.
#include <algorithm>
#include <cmath>
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
#include "engine/FullExtract.h"
#include "engine/NGrams.h"
#include "engine/collocList.h"

namespace quenterra::cli {

namespace {

constexpr char kCommand[] = "full-extract";

constexpr char kScoreHelp[] =
    "  --score t|mi|ll|none     the score shown, as a list window switches it: by default the\n"
    "                           extended filter's; none hides it; t and ll give none, since\n"
    "                           they apply to two words only\n";

const std::string kUsage =
    "Usage: quenterra-cli full-extract [OPTIONS] FILE...\n"
    "       quenterra-cli --workspace FILE.qws full-extract [OPTIONS]\n"
    "\n"
    "Finds the word sequences of the FILEs (indexed in temporary files) that behave as units:\n"
    "the base n-grams of Min_Span words that pass the initial filter are followed up to\n"
    "Max_Span words to the right, and every sequence that passes the extended filter is listed\n"
    "with its frequency and score, sorted by score, then by frequency. When the initial filter\n"
    "keeps more than 90 percent of the base n-grams, the run asks whether to go on: --yes\n"
    "answers Yes; without it the question is asked on a terminal and answered No otherwise, and\n"
    "No ends the command with status 1 and no list.\n"
    "\n"
    "  --min-span N             base n-gram length, 2 to 11 (sets Min_Span)\n"
    "  --max-span N             longest sequence, 3 to 12, above Min_Span (sets Max_Span)\n"
    "  --pos-tags               words with their word tags (sets UsePOSTags; needs word tags)\n"
    "  --if-method t|mi|ll|none initial filter: T-Score, Mutual Information, Log-likelihood or\n"
    "                           frequency only (sets IF_Score_Method); beyond bigrams Mutual\n"
    "                           Information is used\n"
    "  --if-min X               the initial filter's minimum score (sets IFMin_T_Score,\n"
    "                           IFMin_Mutual_Info or IFMin_Likehood, whichever the run uses)\n"
    "  --ef-method cost|mi      extended filter: Cost Criterion or Mutual Information (sets\n"
    "                           EF_Score_Method)\n"
    "  --ef-min X               its minimum: a whole number for cost (EFMin_Cost_Criteria),\n"
    "                           else EFMin_Mutual_Info\n" +
    ListOptionsHelp(kScoreHelp, "--pos-tags", false) +
    "\n"
    "The global option --stoplist FILE keeps the base n-grams that hold a word of FILE out.\n";

struct TFullExtractCliOptions {
  bool help = false;
  std::vector<std::string> files;
  std::optional<int> minSpan;
  std::optional<int> maxSpan;
  bool posTags = false;
  std::optional<TScoreMethod> ifMethod;
  std::optional<double> ifMin;
  std::optional<TScoreMethod> efMethod;
  std::optional<double> efMin;
  TListOptions list;
};

[[noreturn]] void Usage(const std::string& text) { CommandUsage(kCommand, text); }

// Takes one option of this command; false when it is none.
bool TakeOption(TOptionArg& option, TFullExtractCliOptions& options) {
  const std::string& name = option.Name();
  if (name == "--help" || name == "-h") {
    options.help = true;
  } else if (name == "--min-span") {
    options.minSpan = option.Number(kFEMinSpanLow, kFEMinSpanHigh);
  } else if (name == "--max-span") {
    options.maxSpan = option.Number(kFEMaxSpanLow, kFEMaxSpanHigh);
  } else if (name == "--pos-tags") {
    options.posTags = true;
  } else if (name == "--if-method") {
    options.ifMethod = option.Choice<TScoreMethod>({{"t", TScoreMethod::kTScore},
                                                    {"mi", TScoreMethod::kMutualInfo},
                                                    {"ll", TScoreMethod::kLogLikelihood},
                                                    {"none", TScoreMethod::kNone}});
  } else if (name == "--if-min") {
    options.ifMin = option.Float();
  } else if (name == "--ef-method") {
    options.efMethod = option.Choice<TScoreMethod>(
        {{"cost", TScoreMethod::kCost}, {"mi", TScoreMethod::kMutualInfo}});
  } else if (name == "--ef-min") {
    options.efMin = option.Float();
  } else {
    return TakeListOption(option, options.list);
  }
  return true;
}

TFullExtractCliOptions ParseOptions(const TArgs& args) {
  TFullExtractCliOptions options;
  bool more = true;
  for (size_t i = 0; i < args.size(); ++i) {
    if (more && args[i] == "--") {
      more = false;
    } else if (more && args[i].size() > 1 && args[i][0] == '-') {
      TOptionArg option(kCommand, args, i);
      if (!TakeOption(option, options)) Usage("unknown option '" + args[i] + "'");
    } else {
      options.files.push_back(args[i]);
    }
  }
  return options;
}

void ApplySpans(const TFullExtractCliOptions& options, const ZuzadovUdirev& config,
                TFullExtractOptions& settings) {
  if (options.minSpan) settings.Min_Span = *options.minSpan;
  if (options.maxSpan) settings.Max_Span = *options.maxSpan;
  if (options.posTags) {
    if (config.WordTag == 0) {
      Usage("--pos-tags needs a corpus with word tags (--set WordTag=1 or 2)");
    }
    settings.UsePOSTags = true;
  }
  const int minSpan = std::clamp(settings.Min_Span, kFEMinSpanLow, kFEMinSpanHigh);
  const int maxSpan = std::clamp(settings.Max_Span, kFEMaxSpanLow, kFEMaxSpanHigh);
  if (maxSpan <= minSpan) Usage(kSpanOrderWarning);
}

void ApplyFilters(const TFullExtractCliOptions& options, TFullExtractOptions& settings) {
  if (options.ifMethod) settings.IF_Score_Method = static_cast<uint8_t>(*options.ifMethod);
  if (options.ifMin) {
    // The minimum of the method the run will use: beyond bigrams that is Mutual Information.
    const bool bigrams = std::clamp(settings.Min_Span, kFEMinSpanLow, kFEMinSpanHigh) == 2;
    const TScoreMethod method =
        bigrams ? ValidScoreMethod(settings.IF_Score_Method) : TScoreMethod::kMutualInfo;
    if (method == TScoreMethod::kTScore) settings.IFMin_T_Score = *options.ifMin;
    if (method == TScoreMethod::kMutualInfo) settings.IFMin_Mutual_Info = *options.ifMin;
    if (method == TScoreMethod::kLogLikelihood) settings.IFMin_Likehood = *options.ifMin;
  }
  if (options.efMethod) settings.EF_Score_Method = static_cast<uint8_t>(*options.efMethod);
  if (!options.efMin) return;
  if (ValidScoreMethod(settings.EF_Score_Method) != TScoreMethod::kCost) {
    settings.EFMin_Mutual_Info = *options.efMin;
  } else if (std::trunc(*options.efMin) == *options.efMin && std::abs(*options.efMin) < 2e9) {
    settings.EFMin_Cost_Criteria = static_cast<int32_t>(*options.efMin);
  } else {
    Usage("--ef-min needs a whole number for the Cost Criterion");
  }
}

// The method the list will show: the extended filter's, or what --score switches it to (only
// Mutual Information applies to sequences of three words and more).
TScoreMethod ShownMethod(const TFullExtractCliOptions& options,
                         const TFullExtractOptions& settings) {
  if (options.list.scoreMethod) {
    return *options.list.scoreMethod == TScoreMethod::kMutualInfo ? TScoreMethod::kMutualInfo
                                                                  : TScoreMethod::kNone;
  }
  return ValidScoreMethod(settings.EF_Score_Method) == TScoreMethod::kCost
             ? TScoreMethod::kCost
             : TScoreMethod::kMutualInfo;
}

// The settings of the options, on top of those of the corpus (a workspace brings its own).
void ApplyRunSettings(const TFullExtractCliOptions& options, TProgramSettings& settings) {
  ApplySpans(options, settings.config, settings.fullExtract);
  ApplyFilters(options, settings.fullExtract);
  ApplyListSettings(options.list, settings.config);
  const bool tagged = settings.fullExtract.UsePOSTags && settings.config.WordTag != 0;
  CheckSortKeys(kCommand, options.list, {ShownMethod(options, settings.fullExtract), tagged, false},
                "--pos-tags");
}

// --score switches the shown method as a list window does: another method is computed.
TScoreMethod ShownScore(const TFullExtractCliOptions& options, TCollocationList& list,
                        int64_t corpusWords) {
  TScoreMethod shown = list.ScoreMethod();
  if (!options.list.scoreMethod) return shown;
  shown = *options.list.scoreMethod;
  if (shown == TScoreMethod::kNone || shown == list.ScoreMethod()) return shown;
  list.ComputeScores(shown, corpusWords);
  return list.ScoreMethod();
}

}  // namespace

int RunFullExtract(const TArgs& args, TCliSession& session) {
  const TFullExtractCliOptions options = ParseOptions(args);
  TListCommand command{kCommand, kUsage, options.help, options.files, options.list};
  command.contents = TIndexContents::kSequence;
  command.apply = [&options](TProgramSettings& settings) { ApplyRunSettings(options, settings); };
  command.compute = [&options](TCorpus& corpus, TProgramSettings& settings) {
    TListResult result;
    result.caption = kFullExtractCaption;
    result.askedMethod = options.list.scoreMethod.value_or(TScoreMethod::kNone);
    result.list =
        FullExtract(*corpus.Index(), corpus.FileNames(), settings.fullExtract, settings.Run());
    if (result.list == nullptr) {
      PrintMessage(std::string(kCommand) + ": stopped, no list");
      return result;
    }
    result.shownMethod =
        ShownScore(options, *result.list, CorpusWords(*corpus.Index(), settings.config));
    return result;
  };
  return RunListCommand(command, session);
}

}  // namespace quenterra::cli
