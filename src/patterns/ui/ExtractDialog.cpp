#include "patterns/ui/ExtractDialog.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QVBoxLayout>

#include "engine/ui/DialogButtons.h"
#include "engine/ui/EditMasks.h"

namespace quenterra {

namespace {

constexpr std::pair<const char*, TSearchKind> kKindButtons[] = {
    {"&Word/Phrase", TSearchKind::kWordPhrase},
    {"&Regular Expression", TSearchKind::kRegExp},
    {"Word/&Tag", TSearchKind::kWordTag}};

int Id(TSearchKind kind) { return static_cast<int>(kind); }

// The lines of a multi-line field, without the empty one after a final line end.
QStringList Lines(const QString& text) {
  QStringList lines = text.split('\n');
  if (!lines.isEmpty() && lines.back().isEmpty()) lines.removeLast();
  return lines;
}

}  // namespace

TExtractDialog::TExtractDialog(TProgramSettings& settings, bool batch, TSearchKind kind,
                               std::function<void()> runOptions, QWidget* parent)
    : QDialog(parent),
      settings_(settings),
      options_(TExtractOptions::FromSettings(settings.config, settings.history, batch, kind)),
      runOptions_(std::move(runOptions)) {
  setObjectName("TExtractDialog");
  setWindowTitle("Extract");
  QDialogButtonBox* buttons = OkCancelButtons(this);
  optionsBtn_ = new QPushButton("&Options...", this);
  optionsBtn_->setAutoDefault(false);
  connect(optionsBtn_, &QPushButton::clicked, this, [this] {
    runOptions_();
    // The special characters, and with them the examples, may have changed.
    ShowExamples();
  });

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(BuildPatternPanel(batch), 1);
  layout->addWidget(BuildOptionsPanel());
  auto* bottom = new QHBoxLayout;
  bottom->addWidget(optionsBtn_);
  bottom->addWidget(buttons, 1);
  layout->addLayout(bottom);
  ShowKind();
  resize(batch ? 520 : 480, sizeHint().height());
}

QWidget* TExtractDialog::BuildPatternPanel(bool batch) {
  auto* panel = new QWidget(this);
  auto* layout = new QVBoxLayout(panel);
  layout->setContentsMargins(0, 0, 0, 0);
  QLabel* title = new QLabel(batch ? "Enter the &patterns:" : "Enter the &pattern:", panel);
  layout->addWidget(title);
  if (batch) {
    batchStrings_ = new TCorpusTextEdit(settings_.tables, panel);
    batchStrings_->setObjectName("BatchStrings");
    batchStrings_->setLineWrapMode(QPlainTextEdit::NoWrap);
    title->setBuddy(batchStrings_);
    QStringList lines;
    for (const std::string& line : options_.BatchLines) lines << Shown(line, settings_.tables);
    batchStrings_->setPlainText(lines.join('\n'));
    layout->addWidget(batchStrings_, 1);
  } else {
    searchString_ = new QComboBox(panel);
    searchString_->setObjectName("SearchString");
    searchString_->setEditable(true);
    searchString_->setInsertPolicy(QComboBox::NoInsert);
    searchString_->setValidator(new TCorpusTextValidator(settings_.tables, false, searchString_));
    title->setBuddy(searchString_);
    layout->addWidget(searchString_);
  }
  examples_ = new QLabel(panel);
  examples_->setObjectName(batch ? "BatchExamples" : "Examples");
  examples_->setTextFormat(Qt::PlainText);
  layout->addWidget(examples_);
  return panel;
}

QWidget* TExtractDialog::BuildOptionsPanel() {
  auto* panel = new QWidget(this);
  auto* box = new QGroupBox(" Search Syntax ", panel);
  auto* boxLayout = new QVBoxLayout(box);
  kinds_ = new QButtonGroup(this);
  for (const auto& [caption, kind] : kKindButtons) {
    auto* button = new QRadioButton(caption, box);
    kinds_->addButton(button, Id(kind));
    boxLayout->addWidget(button);
  }
  // Word/Tag patterns need a corpus that carries part-of-speech tags.
  kinds_->button(Id(TSearchKind::kWordTag))
      ->setEnabled(TExtractOptions::WordTagEnabled(settings_.config));
  span_ = new QSpinBox(panel);
  span_->setObjectName("SpanEdit");
  span_->setRange(kMinSpan, kMaxSpan);
  span_->setValue(options_.Span);
  auto* spanLabel = new QLabel("Span:", panel);
  spanLabel->setBuddy(span_);
  auto* layout = new QHBoxLayout(panel);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(box);
  layout->addSpacing(12);
  // The label and its field share a row at the top, centred on one line.
  auto* spanRow = new QHBoxLayout;
  spanRow->addWidget(spanLabel);
  spanRow->addWidget(span_);
  layout->addLayout(spanRow);
  layout->setAlignment(spanRow, Qt::AlignTop);
  layout->addStretch(1);
  connect(kinds_, &QButtonGroup::idClicked, this, [this](int id) {
    options_ = Options();
    options_.SelectKind(static_cast<TSearchKind>(id), settings_.history);
    ShowKind();
  });
  return panel;
}

void TExtractDialog::ShowKind() {
  const TLangTables& tables = settings_.tables;
  kinds_->button(Id(options_.Kind))->setChecked(true);
  if (!options_.Batch) {
    searchString_->clear();
    for (const std::string& pattern : options_.History(settings_.history))
      searchString_->addItem(Shown(pattern, tables));
    searchString_->setEditText(Shown(options_.Pattern, tables));
  }
  ShowExamples();
}

void TExtractDialog::ShowExamples() {
  examples_->setText(
      Shown(options_.Examples(settings_.config, settings_.tables.Coding()), settings_.tables));
}

TExtractOptions TExtractDialog::Options() const {
  const TLangTables& tables = settings_.tables;
  TExtractOptions options = options_;
  options.Kind = static_cast<TSearchKind>(kinds_->checkedId());
  options.Span = span_->value();
  if (options.Batch) {
    options.BatchLines.clear();
    for (const QString& line : Lines(batchStrings_->toPlainText()))
      options.BatchLines.push_back(Typed(line, tables));
  } else {
    options.Pattern = Typed(searchString_->currentText(), tables);
  }
  return options;
}

void TExtractDialog::accept() {
  options_ = Options();
  if (!options_.Ok(settings_.config, settings_.tables)) {
    if (options_.Batch) {
      batchStrings_->setFocus();
    } else {
      searchString_->setFocus();
    }
    return;
  }
  QDialog::accept();
}

std::unique_ptr<TExtractRecords> ExecuteExtractDialog(TProgramSettings& settings, bool batch,
                                                      TSearchKind kind,
                                                      const std::function<void()>& runOptions,
                                                      QWidget* parent) {
  TExtractDialog dialog(settings, batch, kind, runOptions, parent);
  if (dialog.exec() != QDialog::Accepted) return nullptr;
  return dialog.Options().Store(settings.config, settings.history, settings.tables);
}

}  // namespace quenterra
