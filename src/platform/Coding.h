// Little-endian encoding of fixed-width integers: the one place where the byte layout of every
// file format is decided. Works on any host byte order.
#pragma once

#include <cstdint>
#include <cstring>

namespace quenterra {

inline void EncodeFixed16(char* dst, uint16_t value) {
  dst[0] = static_cast<char>(value);
  dst[1] = static_cast<char>(value >> 8);
}

inline void EncodeFixed32(char* dst, uint32_t value) {
  for (int i = 0; i < 4; ++i) dst[i] = static_cast<char>(value >> (8 * i));
}

inline void EncodeFixed64(char* dst, uint64_t value) {
  for (int i = 0; i < 8; ++i) dst[i] = static_cast<char>(value >> (8 * i));
}

inline uint16_t DecodeFixed16(const char* src) {
  const auto* p = reinterpret_cast<const unsigned char*>(src);
  return static_cast<uint16_t>(p[0] | (p[1] << 8));
}

inline uint32_t DecodeFixed32(const char* src) {
  const auto* p = reinterpret_cast<const unsigned char*>(src);
  return uint32_t{p[0]} | (uint32_t{p[1]} << 8) | (uint32_t{p[2]} << 16) | (uint32_t{p[3]} << 24);
}

inline uint64_t DecodeFixed64(const char* src) {
  return uint64_t{DecodeFixed32(src)} | (uint64_t{DecodeFixed32(src + 4)} << 32);
}

}  // namespace quenterra
