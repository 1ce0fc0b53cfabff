#include "dialogs/CollocateOptions.h"

#include <algorithm>

#include "engine/ResultTables.h"

namespace quenterra {

TCollocateOptions TCollocateOptions::FromSettings(const ZuzadovUdirev& config,
                                                  TCollocateOptions last) {
  last.minCooccurrence = std::clamp(config.Min_Word_Freq, 1, kMinCooccurrenceHigh);
  last.useTags = last.useTags && config.WordTag != 0;
  return last;
}

std::string TCollocateOptions::Validate(const ZuzadovUdirev& config) const {
  const auto inWindow = [](int side) { return side >= 0 && side <= kMaxCollocateWindow; };
  if (!inWindow(left) || !inWindow(right)) {
    return "Each side of the window takes 0 to " + std::to_string(kMaxCollocateWindow) +
           " positions.";
  }
  if (left + right == 0) return "The window is empty: choose at least one position.";
  if (minCooccurrence < 1 || minCooccurrence > kMinCooccurrenceHigh) {
    return "The minimal co-occurrence must be between 1 and " +
           std::to_string(kMinCooccurrenceHigh) + ".";
  }
  if (minCollocateFreq < 1) return "The minimal collocate frequency must be at least 1.";
  if (useTags && config.WordTag == 0) return "Word&tag collocates need a corpus with word tags.";
  return {};
}

void TCollocateOptions::Store(ZuzadovUdirev& config) const {
  config.Min_Word_Freq = minCooccurrence;
}

TCollocateSettings TCollocateOptions::Shape() const {
  TCollocateSettings shape;
  shape.left = left;
  shape.right = right;
  shape.useTags = useTags;
  shape.minCooccurrence = minCooccurrence;
  shape.minCollocateFreq = minCollocateFreq;
  return shape;
}

std::vector<TCollocateScore> TCollocateOptions::Scores() const {
  return score ? std::vector<TCollocateScore>{*score} : AllCollocateScores();
}

TCollocateSortKey TCollocateOptions::SortKey() const {
  if (!score) return {};
  return {TCollocateSortKind::kScore, *score, 0};
}

}  // namespace quenterra
