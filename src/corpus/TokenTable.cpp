#include "corpus/TokenTable.h"

#include <cstring>

namespace quenterra {

namespace {

constexpr uint64_t kMultiplier = 0x9E3779B97F4A7C15ull;

uint64_t Load64(const char* p) {
  uint64_t word;
  std::memcpy(&word, p, sizeof word);
  return word;
}

uint64_t Load32(const char* p) {
  uint32_t word;
  std::memcpy(&word, p, sizeof word);
  return word;
}

uint64_t Mix(uint64_t hash, uint64_t word) {
  hash = (hash ^ word) * kMultiplier;
  return hash ^ (hash >> 29);
}

// The last 1 to 8 bytes as one word, read without a loop: up to two overlapping loads.
uint64_t Tail(const char* p, size_t n) {
  if (n >= 4) return Load32(p) | (Load32(p + n - 4) << 32);
  const auto byte = [p](size_t i) { return uint64_t{static_cast<unsigned char>(p[i])}; };
  return (byte(0) << 16) | (byte(n >> 1) << 8) | byte(n - 1);
}

}  // namespace

// A word at a time: tokens are short, so the tail's loads and two multiplications are most of
// it. The length and kind go into the seed, which tells apart tails that read alike.
uint32_t TTokenTable::Hash(std::string_view text, uint8_t kind) {
  const char* p = text.data();
  size_t n = text.size();
  uint64_t hash = Mix(kMultiplier, (uint64_t{n} << 8) | kind);
  for (; n > 8; n -= 8, p += 8) hash = Mix(hash, Load64(p));
  if (n > 0) hash = Mix(hash, Tail(p, n));
  return static_cast<uint32_t>((hash * kMultiplier) >> 32);
}

void TTokenTable::Insert(uint32_t hash, uint32_t id) {
  if (2 * (used_ + 1) > slots_.size()) {
    THugeVector<TSlot> old(slots_.size() * 2, TSlot());
    old.swap(slots_);
    for (const TSlot& slot : old) {
      if (slot.id != kNone) Place(slot);
    }
  }
  Place(TSlot{hash, id});
  ++used_;
}

void TTokenTable::Place(const TSlot& slot) {
  const size_t mask = slots_.size() - 1;
  size_t i = slot.hash & mask;
  while (slots_[i].id != kNone) i = (i + 1) & mask;
  slots_[i] = slot;
}

}  // namespace quenterra
