// Runs the built quenterra-cli as a user runs it, inside folders of its own.
#pragma once

#include <gtest/gtest.h>
#include <sys/types.h>

#include <string>

#include "support/TempDir.h"

namespace quenterra::test {

struct TCliRun {
  int status = -1;  // the exit status; -1 when killed by a signal
  std::string out;  // standard output
  std::string err;  // standard error
};

// A run started in the background; its process id is the CLI's own.
class TCliProcess {
 public:
  TCliProcess(pid_t pid, std::string outName, std::string errName)
      : pid_(pid), outName_(std::move(outName)), errName_(std::move(errName)) {}
  pid_t Pid() const { return pid_; }
  // Waits for the run to end.
  TCliRun Wait() const;

 private:
  pid_t pid_;
  std::string outName_, errName_;
};

// A fixture for the command-line tests: data files in Dir(), TMPDIR in a folder of its own, no
// settings file unless a test writes one under Dir()/xdg/quenterra/.
class TCliTest : public ::testing::Test {
 protected:
  // Runs the CLI with `args` (shell words, pasted into a command line unquoted) in Dir(), in the
  // locale (LC_ALL) and with standard input at end of file; `before` (shell commands such as
  // "ulimit -f 64") runs first in the same shell. A run that hangs is ended after two minutes.
  TCliRun Run(const std::string& args, const std::string& before = "",
              const std::string& locale = "C") const;
  // The same, started in the background.
  TCliProcess Start(const std::string& args) const;
  // Writes a data file and returns its full name quoted for the shell.
  std::string File(const std::string& name, const std::string& text) const;
  // Whether the CLI left nothing behind in its TMPDIR.
  bool TempIsEmpty() const;
  const TTempDir& Dir() const { return data_; }

 private:
  std::string CommandLine(const std::string& args, const std::string& before,
                          const std::string& out, const std::string& err, bool timed,
                          const std::string& locale) const;

  TTempDir data_;  // the working folder and the data files
  TTempDir tmp_;   // TMPDIR
  TTempDir io_;    // captured output
};

}  // namespace quenterra::test
