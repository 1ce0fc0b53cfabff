// Memory for large tables that are read at random (an index's token entries and dictionary, a
// collocation list's items and hash slots): blocks of whole 2 MB pages, aligned so that the kernel
// may back them with huge pages. A random access into a table of many megabytes then rarely
// misses the TLB, which with 4 KB pages costs a page walk on nearly every access.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <new>
#include <vector>

namespace quenterra {

inline constexpr size_t kHugePageSize = size_t{2} << 20;

struct TFreeMemory {
  void operator()(void* memory) const { std::free(memory); }
};
using THugeMemory = std::unique_ptr<std::byte, TFreeMemory>;

// At least bytes, uninitialized, rounded up to whole huge pages and aligned to one. Throws
// std::bad_alloc.
THugeMemory AllocateHuge(size_t bytes);

// A standard allocator that takes blocks of a huge page or more from AllocateHuge and smaller
// ones from the heap, for std::vector.
template <typename T>
struct THugePageAllocator {
  using value_type = T;

  THugePageAllocator() = default;
  template <typename U>
  THugePageAllocator(const THugePageAllocator<U>&) noexcept {}

  T* allocate(size_t count) {
    if (count > SIZE_MAX / sizeof(T)) throw std::bad_array_new_length();
    const size_t bytes = count * sizeof(T);
    if (bytes < kHugePageSize) return static_cast<T*>(::operator new(bytes));
    return reinterpret_cast<T*>(AllocateHuge(bytes).release());
  }

  void deallocate(T* items, size_t count) noexcept {
    if (count * sizeof(T) < kHugePageSize) {
      ::operator delete(items);
    } else {
      TFreeMemory()(items);
    }
  }

  friend bool operator==(const THugePageAllocator&, const THugePageAllocator&) { return true; }
};

template <typename T>
using THugeVector = std::vector<T, THugePageAllocator<T>>;

}  // namespace quenterra
