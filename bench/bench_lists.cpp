// The concordance, the collocates and the word list on the Brown sample (word tags on, '/'),
// indexed once, as a workspace that is open. Targets: the concordance of a node of about 10,000
// occurrences with 5 words of context each side within 50 ms (the search and every line's three
// texts); the collocates of "the" with L5-R5 within 1 s; the word list within 0.2 s.
//
// An argument k repeats each of the 500 files k times (default 1, the sample itself).
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "BenchCorpus.h"
#include "engine/Collocates.h"
#include "engine/Concordance.h"
#include "engine/NGrams.h"
#include "engine/WordList.h"
#include "patterns/ExtractPattern.h"

using namespace quenterra;
using namespace quenterra::bench;

namespace {

// Runs work `runs` times; prints the first and the best time against the target.
void Measure(const char* what, double targetSeconds, int runs, const std::function<int()>& work) {
  double first = 0, best = 1e9;
  int rows = 0;
  for (int i = 0; i < runs; ++i) {
    const auto start = Clock::now();
    rows = work();
    const double seconds = Seconds(start);
    if (i == 0) first = seconds;
    best = std::min(best, seconds);
  }
  std::printf("  %-40s first %8.2f ms, best %8.2f ms (target %.0f ms, %s)  %d rows\n", what,
              first * 1e3, best * 1e3, targetSeconds * 1e3,
              best <= targetSeconds ? "met" : "MISSED", rows);
  std::fflush(stdout);
}

std::unique_ptr<TConcordance> Concordance(TTextIndex& index, const TProgramSettings& settings,
                                          const std::string& pattern) {
  auto records = ParseExtractRequest(TSearchKind::kWordPhrase, false, {pattern}, settings.config,
                                     settings.tables);
  auto concordance = std::make_unique<TConcordance>(
      index, settings.tables, settings.config, TConcordanceSettings::FromSettings(settings.config));
  concordance->Search(*records);
  return concordance;
}

}  // namespace

int main(int argc, char** argv) {
  std::optional<std::vector<std::string>> texts = LoadTaggedBrown("bench_lists");
  if (!texts) return 0;
  TProgramSettings settings = TaggedBrownSettings();
  TRepeatedCorpus repeated(*texts, argc > 1 ? std::max(std::atoi(argv[1]), 1) : 1);
  TCorpusIndex corpus(settings.config, settings.tables);
  const double seconds = repeated.BuildIndex(corpus);
  TTextIndex& index = *corpus.Index();
  std::printf("index: %.2f M positions, %u tokens, built in %.1f s\n", index.SequenceCount() / 1e6,
              index.TokenCount(), seconds);

  const std::string node = WordNear(index, 10000);
  std::printf("node: '%s', %u occurrences\n", node.c_str(),
              index.FindToken(node, kKindWord)->frequency);
  const TConcordanceView view{5, TContextUnit::kWords, false};
  Measure(("concordance '" + node + "', 5 words each side").c_str(), 0.05, 5, [&] {
    auto concordance = Concordance(index, settings, node);
    size_t bytes = 0;
    for (int i = 0; i < concordance->Count(); ++i) {
      bytes += concordance->LeftText(i, view).size() + concordance->NodeText(i, view).size() +
               concordance->RightText(i, view).size();
    }
    return bytes > 0 ? concordance->Count() : 0;
  });
  Measure(("  of which the search for '" + node + "'").c_str(), 0.05, 5,
          [&] { return Concordance(index, settings, node)->Count(); });
  Measure("collocates of 'the', L5-R5", 1.0, 3, [&] {
    auto nodes = Concordance(index, settings, "the");
    TCollocateSettings collocates = TCollocateSettings::FromSettings(settings.Run(), index);
    TCollocateList list(*nodes, collocates, CorpusWords(index, settings.config));
    return list.Count();
  });
  Measure("word list", 0.2, 3, [&] {
    TWordList list(index, settings.tables,
                   TWordListSettings::FromSettings(settings.Run(), index, false));
    return list.Count();
  });
  corpus.CloseIndex(true);
  return 0;
}
