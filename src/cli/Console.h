// The command line's front-end for the core's seams: a progress bar on stderr when it is a
// terminal, messages answered from flags instead of a dialog, and waiting for a workspace's lock
// told on stderr.
#pragma once

#include <memory>
#include <string>

#include "platform/FileLock.h"
#include "platform/Messages.h"
#include "platform/Progress.h"

namespace quenterra::cli {

// Errors go to stderr; questions are answered `answer` (from --yes, or No when stdin is not a
// terminal), or asked on the terminal when `interactive` is set.
class TConsoleMessages : public TMessageHandler {
 public:
  TConsoleMessages(bool interactive, bool answer) : interactive_(interactive), answer_(answer) {}
  bool Confirm(const std::string& text, bool focusOk) override;
  bool Ask(const std::string& text, bool focusYes) override;
  bool Warn(const std::string& text, bool focusYes) override;
  void Error(const std::string& text) override;
  bool InputQuery(const std::string& caption, const std::string& prompt,
                  std::string& value) override;

 private:
  bool Question(const std::string& text, bool focus);
  bool interactive_;
  bool answer_;
};

// Every line the command line writes on stderr starts with this, the program's name.
inline constexpr char kMessagePrefix[] = "quenterra-cli: ";

// Writes one message on stderr after kMessagePrefix.
void PrintMessage(const std::string& text);

// Thrown when standard output's reader went away (`quenterra-cli ... | head`): main ends the run
// quietly with status 0, as other tools do, after the unwinding removed what the run made.
struct EOutputClosed {};

// Throws for a write to standard output that failed: EOutputClosed for a closed pipe, else
// EFileError "Unable to write to standard output." (a full disk).
[[noreturn]] void OutputFailed();
// Flushes standard output (both stdio and iostreams) and calls OutputFailed when that fails.
void FlushOutput();

// Installs the console message handler (questions answered as assumeYes says).
void InstallConsoleMessages(bool assumeYes);
// Installs the console message handler and, when stderr is a terminal, the progress bar.
void InstallConsoleFrontEnd(bool assumeYes);
// How a workspace that another run is using is waited for: with a line on stderr, or not at all
// (the run then fails with the lock's message).
void InstallConsoleLockPolicy(bool wait);

}  // namespace quenterra::cli
