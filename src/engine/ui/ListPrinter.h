// Printing a collocation list: the printing frame (printer set-up, job, margins, header and
// footer on every page) and the list's lines with the screen's tab stops. The arithmetic is
// engine/PrintLayout.h; this file only draws.
#pragma once

#include <QFont>
#include <vector>

#include "engine/ListFormat.h"
#include "engine/collocList.h"

class QWidget;

namespace quenterra {

struct TListPrintJob {
  const TCollocationList* list = nullptr;
  TListView view;
  std::vector<int> screenColumnWidths;  // the grid's columns, in screen pixels
  QFont normalFont;                     // the lines
  QFont systemFont;                     // header (bold) and footer (italic)
};

// Prints the list in its current order through the printer the user sets up. No printer shows
// "ERROR: There are no printers installed."; a cancelled set-up prints nothing; more than four
// pages are printed only when the user confirms. Returns whether a document was printed.
bool PrintCollocationList(QWidget* parent, const TListPrintJob& job);

}  // namespace quenterra
