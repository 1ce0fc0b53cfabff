#include "engine/ui/CommonDialogs.h"

#include <QFileDialog>
#include <QFontDialog>
#include <QPageSetupDialog>
#include <QPrintDialog>

namespace quenterra {

namespace {

QStringList ChooseFiles(QWidget* parent, const TFileDialogRequest& desc) {
  QFileDialog dialog(parent, desc.title, desc.directory, desc.filter);
  dialog.setDefaultSuffix(desc.defaultSuffix);
  if (!desc.selectedFilter.isEmpty()) dialog.selectNameFilter(desc.selectedFilter);
  using TMode = TFileDialogRequest::TMode;
  if (desc.mode == TMode::kSave) {
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
  } else {
    dialog.setFileMode(desc.mode == TMode::kOpenMany ? QFileDialog::ExistingFiles
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

QString ChooseOneFile(QWidget* parent, const TFileDialogRequest& request) {
  const QStringList names = CommonDialogs().chooseFiles(parent, request);
  return names.isEmpty() ? QString() : names.front();
}

TFileDialogRequest SaveListDialog(const QString& title) {
  TFileDialogRequest request;
  request.mode = TFileDialogRequest::TMode::kSave;
  request.title = title;
  request.filter = "Text files (*.TXT *.txt);;All files (*)";
  request.defaultSuffix = "TXT";
  return request;
}

}  // namespace quenterra
