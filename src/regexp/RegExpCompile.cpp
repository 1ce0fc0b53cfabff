#include "regexp/RegExpCompile.h"

#include <algorithm>
#include <string>
#include <utility>

#include "platform/CharType.h"

namespace quenterra {

namespace {

// Sizes are computed in 64 bits and clipped here, one above the limit, so that no sum or
// product of them can overflow.
constexpr int64_t kSizeCap = int64_t{kReMaxInstructions} + 1;

int64_t Clip(int64_t size) { return std::min(size, kSizeCap); }

// The most tree nodes that emission may visit (copies of repeated bodies included).
constexpr int64_t kMaxCost = int64_t{1} << 21;

TReFirstChars Everything() {
  TReFirstChars all;
  all.low.set();
  all.high = true;
  return all;
}

TReFirstChars& operator|=(TReFirstChars& to, const TReFirstChars& from) {
  to.low |= from.low;
  to.high = to.high || from.high;
  return to;
}

class TReCompiler {
 public:
  TReCompiler(const TReSyntaxTree& tree, const TReTables& tables) : tree_(tree), tables_(tables) {}

  TReProg Compile();

 private:
  const TReNode& Node(int32_t index) const { return tree_.nodes[static_cast<size_t>(index)]; }
  int32_t Only(const TReNode& node) const { return tree_.Children(node)[0]; }
  bool Captured(const TReNode& group) const {
    return group.value <= kReMaxBackRefGroup && (tree_.referencedGroups >> group.value & 1u);
  }

  void Analyse();
  void AnalyseNode(int32_t index);
  int64_t RepeatSize(int32_t index) const;
  int64_t Cost(int32_t index) const;
  bool CompactPlus(const TReNode& repeat) const;

  void Emit(int32_t index, int32_t at);
  void EmitAlternate(int32_t index, int32_t at);
  void EmitRepeat(int32_t index, int32_t at);
  void Put(int32_t at, TReOp op, int32_t arg = 0);
  void Queue(int32_t index, int32_t at) { work_.emplace_back(index, at); }

  void ComputeFastmap();
  void ComputeFollowSets();
  bool FirstChars(int32_t from, int32_t limit, TReFirstChars& first);
  void PrepareFirstChars();
  TReFirstChars SetFirstChars(const TReSet& set, bool raw) const;
  const TReFirstChars& Accepted(TReOp test, int32_t arg);

  const TReSyntaxTree& tree_;
  const TReTables& tables_;
  TReProg prog_;
  std::vector<int64_t> size_;                      // code length of each node
  std::vector<int64_t> cost_;                      // nodes emitted for it, copies included
  std::vector<bool> nullable_;                     // the node can match the empty string
  std::vector<int32_t> byteTest_;                  // the single-byte test node it amounts to, or -1
  std::vector<int32_t> markSlot_;                  // the loop's progress slot, or -1
  std::vector<std::pair<int32_t, int32_t>> work_;  // nodes still to emit, with their address
  std::vector<int32_t> seen_;  // FirstChars: the walk that last visited each instruction
  int32_t walk_ = 0;
  std::vector<TReFirstChars> accepted_;  // translated characters each set accepts
  TReFirstChars anyChar_;                // translated characters '.' accepts
  TReFirstChars oneChar_;                // scratch for a single character
};

TReProg TReCompiler::Compile() {
  for (int group = kReMaxBackRefGroup; group > 0; --group) {
    if (tree_.referencedGroups >> group & 1u) {
      prog_.slotCount = GroupEndSlot(group) + 1;
      break;
    }
  }
  Analyse();
  int64_t total = size_[static_cast<size_t>(tree_.root)] + 1;  // and the final kMatch
  if (total > kReMaxInstructions || cost_[static_cast<size_t>(tree_.root)] > kMaxCost)
    RaiseRegExpError(TReError::kTooBig);
  prog_.inst.resize(static_cast<size_t>(total));
  prog_.inst.back().op = TReOp::kMatch;
  Queue(tree_.root, 0);
  while (!work_.empty()) {
    auto [index, at] = work_.back();
    work_.pop_back();
    Emit(index, at);
  }
  prog_.chars = TReChars::From(tables_);
  prog_.sets = tree_.sets;
  for (TReSet& set : prog_.sets)
    for (TChar c = 0; c < 256; ++c) set.low[c] = set.Decide(c, prog_.chars);
  ComputeFastmap();
  ComputeFollowSets();
  return std::move(prog_);
}

// One forward pass: every node comes after its children.
void TReCompiler::Analyse() {
  size_t count = tree_.nodes.size();
  size_.assign(count, 0);
  cost_.assign(count, 1);
  nullable_.assign(count, false);
  byteTest_.assign(count, -1);
  markSlot_.assign(count, -1);
  for (size_t i = 0; i < count; ++i) {
    AnalyseNode(static_cast<int32_t>(i));
    cost_[i] = Cost(static_cast<int32_t>(i));
  }
}

// An upper bound of the nodes that emitting this one visits: a repetition emits its body once
// per copy, and a body may hold many nodes that add little code (groups, empty alternatives).
int64_t TReCompiler::Cost(int32_t index) const {
  const TReNode& node = Node(index);
  const int32_t* kids = tree_.Children(node);
  int64_t kidsCost = 0;
  for (int32_t k = 0; k < node.childCount; ++k)
    kidsCost = std::min(kidsCost + cost_[static_cast<size_t>(kids[k])], kMaxCost + 1);
  if (node.kind != TReNodeKind::kRepeat) return std::min(1 + kidsCost, kMaxCost + 1);
  auto body = static_cast<size_t>(kids[0]);
  if (node.max == 0 || size_[body] == 0) return 1;
  if (byteTest_[body] >= 0) return 2;  // one kRepeat however many times
  int64_t copies = node.max == kReInfinite ? int64_t{node.min} + 1 : node.max;
  return std::min(1 + copies * kidsCost, kMaxCost + 1);
}

void TReCompiler::AnalyseNode(int32_t index) {
  auto i = static_cast<size_t>(index);
  const TReNode& node = Node(index);
  const int32_t* kids = tree_.Children(node);
  switch (node.kind) {
    case TReNodeKind::kEmpty:
      nullable_[i] = true;
      break;
    case TReNodeKind::kLiteral:
    case TReNodeKind::kAnyChar:
    case TReNodeKind::kSet:
    case TReNodeKind::kRawSet:
      size_[i] = 1;
      byteTest_[i] = index;
      break;
    case TReNodeKind::kAssertion:
    case TReNodeKind::kBackRef:
      size_[i] = 1;
      nullable_[i] = true;
      break;
    case TReNodeKind::kConcat:
      nullable_[i] = true;
      for (int32_t k = 0; k < node.childCount; ++k) {
        size_[i] = Clip(size_[i] + size_[static_cast<size_t>(kids[k])]);
        nullable_[i] = nullable_[i] && nullable_[static_cast<size_t>(kids[k])];
      }
      break;
    case TReNodeKind::kAlternate:
      size_[i] = 2 * int64_t{node.childCount - 1};
      for (int32_t k = 0; k < node.childCount; ++k) {
        size_[i] = Clip(size_[i] + size_[static_cast<size_t>(kids[k])]);
        nullable_[i] = nullable_[i] || nullable_[static_cast<size_t>(kids[k])];
      }
      break;
    case TReNodeKind::kGroup: {
      auto body = static_cast<size_t>(kids[0]);
      size_[i] = Clip(size_[body] + (Captured(node) ? 2 : 0));
      nullable_[i] = nullable_[body];
      if (!Captured(node)) byteTest_[i] = byteTest_[body];
      break;
    }
    case TReNodeKind::kRepeat: {
      auto body = static_cast<size_t>(kids[0]);
      nullable_[i] = node.min == 0 || nullable_[body];
      size_[i] = RepeatSize(index);
      if (node.max == kReInfinite && nullable_[body] && size_[body] > 0 && byteTest_[body] < 0)
        markSlot_[i] = prog_.slotCount++;
      break;
    }
  }
}

int64_t TReCompiler::RepeatSize(int32_t index) const {
  const TReNode& node = Node(index);
  auto body = static_cast<size_t>(Only(node));
  int64_t s = size_[body];
  if (node.max == 0 || s == 0) return 0;
  if (byteTest_[body] >= 0) return 1;
  int64_t fixed = Clip(node.min * s);
  if (node.max != kReInfinite) return Clip(fixed + (node.max - node.min) * (s + 1));
  if (CompactPlus(node)) return Clip(fixed + 1);
  return Clip(fixed + s + 2 + (nullable_[body] ? 2 : 0));
}

// x{m,} with m >= 1 and a body that always consumes ends in "L: x; loop L".
bool TReCompiler::CompactPlus(const TReNode& repeat) const {
  return repeat.max == kReInfinite && repeat.min >= 1 &&
         !nullable_[static_cast<size_t>(Only(repeat))];
}

void TReCompiler::Put(int32_t at, TReOp op, int32_t arg) {
  TReInst& inst = prog_.inst[static_cast<size_t>(at)];
  inst.op = op;
  inst.arg = arg;
}

// Writes the node's own instructions at `at` and queues its children at their addresses.
void TReCompiler::Emit(int32_t index, int32_t at) {
  const TReNode& node = Node(index);
  switch (node.kind) {
    case TReNodeKind::kEmpty:
      return;
    case TReNodeKind::kLiteral:
      return Put(at, TReOp::kChar, node.value);
    case TReNodeKind::kAnyChar:
      return Put(at, TReOp::kAnyChar);
    case TReNodeKind::kSet:
      return Put(at, TReOp::kSet, node.value);
    case TReNodeKind::kRawSet:
      return Put(at, TReOp::kRawSet, node.value);
    case TReNodeKind::kAssertion:
      return Put(at, static_cast<TReOp>(node.value));
    case TReNodeKind::kBackRef:
      return Put(at, TReOp::kBackRef, node.value);
    case TReNodeKind::kConcat:
      for (int32_t k = 0; k < node.childCount; ++k) {
        int32_t kid = tree_.Children(node)[k];
        Queue(kid, at);
        at += static_cast<int32_t>(size_[static_cast<size_t>(kid)]);
      }
      return;
    case TReNodeKind::kAlternate:
      return EmitAlternate(index, at);
    case TReNodeKind::kGroup:
      if (Captured(node)) {
        Put(at, TReOp::kSave, GroupStartSlot(node.value));
        Put(at + 1 + static_cast<int32_t>(size_[static_cast<size_t>(Only(node))]), TReOp::kSave,
            GroupEndSlot(node.value));
        return Queue(Only(node), at + 1);
      }
      return Queue(Only(node), at);
    case TReNodeKind::kRepeat:
      return EmitRepeat(index, at);
  }
  RaiseInternalRegExpError();
}

void TReCompiler::EmitAlternate(int32_t index, int32_t at) {
  const TReNode& node = Node(index);
  const int32_t end = at + static_cast<int32_t>(size_[static_cast<size_t>(index)]);
  const int32_t* kids = tree_.Children(node);
  for (int32_t k = 0; k < node.childCount; ++k) {
    auto s = static_cast<int32_t>(size_[static_cast<size_t>(kids[k])]);
    if (k == node.childCount - 1) return Queue(kids[k], at);
    Put(at, TReOp::kSplit, at + s + 2);
    Queue(kids[k], at + 1);
    Put(at + 1 + s, TReOp::kJump, end);
    at += s + 2;
  }
}

void TReCompiler::EmitRepeat(int32_t index, int32_t at) {
  const TReNode& node = Node(index);
  const int32_t body = Only(node);
  const auto s = static_cast<int32_t>(size_[static_cast<size_t>(body)]);
  const int32_t end = at + static_cast<int32_t>(size_[static_cast<size_t>(index)]);
  if (node.max == 0 || s == 0) return;
  if (int32_t test = byteTest_[static_cast<size_t>(body)]; test >= 0) {
    Emit(test, at);  // the single test, then widened into a run
    TReInst& inst = prog_.inst[static_cast<size_t>(at)];
    inst.test = inst.op;
    inst.op = TReOp::kRepeat;
    inst.min = node.min;
    inst.max = node.max;
    return;
  }
  const int32_t copies = CompactPlus(node) ? node.min - 1 : node.min;
  for (int32_t k = 0; k < copies; ++k, at += s) Queue(body, at);
  if (node.max != kReInfinite) {
    for (int32_t k = node.min; k < node.max; ++k, at += s + 1) {
      Put(at, TReOp::kSplit, end);
      Queue(body, at + 1);
    }
  } else if (CompactPlus(node)) {
    Queue(body, at);
    Put(at + s, TReOp::kLoop, at);
  } else {
    const int32_t slot = markSlot_[static_cast<size_t>(index)];
    Put(at, TReOp::kSplit, end);
    int32_t bodyAt = at + 1;
    if (slot >= 0) Put(bodyAt++, TReOp::kMark, slot);
    Queue(body, bodyAt);
    if (slot >= 0) Put(bodyAt + s, TReOp::kProgress, slot);
    Put(end - 1, TReOp::kJump, at);
  }
}

// The translated characters that can begin a match. Positions where the text's character is not
// among them are skipped by the search, unless a match can be empty.
void TReCompiler::ComputeFastmap() {
  PrepareFirstChars();
  prog_.canBeNull = FirstChars(0, kReMaxInstructions, prog_.fastmap);
}

// A run of a kRepeat can only be followed by a character that the rest of the pattern begins
// with, unless the rest can match without consuming. The walk is cut short, which only means
// that the run is tried at every length; that keeps long chains of repetitions linear.
void TReCompiler::ComputeFollowSets() {
  constexpr int32_t kWalkLimit = 64;
  for (size_t pc = 0; pc < prog_.inst.size(); ++pc) {
    if (prog_.inst[pc].op != TReOp::kRepeat) continue;
    TReFirstChars first;
    if (FirstChars(static_cast<int32_t>(pc + 1), kWalkLimit, first)) continue;
    prog_.follows.push_back(first);
    prog_.inst[pc].follow = static_cast<int32_t>(prog_.follows.size() - 1);
  }
}

// Follows every path from `from` up to its first consuming instruction and marks the translated
// characters that instruction accepts. Zero-width tests are passed over, which only widens the
// set. Returns true when a path reaches the end without consuming (or the walk visits more than
// `limit` instructions): then the set alone does not decide where a match can go on.
bool TReCompiler::FirstChars(int32_t from, int32_t limit, TReFirstChars& first) {
  first = TReFirstChars();
  bool canBeNull = false;
  seen_.resize(prog_.inst.size(), 0);
  ++walk_;
  std::vector<int32_t> pending{from};
  while (!pending.empty()) {
    int32_t pc = pending.back();
    pending.pop_back();
    if (seen_[static_cast<size_t>(pc)] == walk_) continue;
    seen_[static_cast<size_t>(pc)] = walk_;
    if (--limit < 0) return true;
    const TReInst& inst = prog_.inst[static_cast<size_t>(pc)];
    switch (inst.op) {
      case TReOp::kMatch:
        canBeNull = true;
        break;
      case TReOp::kChar:
      case TReOp::kAnyChar:
      case TReOp::kSet:
      case TReOp::kRawSet:
        first |= Accepted(inst.op, inst.arg);
        break;
      case TReOp::kRepeat:
        first |= Accepted(inst.test, inst.arg);
        if (inst.min == 0) pending.push_back(pc + 1);
        break;
      case TReOp::kSplit:
      case TReOp::kLoop:
        pending.push_back(inst.arg);
        pending.push_back(pc + 1);
        break;
      case TReOp::kJump:
        pending.push_back(inst.arg);
        break;
      case TReOp::kBackRef:
        first = Everything();
        pending.push_back(pc + 1);
        break;
      case TReOp::kSave:
      case TReOp::kMark:
      case TReOp::kProgress:
      case TReOp::kBol:
      case TReOp::kEol:
      case TReOp::kTextStart:
      case TReOp::kTextEnd:
      case TReOp::kWordBoundary:
      case TReOp::kNotWordBoundary:
      case TReOp::kWordStart:
      case TReOp::kWordEnd:
        pending.push_back(pc + 1);
        break;
      default:
        RaiseInternalRegExpError();
    }
  }
  return canBeNull;
}

// What each one-character test accepts, as translated characters, worked out once per set.
void TReCompiler::PrepareFirstChars() {
  const TReChars& chars = prog_.chars;
  if (chars.Utf8()) {
    anyChar_ = Everything();
  } else {
    for (TChar b = 1; b < 256; ++b) anyChar_.low.set(chars.translate[b]);
  }
  accepted_.assign(tree_.sets.size(), TReFirstChars());
  for (const TReNode& node : tree_.nodes) {
    if (node.kind != TReNodeKind::kSet && node.kind != TReNodeKind::kRawSet) continue;
    const TReSet& set = tree_.sets[static_cast<size_t>(node.value)];
    accepted_[static_cast<size_t>(node.value)] =
        SetFirstChars(set, node.kind == TReNodeKind::kRawSet);
  }
}

// In UTF-8, only a set of listed translated characters says which; anything else may accept
// any character.
TReFirstChars TReCompiler::SetFirstChars(const TReSet& set, bool raw) const {
  const TReChars& chars = prog_.chars;
  if (chars.Utf8() && (raw || !set.Listed())) return Everything();
  TReFirstChars first;
  for (TChar c : set.chars.Members()) {
    const TChar t = raw ? chars.Translate(c) : c;
    if (t < 256)
      first.low.set(t);
    else
      first.high = true;
  }
  return first;
}

const TReFirstChars& TReCompiler::Accepted(TReOp test, int32_t arg) {
  switch (test) {
    case TReOp::kChar:
      oneChar_ = TReFirstChars();
      if (arg < 256)
        oneChar_.low.set(static_cast<size_t>(arg));
      else
        oneChar_.high = true;
      return oneChar_;
    case TReOp::kAnyChar:
      return anyChar_;
    case TReOp::kSet:
    case TReOp::kRawSet:
      return accepted_[static_cast<size_t>(arg)];
    default:
      RaiseInternalRegExpError();
  }
}

}  // namespace

TReProg CompileRegExp(const TReSyntaxTree& tree, const TReTables& tables) {
  return TReCompiler(tree, tables).Compile();
}

}  // namespace quenterra
