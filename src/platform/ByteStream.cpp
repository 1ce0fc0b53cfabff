#include "platform/ByteStream.h"

#include <algorithm>
#include <cstring>

#include "platform/Coding.h"
#include "platform/Errors.h"

namespace quenterra {

void TByteStream::ReadExact(void* buffer, size_t count) {
  if (Read(buffer, count) != count) throw EFileError("Stream read error.");
}

uint32_t TByteStream::ReadU32() {
  char bytes[4];
  ReadExact(bytes, sizeof bytes);
  return DecodeFixed32(bytes);
}

void TByteStream::WriteU32(uint32_t value) {
  char bytes[4];
  EncodeFixed32(bytes, value);
  Write(bytes, sizeof bytes);
}

size_t TMemoryStream::Read(void* buffer, size_t count) {
  size_t n = std::min(count, data_.size() - position_);
  std::memcpy(buffer, data_.data() + position_, n);
  position_ += n;
  return n;
}

void TMemoryStream::Write(const void* buffer, size_t count) {
  data_.append(static_cast<const char*>(buffer), count);
}

}  // namespace quenterra
