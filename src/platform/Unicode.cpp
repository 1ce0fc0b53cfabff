#include "platform/Unicode.h"

#include <unicode/uchar.h>

#include <array>
#include <atomic>
#include <memory>
#include <mutex>

#include "platform/CharType.h"

namespace quenterra::unicode {

namespace {

constexpr char32_t kBmpEnd = 0x10000;

bool IsPunctuationOrSymbol(int8_t category) {
  switch (category) {
    case U_DASH_PUNCTUATION:
    case U_START_PUNCTUATION:
    case U_END_PUNCTUATION:
    case U_CONNECTOR_PUNCTUATION:
    case U_OTHER_PUNCTUATION:
    case U_INITIAL_PUNCTUATION:
    case U_FINAL_PUNCTUATION:
    case U_MATH_SYMBOL:
    case U_CURRENCY_SYMBOL:
    case U_MODIFIER_SYMBOL:
    case U_OTHER_SYMBOL:
    // Windows counts superscript digits and fractions, and the soft hyphen, as punctuation
    // rather than as digits or controls; so do we.
    case U_OTHER_NUMBER:
    case U_FORMAT_CHAR:
      return true;
    default:
      return false;
  }
}

bool IsUncasedLetterOrMark(int8_t category) {
  switch (category) {
    case U_OTHER_LETTER:
    case U_MODIFIER_LETTER:
    case U_NON_SPACING_MARK:
    case U_COMBINING_SPACING_MARK:
    case U_ENCLOSING_MARK:
      return true;
    default:
      return false;
  }
}

bool IsCodePoint(char32_t c) { return c <= 0x10FFFF && !(c >= 0xD800 && c <= 0xDFFF); }

uint8_t Classify(char32_t character) {
  if (!IsCodePoint(character)) return 0;
  const auto c = static_cast<UChar32>(character);
  const int8_t category = u_charType(c);
  unsigned flags = 0;
  const bool upper = u_hasBinaryProperty(c, UCHAR_UPPERCASE) || category == U_TITLECASE_LETTER;
  const bool lower = u_hasBinaryProperty(c, UCHAR_LOWERCASE);
  if (upper) flags |= kCtUpper;
  if (lower) flags |= kCtLower;
  if (!upper && !lower && IsUncasedLetterOrMark(category)) flags |= kCtUpper | kCtLower;
  if (category == U_DECIMAL_DIGIT_NUMBER) flags |= kCtDigit;
  if (u_isxdigit(c)) flags |= kCtHexDigit;
  if (category == U_CONTROL_CHAR) flags |= kCtControl;
  if (u_isUWhiteSpace(c)) flags |= kCtSpace;
  if (u_isblank(c)) flags |= kCtBlank;
  if (IsPunctuationOrSymbol(category)) flags |= kCtPunct;
  return static_cast<uint8_t>(flags);
}

char32_t SimpleFold(char32_t c) {
  return IsCodePoint(c) ? static_cast<char32_t>(u_foldCase(static_cast<UChar32>(c), 0)) : c;
}

// The answers for the Basic Multilingual Plane (every code point there folds into it as well),
// by pages of 256 code points, each worked out the first time one of its code points is asked
// about: a run that meets a few scripts does not wait at its start for all of them.
struct TBmpPage {
  uint8_t type[256];
  char16_t fold[256];
};

constexpr size_t kBmpPages = kBmpEnd / 256;

const TBmpPage& BmpPage(char32_t c) {
  static std::array<std::atomic<const TBmpPage*>, kBmpPages> pages{};
  static std::array<std::unique_ptr<TBmpPage>, kBmpPages> owned;  // for the program's life
  static std::mutex filling;
  std::atomic<const TBmpPage*>& slot = pages[c >> 8];
  if (const TBmpPage* page = slot.load(std::memory_order_acquire)) return *page;
  std::lock_guard<std::mutex> lock(filling);
  if (const TBmpPage* page = slot.load(std::memory_order_relaxed)) return *page;
  auto page = std::make_unique<TBmpPage>();
  const char32_t first = c & ~char32_t{0xFF};
  for (char32_t i = 0; i < 256; ++i) {
    page->type[i] = Classify(first + i);
    page->fold[i] = static_cast<char16_t>(SimpleFold(first + i));
  }
  owned[c >> 8] = std::move(page);
  slot.store(owned[c >> 8].get(), std::memory_order_release);
  return *owned[c >> 8];
}

}  // namespace

uint8_t CharType(char32_t c) {
  if (c < kBmpEnd) return BmpPage(c).type[c & 0xFF];
  return Classify(c);
}

char32_t Fold(char32_t c, bool turkic) {
  if (turkic) {
    if (c == U'I') return U'\u0131';
    if (c == U'\u0130') return U'i';
  }
  if (c < kBmpEnd) return BmpPage(c).fold[c & 0xFF];
  return SimpleFold(c);
}

char32_t Upper(char32_t c, bool turkic) {
  if (turkic && c == U'i') return U'\u0130';
  return IsCodePoint(c) ? static_cast<char32_t>(u_toupper(static_cast<UChar32>(c))) : c;
}

}  // namespace quenterra::unicode
