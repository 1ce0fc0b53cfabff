// TStringsView, the control that draws the lines of a text it does not own: only the visible
// lines are fetched and drawn, long lines either scroll sideways or wrap onto further rows, and
// the vertical scroll bar counts lines (scaled when there are too many for its positions). The
// layout rules are desktop/TextWindowRules.h; this class measures, draws and takes the input.
#pragma once

#include <QAbstractScrollArea>
#include <QColor>
#include <QFont>
#include <QString>
#include <cstdint>
#include <utility>
#include <vector>

#include "desktop/TextWindowRules.h"

namespace quenterra {

// One line as the view draws it: its text and the character ranges [first, second) drawn in
// the mark font.
struct TViewLine {
  QString text;
  std::vector<std::pair<int, int>> marks;
};

// The text a view draws. Line is asked only for lines below the count the view last refreshed.
class TViewLines {
 public:
  virtual ~TViewLines() = default;
  virtual int64_t Count() const = 0;
  virtual TViewLine Line(int64_t index) = 0;
};

class TStringsView : public QAbstractScrollArea {
  Q_OBJECT

 public:
  enum class TAlignment { kLeft, kRight, kCenter };

  explicit TStringsView(QWidget* parent = nullptr);

  // The text (not owned; null for none). Resets the view to the first line and column.
  void SetLines(TViewLines* lines);
  TViewLines* Lines() const { return lines_; }
  void SetWordWrap(bool on);
  bool WordWrap() const { return wordWrap_; }
  void SetAlignment(TAlignment alignment);
  void SetBorderStyle(bool single);
  // A current line that moves with the keys and the mouse.
  void SetEnableSelect(bool on);
  // The font and colour of the marked ranges.
  void SetMarkFont(const QFont& font, const QColor& color);

  // When the text holds more lines than at the last refresh: the top line is kept inside the
  // text, the rows are measured again, the view repaints and the scroll bars follow.
  void RefreshCount();
  // The lines' text changed (not their number): measure and repaint.
  void Invalidate();

  int64_t TopIndex() const { return top_; }
  void SetTopIndex(int64_t top);
  int LeftColumn() const { return left_; }
  int64_t ItemIndex() const { return current_; }
  int64_t KnownCount() const { return known_; }
  int LineHeight() const { return lineHeight_; }
  int CharWidth() const { return charWidth_; }
  // Whole lines and columns that fit the client area.
  int VisibleLines() const { return visibleLines_; }
  int VisibleColumns() const { return visibleColumns_; }
  // Whether the lines from the top one to the last known one fill the client height.
  bool Full() const;
  bool HasHorizontalScroll() const;
  // The screen rows of a known line: one, or with WordWrap as many as it wraps into.
  std::vector<TRow> RowsOf(int64_t line);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void changeEvent(QEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void scrollContentsBy(int dx, int dy) override;

 private:
  void Measure();
  void UpdateScrollBars();
  void VerticalAction(int action);
  void HorizontalAction(int action);
  void SetLeftColumn(int left);
  void MoveBy(int64_t lines);
  bool HorizontalKey(QKeyEvent* event);
  int64_t LineAt(int y);
  int DrawLine(QPainter& painter, const TViewLine& line, int y, const QRect& update);
  void DrawRow(QPainter& painter, const TViewLine& line, int begin, int end, int x, int y);
  int RowX(const TViewLine& line) const;
  int TextWidth() const;  // the client width the text may take

  TViewLines* lines_ = nullptr;
  bool wordWrap_ = false;
  TAlignment alignment_ = TAlignment::kLeft;
  bool enableSelect_ = false;
  QFont markFont_;
  QColor markColor_;
  bool marked_ = false;  // a mark font was given
  int64_t top_ = 0;      // first visible line
  int left_ = 0;         // first visible column
  int64_t current_ = -1;
  int64_t anchor_ = -1;  // selection anchor
  int lineHeight_ = 1;
  int charWidth_ = 1;
  int visibleLines_ = 0;
  int visibleColumns_ = 0;
  int longest_ = 0;    // longest line drawn, in columns
  int64_t known_ = 0;  // lines at the last refresh
};

}  // namespace quenterra
