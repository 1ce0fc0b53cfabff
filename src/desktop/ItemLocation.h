// Where a list item stands in the corpus text: the first place where its words follow each other
// as counted tokens (and carry its tags, in a tagged list), as the file and the byte ranges of
// the words in it. A list window's double click opens the text window there.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "corpus/TextIndex.h"
#include "engine/collocList.h"

namespace quenterra {

// Bytes [begin, end) of a file.
struct TByteSpan {
  int64_t begin = 0;
  int64_t end = 0;
  bool operator==(const TByteSpan&) const = default;
};

struct TItemLocation {
  int32_t file = -1;             // the corpus file number
  int32_t position = -1;         // the corpus position of the item's first word
  std::vector<TByteSpan> words;  // each word's bytes in that file, in order
};

// How the run that made the list counted tokens.
struct TItemSearch {
  TKindSet kinds = kWordKinds;  // the counted token kinds
  bool tagBefore = false;       // a word's tag stands before it
};

// The first occurrence of item `item` of the list, searched from the occurrences of its rarest
// word; none when the index holds no such place (the corpus changed since).
std::optional<TItemLocation> LocateItem(TTextIndex& index, const TCollocationList& list, int item,
                                        const TItemSearch& search);

}  // namespace quenterra
