// Extraction time over the Brown sample repeated to about 50 million positions (word tags on,
// '/'): a frequent node ("the"), a node of about 10,000 occurrences and a two-term unordered
// line, at spans 2, 5 and 12. Each figure is a whole ExtractAll: the run, DropRare and Mutual
// Information scores. Targets: the 10,000-occurrence node within 50 ms and "the" within 5 s at
// span 5.
//
// The corpus is served from memory (each of the 500 files repeated k times) and indexed once.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
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
#include "engine/collocExtract.h"
#include "engine/collocList.h"
#include "patterns/collocExtractDialog.h"

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

std::vector<std::string> LoadBrown(const std::string& dir) {
  std::vector<std::filesystem::path> names;
  for (const auto& entry : std::filesystem::directory_iterator(dir)) {
    std::string name = entry.path().filename().string();
    if (name.size() == 4 && name[0] == 'c') names.push_back(entry.path());
  }
  std::sort(names.begin(), names.end());
  std::vector<std::string> texts;
  for (const auto& name : names) {
    std::ifstream in(name, std::ios::binary);
    texts.emplace_back(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  }
  return texts;
}

// The word whose frequency is nearest to `target`.
std::string WordNear(const TTextIndex& index, int64_t target) {
  std::string best;
  int64_t distance = INT64_MAX;
  for (uint32_t id = 0; id < index.TokenCount(); ++id) {
    const TIndexToken& token = index.GetToken(id);
    int64_t d = std::llabs(static_cast<int64_t>(token.frequency) - target);
    if (token.kind == kKindWord && d < distance && token.length > 3) {
      distance = d;
      best = token.text;
    }
  }
  return best;
}

// Runs the line `runs` times and prints the best time.
void Measure(TTextIndex& index, const std::string& line, int span, int runs) {
  Config().SpanRange = span;
  TExtractRecords records(kWordPhrase, line);
  AddExtractPattern(kWordPhrase, records, line);
  double best = 1e9;
  int items = 0;
  for (int i = 0; i < runs; ++i) {
    auto start = Clock::now();
    std::unique_ptr<TCollocationList> list = ExtractAll(records, index);
    best = std::min(best, Seconds(start));
    items = list->Count();
  }
  std::printf("  %-22s span %2d: %9.2f ms  (%d items)\n", ("'" + line + "'").c_str(), span,
              best * 1e3, items);
  std::fflush(stdout);
}

}  // namespace

int main(int argc, char** argv) {
  std::string dir = std::string(QUENTERRA_SAMPLES_DIR) + "/brown";
  if (!std::filesystem::exists(dir)) {
    std::printf("bench_extract: no sample corpus at %s (run scripts/setup)\n", dir.c_str());
    return 0;
  }
  InitLanguage();
  Config().WordTag = 1;
  Config().wTagDelimiter = '/';
  std::vector<std::string> texts = LoadBrown(dir);
  // About 2.05 M positions per copy of the sample: 24 copies make about 50 M.
  int repeat = argc > 1 ? std::atoi(argv[1]) : 24;
  std::vector<std::unique_ptr<TRepeatedStream>> streams;
  std::vector<TCorpusFileRef> files;
  for (size_t i = 0; i < texts.size(); ++i) {
    streams.push_back(std::make_unique<TRepeatedStream>(texts[i], repeat));
    files.push_back({"brown" + std::to_string(i), streams.back().get()});
  }
  TCorpusIndex corpus;
  auto start = Clock::now();
  corpus.BuildRange(files, 0, static_cast<int>(files.size()) - 1, nullptr);
  TTextIndex& index = *corpus.Index();
  std::printf("index: %.1f M positions, %u tokens, built in %.1f s\n", index.SequenceCount() / 1e6,
              index.TokenCount(), Seconds(start));

  std::string mid = WordNear(index, 10000);
  std::printf("nodes: 'the' %u occurrences, '%s' %u occurrences\n",
              index.FindToken("the", kKindWord)->frequency, mid.c_str(),
              index.FindToken(mid, kKindWord)->frequency);
  for (int span : {2, 5, 12}) {
    Measure(index, mid, span, 5);
    Measure(index, mid + " + the", span, 5);
    Measure(index, "the", span, 1);
  }
  corpus.CloseIndex(true);
  return 0;
}
