#include "engine/ui/EditMasks.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMimeData>
#include <algorithm>

#include "dialogs/TypedText.h"

namespace quenterra {

// ---- Validators -------------------------------------------------------------------------------

QValidator::State TCharRuleValidator::validate(QString& input, int& /*pos*/) const {
  std::string before;
  for (const QChar c : input) {
    // Every rule is about ASCII characters (digits, signs, the decimal separator).
    if (c.unicode() > 0x7F) return Invalid;
    const char ascii = static_cast<char>(c.unicode());
    if (!rule_(before, before.size(), ascii)) return Invalid;
    before += ascii;
  }
  return Acceptable;
}

QValidator::State TCorpusTextValidator::validate(QString& input, int& /*pos*/) const {
  return TypedTextFits(input.toStdString(), oneChar_, tables_) ? Acceptable : Invalid;
}

QString Shown(const std::string& encoded, const TLangTables& tables) {
  return QString::fromStdString(ShownText(encoded, tables));
}

std::string Typed(const QString& text, const TLangTables& tables) {
  const std::string utf8 = text.toStdString();
  try {
    return EncodeTyped(utf8, tables);
  } catch (const EUnencodable&) {
    // The field's validator let only what fits through; text set otherwise keeps a stand-in.
    return tables.FromUtf8(utf8);
  }
}

void BindCorpusText(QLineEdit* edit, const TLangTables& tables, bool oneChar,
                    const std::string& encoded) {
  edit->setText(Shown(encoded, tables));
  edit->setValidator(new TCorpusTextValidator(tables, oneChar, edit));
  if (oneChar) edit->setFixedWidth(edit->fontMetrics().horizontalAdvance("MMMM"));
}

// ---- Multi-line text --------------------------------------------------------------------------

bool TCorpusTextEdit::Fits(const QString& text) const {
  return TypedTextFits(text.toStdString(), false, tables_);
}

void TCorpusTextEdit::keyPressEvent(QKeyEvent* event) {
  if (!event->text().isEmpty() && event->text().front().isPrint() && !Fits(event->text())) {
    QApplication::beep();
    return;
  }
  QPlainTextEdit::keyPressEvent(event);
}

void TCorpusTextEdit::insertFromMimeData(const QMimeData* source) {
  if (source->hasText() && !Fits(source->text())) {
    QApplication::beep();
    return;
  }
  QPlainTextEdit::insertFromMimeData(source);
}

// ---- Up-downs ---------------------------------------------------------------------------------

TUpDownEdit::TUpDownEdit(bool (*accepts)(char c), int low, int high, QWidget* parent)
    : QSpinBox(parent), accepts_(accepts) {
  setRange(low, high);
  setGroupSeparatorShown(false);
}

QValidator::State TUpDownEdit::validate(QString& input, int& /*pos*/) const {
  for (const QChar c : input) {
    if (c.unicode() > 0x7F || !accepts_(static_cast<char>(c.unicode()))) return QValidator::Invalid;
  }
  const QString digits = input.trimmed();
  const bool number = !digits.isEmpty() && std::all_of(digits.begin(), digits.end(),
                                                       [](QChar c) { return c.isDigit(); });
  return number ? QValidator::Acceptable : QValidator::Intermediate;
}

int TUpDownEdit::valueFromText(const QString& text) const {
  bool number = false;
  const qlonglong value = text.trimmed().toLongLong(&number);
  // Digits too many for a number stand for the top of the range.
  return number ? static_cast<int>(std::clamp<qlonglong>(value, minimum(), maximum())) : maximum();
}

TNumberUpDown::TNumberUpDown(TCharRule rule, TStep step, QWidget* parent)
    : QAbstractSpinBox(parent), validator_(std::move(rule), this), step_(std::move(step)) {
  setButtonSymbols(QAbstractSpinBox::UpDownArrows);
}

QString TNumberUpDown::Text() const { return lineEdit()->text(); }

void TNumberUpDown::SetText(const QString& text) { lineEdit()->setText(text); }

void TNumberUpDown::SetRule(TCharRule rule) { validator_.SetRule(std::move(rule)); }

void TNumberUpDown::stepBy(int steps) {
  QString text = Text();
  for (int i = 0; i < std::abs(steps); ++i) text = step_(text, steps > 0);
  SetText(text);
}

QValidator::State TNumberUpDown::validate(QString& input, int& pos) const {
  return validator_.validate(input, pos);
}

}  // namespace quenterra
