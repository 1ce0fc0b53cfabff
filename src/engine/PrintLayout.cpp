#include "engine/PrintLayout.h"

#include <cmath>
#include <cstdio>

namespace quenterra {

namespace {

// Rounds to the nearest integer, halves to even (the default rounding mode).
int RoundEven(double value) { return static_cast<int>(std::nearbyint(value)); }

}  // namespace

int MmToPixels(double mm, int dpi) { return RoundEven(mm / 25.4 * dpi); }

TPageMargins TPageMargins::ForPage(int pageWidth, int pageHeight, int dpiX, int dpiY) {
  TPageMargins margins;
  margins.left = MmToPixels(kMarginLeftMm, dpiX);
  margins.right = pageWidth - MmToPixels(kMarginRightMm, dpiX);
  margins.top = MmToPixels(kMarginTopMm, dpiY);
  margins.bottom = pageHeight - MmToPixels(kMarginBottomMm, dpiY);
  return margins;
}

int PageEstimate(int itemCount, int lineHeight, const TPageMargins& margins) {
  const int printable = margins.PrintableHeight();
  if (printable <= 0) return 1;
  const int64_t lines = static_cast<int64_t>(itemCount - 1) * lineHeight;
  return static_cast<int>(lines / printable) + 1;
}

std::string PagesQuestion(int pages) {
  char text[64];
  std::snprintf(text, sizeof text, "Are you sure you want to print %d pages?", pages);
  return text;
}

std::vector<int> PrinterTabStops(const std::vector<int>& screenColumnWidths, int dpiX) {
  std::vector<int> stops;
  int sum = 0;
  for (int width : screenColumnWidths) {
    sum += width;
    stops.push_back(RoundEven(static_cast<double>(sum) * dpiX / kScreenDpi));
  }
  return stops;
}

int TPageFlow::Place(int height) {
  newPage_ = line_ + height > margins_.bottom && line_ > margins_.top;
  if (newPage_) {
    ++page_;
    line_ = margins_.top;
  }
  const int top = line_;
  line_ += height;
  return top;
}

}  // namespace quenterra
