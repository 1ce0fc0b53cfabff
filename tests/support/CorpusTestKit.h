// Doubles and fixtures shared by the corpus tests: index-file bytes, a corpus stream over a
// string, a recording progress window, a private TMPDIR.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <initializer_list>
#include <string>
#include <utility>
#include <vector>

#include "corpus/SynStream.h"
#include "platform/Progress.h"
#include "support/EnvScope.h"
#include "support/SettingsTest.h"
#include "support/TempDir.h"

namespace quenterra::test {

// The values as little-endian 32-bit words, for exact-byte assertions on index files.
std::string Fixed32s(std::initializer_list<uint32_t> values);

// A corpus stream over a string that counts the reads reaching it. maxRead > 0 cuts every read
// to that length; claimedSize >= 0 is the size it reports, as a file truncated after its size
// was taken does.
class TStringStream : public TSynchroStream {
 public:
  explicit TStringStream(std::string data, int64_t maxRead = 0)
      : data_(std::move(data)), maxRead_(maxRead) {}

  int64_t GetSize() const override;
  bool IsOpen() const override { return true; }
  int64_t Read(void* buffer, int64_t count) override;
  int64_t Write(const void*, int64_t) override { return 0; }
  int64_t Seek(int64_t offset, TSeekOrigin origin) override;

  int reads = 0;  // calls of Read
  int64_t claimedSize = -1;

 private:
  std::string data_;
  int64_t maxRead_;
  int64_t position_ = 0;
};

// Records what a long operation shows in its progress window.
class TRecordingProgress : public TNullProgress {
 public:
  void SetLabel(const std::string& text) override { labels.push_back(text); }
  void SetMax(int64_t max) override { maxima.push_back(max); }
  void SetPosition(int64_t position) override { positions.push_back(position); }

  std::vector<std::string> labels;
  std::vector<int64_t> maxima;
  std::vector<int64_t> positions;
};

// Points TMPDIR at a fresh folder while it lives, so that temporary index files can be counted.
// A TTempDir made while it lives lands inside it: make those first.
class TPrivateTmpDir {
 public:
  const std::filesystem::path& Path() const { return dir_.Path(); }
  // The names of the files in the folder, sorted.
  std::vector<std::string> Files() const;

 private:
  TTempDir dir_;
  TEnvScope tmpdir_{"TMPDIR", dir_.Path().c_str()};
};

}  // namespace quenterra::test
