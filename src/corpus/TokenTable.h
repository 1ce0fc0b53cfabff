// The text index's dictionary: which token id a text of a kind has. One flat open-addressing
// table of 8-byte (hash, id) slots, so that a lookup is a hash, one probe that usually decides on
// the stored hash alone, and one comparison with the token the id names, which the caller makes
// (the text index keeps short texts inside their token entries, so that comparison and the
// update that follows read one cache line).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

namespace quenterra {

class TTokenTable {
 public:
  static constexpr uint32_t kNone = UINT32_MAX;

  TTokenTable() : slots_(kFirstSlots) {}

  // The hash of a text of a kind; every lookup and insertion takes it.
  static uint32_t Hash(std::string_view text, uint8_t kind);
  // The same over a zero-terminated text, whose length it sets.
  static uint32_t Hash(const char* text, uint8_t kind, size_t& length);

  // The id among those filed under hash for which same(id) holds, or kNone.
  template <typename TSame>
  uint32_t Find(uint32_t hash, const TSame& same) const {
    const size_t mask = slots_.size() - 1;
    for (size_t i = hash & mask;; i = (i + 1) & mask) {
      const TSlot& slot = slots_[i];
      if (slot.id == kNone) return kNone;
      if (slot.hash == hash && same(slot.id)) return slot.id;
    }
  }
  // Files id under hash; Find must not know its token yet.
  void Insert(uint32_t hash, uint32_t id);

 private:
  struct TSlot {
    uint32_t hash = 0;
    uint32_t id = kNone;  // kNone: an empty slot
  };
  static constexpr size_t kFirstSlots = 4096;

  void Place(const TSlot& slot);

  std::vector<TSlot> slots_;  // a power of two, at most half full
  size_t used_ = 0;           // slots holding a token
};

}  // namespace quenterra
