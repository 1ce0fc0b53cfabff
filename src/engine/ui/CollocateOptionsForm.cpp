#include "engine/ui/CollocateOptionsForm.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QSpinBox>
#include <QVBoxLayout>

#include "engine/ResultTables.h"
#include "engine/ui/DialogButtons.h"
#include "platform/Messages.h"

namespace quenterra {

namespace {

QSpinBox* SpinBox(const char* name, int low, int high, int value, QWidget* parent) {
  auto* box = new QSpinBox(parent);
  box->setObjectName(name);
  box->setRange(low, high);
  box->setValue(value);
  return box;
}

}  // namespace

TCollocateOptionsForm::TCollocateOptionsForm(const ZuzadovUdirev& config,
                                             const TCollocateOptions& options, QWidget* parent)
    : QDialog(parent),
      config_(config),
      left_(SpinBox("LeftBox", 0, kMaxCollocateWindow, options.left, this)),
      right_(SpinBox("RightBox", 0, kMaxCollocateWindow, options.right, this)),
      tags_(new QCheckBox("Word&&&tag collocates", this)),
      cooccurrence_(
          SpinBox("CooccurrenceBox", 1, kMinCooccurrenceHigh, options.minCooccurrence, this)),
      collocateFreq_(SpinBox("CollocateFreqBox", 1, INT32_MAX, options.minCollocateFreq, this)),
      score_(new QComboBox(this)) {
  setObjectName("TCollocateOptionsForm");
  setWindowTitle(kCollocateOptionsCaption);
  tags_->setObjectName("TagsBox");
  tags_->setChecked(options.useTags);
  tags_->setEnabled(config.WordTag != 0);
  score_->setObjectName("ScoreBox");
  score_->addItem(kAllScoresItem);
  for (TCollocateScore score : AllCollocateScores()) score_->addItem(CollocateScoreTitle(score));
  score_->setCurrentIndex(options.score ? static_cast<int>(*options.score) + 1 : 0);

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(MakeWindowBox());
  layout->addWidget(MakeFilterBox());
  layout->addWidget(OkCancelButtons(this));
  layout->setSizeConstraint(QLayout::SetFixedSize);
}

QWidget* TCollocateOptionsForm::MakeWindowBox() {
  auto* box = new QGroupBox(" Window ", this);
  auto* row = new QHBoxLayout(box);
  for (auto [text, spin] : {std::pair{"&Left:", left_}, {"&Right:", right_}}) {
    auto* label = new QLabel(text, box);
    label->setBuddy(spin);
    row->addWidget(label);
    row->addWidget(spin);
  }
  row->addSpacing(12);
  row->addWidget(tags_);
  row->addStretch(1);
  return box;
}

QWidget* TCollocateOptionsForm::MakeFilterBox() {
  auto* box = new QGroupBox(" Filters and Score ", this);
  auto* form = new QFormLayout(box);
  form->addRow("Minimal &co-occurrence:", cooccurrence_);
  form->addRow("Minimal collocate &frequency:", collocateFreq_);
  form->addRow("&Score shown:", score_);
  return box;
}

TCollocateOptions TCollocateOptionsForm::Options() const {
  TCollocateOptions options;
  for (QSpinBox* box : {left_, right_, cooccurrence_, collocateFreq_}) box->interpretText();
  options.left = left_->value();
  options.right = right_->value();
  options.useTags = tags_->isChecked();
  options.minCooccurrence = cooccurrence_->value();
  options.minCollocateFreq = collocateFreq_->value();
  const int item = score_->currentIndex();
  if (item > 0) options.score = static_cast<TCollocateScore>(item - 1);
  return options;
}

void TCollocateOptionsForm::accept() {
  const std::string problem = Options().Validate(config_);
  if (!problem.empty()) {
    MsgError(problem);
    left_->setFocus();
    return;
  }
  QDialog::accept();
}

bool RunCollocateOptions(ZuzadovUdirev& config, TCollocateOptions& options, QWidget* parent) {
  TCollocateOptionsForm form(config, TCollocateOptions::FromSettings(config, options), parent);
  if (form.exec() != QDialog::Accepted) return false;
  options = form.Options();
  options.Store(config);
  return true;
}

}  // namespace quenterra
