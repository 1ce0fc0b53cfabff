#include "platform/Crc32c.h"

#include <fcntl.h>
#include <unistd.h>

#include <array>
#include <bit>
#include <cerrno>
#include <cstring>
#include <vector>

#include "platform/Errors.h"
#include "platform/Files.h"

#if defined(__x86_64__)
#include <nmmintrin.h>
#endif

namespace quenterra {

namespace {

constexpr uint32_t kPolynomial = 0x82F63B78;  // 0x1EDC6F41 reflected
constexpr size_t kFileBlock = 256 << 10;      // read at a time: stays in cache while summed

using TTables = std::array<std::array<uint32_t, 256>, 8>;

// tables[k][b]: the CRC of byte b followed by k zero bytes.
constexpr TTables MakeTables() {
  TTables tables{};
  for (uint32_t b = 0; b < 256; ++b) {
    uint32_t crc = b;
    for (int bit = 0; bit < 8; ++bit) crc = (crc >> 1) ^ (kPolynomial & (0u - (crc & 1u)));
    tables[0][b] = crc;
  }
  for (size_t k = 1; k < 8; ++k) {
    for (uint32_t b = 0; b < 256; ++b) {
      tables[k][b] = (tables[k - 1][b] >> 8) ^ tables[0][tables[k - 1][b] & 0xFF];
    }
  }
  return tables;
}

constexpr TTables kTables = MakeTables();

uint32_t Load32(const unsigned char* p) {
  uint32_t value;
  std::memcpy(&value, p, 4);
  return value;
}

// Eight bytes a step through the tables; state is the inverted CRC.
// The word loop reads the bytes in host order, so it runs on little-endian hosts only.
uint32_t SoftwareExtend(uint32_t state, const unsigned char* p, size_t size) {
  if constexpr (std::endian::native == std::endian::little) {
    for (; size >= 8; size -= 8, p += 8) {
      uint32_t low = Load32(p) ^ state;
      uint32_t high = Load32(p + 4);
      state = kTables[7][low & 0xFF] ^ kTables[6][(low >> 8) & 0xFF] ^
              kTables[5][(low >> 16) & 0xFF] ^ kTables[4][low >> 24] ^ kTables[3][high & 0xFF] ^
              kTables[2][(high >> 8) & 0xFF] ^ kTables[1][(high >> 16) & 0xFF] ^
              kTables[0][high >> 24];
    }
  }
  for (; size > 0; --size, ++p) state = (state >> 8) ^ kTables[0][(state ^ *p) & 0xFF];
  return state;
}

#if defined(__x86_64__)
__attribute__((target("sse4.2"))) uint32_t HardwareExtend(uint32_t state, const unsigned char* p,
                                                          size_t size) {
  uint64_t wide = state;
  for (; size >= 8; size -= 8, p += 8) {
    uint64_t word;
    std::memcpy(&word, p, 8);
    wide = _mm_crc32_u64(wide, word);
  }
  auto narrow = static_cast<uint32_t>(wide);
  for (; size > 0; --size, ++p) narrow = _mm_crc32_u8(narrow, *p);
  return narrow;
}

bool HasHardwareCrc() {
  static const bool has = __builtin_cpu_supports("sse4.2");
  return has;
}
#endif

}  // namespace

uint32_t Crc32cExtend(uint32_t crc, const void* data, size_t size) {
  const auto* p = static_cast<const unsigned char*>(data);
  uint32_t state = ~crc;
#if defined(__x86_64__)
  if (HasHardwareCrc()) return ~HardwareExtend(state, p, size);
#endif
  return ~SoftwareExtend(state, p, size);
}

TFileSum FileCrc32c(const std::string& name) {
  TFileDescriptor fd(OpenRegularFile(name, O_RDONLY));
  std::vector<char> buffer(kFileBlock);
  TFileSum sum;
  for (;;) {
    ssize_t n = ::read(fd.Get(), buffer.data(), buffer.size());
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) throw EFileError("Unable to read from file: " + name + ".");
    if (n == 0) return sum;
    sum.crc = Crc32cExtend(sum.crc, buffer.data(), static_cast<size_t>(n));
    sum.size += static_cast<uint64_t>(n);
  }
}

}  // namespace quenterra
