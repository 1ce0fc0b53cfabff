#include "engine/FullExtract.h"

#include <algorithm>
#include <filesystem>

#include "engine/NGrams.h"
#include "engine/StepProgress.h"
#include "engine/collocList.h"
#include "engine/collocTree.h"
#include "platform/Errors.h"
#include "platform/Messages.h"

namespace quenterra {

namespace {

constexpr int64_t kProgressThreshold = 10000;  // sequence count times SpanRange
constexpr int64_t kPass1Step = 256;            // occurrences per step of the bar
constexpr int64_t kPass2Step = 16;             // base n-grams per step of the bar
constexpr double kFewFilteredShare = 0.9;

struct TRunSpans {
  int minSpan;
  int maxSpan;
};

TRunSpans RunSpans(const TFullExtractOptions& options) {
  TRunSpans spans{std::clamp(options.Min_Span, kFEMinSpanLow, kFEMinSpanHigh),
                  std::clamp(options.Max_Span, kFEMaxSpanLow, kFEMaxSpanHigh)};
  if (spans.maxSpan <= spans.minSpan) throw EQuenterra(kSpanOrderWarning);
  return spans;
}

double InitialMinimum(const TFullExtractOptions& options, TScoreMethod method) {
  switch (method) {
    case TScoreMethod::kTScore:
      return options.IFMin_T_Score;
    case TScoreMethod::kMutualInfo:
      return options.IFMin_Mutual_Info;
    case TScoreMethod::kLogLikelihood:
      return options.IFMin_Likehood;
    default:
      return 0;
  }
}

// Scores and filters the first count; false when the user declines to go on.
bool InitialFilter(TCollocationList& list, TFullExtractOptions& options, int minSpan,
                   int32_t minWordFreq, int64_t corpusWords) {
  TScoreMethod method = ValidScoreMethod(options.IF_Score_Method);
  // Only Mutual Information is defined beyond bigrams; the changed setting is saved.
  if (minSpan > 2 && method != TScoreMethod::kMutualInfo) {
    method = TScoreMethod::kMutualInfo;
    options.IF_Score_Method = static_cast<uint8_t>(method);
  }
  if (method != TScoreMethod::kNone) list.ComputeScores(method, corpusWords);
  const bool useScore = method == TScoreMethod::kTScore || method == TScoreMethod::kMutualInfo ||
                        method == TScoreMethod::kLogLikelihood;
  const int before = list.Count();
  list.Filter(minWordFreq, useScore, InitialMinimum(options, method));
  if (before == 0) return true;
  if (static_cast<double>(list.Count()) / before <= kFewFilteredShare) return true;
  return MsgAsk(kFewFilteredQuestion);
}

// Gives each kept item its slice (its Extra the slice's handle) and sets its count to 0.
TOccurrenceArrays MakeOccurrenceArrays(TCollocationList& list) {
  std::vector<int32_t> lengths;
  lengths.reserve(static_cast<size_t>(list.Count()));
  for (int i = 0; i < list.Count(); ++i) {
    TCollocItem& item = list.Item(i);
    lengths.push_back(item.count);
    item.extra = static_cast<uint32_t>(i + 1);
    item.count = 0;
  }
  return TOccurrenceArrays(lengths);
}

// Pass 1: follows every recorded occurrence to the right into its base n-gram's tree.
class TPass1 {
 public:
  TPass1(TTextIndex& index, const TNGramSettings& settings, TCollocationTree& tree, int maxSpan)
      : index_(index),
        settings_(settings),
        flags_(index, settings),
        tree_(tree),
        minSpan_(settings.n),
        maxSpan_(maxSpan) {}

  // False when the user cancelled.
  bool Run(const TOccurrenceArrays& occurrences, TStepProgress& progress);

 private:
  void Follow(int32_t position);

  TTextIndex& index_;
  const TNGramSettings& settings_;
  const TTokenFlags flags_;
  TCollocationTree& tree_;
  const int minSpan_;
  const int maxSpan_;
  int32_t words_[kMaxNGram]{};
  int32_t tags_[kMaxNGram]{};
};

bool TPass1::Run(const TOccurrenceArrays& occurrences, TStepProgress& progress) {
  const TCollocationList& base = tree_.BaseList();
  int64_t done = 0;
  for (int i = 0; i < base.Count(); ++i) {
    const TCollocItem& item = base.Item(i);
    std::copy_n(item.words, minSpan_, words_);
    std::fill(std::begin(tags_), std::end(tags_), -1);
    if (item.tags != nullptr) std::copy_n(item.tags, minSpan_, tags_);
    for (int32_t position : occurrences.Slice(static_cast<uint32_t>(i + 1))) {
      if (position >= 0) Follow(position);
      if (++done % kPass1Step == 0 && progress.Step()) return false;
    }
  }
  tree_.StoreCurrent();
  return true;
}

// `position` is the occurrence's last word; the extension stays inside its file.
void TPass1::Follow(int32_t position) {
  const auto [first, end] = index_.GetFileRange(index_.FileOf(position));
  int length = minSpan_;
  int32_t at = position;
  while (length < maxSpan_) {
    do {
      ++at;
    } while (at < end && !flags_.Counted(index_.TokenAt(at)));
    if (at >= end) break;
    words_[length] = static_cast<int32_t>(index_.TokenAt(at));
    tags_[length] =
        settings_.useTags ? WordTagAt(index_, flags_, at, first, end, settings_.tagBefore) : -1;
    ++length;
  }
  tree_.AddPath(words_, settings_.useTags ? tags_ : nullptr, length);
}

}  // namespace

std::unique_ptr<TCollocationList> FullExtract(TTextIndex& index,
                                              const std::vector<std::string>& fileNames,
                                              TFullExtractOptions& options, const TRunSettings& run,
                                              TFullExtractStats* stats) {
  const TRunSpans spans = RunSpans(options);
  const int32_t minWordFreq = run.config.Min_Word_Freq;
  const int64_t corpusWords = CorpusWords(index, run.config);
  TFullExtractStats counts;

  std::unique_ptr<TProgress> window;
  if (int64_t{index.SequenceCount()} * run.config.SpanRange > kProgressThreshold) {
    window = ShowProgress(TProgressKind::kCancel, kFullExtractProgressCaption);
    window->SetMax(2 * (index.SequenceCount() / kNGramProgressStep));
  }
  TStepProgress progress(window.get());

  const TNGramSettings settings =
      TNGramSettings::FromSettings(run, index, spans.minSpan, options.UsePOSTags, fileNames);
  auto list = std::make_unique<TCollocationList>(index, run.tables, spans.minSpan);
  CountNGrams(index, *list, settings, progress);
  counts.counted = list->Count();
  // The question is asked even after a cancel; the stages after it then do nothing.
  if (!InitialFilter(*list, options, spans.minSpan, minWordFreq, corpusWords)) return nullptr;
  counts.kept = list->Count();

  TOccurrenceArrays occurrences = MakeOccurrenceArrays(*list);
  counts.occurrences = occurrences.Total();
  if (!progress.Cancelled()) CountNGrams(index, *list, settings, progress, &occurrences);

  TCollocationTree tree(std::move(list), settings.useTags, spans.maxSpan);
  progress.Restart(kFullExtractPass1Caption, occurrences.Total() / kPass1Step);
  if (!progress.Cancelled()) {
    TPass1(index, settings, tree, spans.maxSpan).Run(occurrences, progress);
    std::error_code error;
    const uintmax_t size = std::filesystem::file_size(tree.StoreName(), error);
    counts.storeBytes = error ? 0 : size;
  }

  progress.Restart(kFullExtractPass2Caption, counts.kept / kPass2Step);
  std::unique_ptr<TCollocationList> result;
  if (!progress.Cancelled()) {
    result = ValidScoreMethod(options.EF_Score_Method) == TScoreMethod::kCost
                 ? tree.EvaluateCost(options.EFMin_Cost_Criteria, progress)
                 : tree.EvaluateMI(progress, options.EFMin_Mutual_Info, corpusWords);
  }
  if (stats != nullptr) *stats = counts;
  if (progress.Cancelled()) return nullptr;
  result->Filter(minWordFreq, false, 0);
  return result;
}

}  // namespace quenterra
