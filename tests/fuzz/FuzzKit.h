// What the fuzz targets share: a check that traps, a message handler that answers nothing, a
// corpus stream over memory, and a folder of their own for the files a target must write.
#pragma once

#include <stdlib.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "corpus/SynStream.h"
#include "platform/Messages.h"

namespace quenterra::fuzz {

inline void Check(bool condition) {
  if (!condition) __builtin_trap();
}

// Answers nothing and prints nothing.
class TSilentMessages : public TMessageHandler {
 public:
  bool Confirm(const std::string&, bool) override { return false; }
  bool Ask(const std::string&, bool) override { return false; }
  bool Warn(const std::string&, bool) override { return false; }
  void Error(const std::string&) override {}
  bool InputQuery(const std::string&, const std::string&, std::string& value) override {
    value.clear();
    return false;
  }
};

// A corpus file held in memory.
class TMemoryStream : public TSynchroStream {
 public:
  explicit TMemoryStream(std::string_view data) : data_(data) {}
  int64_t GetSize() const override { return static_cast<int64_t>(data_.size()); }
  bool IsOpen() const override { return true; }
  int64_t Read(void* buffer, int64_t count) override {
    int64_t n = std::min<int64_t>(count, GetSize() - position_);
    if (n <= 0) return 0;
    std::memcpy(buffer, data_.data() + position_, static_cast<size_t>(n));
    position_ += n;
    return n;
  }
  int64_t Write(const void*, int64_t) override { return 0; }
  int64_t Seek(int64_t offset, TSeekOrigin origin) override {
    int64_t base = origin == TSeekOrigin::kBegin ? 0
                   : origin == TSeekOrigin::kEnd ? GetSize()
                                                 : position_;
    position_ = std::clamp<int64_t>(base + offset, 0, GetSize());
    return position_;
  }

 private:
  std::string_view data_;
  int64_t position_ = 0;
};

// A folder for the target's files, removed at exit; in memory (/dev/shm) where there is one,
// so that the disk writes of a workspace cost little.
inline const std::string& FuzzDir() {
  static const std::string dir = [] {
    std::string pattern =
        std::filesystem::is_directory("/dev/shm") ? "/dev/shm/qfuzzXXXXXX" : "/tmp/qfuzzXXXXXX";
    if (mkdtemp(pattern.data()) == nullptr) std::abort();
    static std::string made = pattern;
    std::atexit([] { std::filesystem::remove_all(made); });
    setenv("TMPDIR", made.c_str(), 1);
    return made + "/";
  }();
  return dir;
}

inline std::string ReadAll(const std::string& name) {
  std::ifstream in(name, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

inline void WriteAll(const std::string& name, std::string_view bytes) {
  std::ofstream out(name, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

}  // namespace quenterra::fuzz
