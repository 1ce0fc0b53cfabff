// The full extract: the word sequences of the whole corpus that behave as units, found without a
// search pattern in two filtering passes.
//
//   first count     every base n-gram of Min_Span words (n-gram counting)
//   initial filter  Min_Word_Freq and, unless the method is 0, the score of IF_Score_Method
//                   (only Mutual Information beyond bigrams); when it keeps more than 90 percent,
//                   the user is asked whether to go on
//   second count    the same counting again, recording the position of every occurrence of each
//                   kept base n-gram in its slice of one occurrence block
//   pass 1          each occurrence followed up to Max_Span counted words to the right (within
//                   its file, no stop-list or frequency test) into its base n-gram's extension
//                   tree, trees paged out to a temporary store
//   pass 2          every node of every tree scored by the extended filter (Cost Criterion or
//                   Mutual Information) and listed when it passes; then Min_Word_Freq
//
// The result has WordCount Max_Span; shorter items end at their first empty (-1) word.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "engine/RunSettings.h"
#include "settings/Settings.h"

namespace quenterra {

class TCollocationList;
class TTextIndex;

// The limits of the spans, as the full-extract options dialog offers them.
inline constexpr int kFEMinSpanLow = 2;
inline constexpr int kFEMinSpanHigh = 11;
inline constexpr int kFEMaxSpanLow = 3;
inline constexpr int kFEMaxSpanHigh = 12;
inline constexpr char kSpanOrderWarning[] = "Max. Span must be greather than Min. Span.";

inline constexpr char kFullExtractCaption[] = "Full Extract";  // the list window's title
inline constexpr char kFullExtractProgressCaption[] = "Extracting N-grams";
inline constexpr char kFullExtractPass1Caption[] = "Full Extract - Pass 1";
inline constexpr char kFullExtractPass2Caption[] = "Full Extract - Pass 2";
inline constexpr char kFewFilteredQuestion[] =
    "Less than 10% of the bigrams were filtered. Full extract may take long time. Do you want "
    "to continue?";

// What a run did, for the command line and benchmarks.
struct TFullExtractStats {
  int counted = 0;          // distinct base n-grams of the first count
  int kept = 0;             // after the initial filter
  int64_t occurrences = 0;  // of the kept base n-grams: the length of the occurrence block
  uint64_t storeBytes = 0;  // of the tree store at the end of pass 1
};

// Runs the full extract with the options and the run's settings and returns the new list, which
// the caller owns (it reads the run's tables, which must outlive it) and shows in a window titled
// kFullExtractCaption (marked tagged when UsePOSTags is on); the caller holds the busy flag.
// fileNames label the progress by file number.
//
// Returns null when the user answers No to kFewFilteredQuestion (asked through MsgAsk) or
// cancels in the progress window, which is shown when the sequence count times SpanRange
// exceeds 10000. With Min_Span above 2 an IF_Score_Method other than 2 is changed to 2 in
// the options. Spans outside their ranges are brought into them (Min_Span 2 .. 11, Max_Span
// 3 .. 12); Max_Span not above Min_Span throws "Max. Span must be greather than Min. Span.".
// Store failures throw EFileError (the disk refused) or "TCollocationTree: The tree store is
// damaged."; the store file is deleted on every path.
std::unique_ptr<TCollocationList> FullExtract(TTextIndex& index,
                                              const std::vector<std::string>& fileNames,
                                              TFullExtractOptions& options, const TRunSettings& run,
                                              TFullExtractStats* stats = nullptr);

}  // namespace quenterra
