// Word-splitter throughput: the Brown sample repeated to at least 200 MB in one file, split with
// word tags on (WordTag=1, '/'), as a build would. Prints MB/s and tokens/s, and the tokens of
// each kind that the 500 sample files give once.
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "config/ProgramSettings.h"
#include "corpus/SynStream.h"
#include "corpus/WordSplitter.h"
#include "platform/Files.h"

namespace {

using namespace quenterra;

class TCountingSink : public TTokenSink {
 public:
  uint32_t AddToken(const char*, uint8_t kind, int64_t, uint32_t) override {
    ++byKind[kind];
    return 0;
  }
  uint64_t Total() const {
    uint64_t total = 0;
    for (uint64_t n : byKind) total += n;
    return total;
  }
  uint64_t byKind[8] = {};
};

std::vector<std::string> SampleFiles() {
  std::vector<std::string> files;
  for (const auto& entry : std::filesystem::directory_iterator(QUENTERRA_SAMPLES_DIR "/brown")) {
    std::string name = entry.path().filename().string();
    if (name.size() == 4 && name[0] == 'c') files.push_back(entry.path().string());
  }
  std::sort(files.begin(), files.end());
  return files;
}

std::string ReadAll(const std::string& name) {
  std::ifstream in(name, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

}  // namespace

int main() {
  TProgramSettings settings = TProgramSettings::Defaults();
  settings.config.WordTag = 1;
  settings.config.wTagDelimiter = '/';
  settings.RebuildTables();

  std::vector<std::string> files = SampleFiles();
  if (files.empty()) {
    std::puts("bench_splitter: no sample corpus (run scripts/setup)");
    return 0;
  }

  TCountingSink perKind;
  TWordSplitter once(perKind, settings.config, settings.tables);
  std::string sample;
  for (size_t i = 0; i < files.size(); ++i) {
    TFileSynchroStream stream(files[i]);
    once.SplitFile(stream, static_cast<uint32_t>(i), files[i]);
    sample += ReadAll(files[i]);
  }
  std::printf(
      "sample: %zu files, %llu words (kind 1), %llu word tags (kind 5), %llu tag names, "
      "%llu tag words\n",
      files.size(), static_cast<unsigned long long>(perKind.byKind[1]),
      static_cast<unsigned long long>(perKind.byKind[5]),
      static_cast<unsigned long long>(perKind.byKind[2]),
      static_cast<unsigned long long>(perKind.byKind[3]));

  const size_t target = size_t{200} << 20;
  std::string big = MakeTempFile("SPB");
  {
    std::ofstream out(big, std::ios::binary);
    for (size_t written = 0; written < target; written += sample.size()) out << sample;
  }
  TFileSynchroStream stream(big);
  TCountingSink sink;
  TWordSplitter splitter(sink, settings.config, settings.tables);
  auto start = std::chrono::steady_clock::now();
  splitter.SplitFile(stream, 0, big);
  double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  double megabytes = static_cast<double>(stream.GetSize()) / (1 << 20);
  std::printf(
      "split %.0f MB, %llu tokens in %.2f s: %.0f MB/s, %.1f million tokens/s "
      "(target 150 MB/s)\n",
      megabytes, static_cast<unsigned long long>(sink.Total()), seconds, megabytes / seconds,
      static_cast<double>(sink.Total()) / seconds / 1e6);
  std::filesystem::remove(big);
  return 0;
}
