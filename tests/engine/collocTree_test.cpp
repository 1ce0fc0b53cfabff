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

class TreeStoreTest : public test::TEngineTest {
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

TEST_F(TreeStoreTest, RecordLayoutIsExactAndAKeyWithoutANodeIsDropped) {
  {
    TTreeStore store;
    const std::string name = store.FileName();
    TNodeTree<int32_t> words;
    AddPath<int32_t>(words, {7, 2}, 1);
    AddPath<int32_t>(words, {2}, 2);
    const TTreeSpan first = store.Write(words);
    TNodeTree<int64_t> tagged;
    AddPath<int64_t>(tagged, {TagKey(5, -1)});
    const TTreeSpan second = store.Write(tagged);
    store.Flush();
    // Root: Count 3, 2 children; key 2: Count 2, leaf; key 7: Count 1, one child, key 2: Count 1,
    // leaf. Then a root of Count 1 whose one child's key holds word 5 low and tag -1 high.
    EXPECT_EQ(test::ReadFileBytes(name), std::string("CollocTree\0", 11) +
                                             test::Fixed32s({3, 2, 2, 2, 0, 7, 1, 1, 2, 1, 0}) +
                                             test::Fixed32s({1, 1, 5, 0xFFFFFFFF, 1, 0}));
    EXPECT_EQ(first.offset, 11u);
    EXPECT_EQ(second.offset, 55u);
    EXPECT_EQ(second.length, 24u);

    // Root Count 2 with two slots: key 1 without a node, key 4 with a leaf of Count 2.
    const std::string record = test::Fixed32s({2, 2, 1, 0xFFFFFFFF, 4, 2, 0});
    test::OverwriteBytes(name, 79, record);
    TNodeTree<int32_t> back, expected;
    store.Read(TTreeSpan{79, record.size()}, 3, back);
    AddPath<int32_t>(expected, {4}, 2);
    EXPECT_TRUE(SameTree(back, expected));
  }
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

// The trees are paged out and back in between paths; pass 2 lists each base n-gram and then
// its extensions depth-first.
TEST_F(TreeStoreTest, TreesSwappedOutAndBackKeepTheirCounts) {
  test::TModelCorpus corpus(test::ParseFiles({"a b c d"}), false);  // ids 0 .. 3
  auto base = std::make_unique<TCollocationList>(corpus.Index(), settings_.tables, 2);
  const int32_t ab[] = {0, 1}, bc[] = {1, 2};
  base->Add(ab, nullptr, 0);
  base->Add(bc, nullptr, 0);
  const int32_t abc[] = {0, 1, 2}, abd[] = {0, 1, 3}, bcd[] = {1, 2, 3, 0}, cd[] = {2, 3};
  TCollocationTree tree(std::move(base), false, 4);
  EXPECT_EQ(tree.BaseList().Item(1).extra, 2u);
  tree.AddPath(abc, nullptr, 3);
  tree.AddPath(bcd, nullptr, 4);
  tree.AddPath(abd, nullptr, 3);  // (a b)'s tree comes back from the store
  tree.AddPath(bcd, nullptr, 2);  // and (b c)'s
  tree.AddPath(abc, nullptr, 3);
  tree.AddPath(abc, nullptr, 1);  // too short: nothing
  tree.AddPath(cd, nullptr, 2);   // no base n-gram: nothing
  tree.StoreCurrent();

  TStepProgress none(nullptr);
  auto list = tree.EvaluateCost(0, none);
  EXPECT_EQ(list->WordCount(), 4);
  EXPECT_EQ(list->ScoreMethod(), TScoreMethod::kCost);
  EXPECT_FALSE(list->Hashed());
  std::vector<std::string> results;
  for (int i = 0; i < list->Count(); ++i) {
    results.push_back(list->CollocationText(i) + " " + std::to_string(list->Item(i).count) + " " +
                      FormatScore(list->Item(i).score, TScoreMethod::kCost));
  }
  // (a b): 3 occurrences, children c 2 and d 1, all passing with minimum 0: cost 1 x 0. (b c):
  // 2 occurrences, one of them through its passing child d: cost 1 x 1.
  EXPECT_EQ(results, (std::vector<std::string>{"a b 3 0", "a b c 2 4", "a b d 1 2", "b c 2 1",
                                               "b c d 1 0", "b c d a 1 3"}));
}

}  // namespace
}  // namespace quenterra
