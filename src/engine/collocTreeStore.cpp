// The extension trees in memory and their store file (record layout in collocTree.h).

#include <algorithm>
#include <utility>

#include "corpus/IndexFile.h"
#include "engine/collocTree.h"
#include "platform/Coding.h"
#include "platform/Errors.h"
#include "platform/Files.h"

namespace quenterra {

namespace {

constexpr size_t kChunkSize = 64 * 1024;  // bytes moved to or from the file at a time

[[noreturn]] void Damaged() { throw EQuenterra(kTreeStoreDamaged); }

// Appends one tree's records to the store through a small buffer.
class TRecordWriter {
 public:
  TRecordWriter(TIndexFile& file, std::vector<char>& buffer)
      : file_(file), start_(file.Size()), buffer_(buffer) {
    buffer_.clear();
  }

  void Put32(int32_t value) {
    char bytes[4];
    EncodeFixed32(bytes, static_cast<uint32_t>(value));
    Put(bytes, sizeof bytes);
  }
  void PutKey(int32_t key) { Put32(key); }
  void PutKey(int64_t key) {
    char bytes[8];
    EncodeFixed64(bytes, static_cast<uint64_t>(key));
    Put(bytes, sizeof bytes);
  }
  TTreeSpan Finish() {
    Flush();
    return TTreeSpan{start_, written_};
  }

 private:
  void Put(const char* bytes, size_t count) {
    buffer_.insert(buffer_.end(), bytes, bytes + count);
    if (buffer_.size() >= kChunkSize) Flush();
  }
  void Flush() {
    if (buffer_.empty()) return;
    file_.WriteAt(file_.Size(), buffer_.data(), buffer_.size());
    written_ += buffer_.size();
    buffer_.clear();
  }

  TIndexFile& file_;
  uint64_t start_;        // the tree's offset
  uint64_t written_ = 0;  // bytes handed to the file
  std::vector<char>& buffer_;
};

// Reads one tree's records, never past its span.
class TRecordReader {
 public:
  TRecordReader(TIndexFile& file, const TTreeSpan& span, std::vector<char>& buffer)
      : file_(file), next_(span.offset), end_(span.offset + span.length), buffer_(buffer) {
    if (span.offset < kTreeStoreHeaderSize || end_ < span.offset) Damaged();
    buffer_.resize(kChunkSize);
  }

  uint64_t Remaining() const { return (end_ - next_) + (filled_ - at_); }
  int32_t Peek32() {
    Need(4);
    return static_cast<int32_t>(DecodeFixed32(buffer_.data() + at_));
  }
  int32_t Get32() {
    const int32_t value = Peek32();
    at_ += 4;
    return value;
  }
  void GetKey(int32_t& key) { key = Get32(); }
  void GetKey(int64_t& key) {
    Need(8);
    key = static_cast<int64_t>(DecodeFixed64(buffer_.data() + at_));
    at_ += 8;
  }

 private:
  void Need(size_t count) {
    if (filled_ - at_ >= count) return;
    if (Remaining() < count) Damaged();
    const size_t kept = filled_ - at_;
    std::copy(buffer_.begin() + static_cast<std::ptrdiff_t>(at_),
              buffer_.begin() + static_cast<std::ptrdiff_t>(filled_), buffer_.begin());
    const size_t want = static_cast<size_t>(std::min<uint64_t>(kChunkSize - kept, end_ - next_));
    // A store cut short (a full disk, a damaged file) reads fewer bytes than the span claims.
    if (file_.ReadAt(next_, buffer_.data() + kept, want) != want) Damaged();
    next_ += want;
    at_ = 0;
    filled_ = kept + want;
  }

  TIndexFile& file_;
  uint64_t next_;  // file offset of the first byte not yet in the buffer
  uint64_t end_;   // of the span
  std::vector<char>& buffer_;
  size_t at_ = 0;      // next byte in the buffer
  size_t filled_ = 0;  // bytes valid in the buffer
};

template <typename Key>
void WriteHeader(TRecordWriter& writer, const TTreeNode<Key>& node) {
  writer.Put32(node.count);
  writer.Put32(static_cast<int32_t>(node.children.size()));
}

// Reads a node's Count and child count into `node`, checking them against what is left.
template <typename Key>
int32_t ReadHeader(TRecordReader& reader, TTreeNode<Key>& node) {
  node.count = reader.Get32();
  const int32_t children = reader.Get32();
  // Every child slot takes its key and at least four more bytes.
  if (node.count < 0 || children < 0 ||
      static_cast<uint64_t>(children) > reader.Remaining() / (sizeof(Key) + 4)) {
    Damaged();
  }
  node.children.reserve(static_cast<size_t>(children));
  return children;
}

}  // namespace

int64_t TagKey(int32_t word, int32_t tag) {
  return static_cast<int64_t>((uint64_t{static_cast<uint32_t>(tag)} << 32) |
                              static_cast<uint32_t>(word));
}

// ---- Trees ----

template <typename Key>
uint32_t TNodeTree<Key>::Child(uint32_t node, Key key) {
  auto& children = nodes_[node].children;
  auto at =
      std::lower_bound(children.begin(), children.end(), key,
                       [](const typename TNode::TChild& child, Key k) { return child.key < k; });
  if (at != children.end() && at->key == key) return at->node;
  const auto created = static_cast<uint32_t>(nodes_.size());
  const auto slot = at - children.begin();
  nodes_.emplace_back();  // may move the nodes: `children` is not used past here
  auto& list = nodes_[node].children;
  list.insert(list.begin() + slot, typename TNode::TChild{key, created});
  return created;
}

template <typename Key>
uint32_t TNodeTree<Key>::AppendChild(uint32_t node, Key key) {
  const auto created = static_cast<uint32_t>(nodes_.size());
  nodes_.emplace_back();
  nodes_[node].children.push_back(typename TNode::TChild{key, created});
  return created;
}

template <typename Key>
void TNodeTree<Key>::Clear() {
  // Most trees are small: their room is kept for the next; a big tree's is given back.
  constexpr size_t kKeptNodes = 4096;
  if (nodes_.capacity() > kKeptNodes) {
    std::vector<TNode>(1).swap(nodes_);
  } else {
    nodes_.resize(1);
    nodes_[0] = TNode{};
  }
}

template <typename Key>
bool SameTree(const TNodeTree<Key>& a, const TNodeTree<Key>& b) {
  std::vector<std::pair<uint32_t, uint32_t>> pending = {{0, 0}};
  while (!pending.empty()) {
    const auto [x, y] = pending.back();
    pending.pop_back();
    const TTreeNode<Key>& nodeA = a.Node(x);
    const TTreeNode<Key>& nodeB = b.Node(y);
    if (nodeA.count != nodeB.count || nodeA.children.size() != nodeB.children.size()) return false;
    for (size_t i = 0; i < nodeA.children.size(); ++i) {
      if (nodeA.children[i].key != nodeB.children[i].key) return false;
      pending.emplace_back(nodeA.children[i].node, nodeB.children[i].node);
    }
  }
  return true;
}

// ---- Store ----

TTreeStore::TTreeStore()
    : file_(std::make_unique<TIndexFile>(TempDirectory() + kTreeStorePrefix,
                                         TIndexFileMode::kTemporary)),
      fileName_(file_->ProcessPath()) {
  file_->WriteAt(0, kTreeStoreHeader, kTreeStoreHeaderSize);
  file_->Flush();
}

TTreeStore::~TTreeStore() = default;

void TTreeStore::Flush() { file_->Flush(); }

// Depth first with an explicit stack, children in key order: each subtree ends up contiguous.
template <typename Key>
TTreeSpan TTreeStore::Write(const TNodeTree<Key>& tree) {
  TRecordWriter writer(*file_, buffer_);
  WriteHeader(writer, tree.Root());
  std::vector<std::pair<uint32_t, size_t>> stack = {{0, 0}};  // node, next child
  while (!stack.empty()) {
    auto& [node, next] = stack.back();
    const auto& children = tree.Node(node).children;
    if (next == children.size()) {
      stack.pop_back();
      continue;
    }
    const auto& child = children[next++];
    writer.PutKey(child.key);
    WriteHeader(writer, tree.Node(child.node));
    stack.emplace_back(child.node, 0);
  }
  return writer.Finish();
}

template <typename Key>
void TTreeStore::Read(const TTreeSpan& span, int maxDepth, TNodeTree<Key>& tree) {
  struct TFrame {
    uint32_t node;
    int32_t left;  // child slots still to read
    Key lastKey;
    bool any;  // a key was read
  };
  tree.Clear();
  TRecordReader reader(*file_, span, buffer_);
  std::vector<TFrame> stack = {{0, ReadHeader(reader, tree.Root()), Key{}, false}};
  while (!stack.empty()) {
    TFrame& frame = stack.back();
    if (frame.left == 0) {
      stack.pop_back();
      continue;
    }
    --frame.left;
    Key key{};
    reader.GetKey(key);
    if (frame.any && key <= frame.lastKey) Damaged();
    frame.lastKey = key;
    frame.any = true;
    if (reader.Peek32() < 0) {  // a key without a node
      reader.Get32();
      continue;
    }
    if (stack.size() > static_cast<size_t>(std::max(maxDepth, 0))) Damaged();
    const uint32_t child = tree.AppendChild(frame.node, key);  // `frame` is not used past here
    const int32_t children = ReadHeader(reader, tree.Node(child));
    stack.push_back(TFrame{child, children, Key{}, false});
  }
  if (reader.Remaining() != 0) Damaged();
}

template class TNodeTree<int32_t>;
template class TNodeTree<int64_t>;
template bool SameTree(const TNodeTree<int32_t>&, const TNodeTree<int32_t>&);
template bool SameTree(const TNodeTree<int64_t>&, const TNodeTree<int64_t>&);
template TTreeSpan TTreeStore::Write(const TNodeTree<int32_t>&);
template TTreeSpan TTreeStore::Write(const TNodeTree<int64_t>&);
template void TTreeStore::Read(const TTreeSpan&, int, TNodeTree<int32_t>&);
template void TTreeStore::Read(const TTreeSpan&, int, TNodeTree<int64_t>&);

}  // namespace quenterra
