// The arithmetic of a printed list: margins in printer pixels, the page estimate behind the
// page-count question, the tab stops carried over from the screen, and the flow of lines down
// the pages. The printing itself (engine/ui) only draws where this says.
//
// A page, in printer pixels:
//
//   top margin - height of "H" - 4 mm   header: title at the left margin, "Page N" at the right
//   top margin - 2 mm                   a 1-pixel rule from the left to the right margin
//   top margin .. bottom margin         the lines, each as high as its text
//   bottom margin + 2 mm                footer
//
// Margins: 15 mm left and right, 20 mm top and bottom, converted as mm / 25.4 * resolution and
// rounded to the nearest integer, halves to even.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace quenterra {

inline constexpr double kMarginLeftMm = 15;
inline constexpr double kMarginRightMm = 15;
inline constexpr double kMarginTopMm = 20;
inline constexpr double kMarginBottomMm = 20;
inline constexpr double kHeaderGapMm = 4;  // between the header's bottom and the top margin
inline constexpr double kRuleGapMm = 2;    // the rule above the top margin, the footer below
inline constexpr int kScreenDpi = 96;      // what the screen's column widths are measured in
// Above this many pages the user is asked before printing.
inline constexpr int kPagesWithoutQuestion = 4;
inline constexpr char kNoPrintersMessage[] = "ERROR: There are no printers installed.";

// mm at a resolution in dots per inch, rounded to the nearest integer, halves to even.
int MmToPixels(double mm, int dpi);

// The printable frame of a page, in printer pixels from the page's top left corner.
struct TPageMargins {
  int left = 0;
  int right = 0;  // from the left edge
  int top = 0;
  int bottom = 0;  // from the top edge

  static TPageMargins ForPage(int pageWidth, int pageHeight, int dpiX, int dpiY);
  int PrintableHeight() const { return bottom - top; }
};

// (itemCount - 1) * lineHeight / printable height + 1, in integer division.
int PageEstimate(int itemCount, int lineHeight, const TPageMargins& margins);
// "Are you sure you want to print %d pages?"
std::string PagesQuestion(int pages);

// One tab stop per column boundary: the running sums of the screen column widths, each converted
// to printer pixels as width * dpiX / 96, rounded halves to even.
std::vector<int> PrinterTabStops(const std::vector<int>& screenColumnWidths, int dpiX);

// Where the lines go: each line is placed at the current line, unless it would pass the bottom
// margin, in which case a new page starts and it goes to the top margin.
class TPageFlow {
 public:
  explicit TPageFlow(const TPageMargins& margins) : margins_(margins), line_(margins.top) {}

  // Places a line of `height`: its top. NewPage() tells whether a page had to be started for it.
  int Place(int height);
  bool NewPage() const { return newPage_; }
  int Page() const { return page_; }

 private:
  TPageMargins margins_;
  int line_;  // the current line's top
  int page_ = 1;
  bool newPage_ = false;
};

}  // namespace quenterra
