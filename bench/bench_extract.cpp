// Extraction time over the Brown sample repeated to about 50 million positions (word tags on,
// '/'): a frequent node ("the"), a node of about 10,000 occurrences and a two-term unordered
// line, at spans 2, 5 and 12. Each figure is a whole ExtractAll: the run, DropRare and Mutual
// Information scores. Targets: the 10,000-occurrence node within 50 ms and "the" within 5 s at
// span 5.
//
// The corpus is served from memory (each of the 500 files repeated k times) and indexed once.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "BenchCorpus.h"
#include "engine/collocExtract.h"
#include "engine/collocList.h"
#include "patterns/ExtractPattern.h"

using namespace quenterra;
using namespace quenterra::bench;

namespace {

// Runs the line `runs` times and prints the best time.
void Measure(TTextIndex& index, TProgramSettings& settings, const std::string& line, int span,
             int runs) {
  settings.config.SpanRange = span;
  TExtractRecords records(TSearchKind::kWordPhrase, line);
  AddExtractPattern(TSearchKind::kWordPhrase, records, line, settings.config, settings.tables);
  double best = 1e9;
  int items = 0;
  for (int i = 0; i < runs; ++i) {
    auto start = Clock::now();
    std::unique_ptr<TCollocationList> list = ExtractAll(records, index, settings.Run());
    best = std::min(best, Seconds(start));
    items = list->Count();
  }
  std::printf("  %-22s span %2d: %9.2f ms  (%d items)\n", ("'" + line + "'").c_str(), span,
              best * 1e3, items);
  std::fflush(stdout);
}

}  // namespace

int main(int argc, char** argv) {
  std::optional<std::vector<std::string>> texts = LoadTaggedBrown("bench_extract");
  if (!texts) return 0;
  // About 2.05 M positions per copy of the sample: 24 copies make about 50 M.
  TProgramSettings settings = TaggedBrownSettings();
  TRepeatedCorpus repeated(*texts, argc > 1 ? std::atoi(argv[1]) : 24);
  TCorpusIndex corpus(settings.config, settings.tables);
  const double seconds = repeated.BuildIndex(corpus);
  TTextIndex& index = *corpus.Index();
  std::printf("index: %.1f M positions, %u tokens, built in %.1f s\n", index.SequenceCount() / 1e6,
              index.TokenCount(), seconds);

  std::string mid = WordNear(index, 10000, 3);
  std::printf("nodes: 'the' %u occurrences, '%s' %u occurrences\n",
              index.FindToken("the", kKindWord)->frequency, mid.c_str(),
              index.FindToken(mid, kKindWord)->frequency);
  for (int span : {2, 5, 12}) {
    Measure(index, settings, mid, span, 5);
    Measure(index, settings, mid + " + the", span, 5);
    Measure(index, settings, "the", span, 1);
  }
  corpus.CloseIndex(true);
  return 0;
}
