#include "platform/HugeMemory.h"

#include <sys/mman.h>

namespace quenterra {

THugeMemory AllocateHuge(size_t bytes) {
  if (bytes > SIZE_MAX / 2) throw std::bad_alloc();  // the rounding below would wrap
  const size_t size = (bytes + kHugePageSize - 1) / kHugePageSize * kHugePageSize;
  void* memory = std::aligned_alloc(kHugePageSize, size);
  if (memory == nullptr) throw std::bad_alloc();
  // Advice only: without transparent huge pages the block is ordinary memory.
  ::madvise(memory, size, MADV_HUGEPAGE);
  return THugeMemory(static_cast<std::byte*>(memory));
}

}  // namespace quenterra
