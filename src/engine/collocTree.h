// The extension trees of the full extract. Each kept base n-gram (Min_Span words) has one tree:
// its root stands for the base n-gram, and a path from the root follows the words that came
// after one of its occurrences, up to Max_Span words in all. A node's Count is the number of
// occurrences that pass through it. Untagged trees key their children by word id (TDNode),
// tagged trees by word and tag together (TQNode).
//
// Only one tree is held in memory; the others are paged out to a temporary store file, so memory
// stays bounded by the largest single tree.
//
// Store file: "CT" + six random characters in the temporary folder, little-endian, written and
// read only by one run, deleted when the tree object goes.
//
//   offset  size  field
//   0       11    header: the 10 bytes "CollocTree" and one zero byte
//   11      ...   tree records, one after another; a tree is the node record of its root, with
//                 each subtree contiguous
//
// Node record:
//
//   int32   Count         occurrences through the node, never negative
//   int32   C             number of children, 0 for a leaf
//   C x     child slot, in ascending key order:
//             key         int32 word id (TDNode trees), or int64 (TQNode trees, at every level)
//                         with the tag id in the high 32 bits (-1 for none) and the word id in
//                         the low 32 bits, ordered as signed 64-bit values
//             node        the child's node record, or the int32 -1 for a key without a node
//
// A child's record starts with its Count, which is never negative, so -1 tells an empty slot
// from a record. This program never writes empty slots; on reading, such a key is dropped.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "engine/Scores.h"
#include "engine/StepProgress.h"

namespace quenterra {

class TCollocationList;
class TIndexFile;

inline constexpr char kTreeStoreHeader[] = "CollocTree";  // written with its zero byte
inline constexpr size_t kTreeStoreHeaderSize = sizeof kTreeStoreHeader;  // 11
inline constexpr char kTreeStorePrefix[] = "CT";
inline constexpr char kTreeStoreDamaged[] = "TCollocationTree: The tree store is damaged.";

// One node of an extension tree. Its children live in the same tree, named by their index.
template <typename Key>
struct TTreeNode {
  struct TChild {
    Key key;
    uint32_t node;  // its index in the tree
  };
  int32_t count = 0;
  std::vector<TChild> children;  // ascending keys; empty for a leaf
};
using TDNode = TTreeNode<int32_t>;  // keyed by word id
using TQNode = TTreeNode<int64_t>;  // keyed by tag id << 32 | word id

// The key of a tagged child, and its parts.
int64_t TagKey(int32_t word, int32_t tag);
inline int32_t KeyWord(int64_t key) { return static_cast<int32_t>(static_cast<uint32_t>(key)); }
inline int32_t KeyTag(int64_t key) { return static_cast<int32_t>(key >> 32); }

// One tree: node 0 is the root. Node references are indexes, valid while the tree lives.
template <typename Key>
class TNodeTree {
 public:
  using TNode = TTreeNode<Key>;

  TNodeTree() : nodes_(1) {}

  uint32_t NodeCount() const { return static_cast<uint32_t>(nodes_.size()); }
  TNode& Node(uint32_t i) { return nodes_[i]; }
  const TNode& Node(uint32_t i) const { return nodes_[i]; }
  TNode& Root() { return nodes_[0]; }
  const TNode& Root() const { return nodes_[0]; }

  // The child of `node` under key, made with Count 0 when missing (children stay sorted).
  uint32_t Child(uint32_t node, Key key);
  // Appends a child with Count 0 after every child of `node`; the caller keeps keys ascending.
  uint32_t AppendChild(uint32_t node, Key key);
  // Back to a lone root with Count 0, releasing the nodes' memory.
  void Clear();

 private:
  std::vector<TNode> nodes_;
};

// Whether two trees hold the same keys, in the same shape, with the same counts.
template <typename Key>
bool SameTree(const TNodeTree<Key>& a, const TNodeTree<Key>& b);

// Where a stored tree lies in the store. Offset 0 (the header's place) means never stored.
struct TTreeSpan {
  uint64_t offset = 0;
  uint64_t length = 0;
};

// The store file: created, with its header, at construction, without a name in the file system,
// so that it goes with the store however the run ends.
class TTreeStore {
 public:
  // Throws EFileError when the file cannot be made or written.
  TTreeStore();
  TTreeStore(const TTreeStore&) = delete;
  TTreeStore& operator=(const TTreeStore&) = delete;
  ~TTreeStore();

  // A name that opens the file from this process while the store lives.
  const std::string& FileName() const { return fileName_; }

  // Appends the tree's records and returns where they lie. Throws EFileError when the disk
  // refuses (a full disk among others).
  template <typename Key>
  TTreeSpan Write(const TNodeTree<Key>& tree);
  // Replaces `tree` with the stored one. A record that does not fit its span, runs deeper than
  // maxDepth levels below the root, holds a negative Count or keys out of order throws
  // kTreeStoreDamaged; a read error throws EFileError.
  template <typename Key>
  void Read(const TTreeSpan& span, int maxDepth, TNodeTree<Key>& tree);
  // Writes what the file still gathers in memory (EFileError when the disk refuses).
  void Flush();

 private:
  std::unique_ptr<TIndexFile> file_;
  std::string fileName_;
  std::vector<char> buffer_;  // records on their way to or from the file, reused
};

// The trees of one full extract over its base list.
class TCollocationTree {
 public:
  // Takes the base list (hashed, WordCount M = Min_Span, 2 .. 11) and numbers its items: each
  // item's Extra becomes its 1-based ordinal. maxSpan (M + 1 .. 12) is the result's WordCount.
  // tagged selects TQNode trees. Creates the store (EFileError when it cannot).
  TCollocationTree(std::unique_ptr<TCollocationList> baseList, bool tagged, int maxSpan);
  TCollocationTree(const TCollocationTree&) = delete;
  TCollocationTree& operator=(const TCollocationTree&) = delete;
  ~TCollocationTree();

  const TCollocationList& BaseList() const { return *base_; }
  bool Tagged() const { return tagged_; }
  const std::string& StoreName() const { return store_.FileName(); }

  // Records one extended occurrence: words (and tags when tagged, else ignored) hold `length`
  // ids, the base n-gram's M first (lengths past maxSpan are cut there). The tree of the base
  // n-gram is brought into memory (the one there is stored first) and the path counted. Nothing
  // happens for length < M or words that are no base n-gram.
  void AddPath(const int32_t* words, const int32_t* tags, int length);
  // Stores the tree in memory, so that every tree is in the store; pass 1 ends with it.
  void StoreCurrent();

  // Pass 2: a new list without hash, WordCount maxSpan, of the nodes of every stored tree that
  // pass the filter, base n-grams in list order, each followed by its extensions depth-first in
  // key order. Every 16 base n-grams the bar advances and a cancel stops the evaluation.
  //
  // Cost Criterion (method 3): a node at depth d (words) with Count c whose children with
  // d x Count >= minCost sum to S gets cost (d - 1) x (c - S); listed when cost >= minCost.
  std::unique_ptr<TCollocationList> EvaluateCost(int32_t minCost, TStepProgress& progress);
  // Mutual Information (method 2) of the node's d words with Count c (through the word-tag
  // pairs when tagged); listed when it passes minMI (within the score tolerance).
  std::unique_ptr<TCollocationList> EvaluateMI(TStepProgress& progress, double minMI,
                                               int64_t corpusWords);

 private:
  template <typename Key>
  struct TState;  // the tree in memory and its evaluation buffers
  template <typename Key>
  void AddPathTo(TState<Key>& state, const int32_t* words, const int32_t* tags, int length);
  template <typename Key>
  void MakeCurrent(TState<Key>& state, int32_t baseIndex);
  template <typename Key>
  std::unique_ptr<TCollocationList> Evaluate(TState<Key>& state, TScoreMethod method,
                                             TStepProgress& progress);
  template <typename Key>
  void Visit(TState<Key>& state, uint32_t node, int depth, TCollocationList& result);

  std::unique_ptr<TCollocationList> base_;
  bool tagged_;
  int minSpan_;  // M, the base list's WordCount
  int maxSpan_;  // the result's WordCount
  TTreeStore store_;
  std::vector<TTreeSpan> offsets_;           // by base index; offset 0 while never stored
  int32_t currentIndex_ = -1;                // the base n-gram whose tree is in memory
  std::unique_ptr<TState<int32_t>> dState_;  // TDNode trees, when untagged
  std::unique_ptr<TState<int64_t>> qState_;  // TQNode trees, when tagged
  int32_t minCost_ = 0;                      // while evaluating
  double minMI_ = 0;
  int64_t corpusWords_ = 0;
};

}  // namespace quenterra
