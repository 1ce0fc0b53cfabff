#include "regexp/RegExp3.h"

#include <algorithm>
#include <bitset>
#include <new>
#include <vector>

#include "platform/CharType.h"
#include "regexp/RegExpCompile.h"
#include "regexp/RegExpMatch.h"
#include "regexp/RegExpParse.h"
#include "regexp/RegExpProg.h"

namespace quenterra {

namespace {

// The engine's messages, in the order of TReError.
constexpr const char* kMessages[] = {
    "Success",
    "No match",
    "Invalid regular expression",
    "Invalid collation character",
    "Invalid character class name",
    "Trailing backslash",
    "Invalid back reference",
    "Unmatched [ or [^",
    "Unmatched ( or \\(",
    "Unmatched \\{",
    "Invalid content of \\{\\}",
    "Invalid range end",
    "Memory exhausted",
    "Invalid preceding regular expression",
    "Premature end of regular expression",
    "Regular expression too big",
    "Unmatched ) or \\)",
};

static_assert(std::size(kMessages) == static_cast<size_t>(TReError::kUnmatchedCloseParen) + 1);

// Up to the first zero byte.
std::string_view ZeroTerminated(std::string_view text) {
  return text.substr(0, std::min(text.find('\0'), text.size()));
}

void WidenToOtherCase(TReProg& prog, const std::array<uint8_t, 256>& otherCase) {
  std::bitset<256> widened = prog.fastmap.low;
  for (size_t b = 0; b < 256; ++b) {
    unsigned char other = otherCase[b];
    if (prog.fastmap.low[b] && other != 0) widened.set(other);
  }
  prog.fastmap.low = widened;
}

// The characters of text (up to its first zero byte) into `out`; with `offsets`, also the byte
// offset where each begins, and the text's length after the last. Reuses the buffers it is given.
void Decode(const TReChars& chars, std::string_view text, std::u32string& out,
            std::vector<int32_t>* offsets) {
  text = ZeroTerminated(text);
  out.clear();
  if (offsets != nullptr) offsets->clear();
  if (!chars.Utf8()) {
    out.resize(text.size());  // no allocation once the buffer has grown
    const auto* from = reinterpret_cast<const unsigned char*>(text.data());
    std::copy(from, from + text.size(), out.data());
    if (offsets != nullptr)
      for (size_t i = 0; i <= text.size(); ++i) offsets->push_back(static_cast<int32_t>(i));
    return;
  }
  const TCharCoding& coding = chars.unicode->Coding();
  for (size_t pos = 0; pos < text.size();) {
    if (offsets != nullptr) offsets->push_back(static_cast<int32_t>(pos));
    out += coding.Next(text, pos);
  }
  if (offsets != nullptr) offsets->push_back(static_cast<int32_t>(text.size()));
}

// Reused between calls on one thread, so that matching a token allocates nothing.
thread_local std::u32string tText;
thread_local std::vector<int32_t> tOffsets;

bool InCased(uint8_t type) { return (type & (kCtUpper | kCtLower)) != 0; }

}  // namespace

bool InReClass(TReClass cls, TChar c, uint8_t type) {
  switch (cls) {
    case TReClass::kAlnum:
      return (type & (kCtDigit | kCtUpper | kCtLower)) != 0;
    case TReClass::kAlpha:
    case TReClass::kCased:
      return InCased(type);
    case TReClass::kBlank:
      return c == ' ' || c == '\t';
    case TReClass::kCntrl:
      return (type & kCtControl) != 0;
    case TReClass::kDigit:
      return (type & kCtDigit) != 0;
    case TReClass::kGraph:
      return type != 0 && (type & (kCtControl | kCtSpace)) == 0;
    case TReClass::kLower:
      return (type & kCtLower) != 0;
    case TReClass::kPrint:
      return type != 0 && (type & kCtControl) == 0;
    case TReClass::kPunct:
      return (type & kCtPunct) != 0;
    case TReClass::kSpace:
      return (type & kCtSpace) != 0;
    case TReClass::kUpper:
      return (type & kCtUpper) != 0;
    case TReClass::kXdigit:
      return (type & kCtHexDigit) != 0;
  }
  return false;
}

bool TReSet::Decide(TChar c, const TReChars& tables) const {
  const TChar t = raw ? c : tables.Translate(c);
  bool in = chars.Contains(t) || (raw && (tables.Word(c) & wordBits) != 0);
  for (const auto& [first, last] : ranges)
    in = in || (c >= first && c <= last) || (t >= first && t <= last);
  for (unsigned cls = 0; !in && (classes >> cls) != 0; ++cls) {
    if (((classes >> cls) & 1u) == 0) continue;
    const auto named = static_cast<TReClass>(cls);
    in = InReClass(named, c, tables.Type(c)) || InReClass(named, t, tables.Type(t));
  }
  return in != negated;
}

TReChars TReChars::From(const TReTables& tables) {
  TReChars chars;
  chars.unicode = tables.unicode;
  for (TChar c = 0; c < 256; ++c) {
    if (tables.unicode == nullptr) {
      chars.translate[c] = tables.translate[c];
      chars.charType[c] = tables.charType[c];
      chars.wordClass[c] = tables.wordClass[c];
    } else {
      chars.translate[c] = tables.unicode->Translate(c);
      chars.charType[c] = tables.unicode->CharType(c);
      chars.wordClass[c] = tables.unicode->WordClass(c);
    }
  }
  return chars;
}

const char* RegExpErrorMessage(TReError code) { return kMessages[static_cast<size_t>(code)]; }

void RaiseRegExpError(TReError code) { throw ERegExp(RegExpErrorMessage(code)); }

void RaiseInternalRegExpError() { throw ERegExp("Internal regexp error."); }

TRegExp::TRegExp(std::string_view pattern, const TReTables& tables)
    : pattern_(ZeroTerminated(pattern)) {
  try {
    prog_ = std::make_unique<TReProg>(CompileRegExp(ParseRegExp(pattern_, tables), tables));
  } catch (const std::bad_alloc&) {
    RaiseRegExpError(TReError::kOutOfMemory);
  }
  WidenToOtherCase(*prog_, tables.otherCase);
}

TRegExp::~TRegExp() = default;
TRegExp::TRegExp(TRegExp&&) noexcept = default;
TRegExp& TRegExp::operator=(TRegExp&&) noexcept = default;

std::optional<TRegExp::TMatch> TRegExp::Search(std::string_view text, int start) const {
  Decode(prog_->chars, text, tText, &tOffsets);
  // The first character that begins at or after `start`; outside the text there is none.
  int32_t from = start < 0 || start > tOffsets.back() ? -1 : 0;
  while (from >= 0 && tOffsets[static_cast<size_t>(from)] < start) ++from;
  int32_t end = 0;
  int32_t begin = SearchRegExp(*prog_, tText, from, end);
  if (begin < 0 || end == begin) return std::nullopt;
  return TMatch{tOffsets[static_cast<size_t>(begin)], tOffsets[static_cast<size_t>(end)]};
}

// Only a match that begins at the first character can qualify, and a search from there tries
// that position first, so one anchored attempt gives the answer (a limit reached later in the
// text would turn the search into no match anyway).
bool TRegExp::MatchesWhole(std::string_view text) const {
  const TReChars& chars = prog_->chars;
  if (text.empty() || text[0] == '\0') return false;
  if (!prog_->canBeNull) {
    size_t pos = 0;
    const TChar first = chars.Utf8() ? chars.unicode->Coding().Next(text, pos)
                                     : static_cast<unsigned char>(text[0]);
    if (!prog_->fastmap.Contains(chars.Translate(first))) return false;
  }
  Decode(chars, text, tText, nullptr);
  return MatchRegExpAt(*prog_, tText, 0) == static_cast<int32_t>(tText.size());
}

}  // namespace quenterra
