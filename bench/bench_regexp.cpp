// Regular-expression matching over a token table, as the text index's pattern queries do it:
// every distinct word of the Brown sample (split with word tags on, WordTag=1 and '/', folded as
// ignoreCase does) is tested with the whole-word test, in code page 1252 and, for two patterns,
// as UTF-8. Reports tokens per second for a few
// typical patterns, and the same work with std::regex_match for reference (its semantics differ:
// it accepts any path that covers the whole token, where the engine takes the first match).
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <regex>
#include <set>
#include <string>
#include <vector>

#include "corpus/LangTables.h"
#include "corpus/SynStream.h"
#include "corpus/WordSplitter.h"
#include "regexp/RegExp3.h"
#include "settings/Settings.h"

namespace {

using namespace quenterra;

// Collects the distinct words (kind 1), as the index's token table would hold them.
class TTokenTable : public TTokenSink {
 public:
  uint32_t AddToken(const char* text, uint8_t kind, int64_t, uint32_t) override {
    if (kind == kKindWord) words_.insert(text);
    return 0;
  }
  std::vector<std::string> Words() const { return {words_.begin(), words_.end()}; }

 private:
  std::set<std::string> words_;
};

// The tagged sample's settings in US English, whatever the locale of the machine.
ZuzadovUdirev TaggedConfig() {
  ZuzadovUdirev config;
  config.WordTag = 1;
  config.wTagDelimiter = '/';
  return config;
}

const TLangTables& Tables() {
  static const TLangTables tables(TGlobalSettings::kEnglishUS, TCorpusEncoding::kCodePage,
                                  TaggedConfig());
  return tables;
}

std::vector<std::string> LoadTokens() {
  std::vector<std::string> files;
  std::error_code error;
  for (const auto& entry :
       std::filesystem::directory_iterator(QUENTERRA_SAMPLES_DIR "/brown", error)) {
    std::string name = entry.path().filename().string();
    if (name.size() == 4 && name[0] == 'c') files.push_back(entry.path().string());
  }
  std::sort(files.begin(), files.end());
  TTokenTable table;
  TWordSplitter splitter(table, TaggedConfig(), Tables());
  for (size_t i = 0; i < files.size(); ++i) {
    TFileSynchroStream stream(files[i]);
    splitter.SplitFile(stream, static_cast<uint32_t>(i), files[i]);
  }
  std::vector<std::string> words = table.Words();
  std::printf("token table: %zu distinct words from %zu sample files\n", words.size(),
              files.size());
  return words;
}

const std::vector<std::string>& Tokens() {
  static const std::vector<std::string> tokens = LoadTokens();
  return tokens;
}

void Report(benchmark::State& state, size_t matched) {
  const auto count = static_cast<double>(Tokens().size());
  state.counters["tokens/s"] =
      benchmark::Counter(count, benchmark::Counter::kIsIterationInvariantRate);
  state.counters["matched"] = static_cast<double>(matched);
}

// The same tables read as UTF-8: the same tokens, decoded as code points.
const TLangTables& Utf8Tables() {
  static const TLangTables tables(TGlobalSettings::kEnglishUS, TCorpusEncoding::kUtf8,
                                  TaggedConfig());
  return tables;
}

void MatchWhole(benchmark::State& state, const char* pattern, const TLangTables& tables) {
  const std::vector<std::string>& tokens = Tokens();
  if (tokens.empty()) return state.SkipWithError("no sample corpus (run scripts/setup)");
  TRegExp re(pattern, tables.RegExpTables());
  size_t matched = 0;
  for (auto _ : state) {
    matched = 0;
    for (const std::string& token : tokens) matched += re.MatchesWhole(token);
    benchmark::DoNotOptimize(matched);
  }
  Report(state, matched);
}

void BM_MatchesWhole(benchmark::State& state, const char* pattern) {
  MatchWhole(state, pattern, Tables());
}

void BM_MatchesWholeUtf8(benchmark::State& state, const char* pattern) {
  MatchWhole(state, pattern, Utf8Tables());
}

void BM_StdRegexMatch(benchmark::State& state, const char* pattern) {
  const std::vector<std::string>& tokens = Tokens();
  if (tokens.empty()) return state.SkipWithError("no sample corpus (run scripts/setup)");
  std::regex re(pattern, std::regex::extended);
  size_t matched = 0;
  for (auto _ : state) {
    matched = 0;
    for (const std::string& token : tokens) matched += std::regex_match(token, re);
    benchmark::DoNotOptimize(matched);
  }
  Report(state, matched);
}

BENCHMARK_CAPTURE(BM_MatchesWhole, colour, "colou?r");
BENCHMARK_CAPTURE(BM_MatchesWhole, ing, "[a-z]+ing");
BENCHMARK_CAPTURE(BM_MatchesWhole, un_re_ed, "(un|re)[a-z]*ed");
BENCHMARK_CAPTURE(BM_MatchesWhole, word, "\\w+");
BENCHMARK_CAPTURE(BM_MatchesWhole, tion_ly, ".*(tion|ly)");
BENCHMARK_CAPTURE(BM_MatchesWholeUtf8, ing, "[a-z]+ing");
BENCHMARK_CAPTURE(BM_MatchesWholeUtf8, word, "\\w+");
BENCHMARK_CAPTURE(BM_StdRegexMatch, colour, "colou?r");
BENCHMARK_CAPTURE(BM_StdRegexMatch, ing, "[a-z]+ing");
BENCHMARK_CAPTURE(BM_StdRegexMatch, un_re_ed, "(un|re)[a-z]*ed");

}  // namespace

BENCHMARK_MAIN();
