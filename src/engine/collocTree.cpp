#include "engine/collocTree.h"

#include <algorithm>
#include <type_traits>

#include "engine/NGrams.h"
#include "engine/Scores.h"
#include "engine/collocList.h"
#include "platform/Errors.h"

namespace quenterra {

namespace {

constexpr int kEvaluationStep = 16;  // base n-grams per step of the bar in pass 2

// A child counts towards S when d x Count reaches the minimum cost, in trees with tags only when
// it exceeds it. Keep the two criteria apart: users compare result lists across runs.
bool ChildPasses(int depth, int32_t count, int32_t minCost, bool tagged) {
  const int64_t weight = int64_t{depth} * count;
  return tagged ? weight > minCost : weight >= minCost;
}

template <typename Key>
Key KeyOf(int32_t word, [[maybe_unused]] int32_t tag) {
  if constexpr (std::is_same_v<Key, int64_t>) {
    return TagKey(word, tag);
  } else {
    return word;
  }
}

void PutKey(int32_t key, int32_t& word, int32_t& tag) {
  word = key;
  tag = -1;
}
void PutKey(int64_t key, int32_t& word, int32_t& tag) {
  word = KeyWord(key);
  tag = KeyTag(key);
}

}  // namespace

template <typename Key>
struct TCollocationTree::TState {
  TNodeTree<Key> tree;
  int32_t words[kMaxNGram];                   // the path being visited: its words
  int32_t tags[kMaxNGram];                    // and their tags (-1 for none)
  TScoreMethod method = TScoreMethod::kNone;  // of the evaluation under way
};

TCollocationTree::TCollocationTree(std::unique_ptr<TCollocationList> baseList, bool tagged,
                                   int maxSpan)
    : base_(std::move(baseList)), tagged_(tagged) {
  if (base_ == nullptr || base_->WordCount() >= kMaxNGram) {
    throw EQuenterra("TCollocationTree: Invalid base list.");
  }
  minSpan_ = base_->WordCount();
  maxSpan_ = std::clamp(maxSpan, minSpan_, kMaxNGram);
  offsets_.assign(static_cast<size_t>(base_->Count()), TTreeSpan{});
  for (int i = 0; i < base_->Count(); ++i) base_->Item(i).extra = static_cast<uint32_t>(i + 1);
  if (tagged_) {
    qState_ = std::make_unique<TState<int64_t>>();
  } else {
    dState_ = std::make_unique<TState<int32_t>>();
  }
}

TCollocationTree::~TCollocationTree() = default;

void TCollocationTree::AddPath(const int32_t* words, const int32_t* tags, int length) {
  if (tagged_) {
    AddPathTo(*qState_, words, tags, length);
  } else {
    AddPathTo(*dState_, words, nullptr, length);
  }
}

template <typename Key>
void TCollocationTree::AddPathTo(TState<Key>& state, const int32_t* words, const int32_t* tags,
                                 int length) {
  if (length < minSpan_ || (tagged_ && tags == nullptr)) return;
  length = std::min(length, maxSpan_);
  const uint32_t ordinal = base_->FindExtra(words, tags);
  if (ordinal == 0 || ordinal > offsets_.size()) return;
  MakeCurrent(state, static_cast<int32_t>(ordinal - 1));
  TNodeTree<Key>& tree = state.tree;
  ++tree.Root().count;
  uint32_t node = 0;
  for (int j = minSpan_; j < length; ++j) {
    node = tree.Child(node, KeyOf<Key>(words[j], tags != nullptr ? tags[j] : -1));
    ++tree.Node(node).count;
  }
}

template <typename Key>
void TCollocationTree::MakeCurrent(TState<Key>& state, int32_t baseIndex) {
  if (baseIndex == currentIndex_) return;
  if (currentIndex_ >= 0) offsets_[static_cast<size_t>(currentIndex_)] = store_.Write(state.tree);
  currentIndex_ = -1;
  state.tree.Clear();
  const TTreeSpan& stored = offsets_[static_cast<size_t>(baseIndex)];
  if (stored.offset != 0) store_.Read(stored, maxSpan_ - minSpan_, state.tree);
  currentIndex_ = baseIndex;
}

void TCollocationTree::StoreCurrent() {
  if (currentIndex_ >= 0) {
    const auto at = static_cast<size_t>(currentIndex_);
    if (tagged_) {
      offsets_[at] = store_.Write(qState_->tree);
      qState_->tree.Clear();
    } else {
      offsets_[at] = store_.Write(dState_->tree);
      dState_->tree.Clear();
    }
    currentIndex_ = -1;
  }
  store_.Flush();
}

std::unique_ptr<TCollocationList> TCollocationTree::EvaluateCost(int32_t minCost,
                                                                 TStepProgress& progress) {
  minCost_ = minCost;
  return tagged_ ? Evaluate(*qState_, TScoreMethod::kCost, progress)
                 : Evaluate(*dState_, TScoreMethod::kCost, progress);
}

std::unique_ptr<TCollocationList> TCollocationTree::EvaluateMI(TStepProgress& progress,
                                                               double minMI, int64_t corpusWords) {
  minMI_ = minMI;
  corpusWords_ = corpusWords;
  return tagged_ ? Evaluate(*qState_, TScoreMethod::kMutualInfo, progress)
                 : Evaluate(*dState_, TScoreMethod::kMutualInfo, progress);
}

template <typename Key>
std::unique_ptr<TCollocationList> TCollocationTree::Evaluate(TState<Key>& state,
                                                             TScoreMethod method,
                                                             TStepProgress& progress) {
  auto result =
      std::make_unique<TCollocationList>(base_->Index(), base_->Tables(), maxSpan_, method);
  state.method = method;
  currentIndex_ = -1;
  state.tree.Clear();
  for (int i = 0; i < base_->Count(); ++i) {
    const TTreeSpan& stored = offsets_[static_cast<size_t>(i)];
    if (stored.offset != 0) {
      store_.Read(stored, maxSpan_ - minSpan_, state.tree);
      const TCollocItem& item = base_->Item(i);
      std::fill(std::begin(state.words), std::end(state.words), -1);
      std::fill(std::begin(state.tags), std::end(state.tags), -1);
      std::copy_n(item.words, minSpan_, state.words);
      if (item.tags != nullptr) std::copy_n(item.tags, minSpan_, state.tags);
      Visit(state, 0, minSpan_, *result);
      state.tree.Clear();
    }
    if ((i + 1) % kEvaluationStep == 0 && progress.Step()) break;
  }
  return result;
}

// Depth is bounded by Max_Span (the store refuses deeper trees), so recursion is safe here.
template <typename Key>
void TCollocationTree::Visit(TState<Key>& state, uint32_t node, int depth,
                             TCollocationList& result) {
  const TTreeNode<Key>& current = state.tree.Node(node);
  const int32_t* tags = tagged_ ? state.tags : nullptr;
  if (state.method == TScoreMethod::kCost) {
    int64_t passing = 0;
    for (const auto& child : current.children) {
      const int32_t count = state.tree.Node(child.node).count;
      if (ChildPasses(depth, count, minCost_, tagged_)) passing += count;
    }
    const int64_t cost = int64_t{depth - 1} * (current.count - passing);
    if (cost >= minCost_)
      result.Append(state.words, tags, static_cast<double>(cost), current.count);
  } else {
    const double mi = SequenceScore(base_->Index(), TScoreMethod::kMutualInfo, state.words, tags,
                                    depth, current.count, corpusWords_);
    if (ScorePasses(mi, minMI_)) result.Append(state.words, tags, mi, current.count);
  }
  if (depth >= maxSpan_) return;
  for (const auto& child : current.children) {
    PutKey(child.key, state.words[depth], state.tags[depth]);
    Visit(state, child.node, depth + 1, result);
    state.words[depth] = -1;
    state.tags[depth] = -1;
  }
}

}  // namespace quenterra
