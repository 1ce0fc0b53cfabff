#include "regexp/RegExp3.h"

#include <algorithm>
#include <new>

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
  std::array<bool, 256> widened = prog.fastmap;
  for (int b = 0; b < 256; ++b) {
    unsigned char other = otherCase[static_cast<size_t>(b)];
    if (prog.fastmap[static_cast<size_t>(b)] && other != 0) widened[other] = true;
  }
  prog.fastmap = widened;
}

}  // namespace

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
  int32_t end = 0;
  int32_t begin = SearchRegExp(*prog_, ZeroTerminated(text), start, end);
  if (begin < 0 || end == begin) return std::nullopt;
  return TMatch{begin, end};
}

// Only a match that begins at the first byte can qualify, and a search from there tries that
// position first, so one anchored attempt gives the answer (a limit reached later in the text
// would turn the search into no match anyway).
bool TRegExp::MatchesWhole(std::string_view text) const {
  text = ZeroTerminated(text);
  if (text.empty()) return false;
  if (!prog_->canBeNull && !prog_->fastmap[prog_->translate[static_cast<unsigned char>(text[0])]])
    return false;
  return MatchRegExpAt(*prog_, text, 0) == static_cast<int32_t>(text.size());
}

}  // namespace quenterra
