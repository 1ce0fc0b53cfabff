// A sequential byte stream: what word lists save to and load from (index chunk chains, files,
// memory in tests).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace quenterra {

class TByteStream {
 public:
  virtual ~TByteStream() = default;
  // Reads up to count bytes; returns how many were read (0 at the end).
  virtual size_t Read(void* buffer, size_t count) = 0;
  // Writes all count bytes or throws.
  virtual void Write(const void* buffer, size_t count) = 0;

  // Reads exactly count bytes or throws EFileError "Stream read error.".
  void ReadExact(void* buffer, size_t count);
  uint32_t ReadU32();
  void WriteU32(uint32_t value);
};

// A stream over a string in memory.
class TMemoryStream : public TByteStream {
 public:
  TMemoryStream() = default;
  explicit TMemoryStream(std::string data) : data_(std::move(data)) {}
  size_t Read(void* buffer, size_t count) override;
  void Write(const void* buffer, size_t count) override;
  const std::string& Data() const { return data_; }
  void Rewind() { position_ = 0; }

 private:
  std::string data_;
  size_t position_ = 0;  // next byte to read
};

}  // namespace quenterra
