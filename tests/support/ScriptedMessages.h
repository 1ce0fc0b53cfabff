// A message handler for tests: answers questions from a script and records what was asked.
#pragma once

#include <deque>
#include <string>
#include <vector>

#include "platform/Messages.h"

namespace quenterra::test {

class ScriptedMessages : public TMessageHandler {
 public:
  // Installs a new scripted handler and returns it (owned by the message seam until replaced).
  static ScriptedMessages* Install(std::deque<bool> answers = {});

  bool Confirm(const std::string& text, bool focus) override { return Answer(text, focus); }
  bool Ask(const std::string& text, bool focus) override { return Answer(text, focus); }
  bool Warn(const std::string& text, bool focus) override { return Answer(text, focus); }
  void Error(const std::string& text) override { errors.push_back(text); }
  void Stop(const std::string& caption, const std::string& text) override {
    stopCaptions.push_back(caption);
    errors.push_back(text);
  }
  bool InputQuery(const std::string& caption, const std::string& prompt,
                  std::string& value) override;

  std::deque<bool> answers;               // answers to the next questions; the focus when empty
  std::deque<std::string> inputs;         // values for InputQuery; cancelled when empty
  std::vector<std::string> asked;         // every question, in order
  std::vector<std::string> errors;        // every error, in order (stop boxes too)
  std::vector<std::string> stopCaptions;  // the captions of the stop boxes, in order

 private:
  bool Answer(const std::string& text, bool focus);
};

}  // namespace quenterra::test
