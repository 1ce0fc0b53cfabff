// The list window with a million items: the time to open it (the window built and first
// painted), to scroll it (a page at a time, and from the top to the end), and to sort it by the
// menu's keys including the repaint. Then the Cancel button of a long extraction running on a
// worker thread: the time from the click to the worker's end. Runs on Qt's offscreen platform
// unless QT_QPA_PLATFORM says otherwise. Targets: no visible pause (under 100 ms) for opening and
// scrolling; sorts of a million items within a second; Cancel within 100 ms.
//
// The items are random word pairs of the sample's vocabulary with random counts and scores, so
// that the texts are real words of an index.
#include <QApplication>
#include <QProgressBar>
#include <QPushButton>
#include <QScrollBar>
#include <QTableView>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <random>

#include "BenchCorpus.h"
#include "engine/collocExtract.h"
#include "engine/collocList.h"
#include "engine/ui/CollocListForm.h"
#include "patterns/ExtractPattern.h"
#include "shell/GuiThread.h"
#include "shell/ProgressForm.h"

using namespace quenterra;
using namespace quenterra::bench;

namespace {

constexpr int kItems = 1000000;

std::unique_ptr<TCollocationList> RandomList(const TTextIndex& index, const TLangTables& tables) {
  auto list = std::make_unique<TCollocationList>(index, tables, 2, TScoreMethod::kMutualInfo);
  std::vector<int32_t> words;
  for (uint32_t id = 0; id < index.TokenCount(); ++id) {
    if (index.GetToken(id).kind == kKindWord) words.push_back(static_cast<int32_t>(id));
  }
  std::mt19937 rng(42);
  std::uniform_int_distribution<size_t> word(0, words.size() - 1);
  std::uniform_real_distribution<double> score(-5, 15);
  for (int i = 0; i < kItems; ++i) {
    const int32_t pair[2] = {words[word(rng)], words[word(rng)]};
    list->Append(pair, nullptr, score(rng), 2 + static_cast<int32_t>(rng() % 500));
    list->Item(i).position = static_cast<int32_t>(rng() % 2);
  }
  return list;
}

// Milliseconds of `step` followed by a full repaint of the window.
template <typename Step>
double Painted(QWidget& window, Step&& step) {
  const auto start = Clock::now();
  step();
  window.repaint();
  QApplication::processEvents();
  return Seconds(start) * 1e3;
}

void Report(const char* what, double ms) {
  std::printf("  %-34s %9.2f ms\n", what, ms);
  std::fflush(stdout);
}

// Extracts every word at span 12 on a worker and presses Cancel once the bar has moved: the
// milliseconds from the click to the worker's end.
double CancelLatency(TTextIndex& index, TProgramSettings& settings) {
  settings.config.SpanRange = 12;
  TExtractRecords records(TSearchKind::kWordPhrase, "*");
  AddExtractPattern(TSearchKind::kWordPhrase, records, "*", settings.config, settings.tables);
  Clock::time_point clicked{};
  QTimer poll;
  QObject::connect(&poll, &QTimer::timeout, [&] {
    for (QWidget* widget : QApplication::topLevelWidgets()) {
      auto* form = qobject_cast<TProgressForm*>(widget);
      if (form == nullptr || form->ProgressBar()->value() == 0) continue;
      poll.stop();
      clicked = Clock::now();
      form->CancelBtn()->click();
    }
  });
  poll.start(5);
  std::unique_ptr<TCollocationList> list;
  RunOnWorker([&] { list = ExtractAll(records, index, settings.Run()); });
  return Seconds(clicked) * 1e3;
}

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  std::optional<std::vector<std::string>> texts = LoadTaggedBrown("bench_ui_listwindow");
  if (!texts) return 0;
  TProgramSettings settings = TaggedBrownSettings();
  TRepeatedCorpus corpus(*texts, 1);
  TCorpusIndex index(settings.config, settings.tables);
  corpus.BuildIndex(index);
  std::unique_ptr<TCollocationList> list = RandomList(*index.Index(), settings.tables);
  std::printf("list window of %d items\n", list->Count());

  const auto opening = Clock::now();
  TcollocListForm form(std::move(list), {"bench", 0, false, TOrderMode::kAdjacent}, settings,
                       [] { return int64_t{50000000}; });
  form.show();
  form.repaint();
  QApplication::processEvents();
  Report("open (built and painted)", Seconds(opening) * 1e3);

  QScrollBar* bar = form.Grid()->verticalScrollBar();
  double page = 0;
  const int pages = 100;
  for (int i = 0; i < pages; ++i)
    page += Painted(form, [&] { bar->triggerAction(QAbstractSlider::SliderPageStepAdd); });
  Report("scroll one page (mean of 100)", page / pages);
  Report("scroll to the end", Painted(form, [&] { bar->setValue(bar->maximum()); }));
  Report("scroll to the top", Painted(form, [&] { bar->setValue(0); }));

  using K = TCollocSortKey;
  const std::pair<const char*, std::pair<K, K>> sorts[] = {
      {"sort by frequency", {K::kFreq, K::kNone}},
      {"sort by score, frequency", {K::kScore, K::kFreq}},
      {"sort alphabetically", {K::kAlpha, K::kNone}},
      {"sort by position, alpha", {K::kPosition, K::kAlpha}},
      {"sort by frequency, alpha", {K::kFreq, K::kAlpha}}};
  // One after the other, as a user goes through the Sort menu: each from the order before.
  for (const auto& [name, keys] : sorts)
    Report(name, Painted(form, [&] { form.SetSort(keys.first, keys.second); }));
  Report("switch the score column off",
         Painted(form, [&] { form.ToggleScoreMethod(TScoreMethod::kMutualInfo); }));
  InstallGuiProgress();
  std::vector<double> latencies;
  for (int i = 0; i < 5; ++i) latencies.push_back(CancelLatency(*index.Index(), settings));
  std::sort(latencies.begin(), latencies.end());
  std::printf("  %-34s %9.2f ms  (worst of 5: %.2f ms)\n", "Cancel during an extraction",
              latencies[2], latencies.back());
  index.CloseIndex(true);
  return 0;
}
