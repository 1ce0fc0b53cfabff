// The masks of the dialogs' edit fields: which characters a field takes as they are typed or
// pasted (refused ones never reach it), and the edits with up-down arrows whose steps a dialog's
// rules decide. Text fields hold what the corpus encoding can hold; Shown and Typed convert
// between a field and the settings (dialogs/TypedText.h).
#pragma once

#include <QAbstractSpinBox>
#include <QPlainTextEdit>
#include <QSpinBox>
#include <QValidator>
#include <functional>
#include <string>

#include "corpus/LangTables.h"

class QLineEdit;

namespace quenterra {

// A field's rule for one typed character: c typed at `at` into `before`.
using TCharRule = std::function<bool(const std::string& before, size_t at, char c)>;

// Takes the text that the rule lets through when it is typed from left to right.
class TCharRuleValidator : public QValidator {
 public:
  TCharRuleValidator(TCharRule rule, QObject* parent)
      : QValidator(parent), rule_(std::move(rule)) {}
  State validate(QString& input, int& pos) const override;
  void SetRule(TCharRule rule) { rule_ = std::move(rule); }

 private:
  TCharRule rule_;
};

// Takes text whose every character the corpus encoding holds; a one-character field takes at
// most one character. tables must outlive the validator.
class TCorpusTextValidator : public QValidator {
 public:
  TCorpusTextValidator(const TLangTables& tables, bool oneChar, QObject* parent)
      : QValidator(parent), tables_(tables), oneChar_(oneChar) {}
  State validate(QString& input, int& pos) const override;

 private:
  const TLangTables& tables_;
  bool oneChar_;
};

// Text of the corpus encoding as a field shows it, and a field's text in the corpus encoding.
QString Shown(const std::string& encoded, const TLangTables& tables);
std::string Typed(const QString& text, const TLangTables& tables);

// A line edit for text of the corpus encoding (one character, in a narrow field, when oneChar),
// showing `encoded`.
void BindCorpusText(QLineEdit* edit, const TLangTables& tables, bool oneChar,
                    const std::string& encoded);

// A multi-line edit that refuses typed or pasted text with a character the corpus encoding
// lacks. tables must outlive it.
class TCorpusTextEdit : public QPlainTextEdit {
  Q_OBJECT

 public:
  TCorpusTextEdit(const TLangTables& tables, QWidget* parent)
      : QPlainTextEdit(parent), tables_(tables) {}

 protected:
  void keyPressEvent(QKeyEvent* event) override;
  void insertFromMimeData(const QMimeData* source) override;

 private:
  bool Fits(const QString& text) const;

  const TLangTables& tables_;
};

// An edit with an up-down whose text takes the characters of a rule (digits, for the spans and
// the frequency); typed text out of range is brought into it.
class TUpDownEdit : public QSpinBox {
  Q_OBJECT

 public:
  TUpDownEdit(bool (*accepts)(char c), int low, int high, QWidget* parent);

 protected:
  QValidator::State validate(QString& input, int& pos) const override;
  int valueFromText(const QString& text) const override;

 private:
  bool (*accepts_)(char c);
};

// An edit of a number with up-down arrows: the text is the dialog's, the arrows ask `step`
// (true for up) for the next text, and typing follows `rule`.
class TNumberUpDown : public QAbstractSpinBox {
  Q_OBJECT

 public:
  using TStep = std::function<QString(const QString& text, bool up)>;

  TNumberUpDown(TCharRule rule, TStep step, QWidget* parent);
  QString Text() const;
  void SetText(const QString& text);
  void SetRule(TCharRule rule);

  void stepBy(int steps) override;

 protected:
  QValidator::State validate(QString& input, int& pos) const override;
  StepEnabled stepEnabled() const override { return StepUpEnabled | StepDownEnabled; }

 private:
  TCharRuleValidator validator_;
  TStep step_;
};

}  // namespace quenterra
