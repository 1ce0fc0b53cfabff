// The platform's file, font and printer dialogs behind one replaceable seam, so that the
// commands that use them run unattended in tests. Each hook has a default that shows the real
// dialog; a test installs its own.
#pragma once

#include <QFont>
#include <QPrinter>
#include <QString>
#include <QStringList>
#include <functional>
#include <memory>

class QWidget;

namespace quenterra {

struct TFileDialogRequest {
  enum class TMode { kOpen, kOpenMany, kSave };
  TMode mode = TMode::kOpen;
  QString title;
  QString filter;  // "Text Files (*.TXT);;All Files (*)"
  QString selectedFilter;
  QString defaultSuffix;
  QString directory;
};

// What the printer dialog gave: no printer at all, a cancelled dialog, or a printer to use.
struct TPrinterChoice {
  bool noPrinters = false;
  std::unique_ptr<QPrinter> printer;  // null when cancelled or when there is no printer
};

struct TCommonDialogs {
  // The chosen names (one for kOpen and kSave); empty on Cancel.
  std::function<QStringList(QWidget* parent, const TFileDialogRequest& desc)> chooseFiles;
  // A font, starting from `initial`; false on Cancel.
  std::function<bool(QWidget* parent, QFont& font)> chooseFont;
  // The printer set-up dialog before printing. Printing to a PDF file counts as a printer.
  std::function<TPrinterChoice(QWidget* parent)> choosePrinter;
  // "Print Setup...": the set-up dialog alone.
  std::function<void(QWidget* parent)> printSetup;
};

// The installed hooks (the real dialogs unless a test replaced them).
TCommonDialogs& CommonDialogs();
// Puts the real dialogs back.
void RestoreCommonDialogs();

// The one name chosen through the installed file dialog; empty on Cancel.
QString ChooseOneFile(QWidget* parent, const TFileDialogRequest& request);
// The save dialog of a list window: a text file, ".TXT" added when no suffix is typed.
TFileDialogRequest SaveListDialog(const QString& title);

}  // namespace quenterra
