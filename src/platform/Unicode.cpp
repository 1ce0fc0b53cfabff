#include "platform/Unicode.h"

#include <unicode/uchar.h>

#include <memory>

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

// The answers for the Basic Multilingual Plane. Every code point there folds into it as well.
struct TBmpTables {
  std::unique_ptr<uint8_t[]> type{new uint8_t[kBmpEnd]};
  std::unique_ptr<char16_t[]> fold{new char16_t[kBmpEnd]};

  TBmpTables() {
    for (char32_t c = 0; c < kBmpEnd; ++c) {
      type[c] = Classify(c);
      fold[c] = static_cast<char16_t>(SimpleFold(c));
    }
  }
};

const TBmpTables& Bmp() {
  static const TBmpTables tables;
  return tables;
}

}  // namespace

uint8_t CharType(char32_t c) {
  if (c < kBmpEnd) return Bmp().type[c];
  return Classify(c);
}

char32_t Fold(char32_t c, bool turkic) {
  if (turkic) {
    if (c == U'I') return U'\u0131';
    if (c == U'\u0130') return U'i';
  }
  if (c < kBmpEnd) return Bmp().fold[c];
  return SimpleFold(c);
}

char32_t Upper(char32_t c, bool turkic) {
  if (turkic && c == U'i') return U'\u0130';
  return IsCodePoint(c) ? static_cast<char32_t>(u_toupper(static_cast<UChar32>(c))) : c;
}

}  // namespace quenterra::unicode
