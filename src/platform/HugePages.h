// Memory for the large tables that counting probes at random (hash slots, list items): blocks of
// 2 MB and more are mapped on their own and offered to the kernel for huge pages, so that a probe
// costs one TLB entry per 2 MB instead of one per 4 KB, and the table is faulted in 512 times
// less often. Smaller blocks come from the usual heap.
#pragma once

#include <cstddef>
#include <cstdint>
#include <new>
#include <vector>

namespace quenterra {

// Blocks of at least this many bytes are mapped apart.
inline constexpr size_t kHugePageBlock = size_t{2} << 20;

// A mapping of bytes (rounded up to 2 MB) aligned to 2 MB, advised for huge pages; null when the
// system has no memory for it. FreeHugeBlock takes the same byte count.
void* AllocateHugeBlock(size_t bytes);
void FreeHugeBlock(void* block, size_t bytes) noexcept;

// A standard allocator over those blocks, for std::vector.
template <typename T>
struct THugePageAllocator {
  using value_type = T;

  THugePageAllocator() = default;
  template <typename U>
  THugePageAllocator(const THugePageAllocator<U>&) noexcept {}

  T* allocate(size_t count) {
    if (count > SIZE_MAX / sizeof(T)) throw std::bad_array_new_length();
    const size_t bytes = count * sizeof(T);
    if (bytes < kHugePageBlock) return static_cast<T*>(::operator new(bytes));
    void* block = AllocateHugeBlock(bytes);
    if (block == nullptr) throw std::bad_alloc();
    return static_cast<T*>(block);
  }

  void deallocate(T* items, size_t count) noexcept {
    const size_t bytes = count * sizeof(T);
    if (bytes < kHugePageBlock) {
      ::operator delete(items);
    } else {
      FreeHugeBlock(items, bytes);
    }
  }

  friend bool operator==(const THugePageAllocator&, const THugePageAllocator&) { return true; }
};

template <typename T>
using THugeVector = std::vector<T, THugePageAllocator<T>>;

}  // namespace quenterra
