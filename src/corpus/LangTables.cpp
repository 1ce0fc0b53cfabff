// PROVISIONAL: ASCII-only stand-in so that other modules build; replaced by the ICU version.
#include "corpus/LangTables.h"

#include <cctype>

#include "config/Settings.h"

namespace quenterra {

namespace {
uint8_t gCase[256], gType[256], gWord[256], gFold[256];
uint32_t gLanguage = 0x0409;
}  // namespace

const std::vector<TLanguage>& LanguageTable() {
  static const std::vector<TLanguage> table = {{0x0409, "English (United States)"}};
  return table;
}
std::string LanguageName(uint32_t id) { return id == 0x0409 ? "English (United States)" : ""; }
uint32_t LanguageId(const std::string& name) { return name == "English (United States)" ? 0x0409 : 0; }
int CodePageOf(uint32_t) { return 1252; }
uint32_t UserDefaultLanguage() { return 0x0409; }
const std::vector<std::string>& InstalledLanguages() {
  static const std::vector<std::string> names = {"English (United States)"};
  return names;
}
uint32_t CurrentLanguage() { return gLanguage; }
bool NoCaseLanguage() { return false; }
void InitLanguage() { BuildCaseTable(); }
void ApplyLanguage(uint32_t) { BuildCaseTable(); RebuildCharTables(); }
void SetCurrentLanguage(uint32_t language) { gLanguage = language; }
void BuildCaseTable() {
  for (int c = 0; c < 256; ++c) gCase[c] = static_cast<uint8_t>(c < 128 ? std::tolower(c) : c);
}
void RebuildCharTables() {
  for (int c = 0; c < 256; ++c) {
    gFold[c] = Config().ignoreCase ? gCase[c] : static_cast<uint8_t>(c);
    gType[c] = std::isalpha(c) ? kCtLower : 0;
    gWord[c] = std::isalnum(c) || c == '_' ? kReWord : 0;
  }
}
const uint8_t* CaseTable() { return gCase; }
const uint8_t* CharTypeTable() { return gType; }
const uint8_t* RegexWordTable() { return gWord; }
const uint8_t* FoldingMap() { return gFold; }
unsigned char FoldChar(unsigned char c) { return gCase[c]; }
unsigned char OtherCase(unsigned char c) { return std::isupper(c) ? gCase[c] : std::islower(c) ? std::toupper(c) : 0; }
void FoldStr(char* source, char* dest) {
  if (dest == nullptr) dest = source;
  for (; *source; ++source, ++dest) *dest = static_cast<char>(gCase[static_cast<unsigned char>(*source)]);
  *dest = '\0';
}
std::string FoldString(std::string_view s) {
  std::string r(s);
  for (char& c : r) c = static_cast<char>(gCase[static_cast<unsigned char>(c)]);
  return r;
}
bool FoldedPrefixMatch(const char* pattern, const char* text, bool fold) {
  for (;; ++pattern, ++text) {
    if (*pattern == '\0' || *text == '\0') return true;
    unsigned char a = static_cast<unsigned char>(*pattern), b = static_cast<unsigned char>(*text);
    if (fold) { a = gCase[a]; b = gCase[b]; }
    if (a != b) return false;
  }
}
TCharSet BuildDelimiterSet() {
  const ZuzadovUdirev& z = Config();
  TCharSet set;
  set.AddRange(0, 32);
  set.AddAll(z.NonWordChars);
  for (char c : {z.WildCard0orMore, z.WildCard0or1, z.WildCardExactly1, z.TagSearchSeparator,
                 z.TagUnorderedChar, z.TagSubsequentChar})
    set.Add(static_cast<unsigned char>(c));
  return set;
}
char32_t DecodeByte(unsigned char c) { return c; }
std::string ToUtf8(std::string_view bytes) { return std::string(bytes); }
std::string FromUtf8(std::string_view utf8) { return std::string(utf8); }

namespace {
struct Init { Init() { BuildCaseTable(); RebuildCharTables(); } } gInit;
}  // namespace

}  // namespace quenterra
