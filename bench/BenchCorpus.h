// The Brown sample served from memory for the large-corpus benchmarks: each of its 500 files
// repeated k times, so that the figures measure splitting, indexing and counting, not reading
// the sample from disk.
#pragma once

#include <chrono>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "config/ProgramSettings.h"
#include "corpus/IndexBuilder.h"
#include "corpus/SynStream.h"
#include "corpus/TextIndex.h"

namespace quenterra::bench {

using Clock = std::chrono::steady_clock;

// Seconds since `since`.
double Seconds(Clock::time_point since);

// A field of /proc/self/status in kilobytes ("VmHWM:" for the peak resident size, "VmRSS:"),
// or -1.
long StatusKilobytes(const char* field);

// The word (a token of kind word, longer than minLength bytes) whose frequency is nearest to
// target: a node of a known size for the extraction benchmarks.
std::string WordNear(const TTextIndex& index, int64_t target, int minLength = 0);

// The settings the tagged sample is read with: the defaults in the user's language, word tags
// on with '/', and the tables built from them.
TProgramSettings TaggedBrownSettings();

// The texts of the sample's files in name order; nothing, after a note naming `program`, when
// scripts/setup has not fetched the sample.
std::optional<std::vector<std::string>> LoadTaggedBrown(const char* program);

// A corpus file served from memory: its text repeated `repeat` times.
class TRepeatedStream : public TSynchroStream {
 public:
  TRepeatedStream(const std::string& text, int repeat) : text_(text), repeat_(repeat) {}
  int64_t GetSize() const override { return static_cast<int64_t>(text_.size()) * repeat_; }
  bool IsOpen() const override { return true; }
  int64_t Read(void* buffer, int64_t count) override;
  int64_t Write(const void*, int64_t) override { return 0; }
  int64_t Seek(int64_t offset, TSeekOrigin origin) override;

 private:
  const std::string& text_;  // owned by the caller, who keeps it alive
  int repeat_;
  int64_t position_ = 0;
};

// Every text as a corpus file repeated `repeat` times. The texts must outlive it.
class TRepeatedCorpus {
 public:
  TRepeatedCorpus(const std::vector<std::string>& texts, int repeat);
  TRepeatedCorpus(const TRepeatedCorpus&) = delete;
  TRepeatedCorpus& operator=(const TRepeatedCorpus&) = delete;

  const std::vector<TCorpusFileRef>& Files() const { return files_; }
  // Builds `corpus`'s index over every file and returns the seconds it took.
  double BuildIndex(TCorpusIndex& corpus) const;

 private:
  std::vector<std::unique_ptr<TRepeatedStream>> streams_;
  std::vector<TCorpusFileRef> files_;  // "brown0", "brown1", ... over streams_
};

}  // namespace quenterra::bench
