// The text index's token entries: one 64-byte entry per distinct token, by id, in 2 MB blocks
// that never move, so that an id finds its entry with one step through a short table of blocks,
// the lookups of a build rarely miss the TLB (platform/HugeMemory.h), and a text kept inside its
// entry stays where it is.
#pragma once

#include <cstddef>
#include <cstdint>
#include <new>
#include <type_traits>
#include <vector>

#include "platform/HugeMemory.h"

namespace quenterra {

// One token: 64 bytes, one cache line, so that the dictionary's comparison of its text and the
// build's update of its list read one line.
struct alignas(64) TIndexToken {
  static constexpr size_t kInlineText = 24;  // texts shorter than this live in the entry

  TIndexToken() = default;
  TIndexToken(const TIndexToken&) = delete;
  TIndexToken& operator=(const TIndexToken&) = delete;

  const char* text = nullptr;  // zero-terminated, 1 to 255 bytes; owned by the index
  uint8_t kind = 0;
  uint8_t length = 0;  // of text
  // Build state: the tail of the occurrence list not yet on file.
  uint8_t capacity = 0;       // 6 or 62; 0 without a buffer
  uint8_t count = 0;          // buffered positions
  bool replacesLast = false;  // the buffer began as a copy of the partly filled last chunk
  uint32_t id = 0;            // its index in the token list
  uint32_t frequency = 0;
  uint32_t first = 0;  // see the text index's header comment
  uint32_t last = 0;
  uint32_t* buffer = nullptr;    // room for 62 positions, owned by the index; null without one
  char inlineText[kInlineText];  // the text, when it is short
};

class TTokenList {
 public:
  uint32_t size() const { return size_; }
  TIndexToken& operator[](uint32_t id) { return Block(id >> kBlockBits)[id & kBlockMask]; }
  const TIndexToken& operator[](uint32_t id) const {
    return Block(id >> kBlockBits)[id & kBlockMask];
  }
  // A new, empty entry with id size() - 1.
  TIndexToken& Append() {
    if ((size_ & kBlockMask) == 0) blocks_.push_back(AllocateHuge(kBlock * sizeof(TIndexToken)));
    TIndexToken* token = new (&Block(size_ >> kBlockBits)[size_ & kBlockMask]) TIndexToken();
    token->id = size_++;
    return *token;
  }

 private:
  // Entries are never destroyed one by one: the blocks are freed with the list.
  static_assert(std::is_trivially_destructible_v<TIndexToken>);
  static constexpr uint32_t kBlock = kHugePageSize / sizeof(TIndexToken);
  static constexpr uint32_t kBlockBits = 15;
  static_assert(kBlock == 1u << kBlockBits);
  static constexpr uint32_t kBlockMask = kBlock - 1;

  TIndexToken* Block(uint32_t block) const {
    return std::launder(reinterpret_cast<TIndexToken*>(blocks_[block].get()));
  }

  std::vector<THugeMemory> blocks_;
  uint32_t size_ = 0;
};

}  // namespace quenterra
