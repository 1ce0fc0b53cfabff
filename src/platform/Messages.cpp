#include "platform/Messages.h"

#include <iostream>
#include <utility>

namespace quenterra {

bool TDefaultMessageHandler::Confirm(const std::string&, bool focusOk) { return focusOk; }
bool TDefaultMessageHandler::Ask(const std::string&, bool focusYes) { return focusYes; }
bool TDefaultMessageHandler::Warn(const std::string&, bool focusYes) { return focusYes; }
void TDefaultMessageHandler::Error(const std::string& text) { std::cerr << text << '\n'; }
bool TDefaultMessageHandler::InputQuery(const std::string&, const std::string&,
                                        std::string& value) {
  value.clear();
  return false;
}

namespace {
std::unique_ptr<TMessageHandler>& Installed() {
  static std::unique_ptr<TMessageHandler> handler = std::make_unique<TDefaultMessageHandler>();
  return handler;
}
}  // namespace

void InstallMessageHandler(std::unique_ptr<TMessageHandler> handler) {
  Installed() = handler ? std::move(handler) : std::make_unique<TDefaultMessageHandler>();
}

TMessageHandler& MessageHandler() { return *Installed(); }

bool MsgConfirm(const std::string& text, bool focusOk) {
  return MessageHandler().Confirm(text, focusOk);
}
bool MsgAsk(const std::string& text, bool focusYes) { return MessageHandler().Ask(text, focusYes); }
bool MsgWarn(const std::string& text, bool focusYes) {
  return MessageHandler().Warn(text, focusYes);
}
void MsgError(const std::string& text) { MessageHandler().Error(text); }
void MsgStop(const std::string& caption, const std::string& text) {
  MessageHandler().Stop(caption, text);
}
bool InputQuery(const std::string& caption, const std::string& prompt, std::string& value) {
  return MessageHandler().InputQuery(caption, prompt, value);
}

}  // namespace quenterra
