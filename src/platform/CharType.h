// The character-type flags of a code page's bytes, as the language tables classify them and the
// regular-expression engine's named classes read them. They follow Windows' CT_CTYPE1 as closely
// as Unicode allows; a byte may carry several.
#pragma once

#include <cstdint>

namespace quenterra {

inline constexpr uint8_t kCtSpace = 1;
inline constexpr uint8_t kCtDigit = 2;
inline constexpr uint8_t kCtUpper = 4;
inline constexpr uint8_t kCtLower = 8;
inline constexpr uint8_t kCtHexDigit = 16;
inline constexpr uint8_t kCtControl = 32;
inline constexpr uint8_t kCtPunct = 64;
inline constexpr uint8_t kCtBlank = 128;

}  // namespace quenterra
