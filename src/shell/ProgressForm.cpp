#include "shell/ProgressForm.h"

#include <QApplication>
#include <QCloseEvent>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPointer>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>
#include <mutex>
#include <optional>

#include "shell/GuiThread.h"

namespace quenterra {

namespace {

// The gauge works in ints; a larger range is scaled down into it.
constexpr int64_t kGaugeLimit = 1 << 30;

QPushButton* AddButton(const char* caption, const char* name, QHBoxLayout* row, QWidget* parent) {
  auto* button = new QPushButton(caption, parent);
  button->setObjectName(name);
  button->setAutoDefault(false);
  row->addWidget(button);
  return button;
}

}  // namespace

TProgressForm::TProgressForm(TProgressKind kind, std::shared_ptr<std::atomic<int>> cancelState,
                             QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowStaysOnTopHint),
      cancelState_(std::move(cancelState)),
      progressLabel_(new QLabel(this)),
      progressBar_(new QProgressBar(this)),
      specialText_(new QLabel(this)) {
  setObjectName("TProgressForm");
  setWindowModality(Qt::ApplicationModal);
  progressBar_->setRange(0, 100);
  progressBar_->setValue(0);
  progressBar_->setTextVisible(false);
  progressLabel_->setMinimumWidth(350);
  QFont small = specialText_->font();
  small.setPointSizeF(small.pointSizeF() * 0.85);
  specialText_->setFont(small);
  auto* row = new QHBoxLayout;
  row->addStretch();
  cancelBtn_ = AddButton("Cancel", "CancelBtn", row, this);
  cancel1Btn_ = AddButton("Cancel", "Cancel1Btn", row, this);
  cancelAllBtn_ = AddButton("Cancel All", "CancelAllBtn", row, this);
  row->addStretch();
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(progressLabel_);
  layout->addWidget(progressBar_);
  layout->addWidget(specialText_);
  layout->addLayout(row);
  layout->setSizeConstraint(QLayout::SetFixedSize);
  connect(cancelBtn_, &QPushButton::clicked, this, [this] { SetCancel(TCancelState::kCancel); });
  connect(cancel1Btn_, &QPushButton::clicked, this, [this] { SetCancel(TCancelState::kCancel); });
  connect(cancelAllBtn_, &QPushButton::clicked, this,
          [this] { SetCancel(TCancelState::kCancelAll); });
  const bool buttons = kind != TProgressKind::kSimple;
  const bool several = kind == TProgressKind::kCancelSeveral;
  cancelBtn_->setVisible(buttons && !several);
  specialText_->setVisible(buttons && !several);
  cancel1Btn_->setVisible(several);
  cancelAllBtn_->setVisible(several);
}

void TProgressForm::SetLabel(const QString& text) {
  progressLabel_->setText(text);
  progressLabel_->repaint();
}

void TProgressForm::SetSpecialText(const QString& text) { specialText_->setText(text); }

void TProgressForm::SetMax(int64_t max) {
  max_ = std::max<int64_t>(max, 1);
  progressBar_->setMaximum(static_cast<int>(std::min(max_, kGaugeLimit)));
}

void TProgressForm::SetPosition(int64_t position) {
  const int64_t scaled = max_ > kGaugeLimit
                             ? static_cast<int64_t>(static_cast<double>(position) /
                                                    static_cast<double>(max_) * kGaugeLimit)
                             : position;
  progressBar_->setValue(static_cast<int>(std::clamp<int64_t>(scaled, 0, progressBar_->maximum())));
}

void TProgressForm::SetCancel(TCancelState state) {
  cancelState_->store(static_cast<int>(state));  // the running operation polls it
}

void TProgressForm::closeEvent(QCloseEvent* event) { event->ignore(); }

void TProgressForm::keyPressEvent(QKeyEvent* event) {
  // Escape cancels where a Cancel button shows; the window itself never closes by a key.
  if (event->key() == Qt::Key_Escape) {
    if (cancelBtn_->isVisible() || cancel1Btn_->isVisible()) SetCancel(TCancelState::kCancel);
    return;
  }
  QDialog::keyPressEvent(event);
}

// ---- The seam ---------------------------------------------------------------------------------

namespace {

// What a worker asked the window to show, gathered until the window's thread takes it, so that a
// run that reports a million positions posts a handful of events.
struct TPending {
  std::mutex mutex;
  bool posted = false;
  std::optional<std::string> caption, label, special;
  std::optional<int64_t> max, position;
};

class TGuiProgress : public TProgress {
 public:
  // Loading that ends within this time shows no window, so that opening a workspace with nothing
  // to build does not flash one. A window with a Cancel button shows at once.
  static constexpr int kShowDelayMs = 300;

  TGuiProgress(TProgressKind kind, const std::string& caption) {
    RunOnGuiThread([&] {
      form_ = new TProgressForm(kind, cancel_, QApplication::activeWindow());
      form_->setWindowTitle(QString::fromStdString(caption));
      QPointer<TProgressForm> form = form_;
      const int delay = kind == TProgressKind::kSimple ? kShowDelayMs : 0;
      QTimer::singleShot(delay, form_, [form] {
        if (form.isNull()) return;
        form->show();
        form->raise();
      });
    });
  }
  ~TGuiProgress() override {
    QPointer<TProgressForm> form = form_;
    RunOnGuiThread([form] { delete form.data(); });
  }

  void SetCaption(const std::string& caption) override {
    Change([&](TPending& p) { p.caption = caption; });
  }
  void SetLabel(const std::string& text) override {
    Change([&](TPending& p) { p.label = text; });
  }
  void SetSpecialText(const std::string& text) override {
    Change([&](TPending& p) { p.special = text; });
  }
  void SetMax(int64_t max) override {
    Change([&](TPending& p) { p.max = max; });
  }
  void SetPosition(int64_t position) override {
    Change([&](TPending& p) { p.position = position; });
  }
  void ProcessMessages() override {
    if (OnGuiThread()) QCoreApplication::processEvents();
  }
  TCancelState CancelState() const override { return static_cast<TCancelState>(cancel_->load()); }

 private:
  template <typename Fn>
  void Change(Fn&& fn) {
    bool post = false;
    {
      std::lock_guard<std::mutex> lock(pending_->mutex);
      fn(*pending_);
      post = !pending_->posted;
      pending_->posted = true;
    }
    if (!post) return;
    if (OnGuiThread()) {
      Apply(pending_, form_);
    } else {
      PostToGuiThread(
          [pending = pending_, form = QPointer<TProgressForm>(form_)] { Apply(pending, form); });
    }
  }

  static void Apply(const std::shared_ptr<TPending>& pending, QPointer<TProgressForm> form) {
    TPending taken;
    {
      std::lock_guard<std::mutex> lock(pending->mutex);
      taken.caption = std::move(pending->caption);
      taken.label = std::move(pending->label);
      taken.special = std::move(pending->special);
      taken.max = pending->max;
      taken.position = pending->position;
      pending->caption.reset();
      pending->label.reset();
      pending->special.reset();
      pending->max.reset();
      pending->position.reset();
      pending->posted = false;
    }
    if (form.isNull()) return;
    if (taken.caption) form->setWindowTitle(QString::fromStdString(*taken.caption));
    if (taken.label) form->SetLabel(QString::fromStdString(*taken.label));
    if (taken.special) form->SetSpecialText(QString::fromStdString(*taken.special));
    if (taken.max) form->SetMax(*taken.max);
    if (taken.position) form->SetPosition(*taken.position);
  }

  std::shared_ptr<std::atomic<int>> cancel_ = std::make_shared<std::atomic<int>>(0);
  std::shared_ptr<TPending> pending_ = std::make_shared<TPending>();
  TProgressForm* form_ = nullptr;  // owned; deleted on the window's thread
};

}  // namespace

void InstallGuiProgress() {
  InstallProgressFactory([](TProgressKind kind, const std::string& caption) {
    return std::unique_ptr<TProgress>(new TGuiProgress(kind, caption));
  });
}

}  // namespace quenterra
