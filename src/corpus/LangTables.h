// The corpus language and the 256-entry character tables derived from it: the case table, the
// character-type table, the regular-expression word table and the folding map. The tables are
// process-wide; they change only at start-up, after the settings are read and after the user
// picks another language.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "corpus/CharSet.h"

namespace quenterra {

// Flags of the character-type table.
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

// The Windows ANSI code page of a language (1250..1257, 874, 932, 936, 949, 950).
int CodePageOf(uint32_t language);

// The user's default language, from LC_ALL / LC_CTYPE / LANG; 0x0409 when they give none.
uint32_t UserDefaultLanguage();

// Names of the languages whose code page this system can convert, each once, in table order.
const std::vector<std::string>& InstalledLanguages();

uint32_t CurrentLanguage();
bool NoCaseLanguage();  // the current language has no case table (Chinese, Japanese, Korean, Thai)

// Start-up: the user's default language and its case table.
void InitLanguage();
// After the settings are read: the stored language (the default when the table lacks it), then
// the case table, then the other tables.
void ApplyLanguage(uint32_t stored);
// Makes `language` current without checks and sets the no-case flag; callers rebuild the tables.
void SetCurrentLanguage(uint32_t language);

void BuildCaseTable();
// Rebuilds the character-type table, the regular-expression word table and the folding map from
// the current language, the case table and the settings (ignoreCase, NonWordChars, equal groups).
void RebuildCharTables();

const uint8_t* CaseTable();         // 256 entries: lower-case form of each byte
const uint8_t* CharTypeTable();     // 256 entries of TCharType flags
const uint8_t* RegexWordTable();    // 256 entries of TRegexCharClass bits
const uint8_t* FoldingMap();        // 256 entries: the byte each byte compares as

unsigned char FoldChar(unsigned char c);
// The other-case form: lower for an upper-case letter, upper for a lower-case one, else 0.
unsigned char OtherCase(unsigned char c);
// Folds a zero-terminated string through the case table into dest, or in place when dest is null.
void FoldStr(char* source, char* dest = nullptr);
std::string FoldString(std::string_view s);
// True as soon as either zero-terminated string ends with all bytes so far equal (folded through
// the case table on both sides when fold is set); false at the first difference.
bool FoldedPrefixMatch(const char* pattern, const char* text, bool fold);

// Bytes 0..31, the space, NonWordChars and the six special characters of the search syntax.
TCharSet BuildDelimiterSet();

// The Unicode character each byte of the current code page stands for (U+FFFD where none).
char32_t DecodeByte(unsigned char c);
// Text of the current code page as UTF-8, and back (characters the code page lacks become '?').
std::string ToUtf8(std::string_view bytes);
std::string FromUtf8(std::string_view utf8);

}  // namespace quenterra
