#include "shell/MessageForm.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>
#include <map>

#include "shell/GuiThread.h"

namespace quenterra {

namespace {

QMessageBox::Icon IconOf(TMsgKind kind) {
  switch (kind) {
    case TMsgKind::kWarning:
      return QMessageBox::Warning;
    case TMsgKind::kError:
      return QMessageBox::Critical;
    case TMsgKind::kInformation:
      return QMessageBox::Information;
    case TMsgKind::kConfirmation:
      return QMessageBox::Question;
    default:
      return QMessageBox::NoIcon;
  }
}

QMessageBox::ButtonRole RoleOf(TMsgButton button) {
  switch (button) {
    case TMsgButton::kYes:
    case TMsgButton::kYesToAll:
    case TMsgButton::kAll:
      return QMessageBox::YesRole;
    case TMsgButton::kNo:
    case TMsgButton::kNoToAll:
      return QMessageBox::NoRole;
    case TMsgButton::kOk:
      return QMessageBox::AcceptRole;
    case TMsgButton::kHelp:
      return QMessageBox::HelpRole;
    default:
      return QMessageBox::RejectRole;
  }
}

// The application's cursor is the arrow while a box is up, whatever a command set.
class TArrowCursor {
 public:
  TArrowCursor() { QApplication::setOverrideCursor(Qt::ArrowCursor); }
  ~TArrowCursor() { QApplication::restoreOverrideCursor(); }
};

TMsgButton ShowBox(const std::string& text, TMsgKind kind, const std::vector<TMsgButton>& buttons,
                   TMsgButton focused, const std::string& caption) {
  const std::vector<TMsgButton> ordered = OrderedButtons(buttons);
  QMessageBox box(IconOf(kind), QString::fromStdString(caption), QString::fromStdString(text),
                  QMessageBox::NoButton, QApplication::activeWindow());
  box.setObjectName("TMessageForm");
  std::map<QAbstractButton*, TMsgButton> results;
  for (TMsgButton button : ordered) {
    QPushButton* push = box.addButton(MsgButtonCaption(button), RoleOf(button));
    results[push] = button;
    if (button == DefaultButton(ordered)) box.setDefaultButton(push);
    if (button == CancelButton(ordered)) box.setEscapeButton(push);
    // After the box has shown itself, which focuses the default button.
    if (button == focused) QTimer::singleShot(0, push, [push] { push->setFocus(); });
  }
  TArrowCursor arrow;
  box.exec();
  auto found = results.find(box.clickedButton());
  return found == results.end() ? CancelButton(ordered) : found->second;
}

}  // namespace

TMsgButton MessageDlg(const std::string& text, TMsgKind kind,
                      const std::vector<TMsgButton>& buttons, TMsgButton focused,
                      const char* caption) {
  TMsgButton result = TMsgButton::kCancel;
  const std::string title = caption != nullptr ? caption : MsgKindCaption(kind);
  RunOnGuiThread([&] { result = ShowBox(text, kind, buttons, focused, title); });
  return result;
}

// ---- Input dialog -----------------------------------------------------------------------------

TIForm::TIForm(const QString& caption, const QString& prompt, const QFont& font, QWidget* parent)
    : QDialog(parent), promptLabel_(new QLabel(prompt, this)), editBox_(new QLineEdit(this)) {
  setObjectName("TIForm");
  setWindowTitle(caption);
  editBox_->setFont(font);
  editBox_->setMinimumWidth(300);
  promptLabel_->setBuddy(editBox_);
  auto* buttons = new QDialogButtonBox(this);
  QPushButton* ok = buttons->addButton("Ok", QDialogButtonBox::AcceptRole);
  buttons->addButton("Cancel", QDialogButtonBox::RejectRole);
  ok->setDefault(true);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(promptLabel_);
  layout->addWidget(editBox_);
  layout->addWidget(buttons);
  layout->setSizeConstraint(QLayout::SetFixedSize);
}

QString TIForm::Value() const { return editBox_->text(); }

bool InputQuery(const QString& caption, const QString& prompt, const QFont& font,
                std::string& value) {
  bool ok = false;
  RunOnGuiThread([&] {
    TIForm form(caption, prompt, font, QApplication::activeWindow());
    ok = form.exec() == QDialog::Accepted;
    value = form.Value().toStdString();
  });
  return ok;
}

// ---- The message handler ----------------------------------------------------------------------

bool TGuiMessages::Confirm(const std::string& text, bool focusOk) {
  const TMsgButton focused = focusOk ? TMsgButton::kOk : TMsgButton::kCancel;
  return MessageDlg(text, TMsgKind::kConfirmation, {TMsgButton::kOk, TMsgButton::kCancel},
                    focused) == TMsgButton::kOk;
}

bool TGuiMessages::Ask(const std::string& text, bool focusYes) {
  const TMsgButton focused = focusYes ? TMsgButton::kYes : TMsgButton::kNo;
  return MessageDlg(text, TMsgKind::kConfirmation, {TMsgButton::kYes, TMsgButton::kNo}, focused) ==
         TMsgButton::kYes;
}

bool TGuiMessages::Warn(const std::string& text, bool focusYes) {
  const TMsgButton focused = focusYes ? TMsgButton::kYes : TMsgButton::kNo;
  return MessageDlg(text, TMsgKind::kWarning, {TMsgButton::kYes, TMsgButton::kNo}, focused) ==
         TMsgButton::kYes;
}

void TGuiMessages::Error(const std::string& text) {
  MessageDlg(text, TMsgKind::kError, {TMsgButton::kOk}, TMsgButton::kOk);
}

void TGuiMessages::Stop(const std::string& caption, const std::string& text) {
  MessageDlg(text, TMsgKind::kError, {TMsgButton::kOk}, TMsgButton::kOk, caption.c_str());
}

bool TGuiMessages::InputQuery(const std::string& caption, const std::string& prompt,
                              std::string& value) {
  return quenterra::InputQuery(QString::fromStdString(caption), QString::fromStdString(prompt),
                               QApplication::font(), value);
}

}  // namespace quenterra
