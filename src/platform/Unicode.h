// What ICU says about single code points: the character-type flags of platform/CharType.h, simple
// case folding and simple upper case. Code points of the Basic Multilingual Plane are answered
// from tables built once, at the first question (about 2 ms); the rest go to ICU each time. Safe
// to call from several threads.
#pragma once

#include <cstdint>

namespace quenterra::unicode {

// The CT_CTYPE1-like flags of a code point (before any NonWordChars adjustment): upper and lower
// case by the Uppercase and Lowercase properties (titlecase letters count as upper); a letter
// without case or a combining mark is upper and lower both; digits are the decimal digits only,
// so '²' and '½' are punctuation like every other symbol, number or format character (the soft
// hyphen); space is White_Space, blank is tab and the horizontal spaces, control is Cc. Values
// that are no code point (surrogates, above U+10FFFF) have no flags.
uint8_t CharType(char32_t c);

// The simple case folding of a code point (CaseFolding.txt, statuses C and S: 'É' -> 'é',
// 'ς' -> 'σ'; 'ß' stays, since its full folding takes two characters). With turkic, 'I' folds to
// dotless 'ı' and 'İ' to 'i', as Turkish and Azeri spell them.
char32_t Fold(char32_t c, bool turkic);

// The simple upper-case mapping ('ß' stays); with turkic, 'i' becomes 'İ'.
char32_t Upper(char32_t c, bool turkic);

}  // namespace quenterra::unicode
