#include "regexp/RegExpMatch.h"

#include <algorithm>
#include <limits>
#include <vector>

namespace quenterra {

namespace {

enum class TBacktrackKind : uint8_t {
  kResume,    // a failure point: continue at pc `a`, position `b`
  kGiveBack,  // a failure point of the kRepeat at pc `a`: its run began at `b`, holds `c` chars
  kRestore,   // put slot `a` back to `b`
};

// One entry of the backtracking stack.
struct TBacktrack {
  TBacktrackKind kind;
  int32_t a;
  int32_t b;
  int32_t c;
};

// Reused between calls on one thread, so that matching a token allocates nothing.
struct TScratch {
  std::vector<TBacktrack> stack;
  std::vector<int32_t> slots;
};

thread_local TScratch tScratch;

class TReMatcher {
 public:
  TReMatcher(const TReProg& prog, std::u32string_view text, int32_t start);

  int32_t Match(int32_t start);
  int32_t Search(int32_t start, int32_t& matchEnd);

 private:
  TChar At(int32_t pos) const { return text_[pos]; }
  TChar Translate(TChar c) const { return prog_.chars.Translate(c); }
  bool IsWord(int32_t pos) const {
    return pos < length_ && (prog_.chars.Word(At(pos)) & kReWord) != 0;
  }
  bool Test(TReOp test, int32_t arg, TChar c) const;
  bool Assert(TReOp op, int32_t pos) const;
  bool Run(const TReInst& inst, int32_t pc, int32_t& pos);
  bool RunRepeat(const TReInst& inst, int32_t pc, int32_t& pos);
  int32_t Fit(const TReInst& inst, int32_t start, int32_t count);
  bool BackRef(int32_t group, int32_t& pos);
  bool PushFailurePoint(TBacktrackKind kind, int32_t a, int32_t b, int32_t c = 0);
  bool SetSlot(int32_t slot, int32_t pos);
  bool Backtrack(int32_t& pc, int32_t& pos);

  const TReProg& prog_;
  const TChar* text_;
  int32_t length_;
  int64_t budget_;             // steps left for the whole search
  bool overflow_ = false;      // a limit of the backtracking stack was reached
  int32_t failurePoints_ = 0;  // kResume and kGiveBack entries on the stack
  std::vector<TBacktrack>& stack_;
  std::vector<int32_t>& slots_;
};

TReMatcher::TReMatcher(const TReProg& prog, std::u32string_view text, int32_t start)
    : prog_(prog),
      text_(text.data()),
      length_(static_cast<int32_t>(
          std::min<size_t>(text.size(), std::numeric_limits<int32_t>::max() - 1))),
      budget_(kReStepBudget + kReStepsPerByte * std::max<int64_t>(0, length_ - start)),
      stack_(tScratch.stack),
      slots_(tScratch.slots) {}

int32_t TReMatcher::Search(int32_t start, int32_t& matchEnd) {
  if (start < 0 || start > length_) return kReNoMatch;
  for (int32_t pos = start; pos <= length_; ++pos) {
    if (!prog_.canBeNull) {
      while (pos < length_ && !prog_.fastmap.Contains(Translate(At(pos)))) ++pos;
      if (pos == length_) return kReNoMatch;  // only an empty match could begin at the end
    }
    int32_t end = Match(pos);
    if (end >= 0) {
      matchEnd = end;
      return pos;
    }
    if (end == kReFailure) return kReFailure;
  }
  return kReNoMatch;
}

int32_t TReMatcher::Match(int32_t start) {
  stack_.clear();
  failurePoints_ = 0;
  slots_.assign(static_cast<size_t>(prog_.slotCount), -1);
  int32_t pc = 0;
  int32_t pos = start;
  for (;;) {
    if (--budget_ < 0) return kReFailure;
    const TReInst& inst = prog_.inst[static_cast<size_t>(pc)];
    if (inst.op == TReOp::kMatch) return pos;
    bool ok = Run(inst, pc, pos);
    if (overflow_) return kReFailure;
    if (ok) {
      pc = (inst.op == TReOp::kJump || inst.op == TReOp::kLoop) ? inst.arg : pc + 1;
    } else if (!Backtrack(pc, pos)) {
      return kReNoMatch;
    }
  }
}

// Executes one instruction other than kMatch; advances pos as it consumes. False: fail here.
bool TReMatcher::Run(const TReInst& inst, int32_t pc, int32_t& pos) {
  switch (inst.op) {
    case TReOp::kChar:
    case TReOp::kAnyChar:
    case TReOp::kSet:
    case TReOp::kRawSet:
      if (pos >= length_ || !Test(inst.op, inst.arg, At(pos))) return false;
      ++pos;
      return true;
    case TReOp::kRepeat:
      return RunRepeat(inst, pc, pos);
    case TReOp::kSplit:
      return PushFailurePoint(TBacktrackKind::kResume, inst.arg, pos);
    case TReOp::kLoop:
      return PushFailurePoint(TBacktrackKind::kResume, pc + 1, pos);
    case TReOp::kJump:
      return true;
    case TReOp::kSave:
    case TReOp::kMark:
      return SetSlot(inst.arg, pos);
    case TReOp::kProgress:
      return slots_[static_cast<size_t>(inst.arg)] != pos;
    case TReOp::kBackRef:
      return BackRef(inst.arg, pos);
    case TReOp::kBol:
    case TReOp::kEol:
    case TReOp::kTextStart:
    case TReOp::kTextEnd:
    case TReOp::kWordBoundary:
    case TReOp::kNotWordBoundary:
    case TReOp::kWordStart:
    case TReOp::kWordEnd:
      return Assert(inst.op, pos);
    default:
      RaiseInternalRegExpError();
  }
}

// The longest run first; the failure point gives back one character at a time.
bool TReMatcher::RunRepeat(const TReInst& inst, int32_t pc, int32_t& pos) {
  int32_t limit = length_ - pos;
  if (inst.max != kReInfinite) limit = std::min(limit, inst.max);
  int32_t count = 0;
  while (count < limit && Test(inst.test, inst.arg, At(pos + count))) ++count;
  budget_ -= count;
  count = Fit(inst, pos, count);
  if (count < inst.min) return false;
  if (count > inst.min && !PushFailurePoint(TBacktrackKind::kGiveBack, pc, pos, count))
    return false;
  pos += count;
  return true;
}

// The longest run of at most count characters after which the rest of the pattern can go on
// (its follow set holds the next character); below the minimum when there is none.
int32_t TReMatcher::Fit(const TReInst& inst, int32_t start, int32_t count) {
  if (inst.follow < 0) return count;
  const TReFirstChars& follow = prog_.follows[static_cast<size_t>(inst.follow)];
  int32_t fitted = count;
  while (fitted >= inst.min &&
         (start + fitted >= length_ || !follow.Contains(Translate(At(start + fitted)))))
    --fitted;
  budget_ -= count - fitted;
  return fitted;
}

bool TReMatcher::Test(TReOp test, int32_t arg, TChar c) const {
  switch (test) {
    case TReOp::kChar:
      return Translate(c) == static_cast<TChar>(arg);
    case TReOp::kAnyChar:
      return c != 0;
    case TReOp::kSet:
    case TReOp::kRawSet:
      return prog_.sets[static_cast<size_t>(arg)].Accepts(c, prog_.chars);
    default:
      RaiseInternalRegExpError();
  }
}

// The zero-width tests. As in the design this follows, the start and the end of the text count
// as word boundaries whatever is next to them.
bool TReMatcher::Assert(TReOp op, int32_t pos) const {
  switch (op) {
    case TReOp::kBol:
      return pos == 0 || At(pos - 1) == '\n';
    case TReOp::kEol:
      return pos == length_ || At(pos) == '\n';
    case TReOp::kTextStart:
      return pos == 0;
    case TReOp::kTextEnd:
      return pos == length_;
    case TReOp::kWordBoundary:
      return pos == 0 || pos == length_ || IsWord(pos - 1) != IsWord(pos);
    case TReOp::kNotWordBoundary:
      return !(pos == 0 || pos == length_ || IsWord(pos - 1) != IsWord(pos));
    case TReOp::kWordStart:
      return IsWord(pos) && (pos == 0 || !IsWord(pos - 1));
    case TReOp::kWordEnd:
      return pos > 0 && IsWord(pos - 1) && !IsWord(pos);
    default:
      RaiseInternalRegExpError();
  }
}

// The text of a group that has not matched yet matches nothing.
bool TReMatcher::BackRef(int32_t group, int32_t& pos) {
  int32_t from = slots_[static_cast<size_t>(GroupStartSlot(group))];
  int32_t to = slots_[static_cast<size_t>(GroupEndSlot(group))];
  if (from < 0 || to < from) return false;
  int32_t count = to - from;
  if (count > length_ - pos) return false;
  budget_ -= count;
  for (int32_t i = 0; i < count; ++i)
    if (Translate(At(from + i)) != Translate(At(pos + i))) return false;
  pos += count;
  return true;
}

bool TReMatcher::PushFailurePoint(TBacktrackKind kind, int32_t a, int32_t b, int32_t c) {
  if (failurePoints_ >= kReMaxFailurePoints || stack_.size() >= kReMaxBacktrackEntries) {
    overflow_ = true;
    return false;
  }
  stack_.push_back({kind, a, b, c});
  ++failurePoints_;
  return true;
}

// Sets a slot; while a failure point could bring the old value back, the old value is saved.
bool TReMatcher::SetSlot(int32_t slot, int32_t pos) {
  int32_t& value = slots_[static_cast<size_t>(slot)];
  if (value == pos) return true;
  if (failurePoints_ > 0) {
    if (stack_.size() >= kReMaxBacktrackEntries) {
      overflow_ = true;
      return false;
    }
    stack_.push_back({TBacktrackKind::kRestore, slot, value, 0});
  }
  value = pos;
  return true;
}

// Unwinds to the latest failure point and resumes there; false when there is none.
bool TReMatcher::Backtrack(int32_t& pc, int32_t& pos) {
  while (!stack_.empty()) {
    TBacktrack& top = stack_.back();
    switch (top.kind) {
      case TBacktrackKind::kRestore:
        slots_[static_cast<size_t>(top.a)] = top.b;
        stack_.pop_back();
        break;
      case TBacktrackKind::kResume:
        pc = top.a;
        pos = top.b;
        stack_.pop_back();
        --failurePoints_;
        return true;
      case TBacktrackKind::kGiveBack: {
        const TReInst& inst = prog_.inst[static_cast<size_t>(top.a)];
        int32_t count = Fit(inst, top.b, top.c - 1);
        pc = top.a + 1;
        pos = top.b + count;
        top.c = count;
        if (count <= inst.min) {
          stack_.pop_back();
          --failurePoints_;
          if (count < inst.min) break;  // no shorter run fits: unwind further
        }
        return true;
      }
    }
  }
  return false;
}

}  // namespace

int32_t MatchRegExpAt(const TReProg& prog, std::u32string_view text, int32_t start) {
  TReMatcher matcher(prog, text, start);
  if (start < 0 || start > static_cast<int64_t>(text.size())) return kReNoMatch;
  return matcher.Match(start);
}

int32_t SearchRegExp(const TReProg& prog, std::u32string_view text, int32_t start,
                     int32_t& matchEnd) {
  return TReMatcher(prog, text, start).Search(start, matchEnd);
}

}  // namespace quenterra
