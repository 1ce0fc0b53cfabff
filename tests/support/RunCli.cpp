#include "support/RunCli.h"

#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <filesystem>

namespace quenterra::test {
namespace {

std::string Quote(const std::string& text) { return "'" + text + "'"; }

std::string ReadText(const std::string& name) {
  std::FILE* file = std::fopen(name.c_str(), "rb");
  std::string text;
  if (file == nullptr) return text;
  char buffer[4096];
  for (size_t n; (n = std::fread(buffer, 1, sizeof buffer, file)) > 0;) text.append(buffer, n);
  std::fclose(file);
  return text;
}

int ExitStatus(int raw) { return WIFEXITED(raw) ? WEXITSTATUS(raw) : -1; }

}  // namespace

TCliRun TCliProcess::Wait() const {
  int raw = 0;
  while (::waitpid(pid_, &raw, 0) < 0 && errno == EINTR) {
  }
  return TCliRun{ExitStatus(raw), ReadText(outName_), ReadText(errName_)};
}

std::string TCliTest::CommandLine(const std::string& args, const std::string& before,
                                  const std::string& out, const std::string& err, bool timed,
                                  const std::string& locale) const {
  // exec, so that the process started is the CLI itself (or timeout, which runs it).
  return "cd " + Quote(data_.Path().string()) + " && " + (before.empty() ? "" : before + " && ") +
         "exec " + (timed ? "timeout 120 " : "") + "env LC_ALL=" + Quote(locale) +
         " TMPDIR=" + Quote(tmp_.Path().string()) + " XDG_CONFIG_HOME=" + Quote(data_.File("xdg")) +
         " " + Quote(QUENTERRA_CLI) + " " + args + " </dev/null >" + Quote(out) + " 2>" +
         Quote(err);
}

TCliRun TCliTest::Run(const std::string& args, const std::string& before,
                      const std::string& locale) const {
  const int raw = std::system(
      CommandLine(args, before, io_.File("out"), io_.File("err"), true, locale).c_str());
  return TCliRun{ExitStatus(raw), io_.Read("out"), io_.Read("err")};
}

TCliProcess TCliTest::Start(const std::string& args) const {
  static std::atomic<int> started{0};
  int n = started++;
  std::string out = io_.File("out" + std::to_string(n)), err = io_.File("err" + std::to_string(n));
  std::string command = CommandLine(args, "", out, err, false, "C");
  pid_t pid = ::fork();
  if (pid == 0) {
    ::execl("/bin/sh", "sh", "-c", command.c_str(), static_cast<char*>(nullptr));
    _exit(127);
  }
  return TCliProcess(pid, out, err);
}

std::string TCliTest::File(const std::string& name, const std::string& text) const {
  return Quote(data_.Write(name, text));
}

bool TCliTest::TempIsEmpty() const { return std::filesystem::is_empty(tmp_.Path()); }

}  // namespace quenterra::test
