// Every question, warning and error the program shows goes through these functions, which route
// to an installable handler: the GUI's message box, the CLI's console, or a test's script.
#pragma once

#include <memory>
#include <string>

namespace quenterra {

class TMessageHandler {
 public:
  virtual ~TMessageHandler() = default;
  virtual bool Confirm(const std::string& text, bool focusOk) = 0;  // OK / Cancel
  virtual bool Ask(const std::string& text, bool focusYes) = 0;     // Yes / No question
  virtual bool Warn(const std::string& text, bool focusYes) = 0;    // Yes / No warning
  virtual void Error(const std::string& text) = 0;                  // OK
  // An error under a caption of its own, with the stop icon and OK (the few boxes that are not
  // titled "Error"); without a box of its own a handler shows it as an error.
  virtual void Stop(const std::string& /*caption*/, const std::string& text) { Error(text); }
  // One line of input; value receives the text whatever the answer; true exactly for OK.
  virtual bool InputQuery(const std::string& caption, const std::string& prompt,
                          std::string& value) = 0;
};

// Without an installed handler: errors go to stderr, questions take the focused answer and
// InputQuery is cancelled with an empty value.
class TDefaultMessageHandler : public TMessageHandler {
 public:
  bool Confirm(const std::string& text, bool focusOk) override;
  bool Ask(const std::string& text, bool focusYes) override;
  bool Warn(const std::string& text, bool focusYes) override;
  void Error(const std::string& text) override;
  bool InputQuery(const std::string& caption, const std::string& prompt,
                  std::string& value) override;
};

// Installs a handler (the previous one is destroyed); null restores the default. Returns nothing:
// the handler lives until replaced.
void InstallMessageHandler(std::unique_ptr<TMessageHandler> handler);
TMessageHandler& MessageHandler();

bool MsgConfirm(const std::string& text, bool focusOk = true);
bool MsgAsk(const std::string& text, bool focusYes = true);
bool MsgWarn(const std::string& text, bool focusYes = true);
void MsgError(const std::string& text);
void MsgStop(const std::string& caption, const std::string& text);
bool InputQuery(const std::string& caption, const std::string& prompt, std::string& value);

}  // namespace quenterra
