// A character of the corpus encoding, and a set of them: delimiters, special characters, equal
// groups, skipped characters.
#pragma once

#include <algorithm>
#include <cstdint>
#include <vector>

namespace quenterra {

// A character of the corpus encoding (platform/CharCoding.h): a byte value 0..255 when the corpus
// is read in a code page, a Unicode code point when it is read as UTF-8.
using TChar = char32_t;

// Characters below 256 are bits, tested in one step (a code page has no others); the few above
// are kept sorted beside them.
class TCharSet {
 public:
  TCharSet() = default;

  bool Contains(TChar c) const {
    return c < 256 ? ((bits_[c >> 6] >> (c & 63)) & 1u) != 0 : ContainsWide(c);
  }
  void Add(TChar c) {
    if (c < 256) {
      bits_[c >> 6] |= uint64_t{1} << (c & 63);
    } else if (!ContainsWide(c)) {
      wide_.insert(std::lower_bound(wide_.begin(), wide_.end(), c), c);
    }
  }
  void Remove(TChar c) {
    if (c < 256) {
      bits_[c >> 6] &= ~(uint64_t{1} << (c & 63));
    } else if (auto at = std::lower_bound(wide_.begin(), wide_.end(), c);
               at != wide_.end() && *at == c) {
      wide_.erase(at);
    }
  }
  // Adds the characters first..last, both included.
  void AddRange(TChar first, TChar last) {
    for (TChar c = first; c <= last && c >= first; ++c) Add(c);
  }
  void AddSet(const TCharSet& other) {
    for (int i = 0; i < 4; ++i) bits_[i] |= other.bits_[i];
    for (TChar c : other.wide_) Add(c);
  }
  bool Empty() const { return (bits_[0] | bits_[1] | bits_[2] | bits_[3]) == 0 && wide_.empty(); }
  // The members above 255, ascending.
  const std::vector<TChar>& Wide() const { return wide_; }
  // Every member, ascending.
  std::vector<TChar> Members() const {
    std::vector<TChar> members;
    for (TChar c = 0; c < 256; ++c)
      if (Contains(c)) members.push_back(c);
    members.insert(members.end(), wide_.begin(), wide_.end());
    return members;
  }
  bool operator==(const TCharSet&) const = default;

 private:
  bool ContainsWide(TChar c) const { return std::binary_search(wide_.begin(), wide_.end(), c); }

  uint64_t bits_[4] = {0, 0, 0, 0};
  std::vector<TChar> wide_;  // members above 255, sorted
};

}  // namespace quenterra
