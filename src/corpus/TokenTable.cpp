#include "corpus/TokenTable.h"

#include <cstring>

#include "platform/Coding.h"
#include "platform/Errors.h"

namespace quenterra {

namespace {

constexpr uint64_t kFnvOffset = 14695981039346656037ull;
constexpr uint64_t kFnvPrime = 1099511628211ull;

// Spreads the FNV-1a state over all 64 bits, so that the table's index bits see every byte.
uint64_t Finish(uint64_t hash, uint8_t kind) {
  hash ^= kind;
  hash *= 0x9E3779B97F4A7C15ull;
  return hash ^ (hash >> 29);
}

// Texts are short: a loop beats a call to memcmp.
bool SameBytes(const char* a, const char* b, size_t n) {
  for (size_t i = 0; i < n; ++i) {
    if (a[i] != b[i]) return false;
  }
  return true;
}

}  // namespace

TTokenTable::TTokenTable() : slots_(kFirstSlots) {}

uint64_t TTokenTable::Hash(std::string_view text, uint8_t kind) {
  uint64_t hash = kFnvOffset;
  for (char c : text) hash = (hash ^ static_cast<unsigned char>(c)) * kFnvPrime;
  return Finish(hash, kind);
}

uint64_t TTokenTable::Hash(const char* text, uint8_t kind, size_t& length) {
  uint64_t hash = kFnvOffset;
  const char* at = text;
  for (; *at != '\0'; ++at) hash = (hash ^ static_cast<unsigned char>(*at)) * kFnvPrime;
  length = static_cast<size_t>(at - text);
  return Finish(hash, kind);
}

uint32_t TTokenTable::Find(std::string_view text, uint8_t kind, uint64_t hash) const {
  const size_t mask = slots_.size() - 1;
  const auto low = static_cast<uint32_t>(hash);
  for (size_t i = static_cast<size_t>(hash >> 32) & mask;; i = (i + 1) & mask) {
    const TSlot& slot = slots_[i];
    if (slot.record == kNone) return kNone;
    if (slot.hash != low) continue;
    const char* record = Record(slot.record);
    if (static_cast<uint8_t>(record[5]) == text.size() && static_cast<uint8_t>(record[4]) == kind &&
        SameBytes(record + kRecordHead, text.data(), text.size())) {
      return DecodeFixed32(record);
    }
  }
}

const char* TTokenTable::Insert(std::string_view text, uint8_t kind, uint64_t hash, uint32_t id) {
  if (2 * (used_ + 1) > slots_.size()) Grow();
  TSlot slot;
  slot.hash = static_cast<uint32_t>(hash);
  slot.record = Store(text, kind, id);
  Place(slot, hash);
  ++used_;
  return Record(slot.record) + kRecordHead;
}

uint32_t TTokenTable::Store(std::string_view text, uint8_t kind, uint32_t id) {
  const size_t size = kRecordHead + text.size() + 1;
  if (blockUsed_ + size > kBlockSize) {
    if (blocks_.size() >= 0xFFFF) throw EQuenterra("TextIndex: Too many tokens.");
    blocks_.push_back(std::make_unique_for_overwrite<char[]>(kBlockSize));
    blockUsed_ = 0;
  }
  char* at = blocks_.back().get() + blockUsed_;
  EncodeFixed32(at, id);
  at[4] = static_cast<char>(kind);
  at[5] = static_cast<char>(text.size());
  std::memcpy(at + kRecordHead, text.data(), text.size());
  at[kRecordHead + text.size()] = '\0';
  const auto reference = static_cast<uint32_t>(((blocks_.size() - 1) << 16) | blockUsed_);
  blockUsed_ += size;
  return reference;
}

void TTokenTable::Place(const TSlot& slot, uint64_t hash) {
  // The probe starts from the high half of the hash; the low half is stored for the compare.
  const size_t mask = slots_.size() - 1;
  size_t i = static_cast<size_t>(hash >> 32) & mask;
  while (slots_[i].record != kNone) i = (i + 1) & mask;
  slots_[i] = slot;
}

void TTokenTable::Grow() {
  std::vector<TSlot> old(slots_.size() * 2);
  old.swap(slots_);
  for (const TSlot& slot : old) {
    if (slot.record == kNone) continue;
    const char* record = Record(slot.record);
    const std::string_view text(record + kRecordHead, static_cast<uint8_t>(record[5]));
    Place(slot, Hash(text, static_cast<uint8_t>(record[4])));
  }
}

}  // namespace quenterra
