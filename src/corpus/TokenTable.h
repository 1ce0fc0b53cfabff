// The text index's dictionary: which token id a text of a kind has. One flat open-addressing
// table of 8-byte (hash, record) slots over an arena of token records, so that a lookup is a
// hash, one probe that usually decides on the stored hash alone, and one comparison in the
// record, whose bytes lie together.
//
// Arena record of a token: u32 id, u8 kind, u8 length L, L bytes of text, a zero byte. The text
// pointer (the record's seventh byte) is the token's zero-terminated text. A slot names its
// record by a 32-bit reference: the arena block in the high 16 bits, the offset in the low 16.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string_view>
#include <vector>

namespace quenterra {

class TTokenTable {
 public:
  static constexpr uint32_t kNone = UINT32_MAX;

  TTokenTable();
  TTokenTable(const TTokenTable&) = delete;
  TTokenTable& operator=(const TTokenTable&) = delete;

  // The hash of a text of a kind; every lookup and insertion takes it.
  static uint64_t Hash(std::string_view text, uint8_t kind);
  // The same over a zero-terminated text, whose length it sets.
  static uint64_t Hash(const char* text, uint8_t kind, size_t& length);

  // The id of the text of the kind (hash from Hash), or kNone.
  uint32_t Find(std::string_view text, uint8_t kind, uint64_t hash) const;
  // Files a text of 1 to 255 bytes that Find does not know under id and returns its copy in
  // the arena, zero-terminated, which lives as long as the table. At most 65535 blocks of
  // 64 KiB: about 4 GiB of token texts.
  const char* Insert(std::string_view text, uint8_t kind, uint64_t hash, uint32_t id);

 private:
  struct TSlot {
    uint32_t hash = 0;        // low half of the text's hash
    uint32_t record = kNone;  // block and offset of its record; kNone: an empty slot
  };
  static constexpr size_t kBlockSize = 64 * 1024;  // arena block; offsets take 16 bits
  static constexpr size_t kRecordHead = 6;         // id, kind, length
  static constexpr size_t kFirstSlots = 4096;

  const char* Record(uint32_t reference) const {
    return blocks_[reference >> 16].get() + (reference & 0xFFFF);
  }
  uint32_t Store(std::string_view text, uint8_t kind, uint32_t id);
  void Grow();
  void Place(const TSlot& slot, uint64_t hash);

  std::vector<TSlot> slots_;  // a power of two, at most half full
  size_t used_ = 0;           // slots holding a token
  std::vector<std::unique_ptr<char[]>> blocks_;
  size_t blockUsed_ = kBlockSize;  // bytes used in the last block
};

}  // namespace quenterra
