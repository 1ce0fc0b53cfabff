#include "shell/FullText.h"

#include <QAction>
#include <QCloseEvent>
#include <QMenu>
#include <QVBoxLayout>
#include <algorithm>

#include "engine/ui/CommonDialogs.h"
#include "engine/ui/Fonts.h"
#include "shell/StringsView.h"

namespace quenterra {

namespace {

// While the view is full and counting goes on, the scroll range follows the count this often.
constexpr int kCountRefreshMs = 250;

int Utf16Length(const TLangTables& tables, std::string_view bytes) {
  return static_cast<int>(QString::fromStdString(tables.ToUtf8(bytes)).size());
}

}  // namespace

// The line list as the view draws it: decoded through the corpus encoding, the marked bytes as
// character ranges.
class TFullTextLines : public TViewLines {
 public:
  TFullTextLines(TFileStrings& lines, const TLangTables& tables) : lines_(lines), tables_(tables) {}

  int64_t Count() const override { return lines_.GetCount(); }

  TViewLine Line(int64_t index) override {
    TViewLine line;
    std::vector<int64_t> offsets;
    const std::string bytes = marks_.empty() ? lines_.Get(index) : lines_.Get(index, offsets);
    line.text = QString::fromStdString(tables_.ToUtf8(bytes));
    for (const TByteSpan& span : marks_) {
      const auto first = std::lower_bound(offsets.begin(), offsets.end(), span.begin);
      const auto last = std::lower_bound(first, offsets.end(), span.end);
      if (first == last) continue;
      const std::string_view view(bytes);
      line.marks.emplace_back(Utf16Length(tables_, view.substr(0, first - offsets.begin())),
                              Utf16Length(tables_, view.substr(0, last - offsets.begin())));
    }
    return line;
  }

  void SetMarks(std::vector<TByteSpan> marks) { marks_ = std::move(marks); }

 private:
  TFileStrings& lines_;
  const TLangTables& tables_;
  std::vector<TByteSpan> marks_;
};

TFullTextForm::TFullTextForm(TProgramSettings& settings, QWidget* parent)
    : QWidget(parent), settings_(settings), view_(new TStringsView(this)) {
  setObjectName("TFullTextForm");
  setWindowTitle(kCorpusTextCaption);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(view_);
  view_->setFont(FontFromChoice(settings_.global.CorpusFont));
  QPalette palette = view_->palette();
  palette.setColor(QPalette::Text, ColorFromChoice(settings_.global.CorpusFont));
  view_->setPalette(palette);
  view_->SetMarkFont(FontFromChoice(settings_.config.HiliteFont),
                     ColorFromChoice(settings_.config.HiliteFont));
  BuildMenu();
  countTimer_.setInterval(kCountRefreshMs);
  connect(&countTimer_, &QTimer::timeout, this, &TFullTextForm::RefreshWhileCounting);
}

TFullTextForm::~TFullTextForm() {
  view_->SetLines(nullptr);
  lineList_.reset();  // stops the count; nothing is reported afterwards
}

void TFullTextForm::BuildMenu() {
  menu_ = new QMenu("Corpus &Text", this);
  menu_->setObjectName("TM_CorpusText");
  AddItem(menu_, "TMT_ChangeFont", "Change &Font...", "Change font in full text window");
  connect(menu_->actions().back(), &QAction::triggered, this, [this] { ChangeFont(); });
  wrapItem_ = AddItem(menu_, "TMT_Wrap", "Word W&rap",
                      "Control wrapping of lines longer than the display window");
  wrapItem_->setCheckable(true);
  connect(wrapItem_, &QAction::triggered, this, &TFullTextForm::ToggleWrap);
  QMenu* suppress = menu_->addMenu("&Suppress");
  suppress->setObjectName("TMT_Suppress");
  suppress->menuAction()->setObjectName("TMT_Suppress");
  suppress->menuAction()->setStatusTip("Show/Hide selected items");
  const char* names[] = {"TMT_SuppressTags", "TMT_SuppressPartOfspeech", "TMT_SuppressWords"};
  const char* captions[] = {"&Tags", "&Part of Speech", "&Words"};
  for (int i = 0; i < 3; ++i) {
    suppressItems_[i] = AddItem(suppress, names[i], captions[i], "");
    suppressItems_[i]->setCheckable(true);
    const auto which = static_cast<TSuppress>(i);
    connect(suppressItems_[i], &QAction::triggered, this, [this, which] { ToggleSuppress(which); });
  }
  menu_->addSeparator();
  connect(AddItem(menu_, "TMT_Print", "&Print",
                  "Print the full text window to the currently selected printer"),
          &QAction::triggered, this, &TFullTextForm::PrintRequested);
  connect(AddItem(menu_, "TMT_CloseAll", "&Hide All", "Close all corpus text windows"),
          &QAction::triggered, this, &TFullTextForm::HideAllRequested);
}

QAction* TFullTextForm::AddItem(QMenu* menu, const char* name, const char* caption,
                                const char* hint) {
  QAction* action = menu->addAction(caption);
  action->setObjectName(name);
  action->setStatusTip(hint);
  return action;
}

// ---- The file and its count -------------------------------------------------------------------

void TFullTextForm::OpenFile(const std::string& fileName, TSynchroStream& stream) {
  setWindowTitle(QString::fromStdString(CorpusTextCaption(fileName)));
  fileName_ = fileName;
  linesSeen_ = -1;
  stream_ = &stream;
  reader_ = std::make_unique<TBufStream>(stream, settings_.config);
  TFileStrings::TNotifications notifications;
  // Both arrive on the counting thread; the window's thread takes them from the event queue.
  notifications.newLine = [this] {
    if (viewFull_.load(std::memory_order_relaxed) || refreshQueued_.exchange(true)) return;
    QMetaObject::invokeMethod(this, &TFullTextForm::NewLines, Qt::QueuedConnection);
  };
  notifications.countingEnded = [this] {
    QMetaObject::invokeMethod(this, &TFullTextForm::CountingEnded, Qt::QueuedConnection);
  };
  lineList_ = std::make_unique<TFileStrings>(stream, *reader_, std::move(notifications));
  switches_.ApplyTo(*lineList_);
  lines_ = std::make_unique<TFullTextLines>(*lineList_, settings_.tables);
  view_->SetLines(lines_.get());
}

int64_t TFullTextForm::LineCount() const { return lineList_ ? lineList_->GetCount() : 0; }

// New lines are drawn while they still fill the view; once it is full, a timer lets the scroll
// range follow the count, so that the end can be reached while counting goes on.
void TFullTextForm::NewLines() {
  refreshQueued_.store(false);
  if (countingDone_) return;
  if (linesSeen_ == -1 || !view_->Full()) view_->RefreshCount();
  linesSeen_ = view_->KnownCount();
  TryJump();
  if (view_->Full()) {
    viewFull_.store(true);
    if (!countTimer_.isActive()) countTimer_.start();
  }
}

void TFullTextForm::RefreshWhileCounting() {
  view_->RefreshCount();
  linesSeen_ = view_->KnownCount();
  TryJump();
}

void TFullTextForm::CountingEnded() {
  countTimer_.stop();
  view_->RefreshCount();
  countingDone_ = true;
  TryJump();
}

void TFullTextForm::ShowBytes(const std::vector<TByteSpan>& spans) {
  if (lines_ == nullptr || spans.empty()) return;
  lines_->SetMarks(spans);
  jumpTo_ = spans.front().begin;
  view_->Invalidate();
  TryJump();
}

void TFullTextForm::TryJump() {
  if (jumpTo_ < 0 || lineList_ == nullptr) return;
  const int64_t line = lineList_->LineOf(jumpTo_);
  if (line < 0) return;  // not counted yet
  jumpTo_ = -1;
  view_->RefreshCount();
  view_->SetTopIndex(line);
}

// ---- Commands ---------------------------------------------------------------------------------

void TFullTextForm::ToggleWrap() {
  view_->SetWordWrap(!view_->WordWrap());
  wrapItem_->setChecked(view_->WordWrap());
}

void TFullTextForm::ToggleSuppress(TSuppress which) {
  const bool changed = switches_.Toggle(which);
  suppressItems_[static_cast<int>(which)]->setChecked(switches_.On(which));
  if (!changed || lineList_ == nullptr) return;
  switches_.ApplyTo(*lineList_);
  view_->Invalidate();
}

void TFullTextForm::ConfigureTags() {
  if (reader_ == nullptr) return;
  reader_->ConfigureTags(settings_.config);
  view_->Invalidate();
}

bool TFullTextForm::ChangeFont() {
  QFont font = FontFromChoice(settings_.global.CorpusFont);
  if (!CommonDialogs().chooseFont(this, font)) return false;
  settings_.global.CorpusFont = ChoiceFromFont(font, settings_.global.CorpusFont);
  view_->setFont(font);
  return true;
}

void TFullTextForm::closeEvent(QCloseEvent* event) {
  if (printing_) {
    event->ignore();  // the print reads through this window's stream
    return;
  }
  QWidget::closeEvent(event);
}

}  // namespace quenterra
