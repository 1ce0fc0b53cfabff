// A set over the 256 byte values, tested by bit: delimiters, special characters, equal groups,
// skipped characters.
#pragma once

#include <cstdint>
#include <string_view>

namespace quenterra {

class TCharSet {
 public:
  constexpr TCharSet() = default;

  constexpr bool Contains(unsigned char c) const { return (bits_[c >> 6] >> (c & 63)) & 1u; }
  constexpr void Add(unsigned char c) { bits_[c >> 6] |= uint64_t{1} << (c & 63); }
  constexpr void Remove(unsigned char c) { bits_[c >> 6] &= ~(uint64_t{1} << (c & 63)); }
  // Adds the bytes first..last, both included.
  constexpr void AddRange(unsigned char first, unsigned char last) {
    for (unsigned c = first; c <= last; ++c) Add(static_cast<unsigned char>(c));
  }
  constexpr void AddAll(std::string_view chars) {
    for (char c : chars) Add(static_cast<unsigned char>(c));
  }
  constexpr void AddSet(const TCharSet& other) {
    for (int i = 0; i < 4; ++i) bits_[i] |= other.bits_[i];
  }
  constexpr bool Empty() const { return (bits_[0] | bits_[1] | bits_[2] | bits_[3]) == 0; }
  constexpr bool operator==(const TCharSet&) const = default;

 private:
  uint64_t bits_[4] = {0, 0, 0, 0};
};

}  // namespace quenterra
