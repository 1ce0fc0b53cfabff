// The sort keys of a collocation list, read out of its items once into flat arrays, so that a
// sort of a million items compares plain numbers.
//
// Texts are ordered without building them: every token text that occurs becomes its rank in byte
// order, and an item's text becomes the sequence of the ranks of its tokens. Comparing two
// sequences element by element, a missing element (rank 0) first, orders the items exactly as
// comparing their texts byte by byte does, since the texts join tokens with single spaces and
// every byte of a token is above the space.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "engine/collocList.h"

namespace quenterra {

struct TTextKeys {
  int stride = 0;               // ranks per item
  std::vector<uint32_t> ranks;  // item i's sequence at [i * stride, (i + 1) * stride)
  // When every sequence fits into 64 bits, each one packed into a number, the first rank in the
  // highest bits, and `ranks` is emptied: comparing the numbers compares the sequences.
  std::vector<uint64_t> packed;

  // Packs the sequences when they fit.
  void Pack();
  // Negative, zero or positive as item a's text sorts before, with or after item b's.
  int Compare(uint32_t a, uint32_t b) const {
    if (!packed.empty()) return packed[a] < packed[b] ? -1 : (packed[b] < packed[a] ? 1 : 0);
    const uint32_t* x = ranks.data() + static_cast<size_t>(a) * static_cast<size_t>(stride);
    const uint32_t* y = ranks.data() + static_cast<size_t>(b) * static_cast<size_t>(stride);
    for (int k = 0; k < stride; ++k) {
      if (x[k] != y[k]) return x[k] < y[k] ? -1 : 1;
    }
    return 0;
  }
};

// The keys of CollocationText: each word followed by its upper-cased tag, up to the first
// missing word.
TTextKeys CollocationTextKeys(const TCollocationList& list);
// The keys of TagText: the WordCount tags in their stored case (a missing tag ranks first).
TTextKeys TagTextKeys(const TCollocationList& list);

// One key of a sort over the items in their order at construction.
class TSortColumn {
 public:
  TSortColumn(const TCollocationList& list, TCollocSortKey key);
  // Negative when item a sorts before item b under the key, 0 when they are equal.
  int Compare(uint32_t a, uint32_t b) const;

 private:
  TCollocSortKey key_;
  std::vector<int32_t> numbers_;  // counts or positions
  std::vector<double> scores_;
  TTextKeys texts_;  // collocation or tag texts
};

}  // namespace quenterra
