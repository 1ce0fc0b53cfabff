#include "corpus/TokenTable.h"

namespace quenterra {

namespace {

constexpr uint64_t kFnvOffset = 14695981039346656037ull;
constexpr uint64_t kFnvPrime = 1099511628211ull;

// Folds the FNV-1a state so that the table's index bits see every byte.
uint32_t Finish(uint64_t hash, uint8_t kind) {
  hash ^= kind;
  hash *= 0x9E3779B97F4A7C15ull;
  return static_cast<uint32_t>(hash >> 32);
}

}  // namespace

uint32_t TTokenTable::Hash(std::string_view text, uint8_t kind) {
  uint64_t hash = kFnvOffset;
  for (char c : text) hash = (hash ^ static_cast<unsigned char>(c)) * kFnvPrime;
  return Finish(hash, kind);
}

uint32_t TTokenTable::Hash(const char* text, uint8_t kind, size_t& length) {
  uint64_t hash = kFnvOffset;
  const char* at = text;
  for (; *at != '\0'; ++at) hash = (hash ^ static_cast<unsigned char>(*at)) * kFnvPrime;
  length = static_cast<size_t>(at - text);
  return Finish(hash, kind);
}

void TTokenTable::Insert(uint32_t hash, uint32_t id) {
  if (2 * (used_ + 1) > slots_.size()) {
    std::vector<TSlot> old(slots_.size() * 2);
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
