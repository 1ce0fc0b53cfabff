#include "platform/HugeMemory.h"

#include <sys/mman.h>

#include <new>

namespace quenterra {

THugeMemory AllocateHuge(size_t bytes) {
  const size_t size = (bytes + kHugePageSize - 1) / kHugePageSize * kHugePageSize;
  void* memory = std::aligned_alloc(kHugePageSize, size);
  if (memory == nullptr) throw std::bad_alloc();
  // Advice only: without transparent huge pages the block is ordinary memory.
  ::madvise(memory, size, MADV_HUGEPAGE);
  return THugeMemory(static_cast<std::byte*>(memory));
}

}  // namespace quenterra
