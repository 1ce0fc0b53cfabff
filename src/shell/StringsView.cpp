#include "shell/StringsView.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QScrollBar>
#include <QTimer>
#include <algorithm>

namespace quenterra {

namespace {

// Room between the text and the control's edges.
constexpr int kMargin = 2;

// Widths of the characters of text in the font, a surrogate pair counted at its first half.
std::function<int(int)> CharWidths(const QString& text, const QFontMetrics& metrics) {
  return [&text, &metrics](int i) {
    const QChar c = text.at(i);
    if (c.isLowSurrogate()) return 0;
    if (c.isHighSurrogate() && i + 1 < text.size())
      return metrics.horizontalAdvance(text.mid(i, 2));
    return metrics.horizontalAdvance(c);
  };
}

std::u16string_view Utf16(const QString& text) {
  return {reinterpret_cast<const char16_t*>(text.utf16()), static_cast<size_t>(text.size())};
}

}  // namespace

TStringsView::TStringsView(QWidget* parent) : QAbstractScrollArea(parent) {
  setObjectName("TextWindow");
  setFocusPolicy(Qt::StrongFocus);
  viewport()->setBackgroundRole(QPalette::Base);
  viewport()->setAutoFillBackground(true);
  setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  connect(verticalScrollBar(), &QScrollBar::actionTriggered, this, &TStringsView::VerticalAction);
  connect(horizontalScrollBar(), &QScrollBar::actionTriggered, this,
          &TStringsView::HorizontalAction);
  Measure();
}

void TStringsView::SetLines(TViewLines* lines) {
  lines_ = lines;
  top_ = 0;
  left_ = 0;
  current_ = anchor_ = -1;
  longest_ = 0;
  known_ = 0;
  RefreshCount();
  viewport()->update();
}

void TStringsView::SetWordWrap(bool on) {
  wordWrap_ = on;
  left_ = 0;
  UpdateScrollBars();
  viewport()->update();
}

void TStringsView::SetAlignment(TAlignment alignment) {
  alignment_ = alignment;
  left_ = 0;
  UpdateScrollBars();
  viewport()->update();
}

void TStringsView::SetBorderStyle(bool single) {
  setFrameShape(single ? QFrame::StyledPanel : QFrame::NoFrame);
}

void TStringsView::SetEnableSelect(bool on) {
  enableSelect_ = on;
  if (!on) current_ = anchor_ = -1;
  viewport()->update();
}

void TStringsView::SetMarkFont(const QFont& font, const QColor& color) {
  markFont_ = font;
  markColor_ = color;
  marked_ = true;
  viewport()->update();
}

// ---- Count and metrics ------------------------------------------------------------------------

void TStringsView::RefreshCount() {
  const int64_t count = lines_ != nullptr ? lines_->Count() : 0;
  if (count <= known_ && lines_ != nullptr) return;
  known_ = count;
  if (top_ >= known_) top_ = std::max<int64_t>(known_ - 1, 0);
  if (known_ > 0) Measure();
  viewport()->update();
  UpdateScrollBars();
}

void TStringsView::Invalidate() {
  Measure();
  viewport()->update();
}

bool TStringsView::Full() const { return (known_ - top_) * lineHeight_ >= viewport()->height(); }

bool TStringsView::HasHorizontalScroll() const {
  return known_ > 0 && !wordWrap_ && alignment_ != TAlignment::kCenter;
}

void TStringsView::Measure() {
  const QFontMetrics metrics(font());
  lineHeight_ = std::max(1, metrics.height());
  charWidth_ = std::max(1, metrics.averageCharWidth());
  visibleLines_ = viewport()->height() / lineHeight_;
  visibleColumns_ = TextWidth() / charWidth_;
  UpdateScrollBars();
}

void TStringsView::UpdateScrollBars() {
  const TScrollScale scale(known_, visibleLines_);
  QScrollBar* vertical = verticalScrollBar();
  if (scale.Scaled()) {
    vertical->setRange(0, TScrollScale::kMaxThumb);
    vertical->setPageStep(static_cast<int>(
        std::max<int64_t>(1, visibleLines_ * TScrollScale::kMaxThumb / scale.Range())));
  } else {
    vertical->setRange(0, static_cast<int>(scale.LastTop()));
    vertical->setPageStep(std::max(1, visibleLines_));
  }
  vertical->setValue(scale.Thumb(top_));
  QScrollBar* horizontal = horizontalScrollBar();
  if (!HasHorizontalScroll()) {
    horizontal->setRange(0, 0);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    return;
  }
  setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  const int half = std::max(1, visibleColumns_ / 2);
  horizontal->setRange(0, std::max(0, longest_ + half - visibleColumns_));
  horizontal->setPageStep(half);
  horizontal->setValue(left_);
}

void TStringsView::resizeEvent(QResizeEvent* event) {
  QAbstractScrollArea::resizeEvent(event);
  Measure();
}

void TStringsView::changeEvent(QEvent* event) {
  QAbstractScrollArea::changeEvent(event);
  if (event->type() == QEvent::FontChange) Invalidate();
}

// ---- Scrolling --------------------------------------------------------------------------------

void TStringsView::SetTopIndex(int64_t top) {
  const TScrollScale scale(known_, visibleLines_);
  top = std::clamp<int64_t>(top, 0, scale.LastTop());
  const int64_t delta = top - top_;
  if (delta == 0) return;
  top_ = top;
  // One line moves the pixels and draws the uncovered line; anything more repaints.
  if (!wordWrap_ && (delta == 1 || delta == -1)) {
    viewport()->scroll(0, static_cast<int>(-delta) * lineHeight_);
  } else {
    viewport()->update();
  }
  verticalScrollBar()->setValue(scale.Thumb(top_));
}

void TStringsView::SetLeftColumn(int left) {
  if (!HasHorizontalScroll()) return;
  left = std::clamp(left, 0, horizontalScrollBar()->maximum());
  if (left == left_) return;
  left_ = left;
  horizontalScrollBar()->setValue(left_);
  viewport()->update();
}

void TStringsView::MoveBy(int64_t lines) {
  if (!enableSelect_) return SetTopIndex(top_ + lines);
  current_ = std::clamp<int64_t>(std::max<int64_t>(current_, 0) + lines, 0,
                                 std::max<int64_t>(known_ - 1, 0));
  anchor_ = current_;
  if (current_ < top_) SetTopIndex(current_);
  if (current_ >= top_ + visibleLines_) SetTopIndex(current_ - visibleLines_ + 1);
  viewport()->update();
}

void TStringsView::VerticalAction(int action) {
  const int64_t page = std::max(1, visibleLines_);
  switch (action) {
    case QAbstractSlider::SliderSingleStepAdd:
      SetTopIndex(top_ + 1);
      break;
    case QAbstractSlider::SliderSingleStepSub:
      SetTopIndex(top_ - 1);
      break;
    case QAbstractSlider::SliderPageStepAdd:
      SetTopIndex(top_ + page);
      break;
    case QAbstractSlider::SliderPageStepSub:
      SetTopIndex(top_ - page);
      break;
    case QAbstractSlider::SliderToMinimum:
      SetTopIndex(0);
      break;
    case QAbstractSlider::SliderToMaximum:
      SetTopIndex(known_);
      break;
    default:
      return;  // a dragged thumb arrives through scrollContentsBy
  }
  verticalScrollBar()->setSliderPosition(TScrollScale(known_, visibleLines_).Thumb(top_));
}

void TStringsView::HorizontalAction(int action) {
  if (action == QAbstractSlider::SliderMove) return;
  SetLeftColumn(horizontalScrollBar()->sliderPosition());
}

void TStringsView::scrollContentsBy(int, int) {
  // Both bars are kept in step with the view; a position that differs came from the user.
  const TScrollScale scale(known_, visibleLines_);
  const int thumb = verticalScrollBar()->value();
  if (thumb != scale.Thumb(top_)) SetTopIndex(scale.TopOf(thumb));
  const int left = horizontalScrollBar()->value();
  if (HasHorizontalScroll() && left != left_) SetLeftColumn(left);
}

// ---- Keys and mouse ---------------------------------------------------------------------------

void TStringsView::keyPressEvent(QKeyEvent* event) {
  if (visibleLines_ < 1) return QAbstractScrollArea::keyPressEvent(event);
  const bool ctrl = (event->modifiers() & Qt::ControlModifier) != 0;
  if (ctrl || event->key() == Qt::Key_Left || event->key() == Qt::Key_Right) {
    if (!HorizontalKey(event)) QAbstractScrollArea::keyPressEvent(event);
    return;
  }
  switch (event->key()) {
    case Qt::Key_Up:
      return MoveBy(-1);
    case Qt::Key_Down:
      return MoveBy(1);
    case Qt::Key_PageUp:
      return MoveBy(-visibleLines_);
    case Qt::Key_PageDown:
      return MoveBy(visibleLines_);
    case Qt::Key_Home:
      return MoveBy(-std::max<int64_t>(known_, current_ + 1));
    case Qt::Key_End:
      return MoveBy(known_);
    default:
      return QAbstractScrollArea::keyPressEvent(event);
  }
}

// Left, Right and Ctrl with Page Up, Page Down, Home or End: sideways, where that scrolls.
bool TStringsView::HorizontalKey(QKeyEvent* event) {
  if (!HasHorizontalScroll()) return false;
  const int half = std::max(1, visibleColumns_ / 2);
  switch (event->key()) {
    case Qt::Key_Left:
      SetLeftColumn(left_ - 1);
      return true;
    case Qt::Key_Right:
      SetLeftColumn(left_ + 1);
      return true;
    case Qt::Key_PageUp:
      SetLeftColumn(left_ - half);
      return true;
    case Qt::Key_PageDown:
      SetLeftColumn(left_ + half);
      return true;
    case Qt::Key_Home:
      SetLeftColumn(0);
      return true;
    case Qt::Key_End:
      SetLeftColumn(horizontalScrollBar()->maximum());
      return true;
    default:
      return false;
  }
}

std::vector<TRow> TStringsView::RowsOf(int64_t line) {
  if (lines_ == nullptr || line < 0 || line >= known_) return {};
  const QString text = lines_->Line(line).text;
  if (!wordWrap_) return {TRow{0, static_cast<int>(text.size())}};
  const QFontMetrics metrics(font());
  return WrapLine(Utf16(text), TextWidth(), CharWidths(text, metrics));
}

int TStringsView::TextWidth() const { return std::max(1, viewport()->width() - 2 * kMargin); }

int64_t TStringsView::LineAt(int y) {
  if (!wordWrap_ || lines_ == nullptr) return std::min(top_ + y / lineHeight_, known_ - 1);
  int rowTop = 0;
  for (int64_t line = top_; line < known_; ++line) {
    rowTop += lineHeight_ * static_cast<int>(RowsOf(line).size());
    if (y < rowTop) return line;
  }
  return known_ - 1;
}

void TStringsView::mousePressEvent(QMouseEvent* event) {
  if (!enableSelect_ || known_ == 0 || event->button() != Qt::LeftButton) return;
  current_ = anchor_ = LineAt(event->position().toPoint().y());
  viewport()->update();
}

void TStringsView::mouseMoveEvent(QMouseEvent* event) {
  if (!enableSelect_ || known_ == 0 || (event->buttons() & Qt::LeftButton) == 0) return;
  current_ = LineAt(event->position().toPoint().y());
  viewport()->update();
}

// ---- Drawing ----------------------------------------------------------------------------------

void TStringsView::paintEvent(QPaintEvent* event) {
  QPainter painter(viewport());
  const QRect update = event->rect();
  painter.setClipRect(update);
  painter.fillRect(update, viewport()->palette().color(QPalette::Base));
  if (lines_ == nullptr) return;
  const int longest = longest_;
  int y = 0;
  for (int64_t line = top_; line < known_ && y < viewport()->height(); ++line) {
    if (!wordWrap_ && y + lineHeight_ <= update.top()) {
      y += lineHeight_;  // above the update region: not even fetched
      continue;
    }
    if (y > update.bottom()) break;
    if (enableSelect_ && line >= std::min(current_, anchor_) &&
        line <= std::max(current_, anchor_)) {
      painter.fillRect(0, y, viewport()->width(), lineHeight_,
                       palette().color(QPalette::Highlight));
    }
    y = DrawLine(painter, lines_->Line(line), y, update);
  }
  // A longer line than seen before widens the horizontal range, after this paint.
  if (longest_ != longest) QTimer::singleShot(0, this, [this] { UpdateScrollBars(); });
}

// Draws the rows of one line from y on; returns the y below them.
int TStringsView::DrawLine(QPainter& painter, const TViewLine& line, int y, const QRect& update) {
  const QFontMetrics metrics(font());
  if (!wordWrap_) {
    longest_ = std::max(longest_, static_cast<int>(line.text.size()));
    DrawRow(painter, line, 0, static_cast<int>(line.text.size()), RowX(line), y);
    return y + lineHeight_;
  }
  for (const TRow& row : WrapLine(Utf16(line.text), TextWidth(), CharWidths(line.text, metrics))) {
    if (y + lineHeight_ > update.top() && y <= update.bottom())
      DrawRow(painter, line, row.begin, row.end, kMargin, y);
    y += lineHeight_;
  }
  return y;
}

int TStringsView::RowX(const TViewLine& line) const {
  const int width = QFontMetrics(font()).horizontalAdvance(line.text);
  switch (alignment_) {
    case TAlignment::kRight:
      return kMargin + TextWidth() - width;
    case TAlignment::kCenter:
      return kMargin + (TextWidth() - width) / 2;
    default:
      return kMargin - left_ * charWidth_;
  }
}

// Characters [begin, end) of the line at x, y: in the view's font, the marked ranges in the mark
// font.
void TStringsView::DrawRow(QPainter& painter, const TViewLine& line, int begin, int end, int x,
                           int y) {
  const int baseline = y + QFontMetrics(font()).ascent();
  const QColor text = palette().color(QPalette::Text);
  int at = begin;
  while (at < end) {
    bool mark = false;
    int stop = end;
    for (const auto& [first, last] : line.marks) {
      if (first <= at && at < last) {
        mark = marked_;
        stop = std::min(stop, last);
      } else if (first > at) {
        stop = std::min(stop, first);
      }
    }
    const QString part = line.text.mid(at, stop - at);
    const QFont& font = mark ? markFont_ : this->font();
    painter.setFont(font);
    painter.setPen(mark ? markColor_ : text);
    painter.drawText(x, baseline, part);
    x += QFontMetrics(font).horizontalAdvance(part);
    at = stop;
  }
}

}  // namespace quenterra
