// A stable sort of records by an unsigned 64-bit key, for the large lists of small records that
// counting leaves: a few linear passes instead of n log n comparisons scattered over memory.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace quenterra {

// Sorts records by key(record) ascending, keeping equal keys in their order: least significant
// 16 bits first, one counting pass each; a pass whose digit is the same in every record (the
// high digits of small keys) is skipped. To sort by several keys, sort by the last one first.
template <typename TRecord, typename TKeyOf>
void StableRadixSort(std::vector<TRecord>& records, TKeyOf key) {
  constexpr int kDigitBits = 16;
  constexpr int kPasses = 64 / kDigitBits;
  constexpr size_t kDigits = size_t{1} << kDigitBits;
  if (records.size() < 2) return;
  // All passes' digit counts at once: one read of the records instead of four.
  std::vector<std::array<uint32_t, kPasses>> counts(kDigits);
  for (const TRecord& record : records) {
    const uint64_t value = key(record);
    for (int pass = 0; pass < kPasses; ++pass)
      ++counts[(value >> (pass * kDigitBits)) & (kDigits - 1)][pass];
  }
  std::vector<TRecord> scratch;
  for (int pass = 0; pass < kPasses; ++pass) {
    const int shift = pass * kDigitBits;
    const uint64_t firstDigit = (key(records.front()) >> shift) & (kDigits - 1);
    if (counts[firstDigit][pass] == records.size()) continue;
    uint32_t start = 0;  // counts become the first place of each digit
    for (size_t digit = 0; digit < kDigits; ++digit) {
      const uint32_t count = counts[digit][pass];
      counts[digit][pass] = start;
      start += count;
    }
    scratch.resize(records.size());
    for (const TRecord& record : records)
      scratch[counts[(key(record) >> shift) & (kDigits - 1)][pass]++] = record;
    records.swap(scratch);
  }
}

}  // namespace quenterra
