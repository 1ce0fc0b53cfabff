#include "regexp/RegExpParse.h"

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <string>
#include <utility>

namespace quenterra {

namespace {

constexpr size_t kMaxClassNameLength = 6;  // "xdigit"

struct TClassName {
  const char* name;
  TReClass cls;
};

constexpr TClassName kClassNames[] = {
    {"alnum", TReClass::kAlnum}, {"alpha", TReClass::kAlpha}, {"blank", TReClass::kBlank},
    {"cntrl", TReClass::kCntrl}, {"digit", TReClass::kDigit}, {"graph", TReClass::kGraph},
    {"lower", TReClass::kLower}, {"print", TReClass::kPrint}, {"punct", TReClass::kPunct},
    {"space", TReClass::kSpace}, {"upper", TReClass::kUpper}, {"xdigit", TReClass::kXdigit}};

const TClassName* FindClass(const std::u32string& name) {
  for (const TClassName& entry : kClassNames)
    if (std::equal(name.begin(), name.end(), entry.name, entry.name + std::strlen(entry.name)))
      return &entry;
  return nullptr;
}

// One open group while parsing (the whole pattern is the outermost): the alternatives finished
// so far and the items of the current one.
struct TFrame {
  int32_t group = 0;  // 0 for the whole pattern
  std::vector<int32_t> alternatives;
  std::vector<int32_t> items;
  int32_t lastStart = -1;  // first item a repetition applies to; -1 when none
};

class TReParser {
 public:
  TReParser(std::string_view pattern, const TReTables& tables)
      : chars_(TReChars::From(tables)),
        pattern_(chars_.Utf8() ? chars_.unicode->Coding().Decode(pattern)
                               : TCharCoding().Decode(pattern)) {}

  TReSyntaxTree Parse();

 private:
  bool AtEnd() const { return pos_ >= pattern_.size(); }
  // The character `ahead` places after the current one; 0 past the end (the terminator).
  TChar Peek(size_t ahead = 0) const {
    return pos_ + ahead < pattern_.size() ? pattern_[pos_ + ahead] : 0;
  }
  TChar Next() { return pattern_[pos_++]; }
  TFrame& Top() { return frames_.back(); }

  int32_t AddNode(TReNodeKind kind, int32_t value = 0);
  int32_t AddParent(TReNodeKind kind, const std::vector<int32_t>& kids, size_t first);
  int32_t AddSet(TReNodeKind kind, TReSet set);
  void AddItem(int32_t node);
  void AddAssertion(TReOp op);
  void AddLiteral(TChar c) {
    AddItem(AddNode(TReNodeKind::kLiteral, static_cast<int32_t>(Translate(c))));
  }
  TChar Translate(TChar c) const { return chars_.Translate(c); }

  void ParseOne(TChar c);
  void OpenGroup();
  void CloseGroup();
  void NextAlternative();
  int32_t Sequence(TFrame& frame, size_t first);
  int32_t FinishFrame(TFrame& frame);
  void Repetition(TChar c);
  bool Interval();
  void Repeat(int32_t min, int32_t max);
  int32_t ReadNumber();
  void Bracket();
  void AddRange(TReSet& set, TChar first, TChar last) const;
  bool NamedClass(TReSet& set);
  void AddClass(TReSet& set, TReClass cls) const;
  void Complement(TReSet& set) const;
  void Escape();
  void BackReference(TChar digit);
  void AddWordClass(uint8_t bit, bool negate);
  bool GroupIsOpen(int32_t group) const;

  TReChars chars_;
  std::u32string pattern_;
  size_t pos_ = 0;
  std::vector<TFrame> frames_;
  TReSyntaxTree tree_;
};

TReSyntaxTree TReParser::Parse() {
  frames_.emplace_back();
  while (!AtEnd()) ParseOne(Next());
  if (frames_.size() > 1) RaiseRegExpError(TReError::kUnmatchedParen);
  tree_.root = FinishFrame(frames_.front());
  return std::move(tree_);
}

void TReParser::ParseOne(TChar c) {
  switch (c) {
    case '(':
      OpenGroup();
      break;
    case ')':
      if (frames_.size() > 1)
        CloseGroup();
      else
        AddLiteral(c);
      break;
    case '|':
      NextAlternative();
      break;
    case '*':
    case '+':
    case '?':
      Repetition(c);
      break;
    case '{':
      if (!Interval()) AddLiteral(c);
      break;
    case '^':
      AddAssertion(TReOp::kBol);
      break;
    case '$':
      AddAssertion(TReOp::kEol);
      break;
    case '.':
      AddItem(AddNode(TReNodeKind::kAnyChar));
      break;
    case '[':
      Bracket();
      break;
    case '\\':
      Escape();
      break;
    default:
      AddLiteral(c);
  }
}

int32_t TReParser::AddNode(TReNodeKind kind, int32_t value) {
  TReNode node;
  node.kind = kind;
  node.value = value;
  tree_.nodes.push_back(node);
  return static_cast<int32_t>(tree_.nodes.size() - 1);
}

// A node over kids[first..]; the children exist already, so the parent comes after them.
int32_t TReParser::AddParent(TReNodeKind kind, const std::vector<int32_t>& kids, size_t first) {
  TReNode node;
  node.kind = kind;
  node.firstChild = static_cast<int32_t>(tree_.children.size());
  node.childCount = static_cast<int32_t>(kids.size() - first);
  tree_.children.insert(tree_.children.end(), kids.begin() + static_cast<std::ptrdiff_t>(first),
                        kids.end());
  tree_.nodes.push_back(node);
  return static_cast<int32_t>(tree_.nodes.size() - 1);
}

int32_t TReParser::AddSet(TReNodeKind kind, TReSet set) {
  set.raw = kind == TReNodeKind::kRawSet;
  tree_.sets.push_back(std::move(set));
  return AddNode(kind, static_cast<int32_t>(tree_.sets.size() - 1));
}

// An item that a following repetition applies to.
void TReParser::AddItem(int32_t node) {
  Top().lastStart = static_cast<int32_t>(Top().items.size());
  Top().items.push_back(node);
}

void TReParser::AddAssertion(TReOp op) {
  Top().items.push_back(AddNode(TReNodeKind::kAssertion, static_cast<int32_t>(op)));
}

void TReParser::OpenGroup() {
  TFrame frame;
  frame.group = ++tree_.groupCount;
  frames_.push_back(std::move(frame));
}

void TReParser::CloseGroup() {
  int32_t body = FinishFrame(Top());
  int32_t group = Top().group;
  frames_.pop_back();
  std::vector<int32_t> kids{body};
  int32_t node = AddParent(TReNodeKind::kGroup, kids, 0);
  tree_.nodes[static_cast<size_t>(node)].value = group;
  AddItem(node);
}

void TReParser::NextAlternative() {
  TFrame& frame = Top();
  frame.alternatives.push_back(Sequence(frame, 0));
  frame.items.clear();
  frame.lastStart = -1;
}

// The items from `first` on as one node: empty, the item itself, or their concatenation.
int32_t TReParser::Sequence(TFrame& frame, size_t first) {
  size_t count = frame.items.size() - first;
  if (count == 0) return AddNode(TReNodeKind::kEmpty);
  if (count == 1) return frame.items[first];
  return AddParent(TReNodeKind::kConcat, frame.items, first);
}

int32_t TReParser::FinishFrame(TFrame& frame) {
  frame.alternatives.push_back(Sequence(frame, 0));
  if (frame.alternatives.size() == 1) return frame.alternatives.front();
  return AddParent(TReNodeKind::kAlternate, frame.alternatives, 0);
}

// '*', '+' and '?', and any run of them that follows: zero times is allowed unless all are '+',
// many times unless all are '?'.
void TReParser::Repetition(TChar c) {
  bool zeroOk = false;
  bool manyOk = false;
  for (;;) {
    zeroOk |= c != '+';
    manyOk |= c != '?';
    TChar next = Peek();
    if (AtEnd() || (next != '*' && next != '+' && next != '?')) break;
    c = Next();
  }
  Repeat(zeroOk ? 0 : 1, manyOk ? kReInfinite : 1);
}

// After '{': a well-formed interval is consumed and applied; otherwise nothing is consumed and
// the caller takes the '{' as an ordinary character.
bool TReParser::Interval() {
  size_t start = pos_;
  int32_t min = ReadNumber();
  int32_t max = min;
  if (Peek() == ',' && !AtEnd()) {
    Next();
    max = ReadNumber();
    if (max < 0) max = kReInfinite;
  }
  bool valid = min >= 0 && min <= kReDupMax && max <= kReDupMax &&
               (max == kReInfinite || min <= max) && Peek() == '}' && !AtEnd();
  if (!valid) {
    pos_ = start;
    return false;
  }
  Next();
  Repeat(min, max);
  return true;
}

// Decimal digits: their value (kReDupMax + 1 when larger), or -1 when there are none.
int32_t TReParser::ReadNumber() {
  int32_t value = -1;
  while (!AtEnd() && Peek() >= '0' && Peek() <= '9') {
    auto digit = static_cast<int32_t>(Next() - '0');
    value = value < 0 ? digit : value * 10 + digit;
    if (value > kReDupMax) value = kReDupMax + 1;
  }
  return value;
}

// Applies a repetition to the items from the last repeatable one on; with none it is ignored.
void TReParser::Repeat(int32_t min, int32_t max) {
  TFrame& frame = Top();
  if (frame.lastStart < 0) return;
  size_t first = static_cast<size_t>(frame.lastStart);
  std::vector<int32_t> kids{Sequence(frame, first)};
  int32_t node = AddParent(TReNodeKind::kRepeat, kids, 0);
  tree_.nodes[static_cast<size_t>(node)].min = min;
  tree_.nodes[static_cast<size_t>(node)].max = max;
  frame.items.resize(first);
  frame.items.push_back(node);
}

// After '[': the members up to the closing ']' (a ']' first in the list is a member). A '-'
// between two members makes a range of the character values from the one before it to the one
// after it; first in the list, last in the list, or right after a named class it is an ordinary
// member (after a class followed by anything but ']' it is an error).
void TReParser::Bracket() {
  if (AtEnd()) RaiseRegExpError(TReError::kUnmatchedBracket);
  bool negate = Peek() == '^';
  if (negate) Next();
  const size_t listStart = pos_;
  TReSet set;
  bool afterClass = false;
  for (;;) {
    if (AtEnd()) RaiseRegExpError(TReError::kUnmatchedBracket);
    TChar c = Next();
    if (c == ']' && pos_ != listStart + 1) break;
    if (afterClass && c == '-' && Peek() != ']') RaiseRegExpError(TReError::kBadRangeEnd);
    if (c == '-' && pos_ != listStart + 1 && Peek() != ']') {
      if (AtEnd()) RaiseRegExpError(TReError::kBadRangeEnd);
      TChar first = pattern_[pos_ - 2];  // the character before the '-'
      AddRange(set, first, Next());
      afterClass = false;
    } else if (Peek() == '-' && Peek(1) != ']') {
      Next();
      if (AtEnd()) RaiseRegExpError(TReError::kBadRangeEnd);
      AddRange(set, c, Next());
      afterClass = false;
    } else if (c == '[' && Peek() == ':') {
      afterClass = NamedClass(set);
    } else {
      set.chars.Add(Translate(c));
      afterClass = false;
    }
  }
  if (negate) Complement(set);
  AddItem(AddSet(TReNodeKind::kSet, std::move(set)));
}

// A code page's complement is listed; UTF-8 keeps it as a test.
void TReParser::Complement(TReSet& set) const {
  if (chars_.Utf8()) {
    set.negated = true;
    return;
  }
  TCharSet complement;
  for (TChar b = 0; b < 256; ++b)
    if (!set.chars.Contains(b)) complement.Add(b);
  set.chars = complement;
}

void TReParser::AddRange(TReSet& set, TChar first, TChar last) const {
  if (first > last) RaiseRegExpError(TReError::kBadRangeEnd);
  if (last - first >= kReMaxListedRange) {
    set.ranges.emplace_back(first, last);  // only UTF-8 has ranges this wide
    return;
  }
  for (TChar c = first; c <= last; ++c) set.chars.Add(Translate(c));
}

// At "[:" inside a bracket. "[:name:]" adds the class (an unknown name is an error) and returns
// true; anything else adds '[' and ':' and continues after the ':'.
bool TReParser::NamedClass(TReSet& set) {
  const size_t colon = pos_;
  Next();
  if (AtEnd()) RaiseRegExpError(TReError::kUnmatchedBracket);
  std::u32string name;
  TChar c = 0;
  for (;;) {
    c = Next();
    if (c == ':' || c == ']' || AtEnd() || name.size() == kMaxClassNameLength) break;
    name += c;
  }
  if (c != ':' || Peek() != ']') {
    pos_ = colon + 1;
    set.chars.Add(Translate('['));
    set.chars.Add(Translate(':'));
    return false;
  }
  const TClassName* found = FindClass(name);
  if (found == nullptr) RaiseRegExpError(TReError::kBadClassName);
  Next();  // the ']' of ":]"
  if (AtEnd()) RaiseRegExpError(TReError::kUnmatchedBracket);
  AddClass(set, found->cls);
  return true;
}

void TReParser::AddClass(TReSet& set, TReClass cls) const {
  if (chars_.Utf8()) {
    const bool cased = cls == TReClass::kUpper || cls == TReClass::kLower;
    if (cased && chars_.unicode->IgnoresCase()) cls = TReClass::kCased;
    set.classes = static_cast<uint16_t>(set.classes | (1u << static_cast<unsigned>(cls)));
    return;
  }
  for (TChar b = 0; b < 256; ++b)
    if (InReClass(cls, b, chars_.charType[b])) set.chars.Add(Translate(b));
}

void TReParser::Escape() {
  if (AtEnd()) RaiseRegExpError(TReError::kTrailingBackslash);
  TChar c = Next();
  switch (c) {
    case '1':
    case '2':
    case '3':
    case '4':
    case '5':
    case '6':
    case '7':
    case '8':
    case '9':
      BackReference(c);
      break;
    case 'w':
      AddWordClass(kReWord, false);
      break;
    case 'W':
      AddWordClass(kReWord, true);
      break;
    case 's':
      AddWordClass(kReSpace, false);
      break;
    case 'S':
      AddWordClass(kReSpace, true);
      break;
    case 'd':
      AddWordClass(kReDigit, false);
      break;
    case 'D':
      AddWordClass(kReDigit, true);
      break;
    case 'b':
      AddAssertion(TReOp::kWordBoundary);
      break;
    case 'B':
      AddAssertion(TReOp::kNotWordBoundary);
      break;
    case '<':
      AddAssertion(TReOp::kWordStart);
      break;
    case '>':
      AddAssertion(TReOp::kWordEnd);
      break;
    case '`':
      AddAssertion(TReOp::kTextStart);
      break;
    case '\'':
      AddAssertion(TReOp::kTextEnd);
      break;
    default:
      AddLiteral(c);
  }
}

void TReParser::BackReference(TChar digit) {
  auto group = static_cast<int32_t>(digit - '0');
  if (group > tree_.groupCount) RaiseRegExpError(TReError::kBadBackReference);
  if (GroupIsOpen(group)) {
    AddLiteral(digit);
    return;
  }
  tree_.referencedGroups |= 1u << group;
  AddItem(AddNode(TReNodeKind::kBackRef, group));
}

void TReParser::AddWordClass(uint8_t bit, bool negate) {
  TReSet set;
  if (chars_.Utf8()) {
    set.wordBits = bit;
    set.negated = negate;
  } else {
    for (TChar b = 0; b < 256; ++b)
      if (((chars_.wordClass[b] & bit) != 0) != negate) set.chars.Add(b);
  }
  AddItem(AddSet(TReNodeKind::kRawSet, std::move(set)));
}

bool TReParser::GroupIsOpen(int32_t group) const {
  // Groups are numbered in the order they open, so the open ones are increasing up the stack
  // and only the first few frames can hold a group numbered 1..9.
  for (const TFrame& frame : frames_) {
    if (frame.group == group) return true;
    if (frame.group > group) break;
  }
  return false;
}

}  // namespace

TReSyntaxTree ParseRegExp(std::string_view pattern, const TReTables& tables) {
  return TReParser(pattern, tables).Parse();
}

}  // namespace quenterra
