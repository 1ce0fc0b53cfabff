#include "engine/NGrams.h"

#include <algorithm>
#include <cstring>

#include "engine/collocList.h"

namespace quenterra {

namespace {

// Work below this (sequence count times n) runs without a progress window.
constexpr int64_t kProgressThreshold = 10000;
// A list never holds more items than the corpus has positions; up to this many (about 200 MB of
// address space, touched only as items come) are reserved at once. Larger lists double as usual.
constexpr int64_t kMaxReservedItems = int64_t{1} << 22;

// The state of the counting pass inside one file.
class TFileCounter {
 public:
  TFileCounter(TTextIndex& index, const TTokenFlags& flags, const TNGramSettings& settings,
               TCollocationList& list, TOccurrenceArrays* occurrences)
      : index_(index),
        flags_(flags),
        settings_(settings),
        list_(list),
        occurrences_(occurrences),
        n_(settings.n),
        mask_((1u << settings.n) - 1),
        batch_(list, settings.useTags) {}

  // Counts positions [first, end) of one file. False when the user cancelled.
  bool Count(int32_t first, int32_t end, TStepProgress& progress);

 private:
  bool CountPositions(int32_t first, int32_t end, TStepProgress& progress);
  void Shift(int32_t* values, int32_t newest) const {
    std::memmove(values, values + 1, sizeof(int32_t) * static_cast<size_t>(n_ - 1));
    values[n_ - 1] = newest;
  }
  void Emit(int32_t position);

  TTextIndex& index_;
  const TTokenFlags& flags_;
  const TNGramSettings& settings_;
  TCollocationList& list_;
  TOccurrenceArrays* occurrences_;  // recording mode when not null
  const int n_;
  const uint32_t mask_;         // the low n bits
  int32_t words_[kMaxNGram]{};  // the last n counted positions' ids, oldest first
  int32_t tags_[kMaxNGram]{};   // their word tags (-1 for none), with tags only
  TCountBatch batch_;           // counting mode: the n-grams on their way into the list
};

bool TFileCounter::Count(int32_t first, int32_t end, TStepProgress& progress) {
  const bool complete = CountPositions(first, end, progress);
  batch_.Flush();  // a cancelled run keeps what it counted
  return complete;
}

bool TFileCounter::CountPositions(int32_t first, int32_t end, TStepProgress& progress) {
  std::fill_n(words_, n_, -1);
  std::fill_n(tags_, n_, -1);
  uint32_t excluded = mask_;
  for (int32_t p = first; p < end; ++p) {
    if (p % kNGramProgressStep == 0 && progress.Shown() && progress.Step()) return false;
    const uint32_t id = index_.TokenAt(p);
    if (!flags_.Counted(id)) continue;  // transparent
    Shift(words_, static_cast<int32_t>(id));
    excluded <<= 1;
    if (flags_.Excluded(id)) excluded |= 1;
    if (settings_.useTags) {
      Shift(tags_, -1);
      if ((excluded & 1) == 0) {
        const int32_t tag = WordTagAt(index_, flags_, p, first, end, settings_.tagBefore);
        if (tag >= 0) {
          tags_[n_ - 1] = tag;
          if (flags_.Rare(static_cast<uint32_t>(tag))) excluded |= 1;
        }
      }
    }
    if ((excluded & mask_) == 0) Emit(p);
  }
  return true;
}

void TFileCounter::Emit(int32_t position) {
  const int32_t* tags = settings_.useTags ? tags_ : nullptr;
  if (occurrences_ == nullptr) {
    batch_.Add(words_, tags, 0);
    return;
  }
  const uint32_t handle = list_.FindExtra(words_, tags);
  if (handle == 0 || handle > occurrences_->SliceCount()) return;
  const int32_t count = list_.FindAndCount(words_, tags);
  occurrences_->Store(handle, count - 1, position);
}

}  // namespace

TKindSet RunKinds(const ZuzadovUdirev& config) {
  return config.SkipNormalTags ? kWordKinds : kTextKinds;
}

int64_t CorpusWords(const TTextIndex& index, const ZuzadovUdirev& config) {
  return index.GetStats(RunKinds(config)).frequency;
}

TNGramSettings TNGramSettings::FromSettings(const TRunSettings& run, const TTextIndex& index, int n,
                                            bool useTags, std::vector<std::string> fileNames) {
  const ZuzadovUdirev& config = run.config;
  TNGramSettings settings;
  settings.n = std::clamp(n, kMinNGram, kMaxNGram);
  settings.useTags = useTags && config.WordTag != 0;
  settings.minWordFreq = config.Min_Word_Freq;
  settings.kinds = RunKinds(config);
  settings.tagBefore = config.WordTag == 2 && config.wTagBefore;
  if (config.UseStoplist)
    settings.stopIds = run.stopList.BuildIdList(index, settings.kinds, run.tables);
  settings.fileNames = std::move(fileNames);
  return settings;
}

TTokenFlags::TTokenFlags(const TTextIndex& index, const TNGramSettings& settings)
    : flags_(index.TokenCount(), 0) {
  for (uint32_t id = 0; id < index.TokenCount(); ++id) {
    const TIndexToken& token = index.GetToken(id);
    uint8_t bits = 0;
    if (token.kind < 8 && (settings.kinds & KindBit(token.kind)) != 0) bits |= kCounted;
    if (static_cast<int64_t>(token.frequency) < settings.minWordFreq) bits |= kRare;
    if (token.kind == kKindWordTag) bits |= kWordTagKind;
    flags_[id] = bits;
  }
  for (int i = 0; i < settings.stopIds.Count(); ++i) {
    const uint32_t id = settings.stopIds.Items()[i];
    if (id < flags_.size()) flags_[id] |= kStop;
  }
}

int32_t WordTagAt(TTextIndex& index, const TTokenFlags& flags, int32_t position, int32_t first,
                  int32_t end, bool tagBefore) {
  const int32_t at = tagBefore ? position - 1 : position + 1;
  if (at < first || at >= end) return -1;
  const uint32_t id = index.TokenAt(at);
  return flags.WordTag(id) ? static_cast<int32_t>(id) : -1;
}

TOccurrenceArrays::TOccurrenceArrays(const std::vector<int32_t>& lengths) {
  starts_.reserve(lengths.size() + 1);
  size_t total = 0;
  for (int32_t length : lengths) {
    starts_.push_back(total);
    total += static_cast<size_t>(std::max(length, 0));
  }
  starts_.push_back(total);
  block_.assign(total, -1);
}

bool TOccurrenceArrays::Store(uint32_t handle, int32_t at, int32_t position) {
  if (handle == 0 || handle > SliceCount() || at < 0) return false;
  const size_t index = starts_[handle - 1] + static_cast<size_t>(at);
  if (index >= starts_[handle]) return false;
  block_[index] = position;
  return true;
}

std::span<const int32_t> TOccurrenceArrays::Slice(uint32_t handle) const {
  if (handle == 0 || handle > SliceCount()) return {};
  return std::span<const int32_t>(block_).subspan(starts_[handle - 1],
                                                  starts_[handle] - starts_[handle - 1]);
}

bool CountNGrams(TTextIndex& index, TCollocationList& list, const TNGramSettings& settings,
                 TStepProgress& progress, TOccurrenceArrays* occurrences) {
  const TTokenFlags flags(index, settings);
  TFileCounter counter(index, flags, settings, list, occurrences);
  if (occurrences == nullptr) {
    // N-grams repeat less the longer they are: in running text about half the bigrams are
    // distinct, two thirds of the trigrams, more of longer ones. A guess too low costs a
    // doubling of the hash; one too high, memory that the kernel clears for nothing.
    const auto bound = static_cast<size_t>(
        std::min(int64_t{index.SequenceCount()} + list.Count(), kMaxReservedItems));
    const size_t n = static_cast<size_t>(settings.n);
    list.ReserveItems(bound, bound / n * (n - 1));
  }
  for (int32_t file = 0; file < index.FileCount(); ++file) {
    const auto [first, end] = index.GetFileRange(file);
    if (progress.Shown()) {
      const auto at = static_cast<size_t>(file);
      progress.SetLabel(at < settings.fileNames.size() ? settings.fileNames[at] : "");
    }
    if (!counter.Count(first, end, progress) || progress.Poll()) return false;
  }
  return true;
}

std::unique_ptr<TCollocationList> ExtractNGrams(TTextIndex& index,
                                                const std::vector<std::string>& fileNames,
                                                const TFullExtractOptions& options,
                                                const TRunSettings& run) {
  const TNGramSettings settings =
      TNGramSettings::FromSettings(run, index, options.Max_Span, options.UsePOSTags, fileNames);
  std::unique_ptr<TProgress> window;
  if (int64_t{index.SequenceCount()} * settings.n > kProgressThreshold) {
    window = ShowProgress(TProgressKind::kCancel, kExtractingNGramsCaption);
    window->SetMax(index.SequenceCount() / kNGramProgressStep);
  }
  TStepProgress progress(window.get());
  auto list = std::make_unique<TCollocationList>(index, run.tables, settings.n);
  CountNGrams(index, *list, settings, progress);
  // A cancelled run shows what it counted, processed like a complete one.
  list->ReleaseHash();
  list->DropRare(settings.minWordFreq);
  list->ComputeScores(ValidScoreMethod(run.config.Last_Method_Selected),
                      CorpusWords(index, run.config));
  return list;
}

}  // namespace quenterra
