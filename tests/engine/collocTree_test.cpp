#include "engine/collocTree.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "corpus/TextIndex.h"
#include "engine/collocList.h"
#include "platform/Errors.h"
#include "support/CorpusTestKit.h"
#include "support/EngineTestKit.h"
#include "support/ErrorOf.h"
#include "support/FileDamage.h"

namespace quenterra {
namespace {

using test::ErrorOf;

// Adds `count` to the path of keys below the root, every node on it counted.
template <typename Key>
void AddPath(TNodeTree<Key>& tree, const std::vector<Key>& keys, int32_t count = 1) {
  uint32_t node = 0;
  tree.Root().count += count;
  for (Key key : keys) {
    node = tree.Child(node, key);
    tree.Node(node).count += count;
  }
}

// A random tree: `paths` paths of up to `depth` keys drawn from `width` values.
template <typename Key>
TNodeTree<Key> RandomTree(std::mt19937& rng, int paths, int depth, int width) {
  TNodeTree<Key> tree;
  for (int i = 0; i < paths; ++i) {
    std::vector<Key> keys(rng() % static_cast<unsigned>(depth + 1));
    for (Key& key : keys) {
      const auto word = static_cast<int32_t>(rng() % static_cast<unsigned>(width));
      if constexpr (sizeof(Key) == 8) {
        key = TagKey(word, static_cast<int32_t>(rng() % 4) - 1);  // tag -1 .. 2
      } else {
        key = word;
      }
    }
    AddPath(tree, keys);
  }
  return tree;
}

class TreeStoreTest : public ::testing::Test {
 protected:
  test::TPrivateTmpDir tmp_;  // the store's temporary files go here
};

template <typename Key>
void RoundTrip(std::mt19937& rng) {
  TTreeStore store;
  std::vector<TNodeTree<Key>> trees;
  trees.push_back(TNodeTree<Key>());                     // a lone root
  trees.push_back(RandomTree<Key>(rng, 5000, 1, 3000));  // wide: thousands of children
  trees.push_back(RandomTree<Key>(rng, 300, 10, 2));     // deep: ten levels below the root
  trees.push_back(RandomTree<Key>(rng, 2000, 6, 12));    // bushy, over several store chunks
  std::vector<TTreeSpan> spans;
  for (const auto& tree : trees) spans.push_back(store.Write(tree));
  for (size_t i = trees.size(); i-- > 0;) {               // any order
    TNodeTree<Key> back = RandomTree<Key>(rng, 3, 2, 2);  // replaced whole
    store.Read(spans[i], 10, back);
    EXPECT_TRUE(SameTree(back, trees[i])) << i;
  }
  TNodeTree<Key> other;
  AddPath<Key>(other, {1});
  EXPECT_FALSE(SameTree(other, trees[0]));
}

TEST_F(TreeStoreTest, TreesOfBothKindsRoundTrip) {
  std::mt19937 rng(42);
  RoundTrip<int32_t>(rng);
  RoundTrip<int64_t>(rng);
}

TEST_F(TreeStoreTest, RecordLayoutIsExact) {
  std::string name;
  {
    TTreeStore store;
    name = store.FileName();
    EXPECT_EQ(std::filesystem::path(name).filename().string().rfind("CT", 0), 0u);
    TNodeTree<int32_t> words;
    AddPath<int32_t>(words, {7, 2}, 1);
    AddPath<int32_t>(words, {2}, 2);
    const TTreeSpan first = store.Write(words);
    EXPECT_EQ(first.offset, 11u);
    TNodeTree<int64_t> tagged;
    AddPath<int64_t>(tagged, {TagKey(5, -1)});
    const TTreeSpan second = store.Write(tagged);
    EXPECT_EQ(second.offset, first.offset + first.length);
    store.Flush();
    const std::string bytes = test::ReadFileBytes(name);
    const std::string expected = std::string("CollocTree\0", 11) +
                                 // root: Count 3, 2 children; key 2: Count 2, leaf; key 7:
                                 // Count 1, one child, key 2: Count 1, leaf
                                 std::string(
                                     "\3\0\0\0\2\0\0\0"
                                     "\2\0\0\0"
                                     "\2\0\0\0\0\0\0\0"
                                     "\7\0\0\0"
                                     "\1\0\0\0\1\0\0\0"
                                     "\2\0\0\0"
                                     "\1\0\0\0\0\0\0\0",
                                     44) +
                                 // root: Count 1, 1 child; key: word 5 low, tag -1 high
                                 std::string(
                                     "\1\0\0\0\1\0\0\0"
                                     "\5\0\0\0\xff\xff\xff\xff"
                                     "\1\0\0\0\0\0\0\0",
                                     24);
    EXPECT_EQ(bytes, expected);
  }
  EXPECT_FALSE(std::filesystem::exists(name));  // deleted with the store
}

TEST_F(TreeStoreTest, AKeyWithoutANodeIsDropped) {
  TTreeStore store;
  TNodeTree<int32_t> tree;
  AddPath<int32_t>(tree, {4});
  store.Write(tree);
  store.Flush();
  // Root Count 2 with two slots: key 1 without a node, key 4 with a leaf of Count 2.
  const std::string record(
      "\2\0\0\0\2\0\0\0"
      "\1\0\0\0\xff\xff\xff\xff"
      "\4\0\0\0"
      "\2\0\0\0\0\0\0\0",
      28);
  const uint64_t offset = test::FileSize(store.FileName());
  test::OverwriteBytes(store.FileName(), offset, record);
  TNodeTree<int32_t> back;
  store.Read(TTreeSpan{offset, record.size()}, 3, back);
  TNodeTree<int32_t> expected;
  AddPath<int32_t>(expected, {4}, 2);
  EXPECT_TRUE(SameTree(back, expected));
}

TEST_F(TreeStoreTest, DamagedRecordsThrowAndNeverCrash) {
  std::mt19937 rng(11);
  TTreeStore store;
  const TNodeTree<int64_t> tree = RandomTree<int64_t>(rng, 12, 3, 3);
  const TTreeSpan span = store.Write(tree);
  store.Flush();
  const std::string name = store.FileName();
  const std::string good = test::ReadFileBytes(name);
  TNodeTree<int64_t> back;

  // Too deep for the run, a span past the end, a span that cuts a record, one in the header.
  EXPECT_EQ(ErrorOf([&] { store.Read(span, 1, back); }), kTreeStoreDamaged);
  for (TTreeSpan bad : {TTreeSpan{span.offset, span.length + 4},
                        TTreeSpan{span.offset, span.length - 4}, TTreeSpan{0, 8}}) {
    EXPECT_EQ(ErrorOf([&] { store.Read(bad, 3, back); }), kTreeStoreDamaged) << bad.offset;
  }
  test::TruncateFile(name, span.offset + span.length / 2);  // the disk filled up
  EXPECT_EQ(ErrorOf([&] { store.Read(span, 3, back); }), kTreeStoreDamaged);

  // Every single damaged byte either reads as some tree or is refused; nothing else.
  for (uint64_t at = span.offset; at < span.offset + span.length; ++at) {
    for (uint8_t mask : {0xFF, 0x80, 0x01}) {
      test::WriteFileBytes(name, good);
      test::FlipByte(name, at, mask);
      const std::string error = ErrorOf([&] { store.Read(span, 3, back); });
      EXPECT_TRUE(error == "(no exception)" || error == kTreeStoreDamaged) << error;
    }
  }
  test::WriteFileBytes(name, good);
  store.Read(span, 3, back);
  EXPECT_TRUE(SameTree(back, tree));
}

class CollocTreeTest : public TreeStoreTest {
 protected:
  // A base list of word pairs (a b), (b c) with ids 0, 1, 2.
  std::unique_ptr<TCollocationList> BaseList(bool tagged) {
    auto list = std::make_unique<TCollocationList>(corpus_.Index(), 2);
    const int32_t ab[] = {0, 1}, bc[] = {1, 2}, tags[] = {-1, -1};
    list->Add(ab, tagged ? tags : nullptr, 0);
    list->Add(bc, tagged ? tags : nullptr, 0);
    return list;
  }
  static std::vector<std::string> Results(const TCollocationList& list) {
    std::vector<std::string> lines;
    for (int i = 0; i < list.Count(); ++i) {
      lines.push_back(list.CollocationText(i) + " " + std::to_string(list.Item(i).count) + " " +
                      std::to_string(static_cast<int>(list.Item(i).score)));
    }
    return lines;
  }

  test::TModelCorpus corpus_{test::ParseFiles({"a b c d"}), false};
};

TEST_F(CollocTreeTest, TreesSwappedOutAndBackCountLikeTreesBuiltInOrder) {
  const int32_t abc[] = {0, 1, 2}, abd[] = {0, 1, 3}, bcd[] = {1, 2, 3, 0}, cd[] = {2, 3};
  TCollocationTree interleaved(BaseList(false), false, 4);
  EXPECT_EQ(interleaved.BaseList().Item(1).extra, 2u);
  interleaved.AddPath(abc, nullptr, 3);
  interleaved.AddPath(bcd, nullptr, 4);
  interleaved.AddPath(abd, nullptr, 3);  // (a b)'s tree comes back from the store
  interleaved.AddPath(bcd, nullptr, 2);  // and (b c)'s
  interleaved.AddPath(abc, nullptr, 3);
  interleaved.AddPath(abc, nullptr, 1);  // too short: nothing
  interleaved.AddPath(cd, nullptr, 2);   // no base n-gram: nothing
  interleaved.StoreCurrent();

  TCollocationTree ordered(BaseList(false), false, 4);
  for (const int32_t* path : {abc, abd, abc}) ordered.AddPath(path, nullptr, 3);
  ordered.AddPath(bcd, nullptr, 4);
  ordered.AddPath(bcd, nullptr, 2);
  ordered.StoreCurrent();

  TStepProgress none(nullptr);
  auto a = interleaved.EvaluateCost(0, none);
  EXPECT_EQ(a->WordCount(), 4);
  EXPECT_EQ(a->ScoreMethod(), smCost);
  EXPECT_FALSE(a->Hashed());
  EXPECT_EQ(Results(*a), Results(*ordered.EvaluateCost(0, none)));
  // (a b): 3 occurrences, children c 2 and d 1, all passing with minimum 0: cost 1 x 0. (b c):
  // 2 occurrences, one of them through its passing child d: cost 1 x 1.
  EXPECT_EQ(Results(*a), (std::vector<std::string>{"a b 3 0", "a b c 2 4", "a b d 1 2", "b c 2 1",
                                                   "b c d 1 0", "b c d a 1 3"}));
}

// A child passes when its share (depth x count) reaches the minimum, with tags only when it
// exceeds it; the occurrences of passing children leave their parent's cost.
TEST_F(CollocTreeTest, PassingChildrenTakeTheirOccurrencesOutOfTheCost) {
  const int32_t abc[] = {0, 1, 2}, tags[] = {-1, -1, -1};
  using Lines = std::vector<std::string>;
  struct TCase {
    std::vector<int> lengths;  // of the paths added
    int32_t minimum;
    Lines untagged, tagged;
  };
  const std::vector<TCase> cases = {
      // c (2 x 3 = 6) takes every occurrence: (a b) costs 0 while c passes.
      {{3, 3, 3}, 0, {"a b 3 0", "a b c 3 6"}, {"a b 3 0", "a b c 3 6"}},
      {{3, 3, 3}, 3, {"a b c 3 6"}, {"a b c 3 6"}},
      {{3, 3, 3}, 6, {"a b c 3 6"}, {"a b c 3 6"}},
      {{3, 3, 3}, 7, {}, {}},  // c no longer passes: (a b) costs 1 x 3, too little
      // c: 2 x 2 = 4 reaches 4, so (a b) costs 1 x (5 - 2) = 3; with tags it keeps 1 x 5.
      {{3, 3, 2, 2, 2}, 4, {"a b c 2 4"}, {"a b 5 5", "a b c 2 4"}},
  };
  for (const TCase& c : cases) {
    for (bool tagged : {false, true}) {
      TCollocationTree tree(BaseList(tagged), tagged, 3);
      for (int length : c.lengths) tree.AddPath(abc, tags, length);
      tree.StoreCurrent();
      TStepProgress none(nullptr);
      EXPECT_EQ(Results(*tree.EvaluateCost(c.minimum, none)), tagged ? c.tagged : c.untagged)
          << c.minimum << " tagged " << tagged;
    }
  }
}

}  // namespace
}  // namespace quenterra
