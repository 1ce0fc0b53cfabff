// The raw facts of a Windows ANSI code page as ICU reports them: what each of the 256 byte values
// stands for, how it classifies and how it changes case. Only the language tables use this
// header; everything else reads the finished tables of corpus/LangTables.h.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace quenterra {

// The Windows ANSI code page of a language (1250..1258, 874, 932, 936, 949, 950); 0 for a
// language whose code page is not known here.
int CodePageOf(uint32_t language);

}  // namespace quenterra

namespace quenterra::codepage {

// DecodeByte's answer for a byte that is no character on its own (a lead byte, an unassigned
// byte, any byte of a code page that cannot be opened).
inline constexpr char32_t kNoChar = 0xFFFD;

// What a code page says about each byte value, read for one language (the language picks the
// code page and the case-mapping rules, e.g. Turkish dotless i).
struct TByteFacts {
  std::array<char32_t, 256> decode;  // the character of the byte alone, else kNoChar
  // Character-type flags (platform/CharType.h) before the NonWordChars adjustment. A letter without
  // case (Thai, kana) carries both kCtUpper and kCtLower, the table's usual mark for "a letter"; a
  // letter with case carries exactly one of them.
  std::array<uint8_t, 256> ctype;
  std::array<uint8_t, 256> lower;  // the lower-case form of an upper-case letter, else the byte
  std::array<uint8_t, 256> upper;  // the upper-case form of a lower-case letter, else the byte
};

// True when ICU can convert the code page.
bool Available(int codePage);
// True when characters of the code page may take two bytes (932, 936, 949, 950).
bool MultiByte(int codePage);

// Fills facts for the language's code page; false (facts unchanged) when the language has no
// code page here or ICU cannot open it.
bool ReadByteFacts(uint32_t language, TByteFacts& facts);

// The decoding of a whole text, so that double-byte characters decode as one character. Bytes
// that form no character become U+FFFD. False when ICU cannot open the code page.
bool DecodeText(int codePage, std::string_view bytes, std::string& utf8);
// Encodes UTF-8 text (invalid sequences count as U+FFFD); characters the code page lacks
// become '?'. False when ICU cannot open the code page.
bool EncodeText(int codePage, std::string_view utf8, std::string& bytes);
// The first character of UTF-8 text that the code page cannot hold (every character when ICU
// cannot open it); 0 when it holds them all.
char32_t FirstUnencodable(int codePage, std::string_view utf8);

// The character set of the user's locale (LC_ALL, LC_CTYPE, LANG) as the C library names it
// ("UTF-8", "ISO-8859-1"). The C and POSIX locales, whose ASCII today's terminals extend to UTF-8,
// and a locale that is not installed give "UTF-8".
std::string LocaleCharset();
// Converts text in the named character set to UTF-8. False when ICU does not know the set or the
// text holds bytes that form no character of it.
bool CharsetToUtf8(std::string_view charset, std::string_view text, std::string& utf8);

// The Windows language id of a POSIX locale name ("en_US.UTF-8", "sr_RS@latin"); 0 for C, POSIX,
// an empty name and a locale that ICU cannot map.
uint32_t LanguageOfLocale(std::string_view posixLocale);

}  // namespace quenterra::codepage
