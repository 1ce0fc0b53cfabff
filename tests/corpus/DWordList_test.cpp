#include "corpus/DWordList.h"

#include <gtest/gtest.h>

#include <map>
#include <random>
#include <vector>

#include "platform/Errors.h"

namespace quenterra {
namespace {

template <typename List>
std::vector<typename std::remove_pointer_t<decltype(std::declval<List>().Items())>> Values(
    const List& list) {
  return {list.Items(), list.Items() + list.Count()};
}

TEST(DWordList, AppendTracksWhetherTheListIsStillSorted) {
  TDWordsList list;
  list.Add(5);
  EXPECT_TRUE(list.Sorted());
  list.Add(3);
  EXPECT_FALSE(list.Sorted());
  int index = 0;
  EXPECT_THROW(
      {
        try {
          list.Find(3, index);
        } catch (const EQuenterra& e) {
          EXPECT_STREQ(e.what(), "TDWordsList: Can't use binary search on unsorted list.");
          throw;
        }
      },
      EQuenterra);
  list.Sort();
  EXPECT_TRUE(list.Find(5, index));
  EXPECT_EQ(index, 1);
}

TEST(DWordList, KeepSortedInsertsAfterEqualsWithTheirData) {
  TDWordsList list;
  list.SetKeepSorted(true);
  list.AddWithData(7, 1);
  list.AddWithData(3, 2);
  list.AddWithData(7, 3);
  list.AddWithData(5, 4);
  EXPECT_EQ(Values(list), (std::vector<uint32_t>{3, 5, 7, 7}));
  EXPECT_EQ(list.GetData(2), 1u);
  EXPECT_EQ(list.GetData(3), 3u);  // the second 7 lands after the first
}

TEST(DWordList, FindReturnsTheInsertionPointAndTheFirstOfEquals) {
  TDWordsList list;
  for (uint32_t v : {3u, 5u, 7u}) list.Add(v);
  int index = -1;
  EXPECT_FALSE(list.Find(4, index));
  EXPECT_EQ(index, 1);
  EXPECT_FALSE(list.Find(9, index));
  EXPECT_EQ(index, 3);
  TDWordsList equals;
  for (uint32_t v : {3u, 7u, 7u}) equals.Add(v);
  EXPECT_TRUE(equals.Find(7, index));
  EXPECT_EQ(index, 1);
  EXPECT_EQ(equals.IndexOf(7), 1);
  EXPECT_EQ(equals.IndexOf(4), -1);
}

TEST(DWordList, ComparesUnsigned32AndSigned64) {
  TDWordsList d;
  d.Add(0x80000000u);
  d.Add(1);
  d.Sort();
  EXPECT_EQ(Values(d), (std::vector<uint32_t>{1, 0x80000000u}));

  // Pair keys carry a tag id in the high half: the whole signed value orders them.
  TQWordsList q;
  int64_t high = (int64_t{2} << 32) | 1;
  int64_t low = (int64_t{1} << 32) | 0xFFFFFFFF;
  int64_t negative = -5;
  q.AddWithData(high, 10);
  q.AddWithData(low, 20);
  q.AddWithData(negative, 30);
  q.Sort();
  EXPECT_EQ(Values(q), (std::vector<int64_t>{negative, low, high}));
  EXPECT_EQ(q.GetData(0), 30u);
  EXPECT_EQ(q.GetData(2), 10u);
}

TEST(DWordList, IndexErrorsNameTheirClass) {
  TDWordsList d;
  d.Add(1);
  TQWordsList q;
  try {
    d.GetItem(1);
    FAIL();
  } catch (const EQuenterra& e) {
    EXPECT_STREQ(e.what(), "TDWordsList: List index out of bounds.");
  }
  try {
    q.PutItem(-1, 3);
    FAIL();
  } catch (const EQuenterra& e) {
    EXPECT_STREQ(e.what(), "TQWordsList: List index out of bounds.");
  }
  EXPECT_THROW(d.GetData(-1), EQuenterra);
}

TEST(DWordList, DataValuesAreZeroWhenSwitchedOnLate) {
  TDWordsList list;
  list.Add(4);
  list.Add(9);
  EXPECT_EQ(list.GetData(1), 0u);
  list.SetHasData(true);
  EXPECT_EQ(list.GetData(0), 0u);
  list.PutData(1, 42);
  EXPECT_EQ(list.GetData(1), 42u);
}

TEST(DWordList, CapacityGrowsInStepsAndClearCutsItBack) {
  TDWordsList list;
  list.SetCount(8193);
  EXPECT_EQ(list.Capacity(), 16384);
  list.Clear();
  EXPECT_EQ(list.Capacity(), 8192);
  EXPECT_EQ(list.Count(), 0);
  EXPECT_TRUE(list.Sorted());
}

TEST(DWordList, StreamRoundTripIsLittleEndianWithoutData) {
  TQWordsList q;
  q.SetKeepSorted(true);
  q.AddWithData(-2, 7);
  q.AddWithData(0x0102030405060708, 8);
  TMemoryStream stream;
  q.SaveToStream(stream);
  const std::string& bytes = stream.Data();
  ASSERT_EQ(bytes.size(), 4u + 16u);
  EXPECT_EQ(bytes.substr(0, 4), std::string("\x02\0\0\0", 4));
  EXPECT_EQ(bytes.substr(12, 8), std::string("\x08\x07\x06\x05\x04\x03\x02\x01", 8));

  TQWordsList loaded;
  loaded.LoadFromStream(stream);
  EXPECT_EQ(Values(loaded), Values(q));
  EXPECT_FALSE(loaded.HasData());
  EXPECT_TRUE(loaded.Sorted());
}

TEST(DWordList, TruncatedOrLyingStreamThrowsWithoutHugeAllocation) {
  TMemoryStream stream(std::string("\xFF\xFF\xFF\x7F\x01\x00\x00\x00", 8));
  TDWordsList list;
  EXPECT_THROW(list.LoadFromStream(stream), EQuenterra);
}

TEST(DWordList, RandomOperationsMatchAModel) {
  std::mt19937 random(7);
  for (int round = 0; round < 20; ++round) {
    TDWordsList list;
    bool keep = round % 2 == 0;
    list.SetKeepSorted(keep);
    std::multimap<uint32_t, uint32_t> model;  // value -> data, equals in insertion order
    std::vector<uint32_t> appended;
    for (int i = 0; i < 3000; ++i) {
      uint32_t v = random() % 500;
      list.AddWithData(v, static_cast<uint32_t>(i));
      model.emplace(v, static_cast<uint32_t>(i));
      appended.push_back(v);
    }
    if (!keep) {
      EXPECT_EQ(Values(list), appended);
      list.Sort();
    }
    int i = 0;
    for (auto [value, data] : model) {
      ASSERT_EQ(list.GetItem(i), value);
      if (keep) {
        ASSERT_EQ(list.GetData(i), data);
      }
      ++i;
    }
    // Data values stay with their items, whatever the order among equals.
    for (int j = 0; j < list.Count(); ++j) {
      ASSERT_EQ(appended[list.GetData(j)], list.GetItem(j));
    }
  }
}

TEST(DWordList, CopiesAndMovesAreIndependent) {
  TDWordsList a;
  a.AddWithData(1, 5);
  TDWordsList b = a;
  b.PutItem(0, 2);
  EXPECT_EQ(a.GetItem(0), 1u);
  TDWordsList c = std::move(b);
  EXPECT_EQ(c.GetItem(0), 2u);
  EXPECT_EQ(c.GetData(0), 5u);
  EXPECT_EQ(b.Count(), 0);  // NOLINT(bugprone-use-after-move): a moved-from list is empty
  b.Add(3);
  EXPECT_EQ(b.GetItem(0), 3u);
}

}  // namespace
}  // namespace quenterra
