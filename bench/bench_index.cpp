// Index build throughput and memory over the Brown sample, repeated to about 50 million
// positions, and the time of PatternPositions for a frequent and a rare word.
//
// Each scale runs in a child process so that its peak resident memory (VmHWM) is its own. The
// corpus is served from memory (each of the 500 files repeated k times), so the figures measure
// splitting and indexing, not reading the sample from disk.
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "BenchCorpus.h"
#include "corpus/WordSplitter.h"

using namespace quenterra;
using namespace quenterra::bench;

namespace {

class TNullSink : public TTokenSink {
 public:
  uint32_t AddToken(const char*, uint8_t, int64_t, uint32_t) override { return ++count_; }
  uint32_t count_ = 0;
};

void RunScale(const std::vector<std::string>& texts, int repeat) {
  const TProgramSettings settings = TaggedBrownSettings();
  TRepeatedCorpus repeated(texts, repeat);
  const std::vector<TCorpusFileRef>& files = repeated.Files();
  long baseline = StatusKilobytes("VmHWM:");

  // Splitting alone, to tell the index's share of the build.
  TNullSink sink;
  TWordSplitter splitter(sink, settings.config, settings.tables);
  auto start = Clock::now();
  for (size_t i = 0; i < files.size(); ++i) {
    files[i].stream->Seek(0, TSeekOrigin::kBegin);
    splitter.SplitFile(*files[i].stream, static_cast<uint32_t>(i), files[i].name);
  }
  double splitSeconds = Seconds(start);

  TCorpusIndex corpus(settings.config, settings.tables);
  double buildSeconds = repeated.BuildIndex(corpus);
  TTextIndex& index = *corpus.Index();
  double positions = index.SequenceCount();
  long peak = StatusKilobytes("VmHWM:");

  std::printf("repeat %d: %.1f M positions, %u tokens, %d files\n", repeat, positions / 1e6,
              index.TokenCount(), index.FileCount());
  std::printf("  build (split + index + commit): %.2f s, %.2f M positions/s\n", buildSeconds,
              positions / buildSeconds / 1e6);
  std::printf("  split alone: %.2f s; index share: %.2f s, %.2f M positions/s\n", splitSeconds,
              buildSeconds - splitSeconds, positions / (buildSeconds - splitSeconds) / 1e6);
  std::printf("  peak memory (VmHWM): %.1f MB (%.1f MB before the build)\n", peak / 1024.0,
              baseline / 1024.0);
  std::printf("  index files: seq %.0f MB, page %.0f MB\n", index.SeqFileSize() / 1048576.0,
              index.PageFileSize() / 1048576.0);

  // A word seen once per copy of the sample is rare; "the" is the most frequent.
  std::string rare;
  for (uint32_t id = 0; id < index.TokenCount() && rare.empty(); ++id) {
    const TIndexToken& token = index.GetToken(id);
    if (token.kind == kKindWord && token.frequency == static_cast<uint32_t>(repeat) &&
        token.length > 6) {
      rare = token.text;
    }
  }
  for (const std::string& word : {std::string("the"), rare}) {
    start = Clock::now();
    TDWordsList list = index.PatternPositions(word, kWordKinds);
    std::printf("  PatternPositions(\"%s\"): %d positions in %.2f ms\n", word.c_str(), list.Count(),
                Seconds(start) * 1e3);
  }
  start = Clock::now();
  TDWordsList list = index.PatternPositions("th*", kWordKinds);
  std::printf("  PatternPositions(\"th*\"): %d positions in %.2f ms\n", list.Count(),
              Seconds(start) * 1e3);
  corpus.CloseIndex(true);
}

}  // namespace

int main(int argc, char** argv) {
  std::optional<std::vector<std::string>> texts = LoadTaggedBrown("bench_index");
  if (!texts) return 0;
  // About 2.3 M positions per copy of the sample: 24 copies make about 50 M.
  std::vector<int> repeats = {5, 24};
  if (argc > 1) repeats = {std::atoi(argv[1])};
  for (int repeat : repeats) {
    std::fflush(stdout);
    pid_t child = fork();
    if (child == 0) {
      RunScale(*texts, repeat);
      std::fflush(stdout);
      _exit(0);
    }
    int status = 0;
    waitpid(child, &status, 0);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) return 1;
  }
  return 0;
}
