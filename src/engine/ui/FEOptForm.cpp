#include "engine/ui/FEOptForm.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "engine/ui/DialogButtons.h"
#include "engine/ui/EditMasks.h"

namespace quenterra {

namespace {

using M = TScoreMethod;

int Id(M method) { return static_cast<int>(method); }
M MethodOf(int id) { return static_cast<M>(id); }

QString Q(const std::string& text) { return QString::fromStdString(text); }

bool NumberRule(const std::string& before, size_t at, char c) {
  return TFEOptions::NumberEditAccepts(before, at, c);
}
bool DigitRule(const std::string&, size_t, char c) { return TFEOptions::SpanEditAccepts(c); }

// A group box of radio buttons, one for each (caption, method), in a column.
QGroupBox* RadioGroup(const char* title, std::initializer_list<std::pair<const char*, M>> items,
                      QButtonGroup* group, QGridLayout*& layout, QWidget* parent) {
  auto* box = new QGroupBox(title, parent);
  layout = new QGridLayout(box);
  int row = 0;
  for (const auto& [caption, method] : items) {
    auto* button = new QRadioButton(caption, box);
    group->addButton(button, Id(method));
    layout->addWidget(button, row++, 0);
  }
  return box;
}

}  // namespace

TFEOptForm::TFEOptForm(bool ngramForm, TFullExtractOptions& stored, const ZuzadovUdirev& config,
                       QWidget* parent)
    : QDialog(parent),
      stored_(stored),
      options_(TFEOptions::FromSettings(ngramForm, stored, config)) {
  setObjectName("TFEOptForm");
  setWindowTitle(options_.Caption());
  QDialogButtonBox* buttons = OkCancelButtons(this);

  auto* layout = new QGridLayout(this);
  if (!ngramForm) {
    layout->addWidget(BuildInitialFilter(), 0, 0);
    layout->addWidget(BuildExtendedFilter(), 0, 1);
  }
  layout->addWidget(BuildSpans(), 1, 0, 1, 2);
  layout->addWidget(buttons, 2, 0, 1, 2);
  // The n-gram form shrinks to the groups it shows.
  layout->setSizeConstraint(QLayout::SetFixedSize);
}

QGroupBox* TFEOptForm::BuildSpans() {
  auto* box = new QGroupBox(" Other Options ", this);
  auto* layout = new QGridLayout(box);
  maxSpanLabel_ = new QLabel(options_.MaxSpanLabel(), box);
  maxSpan_ = new TUpDownEdit(TFEOptions::SpanEditAccepts, options_.MaxSpanLow(),
                             options_.MaxSpanHigh(), box);
  maxSpan_->setValue(options_.MaxSpan());
  maxSpanLabel_->setBuddy(maxSpan_);
  usePOSTags_ = new QCheckBox("Use POS Tags", box);
  usePOSTags_->setEnabled(options_.TagsEnabled());
  usePOSTags_->setChecked(options_.UsePOSTags());
  int column = 0;
  if (!options_.NGramForm()) {
    minSpanLabel_ = new QLabel("Min. Span:", box);
    minSpan_ = new TUpDownEdit(TFEOptions::SpanEditAccepts, kFEMinSpanLow, kFEMinSpanHigh, box);
    minSpan_->setValue(options_.MinSpan());
    minSpanLabel_->setBuddy(minSpan_);
    layout->addWidget(minSpanLabel_, 0, column++);
    layout->addWidget(minSpan_, 0, column++);
    connect(minSpan_, &QSpinBox::valueChanged, this, [this](int span) {
      Sync();
      options_.SetMinSpan(span);
      ShowInitial();  // a span of three words or more takes Mutual Information
    });
  }
  layout->addWidget(maxSpanLabel_, 0, column++);
  layout->addWidget(maxSpan_, 0, column++);
  layout->addWidget(usePOSTags_, 0, column++);
  layout->setColumnStretch(column, 1);
  return box;
}

QGroupBox* TFEOptForm::BuildInitialFilter() {
  initialMethods_ = new QButtonGroup(this);
  QGridLayout* layout = nullptr;
  initialBox_ = RadioGroup(" Initial Filter ",
                           {{"Mutual Information", M::kMutualInfo},
                            {"T-Score", M::kTScore},
                            {"Log Likehood", M::kLogLikelihood}},
                           initialMethods_, layout, this);
  initialLabel_ = new QLabel(initialBox_);
  initialEdit_ = new TNumberUpDown(
      NumberRule,
      [this](const QString& text, bool up) {
        options_.SetInitialText(text.toStdString());
        options_.InitialArrow(up);
        return Q(options_.InitialText());
      },
      initialBox_);
  initialLabel_->setBuddy(initialEdit_);
  layout->addWidget(initialLabel_, 3, 0);
  layout->addWidget(initialEdit_, 4, 0);
  connect(initialMethods_, &QButtonGroup::idClicked, this, [this](int id) {
    Sync();
    options_.SelectInitialMethod(MethodOf(id));
    ShowInitial();
  });
  ShowInitial();
  return initialBox_;
}

QGroupBox* TFEOptForm::BuildExtendedFilter() {
  extendedMethods_ = new QButtonGroup(this);
  QGridLayout* layout = nullptr;
  extendedBox_ = RadioGroup(" Full Extract Filter ",
                            {{"Cost Criteria", M::kCost}, {"Mutual Information", M::kMutualInfo}},
                            extendedMethods_, layout, this);
  extendedEdit_ = new TNumberUpDown(
      NumberRule,
      [this](const QString& text, bool up) {
        options_.SetExtendedText(text.toStdString());
        options_.ExtendedArrow(up);
        return Q(options_.ExtendedText());
      },
      extendedBox_);
  layout->addWidget(extendedEdit_, 2, 0);
  layout->setRowStretch(3, 1);
  connect(extendedMethods_, &QButtonGroup::idClicked, this, [this](int id) {
    Sync();
    options_.SelectExtendedMethod(MethodOf(id));
    ShowExtended();
  });
  ShowExtended();
  return extendedBox_;
}

void TFEOptForm::Sync() {
  if (initialEdit_ != nullptr) options_.SetInitialText(initialEdit_->Text().toStdString());
  if (extendedEdit_ != nullptr) options_.SetExtendedText(extendedEdit_->Text().toStdString());
}

void TFEOptForm::ShowInitial() {
  initialMethods_->button(Id(options_.InitialMethod()))->setChecked(true);
  initialLabel_->setText(options_.InitialLabel());
  initialEdit_->SetText(Q(options_.InitialText()));
}

void TFEOptForm::ShowExtended() {
  const bool cost = options_.ExtendedMethod() == M::kCost;
  extendedMethods_->button(Id(options_.ExtendedMethod()))->setChecked(true);
  extendedEdit_->SetRule(cost ? DigitRule : NumberRule);
  extendedEdit_->SetText(Q(options_.ExtendedText()));
}

void TFEOptForm::accept() {
  Sync();
  if (minSpan_ != nullptr) {
    minSpan_->interpretText();
    options_.SetMinSpan(minSpan_->value());
  }
  maxSpan_->interpretText();
  options_.SetMaxSpan(maxSpan_->value());
  options_.SetUsePOSTags(usePOSTags_->isChecked());
  switch (options_.Accept(stored_)) {
    case TFEOkResult::kAccepted:
      return QDialog::accept();
    case TFEOkResult::kSpanOrder:
      maxSpan_->setFocus();
      return;
    case TFEOkResult::kNotANumber:
      return QDialog::reject();
  }
}

bool RunFEOptions(bool ngramForm, TFullExtractOptions& stored, const ZuzadovUdirev& config,
                  QWidget* parent) {
  TFEOptForm form(ngramForm, stored, config, parent);
  return form.exec() == QDialog::Accepted;
}

}  // namespace quenterra
