#include "engine/ui/ListPrinter.h"

#include <QFontMetrics>
#include <QPainter>

#include "engine/ListWindow.h"
#include "engine/PrintLayout.h"
#include "engine/ui/CommonDialogs.h"
#include "platform/Messages.h"

namespace quenterra {

namespace {

constexpr char kJobTitlePrefix[] = "Quenterra - ";

// The frame of every page: the header with the title and the page number, the rule, the footer.
class TPrintFrame {
 public:
  TPrintFrame(QPainter& painter, QPrinter& printer, const QString& title, const QFont& systemFont)
      : painter_(painter), title_(title), dpiX_(printer.resolution()), dpiY_(dpiX_) {
    const QRect page = printer.pageLayout().fullRectPixels(dpiX_);
    margins_ = TPageMargins::ForPage(page.width(), page.height(), dpiX_, dpiY_);
    header_ = systemFont;
    header_.setBold(true);
    footer_ = systemFont;
    footer_.setItalic(true);
  }

  const TPageMargins& Margins() const { return margins_; }
  int DpiX() const { return dpiX_; }

  void DrawFrame(int page) {
    painter_.setFont(header_);
    const int h = QFontMetrics(header_, painter_.device()).height();
    const int top = margins_.top - h - MmToPixels(kHeaderGapMm, dpiY_);
    const QRect band(margins_.left, top, margins_.right - margins_.left, h);
    painter_.drawText(band, Qt::AlignLeft | Qt::AlignTop, title_);
    painter_.drawText(band, Qt::AlignRight | Qt::AlignTop, QStringLiteral("Page %1").arg(page));
    const int rule = margins_.top - MmToPixels(kRuleGapMm, dpiY_);
    painter_.setPen(QPen(Qt::black, 1));
    painter_.drawLine(margins_.left, rule, margins_.right, rule);
    painter_.setFont(footer_);
    const int footerTop = margins_.bottom + MmToPixels(kRuleGapMm, dpiY_);
    painter_.drawText(QRect(margins_.left, footerTop, margins_.right - margins_.left, h),
                      Qt::AlignLeft | Qt::AlignTop, QString());  // the list prints no footer text
  }

 private:
  QPainter& painter_;
  QString title_;
  int dpiX_, dpiY_;
  TPageMargins margins_;
  QFont header_, footer_;
};

// Draws a line of tab-separated cells inside `line`: the first cell at its left edge, each next
// one at the next tab stop (measured from the left edge) past the end of the text before it.
void DrawTabbed(QPainter& painter, const QRect& line, const QString& text,
                const std::vector<int>& stops) {
  const QFontMetrics metrics(painter.font(), painter.device());
  int x = line.left();
  size_t stop = 0;
  const QStringList cells = text.split('\t');
  for (qsizetype i = 0; i < cells.size(); ++i) {
    if (i > 0) {
      while (stop < stops.size() && line.left() + stops[stop] <= x) ++stop;
      x = stop < stops.size() ? line.left() + stops[stop++] : x + metrics.horizontalAdvance(' ');
    }
    painter.drawText(QRect(x, line.top(), line.right() - x, line.height()),
                     Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, cells[i]);
    x += metrics.horizontalAdvance(cells[i]);
  }
}

void PrintLines(QPainter& painter, TPrintFrame& frame, const TListPrintJob& job) {
  painter.setFont(job.normalFont);
  const std::vector<int> stops = PrinterTabStops(job.screenColumnWidths, frame.DpiX());
  const TPageMargins& margins = frame.Margins();
  TPageFlow flow(margins);
  const TCollocationList& list = *job.list;
  for (int i = 0; i < list.Count(); ++i) {
    const QString line = QString::fromStdString(list.Tables().ToUtf8(ItemLine(list, i, job.view)));
    const int height = QFontMetrics(job.normalFont, painter.device()).height();
    const int top = flow.Place(height);
    if (flow.NewPage()) {
      static_cast<QPrinter*>(painter.device())->newPage();
      frame.DrawFrame(flow.Page());
      painter.setFont(job.normalFont);
    }
    const QRect clip(margins.left, top, margins.right - margins.left, height);
    painter.save();
    painter.setClipRect(clip);
    DrawTabbed(painter, clip, line, stops);
    painter.restore();
  }
}

}  // namespace

bool PrintCollocationList(QWidget* parent, const TListPrintJob& job) {
  const QString title = QString::fromStdString(PrintTitle(job.view));
  TPrinterChoice choice = CommonDialogs().choosePrinter(parent);
  if (choice.noPrinters) {
    MsgError(kNoPrintersMessage);
    return false;
  }
  if (choice.printer == nullptr) return false;
  QPrinter& printer = *choice.printer;
  printer.setFullPage(true);  // coordinates from the page's corner: the margins are ours
  printer.setDocName(kJobTitlePrefix + title);
  // The question comes before the document starts, so that No leaves no trace (a PDF file
  // cannot take a started document back).
  const int dpi = printer.resolution();
  const QRect page = printer.pageLayout().fullRectPixels(dpi);
  const int lineHeight = QFontMetrics(job.normalFont, &printer).height();
  const int pages = PageEstimate(job.list->Count(), lineHeight,
                                 TPageMargins::ForPage(page.width(), page.height(), dpi, dpi));
  if (pages > kPagesWithoutQuestion && !MsgAsk(PagesQuestion(pages), true)) return false;
  QPainter painter;
  if (!painter.begin(&printer)) {
    MsgError("Unable to start printing.");
    return false;
  }
  TPrintFrame frame(painter, printer, title, job.systemFont);
  frame.DrawFrame(1);
  PrintLines(painter, frame, job);
  return painter.end();
}

}  // namespace quenterra
