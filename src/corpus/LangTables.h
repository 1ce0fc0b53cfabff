// The corpus language and the 256-entry character tables derived from it: the case table, the
// character-type table, the regular-expression word table and the folding map. The tables are
// process-wide; they change only at start-up, after the settings are read and after the user
// picks another language.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/CharSet.h"

namespace quenterra {

// Flags of the character-type table. The code page's bytes are classified from their Unicode
// properties: upper and lower case by the Uppercase and Lowercase properties, a letter without
// case (Thai, kana) or a combining mark as upper and lower both; digits are decimal digits only,
// so '²' and '½' are punctuation like every other symbol, number or format character (the soft
// hyphen); space is White_Space, blank is tab and the horizontal spaces, control is Cc. Then
// NonWordChars adjusts: a delimiter is punctuation only, other punctuation a letter (both bits).
enum TCharType : uint8_t {
  kCtSpace = 1,
  kCtDigit = 2,
  kCtUpper = 4,
  kCtLower = 8,
  kCtHexDigit = 16,
  kCtControl = 32,
  kCtPunct = 64,
  kCtBlank = 128,
};

// Bits of the regular-expression word table.
enum TRegexCharClass : uint8_t { kReWord = 1, kReSpace = 2, kReDigit = 4 };

struct TLanguage {
  uint16_t id;
  const char* name;
};

// The fixed table of the 76 languages, in table order.
const std::vector<TLanguage>& LanguageTable();
std::string LanguageName(uint32_t id);       // empty when the table lacks the id
uint32_t LanguageId(const std::string& name);  // first row with that name; 0 when absent

// The Windows ANSI code page of a language (1250..1258, 874, 932, 936, 949, 950); 0 for a
// language whose code page is not known here.
int CodePageOf(uint32_t language);

// The user's default language, from the first of LC_ALL, LC_CTYPE and LANG that is set and not
// empty ("de_AT.UTF-8" gives 0x0C07, "sr_RS@latin" 0x241A); 0x0409 for C, POSIX, a locale
// without a Windows language id or code page, and when none of them is set.
uint32_t UserDefaultLanguage();

// Names of the languages whose code page this system can convert, each once, in table order.
const std::vector<std::string>& InstalledLanguages();

uint32_t CurrentLanguage();
int CurrentCodePage();  // CodePageOf(CurrentLanguage())
bool NoCaseLanguage();  // the current language has no case table (Chinese, Japanese, Korean, Thai)

// Start-up: the installed languages, the user's default language and its tables (the tables
// that depend on settings are built from the settings as they stand, usually the defaults).
void InitLanguage();
// After the settings are read: the stored language (the default when it is neither the default
// nor in the table), then the case table, then the other tables.
void ApplyLanguage(uint32_t stored);
// The language dialog's choice: makes the first table row called `name` current and rebuilds the
// tables. Returns whether the language changed; a name the table lacks changes nothing.
bool SelectLanguage(const std::string& name);
// Makes `language` current without checks, sets the no-case flag and reads its code page;
// callers rebuild the tables (BuildCaseTable, then RebuildCharTables).
void SetCurrentLanguage(uint32_t language);

// Rebuilds the case table (and the other-case forms) for the current language: identity for a
// no-case language or a code page that cannot be read.
void BuildCaseTable();
// Rebuilds the character-type table, the regular-expression word table and the folding map from
// the current language, the case table and the settings (ignoreCase, NonWordChars, equal groups
// when UseEqualChars is on). Leaves them unchanged when the code page cannot be read.
void RebuildCharTables();

const uint8_t* CaseTable();         // 256 entries: lower-case form of each byte
const uint8_t* CharTypeTable();     // 256 entries of TCharType flags
const uint8_t* RegexWordTable();    // 256 entries of TRegexCharClass bits
const uint8_t* FoldingMap();        // 256 entries: the byte each byte compares as

unsigned char FoldChar(unsigned char c);
// The other-case form: the case-table entry of an upper-case letter, the upper-case form of a
// lower-case letter (the letter itself when its upper case is not in the code page), else 0.
// Always 0 in a no-case language.
unsigned char OtherCase(unsigned char c);
// Folds a zero-terminated string through the case table into dest, or in place when dest is null.
void FoldStr(char* source, char* dest = nullptr);
std::string FoldString(std::string_view s);
// The text upper-cased by the current code page's own mapping (ASCII only while the code page
// is unknown): each lower-case letter whose upper case the code page holds becomes it. The
// second bytes of double-byte characters stay as they are.
std::string UpperString(std::string_view s);
// True as soon as either zero-terminated string ends with all bytes so far equal (folded through
// the case table on both sides when fold is set); false at the first difference.
bool FoldedPrefixMatch(const char* pattern, const char* text, bool fold);

// Bytes 0..31, the space, NonWordChars and the six special characters of the search syntax.
TCharSet BuildDelimiterSet();

// The Unicode character each byte of the current code page stands for on its own (U+FFFD where
// none, e.g. the lead bytes of a double-byte code page).
char32_t DecodeByte(unsigned char c);
// Text of the current code page as UTF-8 (double-byte characters decode whole; bytes that form no
// character become U+FFFD), and back (characters the code page lacks become '?').
std::string ToUtf8(std::string_view bytes);
std::string FromUtf8(std::string_view utf8);

}  // namespace quenterra
