// The corpus text window on a 500 MB file: the time from opening the window to its first paint
// with text, the time until its background count reaches the end of the file, and how far the
// view can scroll meanwhile (End pressed every 100 ms, the top line it reaches). The file is the
// tagged sample repeated, written to a temporary folder and deleted afterwards; a second window
// then opens on the same file with the file in the page cache. Runs on Qt's offscreen platform
// unless QT_QPA_PLATFORM says otherwise. Targets: first paint under 100 ms; the end reachable
// while counting goes on.
#include <sys/resource.h>

#include <QApplication>
#include <QEvent>
#include <QEventLoop>
#include <QKeyEvent>
#include <QTimer>
#include <cstdio>
#include <filesystem>
#include <fstream>

#include "BenchCorpus.h"
#include "corpus/SynStream.h"
#include "shell/FullText.h"
#include "shell/StringsView.h"

using namespace quenterra;
using namespace quenterra::bench;

namespace {

constexpr int64_t kFileBytes = 500LL << 20;

// Writes the sample's texts one after the other until the file holds kFileBytes.
std::string WriteBigFile(const std::vector<std::string>& texts, const std::filesystem::path& dir) {
  const std::string name = (dir / "big.txt").string();
  std::ofstream out(name, std::ios::binary);
  int64_t written = 0;
  while (written < kFileBytes) {
    for (const std::string& text : texts) {
      const auto take = static_cast<std::streamsize>(
          std::min<int64_t>(static_cast<int64_t>(text.size()), kFileBytes - written));
      out.write(text.data(), take);
      written += take;
      if (written >= kFileBytes) break;
    }
  }
  return name;
}

// Notes the first paint of the view that shows text.
class TFirstPaint : public QObject {
 public:
  TFirstPaint(TStringsView& view, Clock::time_point start) : view_(view), start_(start) {
    view.viewport()->installEventFilter(this);
  }
  bool eventFilter(QObject*, QEvent* event) override {
    if (event->type() == QEvent::Paint && ms_ < 0 && view_.KnownCount() > 0)
      ms_ = Seconds(start_) * 1e3;
    return false;
  }
  double Ms() const { return ms_; }

 private:
  TStringsView& view_;
  Clock::time_point start_;
  double ms_ = -1;
};

void PressEnd(TStringsView& view) {
  QKeyEvent press(QEvent::KeyPress, Qt::Key_End, Qt::NoModifier);
  QApplication::sendEvent(&view, &press);
}

// Lets the window's thread handle its events for `ms` without spinning.
void Wait(int ms) {
  QEventLoop loop;
  QTimer::singleShot(ms, &loop, &QEventLoop::quit);
  loop.exec();
}

// Processor seconds the whole process has used: the count runs at the lowest priority, so on a
// busy machine its wall time says more about the machine than about the count.
double CpuSeconds() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
         static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

void Report(const char* what, double value, const char* unit) {
  std::printf("  %-40s %10.1f %s\n", what, value, unit);
  std::fflush(stdout);
}

void Measure(const char* label, const std::string& file, TProgramSettings& settings) {
  std::printf(" %s\n", label);
  TFileSynchroStream stream(file);
  const auto start = Clock::now();
  const double cpuStart = CpuSeconds();
  TFullTextForm window(settings);
  TFirstPaint painted(*window.TextWindow(), start);
  window.OpenFile(file, stream);
  window.resize(TFullTextForm::kWidth, TFullTextForm::kHeight);
  window.show();
  while (painted.Ms() < 0 && Seconds(start) < 10) Wait(1);
  Report("open to first paint with text", painted.Ms(), "ms");
  int64_t furthest = 0;
  double firstEnd = -1;  // when End first moved the view while counting
  while (!window.CountingDone() && Seconds(start) < 600) {
    Wait(100);
    PressEnd(*window.TextWindow());
    if (window.CountingDone()) break;
    furthest = std::max(furthest, window.TextWindow()->TopIndex());
    if (firstEnd < 0 && furthest > 0) firstEnd = Seconds(start);
  }
  while (!window.CountingDone() && Seconds(start) < 600) Wait(1);
  const double counted = Seconds(start);
  Report("open to the end of counting", counted * 1e3, "ms");
  const double cpu = CpuSeconds() - cpuStart;
  Report("counting speed", static_cast<double>(stream.GetSize()) / (1 << 20) / counted, "MB/s");
  Report("processor time, both threads", cpu * 1e3, "ms");
  Report("megabytes per processor second", static_cast<double>(stream.GetSize()) / (1 << 20) / cpu,
         "MB/s");
  Report("lines", static_cast<double>(window.LineCount()), "");
  Report("End reached line, while counting", static_cast<double>(furthest), "");
  Report("first End past line 0 after", firstEnd * 1e3, "ms");
  PressEnd(*window.TextWindow());
  Report("top line after End, counted", static_cast<double>(window.TextWindow()->TopIndex()), "");
}

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  const auto texts = LoadTaggedBrown("bench_ui_textwindow");
  if (!texts) return 0;
  const std::filesystem::path dir =
      std::filesystem::temp_directory_path() / ("quenterra-bench-" + std::to_string(getpid()));
  std::filesystem::create_directories(dir);
  TProgramSettings settings = TaggedBrownSettings();
  const auto written = Clock::now();
  const std::string file = WriteBigFile(*texts, dir);
  std::printf("corpus text window on a %lld MB file (written in %.1f s)\n",
              static_cast<long long>(kFileBytes >> 20), Seconds(written));
  Measure("first window", file, settings);
  Measure("second window, the file in the page cache", file, settings);
  std::filesystem::remove_all(dir);
  return 0;
}
