// The text index's dictionary: which token id a text of a kind has. One flat open-addressing
// table of 8-byte (hash, id) slots, so that a lookup is a hash, one probe that usually decides on
// the stored hash alone, and one comparison with the token the id names, which the caller makes
// (the text index keeps short texts inside their token entries, so that comparison and the
// update that follows read one cache line).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "platform/HugeMemory.h"

namespace quenterra {

// Asks for the cache line at p ahead of its use. The empty asm keeps GCC from dropping a
// prefetch whose address it computed from memory it read for nothing else.
inline void PrefetchLine(const void* p) {
  asm volatile("" : : "r"(p));
  __builtin_prefetch(p);
}

class TTokenTable {
 public:
  static constexpr uint32_t kNone = UINT32_MAX;

  TTokenTable() : slots_(kFirstSlots, TSlot()) {}

  // The hash of a text of a kind; every lookup and insertion takes it. Lives only in memory.
  static uint32_t Hash(std::string_view text, uint8_t kind);

  // Brings the slot where the lookup of hash starts into the cache, ahead of Find.
  void Prefetch(uint32_t hash) const { PrefetchLine(&slots_[hash & (slots_.size() - 1)]); }
  // The first id filed under hash, or kNone: the token Find will most likely compare with.
  uint32_t Candidate(uint32_t hash) const {
    const size_t mask = slots_.size() - 1;
    for (size_t i = hash & mask;; i = (i + 1) & mask) {
      const TSlot& slot = slots_[i];
      if (slot.id == kNone || slot.hash == hash) return slot.id;
    }
  }

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

  THugeVector<TSlot> slots_;  // a power of two, at most half full
  size_t used_ = 0;           // slots holding a token
};

}  // namespace quenterra
