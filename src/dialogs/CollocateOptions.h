// The rules of the collocates dialog: the window (positions left and right of the node), word&tag
// collocates, the two minima and the score the window shows and sorts by. The dialog binds its
// controls to a TCollocateOptions, asks Validate on OK and calls Store; Cancel writes nothing.
// The window, tags, collocate minimum and score live with the session (the last choice comes back
// the next time); the co-occurrence minimum is Min_Word_Freq, as on the command line.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "engine/Collocates.h"
#include "settings/Settings.h"

namespace quenterra {

inline constexpr char kCollocateOptionsCaption[] = "Collocates Options";
inline constexpr int32_t kMinCooccurrenceHigh = 32767;  // Min_Word_Freq's range
inline constexpr char kAllScoresItem[] = "All scores (sorted by Freq)";

struct TCollocateOptions {
  int left = 5;   // 0 .. kMaxCollocateWindow
  int right = 5;  // 0 .. kMaxCollocateWindow
  bool useTags = false;
  int32_t minCooccurrence = 1;           // 1 .. kMinCooccurrenceHigh
  int32_t minCollocateFreq = 1;          // 1 ..
  std::optional<TCollocateScore> score;  // none: every score, sorted by the total

  // The dialog as it opens: last's choices, the co-occurrence minimum from Min_Word_Freq (brought
  // into its range), tags off when the corpus has none.
  static TCollocateOptions FromSettings(const ZuzadovUdirev& config, TCollocateOptions last);

  // Why these values cannot be counted, or empty when they can.
  std::string Validate(const ZuzadovUdirev& config) const;
  // OK: Min_Word_Freq.
  void Store(ZuzadovUdirev& config) const;

  // What the count takes; the stop list comes from the run's settings, and so does the
  // co-occurrence minimum once Store has written it.
  TCollocateSettings Shape() const;
  // The scores the window shows, and its sort.
  std::vector<TCollocateScore> Scores() const;
  TCollocateSortKey SortKey() const;
};

}  // namespace quenterra
