#include "platform/HugePages.h"

#include <sys/mman.h>

#include <cstdint>

namespace quenterra {

namespace {

size_t Rounded(size_t bytes) {
  return (bytes + kHugePageBlock - 1) / kHugePageBlock * kHugePageBlock;
}

}  // namespace

// Maps one huge page more than asked and cuts the unaligned ends away.
void* AllocateHugeBlock(size_t bytes) {
  if (bytes > SIZE_MAX / 2) return nullptr;  // no such mapping, and the rounding would wrap
  const size_t size = Rounded(bytes);
  void* mapped = mmap(nullptr, size + kHugePageBlock, PROT_READ | PROT_WRITE,
                      MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
  if (mapped == MAP_FAILED) return nullptr;
  const auto start = reinterpret_cast<uintptr_t>(mapped);
  const uintptr_t aligned = (start + kHugePageBlock - 1) / kHugePageBlock * kHugePageBlock;
  if (aligned > start) munmap(mapped, aligned - start);
  const size_t tail = start + kHugePageBlock - aligned;
  if (tail > 0) munmap(reinterpret_cast<void*>(aligned + size), tail);
  void* block = reinterpret_cast<void*>(aligned);
  madvise(block, size, MADV_HUGEPAGE);  // advice only: without huge pages the block still works
  return block;
}

void FreeHugeBlock(void* block, size_t bytes) noexcept { munmap(block, Rounded(bytes)); }

}  // namespace quenterra
