// Memory for large tables that are read at random, such as an index's token entries: blocks of
// whole 2 MB pages, aligned so that the kernel may back them with huge pages. A random access
// into a table of many megabytes then rarely misses the TLB, which with 4 KB pages costs a page
// walk on nearly every access.
#pragma once

#include <cstddef>
#include <cstdlib>
#include <memory>
#include <utility>

namespace quenterra {

inline constexpr size_t kHugePageSize = size_t{2} << 20;

struct TFreeMemory {
  void operator()(void* memory) const { std::free(memory); }
};
using THugeMemory = std::unique_ptr<std::byte, TFreeMemory>;

// At least bytes, uninitialized, rounded up to whole huge pages and aligned to one. Throws
// std::bad_alloc.
THugeMemory AllocateHuge(size_t bytes);

// An array of size elements of a trivially copyable T in such memory.
template <typename T>
class THugeArray {
 public:
  THugeArray(size_t size, const T& fill) : memory_(AllocateHuge(size * sizeof(T))), size_(size) {
    std::uninitialized_fill_n(data(), size, fill);
  }
  size_t size() const { return size_; }
  T* data() const { return reinterpret_cast<T*>(memory_.get()); }
  T& operator[](size_t i) { return data()[i]; }
  const T& operator[](size_t i) const { return data()[i]; }
  T* begin() const { return data(); }
  T* end() const { return data() + size_; }
  void swap(THugeArray& other) noexcept {
    memory_.swap(other.memory_);
    std::swap(size_, other.size_);
  }

 private:
  THugeMemory memory_;
  size_t size_;
};

}  // namespace quenterra
