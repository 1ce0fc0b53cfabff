// TMessageForm: the program's message box, with the kinds, captions and buttons of
// desktop/MessageRules.h; and TIForm, the one-line input dialog. TGuiMessages routes the core's
// message functions to them, from whichever thread asks.
#pragma once

#include <QDialog>
#include <QFont>
#include <string>
#include <vector>

#include "desktop/MessageRules.h"
#include "platform/Messages.h"

class QLabel;
class QLineEdit;

namespace quenterra {

// Shows a box modally and returns the button pressed (the cancel button for Escape or closing).
// The box is titled by its kind unless a caption is given.
TMsgButton MessageDlg(const std::string& text, TMsgKind kind,
                      const std::vector<TMsgButton>& buttons, TMsgButton focused,
                      const char* caption = nullptr);

// The input dialog: caption, prompt, an edit box in `font`, "Ok" and "Cancel".
class TIForm : public QDialog {
  Q_OBJECT

 public:
  TIForm(const QString& caption, const QString& prompt, const QFont& font,
         QWidget* parent = nullptr);
  QString Value() const;
  QLineEdit* EditBox() const { return editBox_; }

 private:
  QLabel* promptLabel_;
  QLineEdit* editBox_;
};

// value receives the typed text whatever the answer; true exactly for OK.
bool InputQuery(const QString& caption, const QString& prompt, const QFont& font,
                std::string& value);

// The message handler of the program: every question, warning and error in a TMessageForm.
class TGuiMessages : public TMessageHandler {
 public:
  bool Confirm(const std::string& text, bool focusOk) override;
  bool Ask(const std::string& text, bool focusYes) override;
  bool Warn(const std::string& text, bool focusYes) override;
  void Error(const std::string& text) override;
  void Stop(const std::string& caption, const std::string& text) override;
  bool InputQuery(const std::string& caption, const std::string& prompt,
                  std::string& value) override;
};

}  // namespace quenterra
