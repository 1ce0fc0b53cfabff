// N-gram counting and the full extract over the Brown sample repeated to about 50 million
// positions (word/tag tokens, WordTag 1 with '/'): the time and peak memory of n-grams of span 2
// and 5 and of a full extract with the default options, and, side by side, the time of counting
// the same bigrams with tr, awk, sort and uniq -c over the same words.
//
// The index is built once. Before each measurement freed memory is returned to the system and
// the peak resident size (VmHWM) is reset, so each figure is that run's own peak; the delta is
// taken over the resident size with the index alone.
#include <malloc.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "BenchCorpus.h"
#include "engine/FullExtract.h"
#include "engine/NGrams.h"
#include "engine/collocList.h"
#include "platform/Files.h"
#include "platform/Messages.h"

using namespace quenterra;
using namespace quenterra::bench;

namespace {

// Answers every question Yes and remembers that one was asked.
class TYesMessages : public TDefaultMessageHandler {
 public:
  explicit TYesMessages(bool& asked) : asked_(asked) {}
  bool Ask(const std::string&, bool) override { return asked_ = true; }

 private:
  bool& asked_;
};

// Returns freed memory to the system and starts a new peak at the current resident size.
void ResetPeak() {
  malloc_trim(0);
  std::ofstream("/proc/self/clear_refs") << "5";
}

void Report(const char* what, double seconds, long baseline, const std::string& detail) {
  const long peak = StatusKilobytes("VmHWM:");
  std::printf("%-28s %7.2f s   peak %7.1f MB (+%6.1f MB over the index)   %s\n", what, seconds,
              peak / 1024.0, (peak - baseline) / 1024.0, detail.c_str());
  std::fflush(stdout);
}

void TimeNGrams(TTextIndex& index, TProgramSettings& settings, int n, long baseline) {
  ResetPeak();
  settings.fullExtract.Max_Span = n;
  auto start = Clock::now();
  auto list = ExtractNGrams(index, {}, settings.fullExtract, settings.Run());
  const double seconds = Seconds(start);
  Report(("ngrams --span " + std::to_string(n)).c_str(), seconds, baseline,
         std::to_string(list->Count()) + " n-grams, first: " +
             (list->Count() > 0
                  ? list->CollocationText(0) + " (" + std::to_string(list->Item(0).count) + ")"
                  : std::string("-")));
}

void TimeFullExtract(TTextIndex& index, TProgramSettings& settings, long baseline) {
  ResetPeak();
  settings.fullExtract = TFullExtractOptions{};
  bool asked = false;
  InstallMessageHandler(std::make_unique<TYesMessages>(asked));
  TFullExtractStats stats;
  auto start = Clock::now();
  auto list = FullExtract(index, {}, settings.fullExtract, settings.Run(), &stats);
  const double seconds = Seconds(start);
  char detail[256];
  std::snprintf(detail, sizeof detail,
                "%d results; base bigrams %d, kept %d, occurrences %lld, store %.1f MB%s",
                list ? list->Count() : -1, stats.counted, stats.kept,
                static_cast<long long>(stats.occurrences), stats.storeBytes / 1048576.0,
                asked ? ", 90% question asked" : "");
  Report("full extract (defaults)", seconds, baseline, detail);
  InstallMessageHandler(nullptr);
}

// The counted words, one file a line, for the peer tools.
std::string WriteWords(TTextIndex& index) {
  const std::string name = MakeTempFile("BNG");
  std::ofstream out(name, std::ios::binary);
  std::string line;
  for (int32_t file = 0; file < index.FileCount(); ++file) {
    const auto [first, end] = index.GetFileRange(file);
    line.clear();
    for (int32_t p = first; p < end; ++p) {
      const TIndexToken& token = index.GetToken(index.TokenAt(p));
      if (token.kind != kKindWord) continue;
      line.append(token.text, token.length).push_back(' ');
    }
    out << line << '\n';
  }
  return name;
}

void TimePeer(const std::string& words) {
  const std::string command = "LC_ALL=C tr -s '[:space:]' '\\n' < '" + words +
                              "' | LC_ALL=C awk 'NR > 1 { print p \" \" $0 } { p = $0 }'"
                              " | LC_ALL=C sort | LC_ALL=C uniq -c | wc -l";
  auto start = Clock::now();
  FILE* pipe = popen(command.c_str(), "r");
  char out[64] = "";
  if (pipe == nullptr || std::fgets(out, sizeof out, pipe) == nullptr) out[0] = '\0';
  if (pipe != nullptr) pclose(pipe);
  const double seconds = Seconds(start);
  out[std::strcspn(out, "\n")] = '\0';
  std::printf("%-28s %7.2f s   %s distinct bigrams (LC_ALL=C; pairs across lines included)\n",
              "tr | awk | sort | uniq -c", seconds, out);
}

}  // namespace

int main(int argc, char** argv) {
  const std::optional<std::vector<std::string>> texts = LoadTaggedBrown("bench_ngrams");
  if (!texts) return 0;
  TProgramSettings settings = TaggedBrownSettings();
  const int repeat = argc > 1 ? std::atoi(argv[1]) : 24;  // about 2.1 M positions a copy
  const bool peer = argc <= 2 || std::strcmp(argv[2], "--no-peer") != 0;

  TRepeatedCorpus repeated(*texts, repeat);
  TCorpusIndex corpus(settings.config, settings.tables);
  const double seconds = repeated.BuildIndex(corpus);
  TTextIndex& index = *corpus.Index();
  ResetPeak();
  const long baseline = StatusKilobytes("VmRSS:");
  std::printf("index: %.1f M positions, %lld words, %u tokens, built in %.1f s; resident %.1f MB\n",
              index.SequenceCount() / 1e6,
              static_cast<long long>(CorpusWords(index, settings.config)), index.TokenCount(),
              seconds, baseline / 1024.0);

  TimeNGrams(index, settings, 2, baseline);
  TimeNGrams(index, settings, 5, baseline);
  TimeFullExtract(index, settings, baseline);
  if (peer) {
    const std::string words = WriteWords(index);
    std::printf("peer input: %.1f MB of words\n", std::filesystem::file_size(words) / 1048576.0);
    TimePeer(words);
    std::filesystem::remove(words);
  }
  corpus.CloseIndex(true);
  return 0;
}
