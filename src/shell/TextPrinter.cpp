#include "shell/TextPrinter.h"

#include <QFontMetrics>

#include "desktop/TextWindowRules.h"

namespace quenterra {

namespace {

constexpr int kTabColumns = 8;

QString ExpandTabs(const QString& text) {
  QString out;
  for (QChar c : text) {
    if (c != u'\t') {
      out += c;
      continue;
    }
    do out += u' ';
    while (out.size() % kTabColumns != 0);
  }
  return out;
}

}  // namespace

TPrinterChannel::TPrinterChannel(QPrinter& printer, const TLangTables& tables)
    : printer_(printer), tables_(tables) {
  if (!painter_.begin(&printer_)) return;
  page_ = QRect(QPoint(0, 0), printer_.pageLayout().paintRectPixels(printer_.resolution()).size());
  lineHeight_ = std::max(1, QFontMetrics(painter_.font(), &printer_).height());
}

TPrinterChannel::~TPrinterChannel() {
  if (!painter_.isActive()) return;
  if (!line_.empty()) EndLine();
  painter_.end();
}

void TPrinterChannel::Abort() {
  if (!painter_.isActive()) return;
  printer_.abort();
  painter_.end();
}

// Carriage returns, line feeds and the two together each end one line.
void TPrinterChannel::Write(std::string_view bytes) {
  if (!painter_.isActive()) return;
  for (char c : bytes) {
    const bool secondHalf = c == '\n' && afterCr_;
    afterCr_ = c == '\r';
    if (secondHalf) continue;
    if (c == '\n' || c == '\r') {
      EndLine();
    } else {
      line_.push_back(c);
    }
  }
}

void TPrinterChannel::EndLine() {
  const QString text = ExpandTabs(QString::fromStdString(tables_.ToUtf8(line_)));
  line_.clear();
  const QFontMetrics metrics(painter_.font(), &printer_);
  auto widthOf = [&](int i) {
    const QChar c = text.at(i);
    if (c.isLowSurrogate()) return 0;
    if (c.isHighSurrogate() && i + 1 < text.size())
      return metrics.horizontalAdvance(text.mid(i, 2));
    return metrics.horizontalAdvance(c);
  };
  const std::u16string_view view(reinterpret_cast<const char16_t*>(text.utf16()),
                                 static_cast<size_t>(text.size()));
  for (const TRow& row : WrapLine(view, page_.width(), widthOf))
    PrintRow(text.mid(row.begin, row.end - row.begin));
}

void TPrinterChannel::PrintRow(const QString& text) {
  if (y_ + lineHeight_ > page_.height()) {
    printer_.newPage();
    y_ = 0;
  }
  painter_.drawText(QRect(0, y_, page_.width(), lineHeight_), Qt::AlignLeft | Qt::AlignTop, text);
  y_ += lineHeight_;
}

}  // namespace quenterra
