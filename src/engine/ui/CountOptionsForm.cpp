#include "engine/ui/CountOptionsForm.h"

#include <QButtonGroup>
#include <QDialogButtonBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "engine/ui/DialogButtons.h"
#include "engine/ui/EditMasks.h"

namespace quenterra {

TCountOptionsForm::TCountOptionsForm(const ZuzadovUdirev& config, QWidget* parent)
    : QDialog(parent),
      methods_(new QButtonGroup(this)),
      frequency_(new TUpDownEdit(FrequencyEditAccepts, kMinFrequencyLow, kMinFrequencyHigh, this)),
      defaultBtn_(new QPushButton("Default", this)) {
  setObjectName("TCountOptionsForm");
  setWindowTitle(kCountOptionsCaption);
  const TCountOptions options = TCountOptions::FromSettings(config);

  auto* methodsBox = new QGroupBox(kCountMethodsGroup, this);
  auto* methodsLayout = new QVBoxLayout(methodsBox);
  for (int item = 0; item < kCountMethodItemCount; ++item) {
    auto* button = new QRadioButton(kCountMethodItems[item], methodsBox);
    methods_->addButton(button, item);
    methodsLayout->addWidget(button);
  }
  methods_->button(options.MethodItem())->setChecked(true);

  auto* frequencyBox = new QGroupBox(kFrequencyGroup, this);
  auto* frequencyLayout = new QHBoxLayout(frequencyBox);
  auto* label = new QLabel(kMinFrequencyLabel, frequencyBox);
  label->setBuddy(frequency_);
  frequency_->setValue(options.Frequency());
  frequencyLayout->addWidget(label);
  frequencyLayout->addWidget(frequency_);

  QDialogButtonBox* buttons = OkCancelButtons(this);
  buttons->addButton(defaultBtn_, QDialogButtonBox::ResetRole);
  connect(defaultBtn_, &QPushButton::clicked, this, [this] {
    TCountOptions options = Options();
    options.Default();
    frequency_->setValue(options.Frequency());
  });

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(methodsBox);
  layout->addWidget(frequencyBox);
  layout->addWidget(buttons);
  layout->setSizeConstraint(QLayout::SetFixedSize);
}

TCountOptions TCountOptionsForm::Options() const {
  TCountOptions options;
  options.SelectMethod(methods_->checkedId());
  frequency_->interpretText();
  options.SetFrequency(frequency_->value());
  return options;
}

bool RunCountOptions(ZuzadovUdirev& config, QWidget* parent) {
  TCountOptionsForm form(config, parent);
  if (form.exec() != QDialog::Accepted) return false;
  form.Options().Store(config);
  return true;
}

}  // namespace quenterra
