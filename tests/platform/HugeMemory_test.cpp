#include "platform/HugeMemory.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <new>

namespace quenterra {
namespace {

TEST(HugeMemoryTest, LargeVectorsGrowIntactInAlignedBlocks) {
  THugeVector<uint64_t> values;
  for (uint64_t i = 0; i < (uint64_t{3} << 20); ++i) values.push_back(i * 7);  // 24 MB
  EXPECT_EQ(reinterpret_cast<uintptr_t>(values.data()) % kHugePageSize, 0u);
  bool intact = true;
  for (uint64_t i = 0; i < values.size(); ++i) intact = intact && values[i] == i * 7;
  EXPECT_TRUE(intact);
  values.resize(10);
  values.shrink_to_fit();  // back to the heap
  EXPECT_EQ(values[9], 63u);
  EXPECT_THROW(AllocateHuge(SIZE_MAX - 1), std::bad_alloc);
}

}  // namespace
}  // namespace quenterra
