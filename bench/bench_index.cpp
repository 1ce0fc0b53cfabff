// Index build throughput and memory over the Brown sample, repeated to about 50 million
// positions, and the time of PatternPositions for a frequent and a rare word.
//
// Each scale runs in a child process so that its peak resident memory (VmHWM) is its own. The
// corpus is served from memory (each of the 500 files repeated k times), so the figures measure
// splitting and indexing, not reading the sample from disk.
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "config/Settings.h"
#include "corpus/IndexBuilder.h"
#include "corpus/LangTables.h"
#include "corpus/WordSplitter.h"

using namespace quenterra;

namespace {

using Clock = std::chrono::steady_clock;

double Seconds(Clock::time_point since) {
  return std::chrono::duration<double>(Clock::now() - since).count();
}

// A corpus file served from memory: its text repeated `repeat` times.
class TRepeatedStream : public TSynchroStream {
 public:
  TRepeatedStream(const std::string& text, int repeat) : text_(text), repeat_(repeat) {}
  int64_t GetSize() const override { return static_cast<int64_t>(text_.size()) * repeat_; }
  bool IsOpen() const override { return true; }
  int64_t Read(void* buffer, int64_t count) override {
    char* out = static_cast<char*>(buffer);
    int64_t done = 0;
    while (done < count && position_ < GetSize()) {
      size_t at = static_cast<size_t>(position_ % static_cast<int64_t>(text_.size()));
      size_t take = std::min<size_t>(text_.size() - at, static_cast<size_t>(count - done));
      std::memcpy(out + done, text_.data() + at, take);
      done += static_cast<int64_t>(take);
      position_ += static_cast<int64_t>(take);
    }
    return done;
  }
  int64_t Write(const void*, int64_t) override { return 0; }
  int64_t Seek(int64_t offset, TSeekOrigin origin) override {
    position_ = origin == TSeekOrigin::Begin ? offset
                : origin == TSeekOrigin::End ? GetSize() + offset
                                             : position_ + offset;
    return position_;
  }

 private:
  const std::string& text_;
  int repeat_;
  int64_t position_ = 0;
};

class TNullSink : public TTokenSink {
 public:
  uint32_t AddToken(const char*, uint8_t, int64_t, uint32_t) override { return ++count_; }
  uint32_t count_ = 0;
};

long PeakKilobytes() {
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line)) {
    if (line.rfind("VmHWM:", 0) == 0) return std::stol(line.substr(6));
  }
  return -1;
}

std::vector<std::string> LoadBrown(const std::string& dir) {
  std::vector<std::string> texts;
  std::vector<std::filesystem::path> names;
  for (const auto& entry : std::filesystem::directory_iterator(dir)) {
    std::string name = entry.path().filename().string();
    if (name.size() == 4 && name[0] == 'c') names.push_back(entry.path());
  }
  std::sort(names.begin(), names.end());
  for (const auto& name : names) {
    std::ifstream in(name, std::ios::binary);
    texts.emplace_back(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  }
  return texts;
}

void RunScale(const std::vector<std::string>& texts, int repeat) {
  std::vector<std::unique_ptr<TRepeatedStream>> streams;
  std::vector<TCorpusFileRef> files;
  for (size_t i = 0; i < texts.size(); ++i) {
    streams.push_back(std::make_unique<TRepeatedStream>(texts[i], repeat));
    files.push_back({std::string("brown").append(std::to_string(i)), streams.back().get()});
  }
  long baseline = PeakKilobytes();

  // Splitting alone, to tell the index's share of the build.
  TNullSink sink;
  TWordSplitter splitter(sink);
  auto start = Clock::now();
  for (size_t i = 0; i < files.size(); ++i) {
    streams[i]->Seek(0, TSeekOrigin::Begin);
    splitter.SplitFile(*files[i].stream, static_cast<uint32_t>(i), files[i].name);
  }
  double splitSeconds = Seconds(start);

  TCorpusIndex corpus;
  start = Clock::now();
  corpus.BuildRange(files, 0, static_cast<int>(files.size()) - 1, nullptr);
  double buildSeconds = Seconds(start);
  TTextIndex& index = *corpus.Index();
  double positions = index.SequenceCount();
  long peak = PeakKilobytes();

  std::printf("repeat %d: %.1f M positions, %u tokens, %d files\n", repeat, positions / 1e6,
              index.TokenCount(), index.FileCount());
  std::printf("  build (split + index + commit): %.2f s, %.2f M positions/s\n", buildSeconds,
              positions / buildSeconds / 1e6);
  std::printf("  split alone: %.2f s; index share: %.2f s, %.2f M positions/s\n", splitSeconds,
              buildSeconds - splitSeconds, positions / (buildSeconds - splitSeconds) / 1e6);
  std::printf("  peak memory (VmHWM): %.1f MB (%.1f MB before the build)\n", peak / 1024.0,
              baseline / 1024.0);
  std::printf("  index files: seq %.0f MB, page %.0f MB\n",
              std::filesystem::file_size(corpus.SeqFileName()) / 1048576.0,
              std::filesystem::file_size(corpus.PageFileName()) / 1048576.0);

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
    TDWordsList list = index.PatternPositions(word, false, kWordKinds);
    std::printf("  PatternPositions(\"%s\"): %d positions in %.2f ms\n", word.c_str(), list.Count(),
                Seconds(start) * 1e3);
  }
  start = Clock::now();
  TDWordsList list = index.PatternPositions("th*", false, kWordKinds);
  std::printf("  PatternPositions(\"th*\"): %d positions in %.2f ms\n", list.Count(),
              Seconds(start) * 1e3);
  corpus.CloseIndex(true);
}

}  // namespace

int main(int argc, char** argv) {
  std::string dir = std::string(QUENTERRA_SAMPLES_DIR) + "/brown";
  if (!std::filesystem::exists(dir)) {
    std::printf("bench_index: no sample corpus at %s (run scripts/setup)\n", dir.c_str());
    return 0;
  }
  InitLanguage();
  Config().WordTag = 1;
  Config().wTagDelimiter = '/';
  std::vector<std::string> texts = LoadBrown(dir);
  // About 2.3 M positions per copy of the sample: 24 copies make about 50 M.
  std::vector<int> repeats = {5, 24};
  if (argc > 1) repeats = {std::atoi(argv[1])};
  for (int repeat : repeats) {
    std::fflush(stdout);
    pid_t child = fork();
    if (child == 0) {
      RunScale(texts, repeat);
      std::fflush(stdout);
      _exit(0);
    }
    int status = 0;
    waitpid(child, &status, 0);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) return 1;
  }
  return 0;
}
