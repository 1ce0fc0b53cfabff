#include "support/ScriptedMessages.h"

#include <memory>

namespace quenterra::test {

ScriptedMessages* ScriptedMessages::Install(std::deque<bool> answers) {
  auto handler = std::make_unique<ScriptedMessages>();
  handler->answers = std::move(answers);
  ScriptedMessages* raw = handler.get();
  InstallMessageHandler(std::move(handler));
  return raw;
}

bool ScriptedMessages::Answer(const std::string& text, bool focus) {
  asked.push_back(text);
  if (answers.empty()) return focus;
  bool answer = answers.front();
  answers.pop_front();
  return answer;
}

bool ScriptedMessages::InputQuery(const std::string&, const std::string& prompt,
                                  std::string& value) {
  asked.push_back(prompt);
  if (inputs.empty()) {
    value.clear();
    return false;
  }
  value = inputs.front();
  inputs.pop_front();
  return true;
}

}  // namespace quenterra::test
