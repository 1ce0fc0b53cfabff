#include "cli/Console.h"

#include <poll.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <iostream>

#include "platform/Errors.h"

namespace quenterra::cli {

namespace {

// A one-line bar redrawn in place on stderr, at most once per percent. Work that ends within
// kQuietTime draws nothing, so that a quick step does not flash a bar.
class TConsoleProgress : public TProgress {
 public:
  static constexpr std::chrono::milliseconds kQuietTime{300};

  explicit TConsoleProgress(const std::string& caption)
      : caption_(caption), start_(std::chrono::steady_clock::now()) {}
  ~TConsoleProgress() override {
    if (drawn_) std::fputs("\r\033[K", stderr);
  }
  void SetCaption(const std::string& caption) override { caption_ = caption; }
  void SetLabel(const std::string& text) override {
    label_ = text;
    Draw(true);
  }
  void SetSpecialText(const std::string&) override {}
  void SetMax(int64_t max) override {
    max_ = std::max<int64_t>(max, 1);
    Draw(true);
  }
  void SetPosition(int64_t position) override {
    position_ = position;
    Draw(false);
  }
  void ProcessMessages() override {}
  TCancelState CancelState() const override { return TCancelState::kRunning; }

 private:
  void Draw(bool force) {
    if (!drawn_ && std::chrono::steady_clock::now() - start_ < kQuietTime) return;
    int percent = static_cast<int>(std::clamp<int64_t>(position_ * 100 / max_, 0, 100));
    if (!force && percent == percent_) return;
    percent_ = percent;
    const int width = 30;
    std::string bar(static_cast<size_t>(percent * width / 100), '#');
    bar.resize(width, '.');
    std::string label = label_.size() > 40 ? "..." + label_.substr(label_.size() - 37) : label_;
    std::fprintf(stderr, "\r\033[K%s [%s] %3d%% %s", caption_.c_str(), bar.c_str(), percent,
                 label.c_str());
    std::fflush(stderr);
    drawn_ = true;
  }

  std::string caption_, label_;
  int64_t max_ = 100, position_ = 0;
  int percent_ = -1;
  bool drawn_ = false;
  std::chrono::steady_clock::time_point start_;
};

}  // namespace

void PrintMessage(const std::string& text) { std::cerr << kMessagePrefix << text << '\n'; }

// Whether standard output is a pipe whose reader has gone: the errno of the failed write may be
// gone by the time a stream reports it.
bool ReaderGone() {
  pollfd out{STDOUT_FILENO, 0, 0};
  return ::poll(&out, 1, 0) == 1 && (out.revents & POLLERR) != 0;
}

void OutputFailed() {
  if (errno == EPIPE || ReaderGone()) throw EOutputClosed{};
  throw EFileError("Unable to write to standard output.");
}

void FlushOutput() {
  errno = 0;
  std::cout.flush();
  if (!std::cout.good() || std::fflush(stdout) != 0 || std::ferror(stdout)) OutputFailed();
}

bool TConsoleMessages::Question(const std::string& text, bool focus) {
  if (!interactive_) {
    std::cerr << kMessagePrefix << text << (answer_ ? " [yes]" : " [no]") << '\n';
    return answer_;
  }
  std::cerr << kMessagePrefix << text << (focus ? " [Y/n] " : " [y/N] ") << std::flush;
  std::string line;
  if (!std::getline(std::cin, line) || line.empty()) return focus;
  return line[0] == 'y' || line[0] == 'Y';
}

bool TConsoleMessages::Confirm(const std::string& text, bool focusOk) {
  return Question(text, focusOk);
}
bool TConsoleMessages::Ask(const std::string& text, bool focusYes) {
  return Question(text, focusYes);
}
bool TConsoleMessages::Warn(const std::string& text, bool focusYes) {
  return Question(text, focusYes);
}
void TConsoleMessages::Error(const std::string& text) { PrintMessage(text); }

bool TConsoleMessages::InputQuery(const std::string&, const std::string& prompt,
                                  std::string& value) {
  value.clear();
  if (!interactive_) return false;
  std::cerr << kMessagePrefix << prompt << ' ' << std::flush;
  return static_cast<bool>(std::getline(std::cin, value));
}

void InstallConsoleLockPolicy(bool wait) {
  InstallLockWaitPolicy({wait, [](const std::string& lockFile) {
                           std::string folder = std::filesystem::path(lockFile).parent_path();
                           PrintMessage("waiting for another run to finish with " + folder + "/");
                         }});
}

void InstallConsoleMessages(bool assumeYes) {
  bool interactive = !assumeYes && isatty(STDIN_FILENO) && isatty(STDERR_FILENO);
  InstallMessageHandler(std::make_unique<TConsoleMessages>(interactive, assumeYes));
}

void InstallConsoleFrontEnd(bool assumeYes) {
  InstallConsoleMessages(assumeYes);
  if (isatty(STDERR_FILENO)) {
    InstallProgressFactory(
        [](TProgressKind, const std::string& caption) -> std::unique_ptr<TProgress> {
          return std::make_unique<TConsoleProgress>(caption);
        });
  }
}

}  // namespace quenterra::cli
