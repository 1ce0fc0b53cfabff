// The corpus language and its character tables. The tables are plain arrays indexed by byte:
// the word splitter folds every byte of the corpus through them.
#include "corpus/LangTables.h"

#include <algorithm>
#include <array>
#include <cstdlib>
#include <iterator>

#include "settings/Settings.h"
#include "platform/CodePages.h"

namespace quenterra {

namespace {

using TTable = std::array<uint8_t, 256>;

constexpr uint32_t kEnglishUS = 0x0409;

constexpr TTable IdentityTable() {
  TTable table{};
  for (int b = 0; b < 256; ++b) table[b] = static_cast<uint8_t>(b);
  return table;
}

// Until a code page is read: ASCII, and no character for the other bytes.
constexpr std::array<char32_t, 256> AsciiDecoding() {
  std::array<char32_t, 256> decode{};
  for (int b = 0; b < 256; ++b) decode[b] = b < 0x80 ? static_cast<char32_t>(b) : codepage::kNoChar;
  return decode;
}

const TLanguage kLanguages[] = {
    {0x0402, "Bulgarian"}, {0x0403, "Catalan"}, {0x0405, "Czech"}, {0x0406, "Danish"},
    {0x0407, "German (Standard)"}, {0x0807, "German (Swiss)"}, {0x0C07, "German (Austrian)"},
    {0x1007, "German (Luxembourg)"}, {0x1407, "German (Liechtenstein)"}, {0x0408, "Greek"},
    {0x0409, "English (United States)"}, {0x0809, "English (United Kingdom)"},
    {0x0C09, "English (Australian)"}, {0x1009, "English (Canadian)"},
    {0x1409, "English (New Zealand)"}, {0x1809, "English (Ireland)"},
    {0x1C09, "English (South Africa)"}, {0x2009, "English (Jamaica)"},
    {0x2409, "English (Caribbean)"}, {0x2809, "English (Belize)"}, {0x2C09, "English (Trinidad)"},
    {0x040A, "Spanish (Traditional Sort)"}, {0x080A, "Spanish (Mexican)"},
    {0x0C0A, "Spanish (Modern Sort)"}, {0x100A, "Spanish (Guatemala)"},
    {0x140A, "Spanish (Costa Rica)"}, {0x180A, "Spanish (Panama)"},
    {0x1C0A, "Spanish (Dominican Republic)"}, {0x200A, "Spanish (Venezuela)"},
    {0x240A, "Spanish (Colombia)"}, {0x280A, "Spanish (Peru)"}, {0x2C0A, "Spanish (Argentina)"},
    {0x300A, "Spanish (Ecuador)"}, {0x340A, "Spanish (Chile)"}, {0x380A, "Spanish (Uruguay)"},
    {0x3C0A, "Spanish (Paraguay)"}, {0x400A, "Spanish (Bolivia)"},
    {0x440A, "Spanish (El Salvador)"}, {0x480A, "Spanish (Honduras)"},
    {0x4C0A, "Spanish (Nicaragua)"}, {0x500A, "Spanish (Puerto Rico)"}, {0x040B, "Finnish"},
    {0x040C, "French (Standard)"}, {0x080C, "French (Belgian)"}, {0x0C0C, "French (Canadian)"},
    {0x100C, "French (Swiss)"}, {0x140C, "French (Luxembourg)"}, {0x040E, "Hungarian"},
    {0x040F, "Icelandic"}, {0x0410, "Italian (Standard)"}, {0x0810, "Italian (Swiss)"},
    {0x0413, "Dutch (Standard)"}, {0x0813, "Dutch (Belgian)"}, {0x0414, "Norwegian (Bokmal)"},
    {0x0814, "Norwegian (Nynorsk)"}, {0x0415, "Polish"}, {0x0416, "Portuguese (Brazilian)"},
    {0x0816, "Portuguese (Standard)"}, {0x0418, "Romanian"}, {0x0419, "Russian"},
    {0x041A, "Croatian"}, {0x0C1A, "Serbian"}, {0x041B, "Slovak"}, {0x041C, "Albanian"},
    {0x041D, "Swedish"}, {0x081D, "Swedish (Finland)"}, {0x041F, "Turkish"}, {0x0421, "Indonesian"},
    {0x0422, "Ukrainian"}, {0x0423, "Belarusian"}, {0x0424, "Slovenian"}, {0x0425, "Estonian"},
    {0x0426, "Latvian"}, {0x0427, "Lithuanian"}, {0x081A, "Serbian"}, {0x042D, "Basque"},
};

// The languages without a case table: Chinese, Japanese, Korean, Thai.
constexpr uint32_t kNoCaseLanguages[] = {0x0404, 0x0804, 0x0C04, 0x1004,
                                         0x0411, 0x0412, 0x0812, 0x041E};

// Language state. Constant-initialised, so a lookup before InitLanguage sees identity tables.
uint32_t gLanguage = kEnglishUS;
bool gNoCase = false;
int gCodePage = 1252;
bool gFactsValid = false;             // gFacts describes gLanguage's code page
codepage::TByteFacts gFacts{};        // what the current code page says about each byte
std::array<char32_t, 256> gDecode = AsciiDecoding();
TTable gCase = IdentityTable();       // lower-case form of each byte
TTable gOther{};                      // other-case form of each byte, 0 for none
TTable gType{};                       // TCharType flags
TTable gWord{};                       // TRegexCharClass bits
TTable gFold = IdentityTable();       // the byte each byte compares as

bool IsNoCase(uint32_t language) {
  for (uint32_t id : kNoCaseLanguages)
    if (id == language) return true;
  return false;
}

bool IsCasedUpper(uint8_t flags) { return (flags & (kCtUpper | kCtLower)) == kCtUpper; }
bool IsCasedLower(uint8_t flags) { return (flags & (kCtUpper | kCtLower)) == kCtLower; }

void BuildTypeTable() {
  TCharSet nonWord;
  nonWord.AddAll(Config().NonWordChars);
  for (int b = 0; b < 256; ++b) {
    uint8_t flags = gFacts.ctype[b];
    // Every punctuation character that is not a delimiter belongs to words.
    if (nonWord.Contains(static_cast<unsigned char>(b)))
      flags = kCtPunct;
    else if (flags & kCtPunct)
      flags = kCtUpper | kCtLower;
    gType[b] = flags;
  }
}

void BuildWordTable() {
  for (int b = 0; b < 256; ++b) {
    const uint8_t type = gType[b];
    unsigned bits = 0;
    if ((type & (kCtUpper | kCtLower | kCtDigit)) || b == '_') bits |= kReWord;
    if (type & (kCtSpace | kCtBlank)) bits |= kReSpace;
    if (type & kCtDigit) bits |= kReDigit;
    gWord[b] = static_cast<uint8_t>(bits);
  }
}

void FoldEqualGroup(const TCharSet& group, bool ignoreCase) {
  int lowest = 0;
  while (lowest < 256 && !group.Contains(static_cast<unsigned char>(lowest))) ++lowest;
  if (lowest == 256) return;
  const uint8_t representative = ignoreCase ? gCase[lowest] : static_cast<uint8_t>(lowest);
  for (int b = lowest; b < 256; ++b) {
    if (!group.Contains(static_cast<unsigned char>(b))) continue;
    gFold[b] = representative;
    if (ignoreCase && gOther[b] != 0) gFold[gOther[b]] = representative;
  }
}

void BuildFoldingMap() {
  const ZuzadovUdirev& config = Config();
  // The case table differs from the identity only at upper-case letters.
  gFold = config.ignoreCase ? gCase : IdentityTable();
  if (!config.UseEqualChars) return;
  for (const TCharSet& group : config.EqualGroups) FoldEqualGroup(group, config.ignoreCase);
}

void Rebuild() {
  BuildCaseTable();
  RebuildCharTables();
}

}  // namespace

const std::vector<TLanguage>& LanguageTable() {
  static const std::vector<TLanguage> table(std::begin(kLanguages), std::end(kLanguages));
  return table;
}

std::string LanguageName(uint32_t id) {
  for (const TLanguage& language : kLanguages)
    if (language.id == id) return language.name;
  return "";
}

uint32_t LanguageId(const std::string& name) {
  for (const TLanguage& language : kLanguages)
    if (name == language.name) return language.id;
  return 0;
}

uint32_t UserDefaultLanguage() {
  // The first of these that is set decides, as for the C library's LC_CTYPE.
  for (const char* variable : {"LC_ALL", "LC_CTYPE", "LANG"}) {
    const char* value = std::getenv(variable);
    if (value == nullptr || *value == '\0') continue;
    const uint32_t language = codepage::LanguageOfLocale(value);
    return language != 0 && CodePageOf(language) != 0 ? language : kEnglishUS;
  }
  return kEnglishUS;
}

const std::vector<std::string>& InstalledLanguages() {
  static const std::vector<std::string> names = [] {
    std::vector<std::string> installed;
    for (const TLanguage& language : kLanguages) {
      if (!codepage::Available(CodePageOf(language.id))) continue;
      if (std::find(installed.begin(), installed.end(), language.name) == installed.end())
        installed.emplace_back(language.name);
    }
    return installed;
  }();
  return names;
}

uint32_t CurrentLanguage() { return gLanguage; }
int CurrentCodePage() { return gCodePage; }
bool NoCaseLanguage() { return gNoCase; }

void InitLanguage() {
  InstalledLanguages();
  SetCurrentLanguage(UserDefaultLanguage());
  // The settings are not read yet; building the other tables from their defaults keeps every
  // table valid until ApplyLanguage runs.
  Rebuild();
}

void ApplyLanguage(uint32_t stored) {
  const uint32_t fallback = UserDefaultLanguage();
  SetCurrentLanguage(stored == fallback || !LanguageName(stored).empty() ? stored : fallback);
  Rebuild();
}

bool SelectLanguage(const std::string& name) {
  const uint32_t language = LanguageId(name);
  if (language == 0 || language == gLanguage) return false;
  SetCurrentLanguage(language);
  Rebuild();
  return true;
}

void SetCurrentLanguage(uint32_t language) {
  gLanguage = language;
  gNoCase = IsNoCase(language);
  gCodePage = CodePageOf(language);
  gFactsValid = codepage::ReadByteFacts(language, gFacts);
  gDecode = gFactsValid ? gFacts.decode : AsciiDecoding();
}

void BuildCaseTable() {
  gCase = IdentityTable();
  gOther.fill(0);
  if (gNoCase || !gFactsValid) return;
  for (int b = 1; b < 256; ++b)
    if (IsCasedUpper(gFacts.ctype[b])) gCase[b] = gFacts.lower[b];
  for (int b = 1; b < 256; ++b) {
    if (IsCasedUpper(gFacts.ctype[b]))
      gOther[b] = gCase[b];
    else if (IsCasedLower(gFacts.ctype[b]))
      gOther[b] = gFacts.upper[b];
  }
}

void RebuildCharTables() {
  if (!gFactsValid) return;  // no classification: the tables stay as they are
  BuildTypeTable();
  BuildWordTable();
  BuildFoldingMap();
}

const uint8_t* CaseTable() { return gCase.data(); }
const uint8_t* CharTypeTable() { return gType.data(); }
const uint8_t* RegexWordTable() { return gWord.data(); }
const uint8_t* FoldingMap() { return gFold.data(); }

unsigned char FoldChar(unsigned char c) { return gCase[c]; }
unsigned char OtherCase(unsigned char c) { return gOther[c]; }

void FoldStr(char* source, char* dest) {
  if (source == nullptr) return;
  if (dest == nullptr) dest = source;
  for (; *source != '\0'; ++source, ++dest)
    *dest = static_cast<char>(gCase[static_cast<unsigned char>(*source)]);
  *dest = '\0';
}

std::string FoldString(std::string_view s) {
  std::string folded(s);
  for (char& c : folded) c = static_cast<char>(gCase[static_cast<unsigned char>(c)]);
  return folded;
}

std::string UpperString(std::string_view s) {
  std::string upper(s);
  const bool multiByte = codepage::MultiByte(gCodePage);
  for (size_t i = 0; i < upper.size(); ++i) {
    const auto c = static_cast<unsigned char>(upper[i]);
    if (!gFactsValid) {
      if (c >= 'a' && c <= 'z') upper[i] = static_cast<char>(c - 'a' + 'A');
    } else if (multiByte && c >= 0x80 && gDecode[c] == codepage::kNoChar) {
      ++i;  // a lead byte: its trail byte may look like an ASCII letter
    } else {
      upper[i] = static_cast<char>(gFacts.upper[c]);
    }
  }
  return upper;
}

bool FoldedPrefixMatch(const char* pattern, const char* text, bool fold) {
  if (pattern == nullptr || text == nullptr) return true;  // an absent string is an empty one
  for (;; ++pattern, ++text) {
    if (*pattern == '\0' || *text == '\0') return true;
    unsigned char a = static_cast<unsigned char>(*pattern);
    unsigned char b = static_cast<unsigned char>(*text);
    if (fold) {
      a = gCase[a];
      b = gCase[b];
    }
    if (a != b) return false;
  }
}

TCharSet BuildDelimiterSet() {
  const ZuzadovUdirev& config = Config();
  TCharSet set;
  set.AddRange(0, ' ');
  set.AddAll(config.NonWordChars);
  for (char c : {config.WildCard0orMore, config.WildCard0or1, config.WildCardExactly1,
                 config.TagSearchSeparator, config.TagUnorderedChar, config.TagSubsequentChar})
    set.Add(static_cast<unsigned char>(c));
  return set;
}

char32_t DecodeByte(unsigned char c) { return gDecode[c]; }

std::string ToUtf8(std::string_view bytes) {
  std::string utf8;
  if (codepage::MultiByte(gCodePage) && codepage::DecodeText(gCodePage, bytes, utf8)) return utf8;
  utf8.reserve(bytes.size());
  for (char c : bytes) codepage::AppendUtf8(utf8, gDecode[static_cast<unsigned char>(c)]);
  return utf8;
}

std::string FromUtf8(std::string_view utf8) {
  std::string bytes;
  if (codepage::EncodeText(gCodePage, utf8, bytes)) return bytes;
  // No converter: ASCII passes, every other character becomes '?'.
  bytes.clear();
  for (char c : utf8) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte < 0x80) bytes += c;
    else if (byte >= 0xC0) bytes += '?';
  }
  return bytes;
}

}  // namespace quenterra
