#include "corpus/DWordList.h"

#include <gtest/gtest.h>

#include <map>
#include <random>
#include <vector>

#include "support/ErrorOf.h"

namespace quenterra {
namespace {

using test::ErrorOf;

template <typename List>
auto Values(const List& list) {
  using Item = std::remove_const_t<std::remove_pointer_t<decltype(list.Items())>>;
  return std::vector<Item>(list.Items(), list.Items() + list.Count());
}

TEST(DWordList, FindNeedsASortedListAndGivesTheInsertionPoint) {
  TDWordsList list;
  list.Add(5);
  EXPECT_TRUE(list.Sorted());
  list.Add(3);
  EXPECT_FALSE(list.Sorted());
  int index = -1;
  EXPECT_EQ(ErrorOf([&] { list.Find(3, index); }),
            "TDWordsList: Can't use binary search on unsorted list.");
  list.Add(7);
  list.Sort();
  list.Add(7);  // 3 5 7 7
  EXPECT_TRUE(list.Sorted());
  EXPECT_FALSE(list.Find(4, index));
  EXPECT_EQ(index, 1);
  EXPECT_FALSE(list.Find(9, index));
  EXPECT_EQ(index, 4);
  EXPECT_TRUE(list.Find(7, index));
  EXPECT_EQ(index, 2);  // the first of equals
  EXPECT_EQ(list.IndexOf(7), 2);
  EXPECT_EQ(list.IndexOf(4), -1);
  EXPECT_EQ(ErrorOf([&] { list.GetItem(4); }), "TDWordsList: List index out of bounds.");
  EXPECT_EQ(ErrorOf([&] { list.GetData(-1); }), "TDWordsList: List index out of bounds.");
  TQWordsList q;
  EXPECT_EQ(ErrorOf([&] { q.PutItem(-1, 3); }), "TQWordsList: List index out of bounds.");
}

TEST(DWordList, ComparesUnsigned32AndSigned64) {
  TDWordsList d;
  d.Add(0x80000000u);
  d.Add(1);
  d.Sort();
  EXPECT_EQ(Values(d), (std::vector<uint32_t>{1, 0x80000000u}));

  // Pair keys carry a tag id in the high half: the whole signed value orders them.
  TQWordsList q;
  int64_t high = (int64_t{2} << 32) | 1, low = (int64_t{1} << 32) | 0xFFFFFFFF;
  q.AddWithData(high, 10);
  q.AddWithData(low, 20);
  q.AddWithData(-5, 30);
  q.Sort();
  EXPECT_EQ(Values(q), (std::vector<int64_t>{-5, low, high}));
  EXPECT_EQ(q.GetData(0), 30u);
  EXPECT_EQ(q.GetData(2), 10u);

  d.SetHasData(true);  // switched on late: every item's data starts at 0
  EXPECT_EQ(d.GetData(1), 0u);
}

TEST(DWordList, StreamRoundTripIsLittleEndianWithoutDataAndALyingCountThrows) {
  TQWordsList q;
  q.SetKeepSorted(true);
  q.AddWithData(-2, 7);
  q.AddWithData(0x0102030405060708, 8);
  TMemoryStream stream;
  q.SaveToStream(stream);
  EXPECT_EQ(stream.Data(), std::string("\x02\0\0\0"
                                       "\xFE\xFF\xFF\xFF\xFF\xFF\xFF\xFF"
                                       "\x08\x07\x06\x05\x04\x03\x02\x01",
                                       20));
  TQWordsList loaded;
  loaded.LoadFromStream(stream);
  EXPECT_EQ(Values(loaded), Values(q));
  EXPECT_FALSE(loaded.HasData());
  EXPECT_TRUE(loaded.Sorted());

  // A count far beyond the data throws before allocating for it.
  TMemoryStream lying(std::string("\xFF\xFF\xFF\x7F\x01\x00\x00\x00", 8));
  TDWordsList list;
  EXPECT_THROW(list.LoadFromStream(lying), EQuenterra);
}

// Appended or kept sorted, with many equals: the order and the data values match a multimap.
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
      // Data values stay with their items, whatever the order among equals.
      ASSERT_EQ(appended[list.GetData(i)], value);
      ++i;
    }
  }
}

}  // namespace
}  // namespace quenterra
