// Printing a corpus text on a printer: the bytes of the file become lines of text in the
// printer's font, decoded through the corpus encoding, wrapped at the page's width, with a new
// page whenever one is full. The reading, the gauge, the rate and Cancel are desktop/TextPrint.h.
#pragma once

#include <QFont>
#include <QPainter>
#include <QPrinter>
#include <string>
#include <string_view>

#include "corpus/LangTables.h"
#include "desktop/TextPrint.h"

namespace quenterra {

class TPrinterChannel : public TTextChannel {
 public:
  // printer must be set up; tables decode the bytes. The job starts at once.
  TPrinterChannel(QPrinter& printer, const TLangTables& tables);
  // Prints what is left of the last line and ends the job, unless it was aborted.
  ~TPrinterChannel() override;

  void Write(std::string_view bytes) override;
  void Abort();
  bool Active() const { return painter_.isActive(); }

 private:
  void EndLine();
  void PrintRow(const QString& text);

  QPrinter& printer_;
  const TLangTables& tables_;
  QPainter painter_;
  std::string line_;  // bytes of the line not yet printed
  bool afterCr_ = false;
  int y_ = 0;
  int lineHeight_ = 1;
  QRect page_;
};

}  // namespace quenterra
