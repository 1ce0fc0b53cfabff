// CRC-32C (Castagnoli), the checksum that proves a stored index file is the one written: the
// polynomial 0x1EDC6F41 (reflected 0x82F63B78) with initial value and final xor 0xFFFFFFFF, as
// iSCSI, ext4 and LevelDB use it. "123456789" gives 0xE3069283. On x86-64 processors with
// SSE 4.2 the crc32 instruction does the work (several GB/s); elsewhere a table of 8 x 256
// entries (slicing by 8).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace quenterra {

// The CRC of the bytes whose preceding bytes had the CRC crc (0 for none): Crc32c(a + b) ==
// Crc32cExtend(Crc32c(a), b).
uint32_t Crc32cExtend(uint32_t crc, const void* data, size_t size);
inline uint32_t Crc32c(const void* data, size_t size) { return Crc32cExtend(0, data, size); }

// The CRC and the length of a whole regular file. Throws EFileError when it cannot be opened or
// read.
struct TFileSum {
  uint64_t size = 0;
  uint32_t crc = 0;
  bool operator==(const TFileSum&) const = default;
};
TFileSum FileCrc32c(const std::string& name);

}  // namespace quenterra
