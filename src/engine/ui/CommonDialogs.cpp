#include "engine/ui/CommonDialogs.h"

#include <QFileDialog>
#include <QFontDialog>
#include <QPageSetupDialog>
#include <QPrintDialog>

namespace quenterra {

namespace {

QStringList ChooseFiles(QWidget* parent, const TFileDialogSpec& spec) {
  QFileDialog dialog(parent, spec.title, spec.directory, spec.filter);
  dialog.setDefaultSuffix(spec.defaultSuffix);
  if (!spec.selectedFilter.isEmpty()) dialog.selectNameFilter(spec.selectedFilter);
  using TMode = TFileDialogSpec::TMode;
  if (spec.mode == TMode::kSave) {
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
  } else {
    dialog.setFileMode(spec.mode == TMode::kOpenMany ? QFileDialog::ExistingFiles
                                                     : QFileDialog::ExistingFile);
  }
  if (dialog.exec() != QDialog::Accepted) return {};
  return dialog.selectedFiles();
}

bool ChooseFont(QWidget* parent, QFont& font) {
  bool ok = false;
  QFont chosen = QFontDialog::getFont(&ok, font, parent);
  if (ok) font = chosen;
  return ok;
}

// The one printer the program prints to, kept for the set-up dialog's choices.
QPrinter& SharedPrinter() {
  static QPrinter printer(QPrinter::HighResolution);
  return printer;
}

TPrinterChoice ChoosePrinter(QWidget* parent) {
  TPrinterChoice choice;
  QPrintDialog dialog(&SharedPrinter(), parent);
  if (dialog.exec() != QDialog::Accepted) return choice;
  auto printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
  printer->setPrinterName(SharedPrinter().printerName());
  printer->setOutputFormat(SharedPrinter().outputFormat());
  printer->setOutputFileName(SharedPrinter().outputFileName());
  printer->setPageLayout(SharedPrinter().pageLayout());
  printer->setCopyCount(SharedPrinter().copyCount());
  choice.printer = std::move(printer);
  return choice;
}

void PrintSetup(QWidget* parent) {
  QPageSetupDialog dialog(&SharedPrinter(), parent);
  dialog.exec();
}

TCommonDialogs RealDialogs() { return {ChooseFiles, ChooseFont, ChoosePrinter, PrintSetup}; }

}  // namespace

TCommonDialogs& CommonDialogs() {
  static TCommonDialogs dialogs = RealDialogs();
  return dialogs;
}

void RestoreCommonDialogs() { CommonDialogs() = RealDialogs(); }

}  // namespace quenterra
