// The corpus language and its character tables. The tables are plain arrays indexed by byte:
// the word splitter folds every byte of the corpus through them.
#include "corpus/LangTables.h"

#include <algorithm>
#include <cstdlib>
#include <iterator>

namespace quenterra {

namespace {

using TTable = std::array<uint8_t, 256>;

constexpr uint32_t kEnglishUS = TGlobalSettings::kEnglishUS;

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
    {0x0402, "Bulgarian"},
    {0x0403, "Catalan"},
    {0x0405, "Czech"},
    {0x0406, "Danish"},
    {0x0407, "German (Standard)"},
    {0x0807, "German (Swiss)"},
    {0x0C07, "German (Austrian)"},
    {0x1007, "German (Luxembourg)"},
    {0x1407, "German (Liechtenstein)"},
    {0x0408, "Greek"},
    {0x0409, "English (United States)"},
    {0x0809, "English (United Kingdom)"},
    {0x0C09, "English (Australian)"},
    {0x1009, "English (Canadian)"},
    {0x1409, "English (New Zealand)"},
    {0x1809, "English (Ireland)"},
    {0x1C09, "English (South Africa)"},
    {0x2009, "English (Jamaica)"},
    {0x2409, "English (Caribbean)"},
    {0x2809, "English (Belize)"},
    {0x2C09, "English (Trinidad)"},
    {0x040A, "Spanish (Traditional Sort)"},
    {0x080A, "Spanish (Mexican)"},
    {0x0C0A, "Spanish (Modern Sort)"},
    {0x100A, "Spanish (Guatemala)"},
    {0x140A, "Spanish (Costa Rica)"},
    {0x180A, "Spanish (Panama)"},
    {0x1C0A, "Spanish (Dominican Republic)"},
    {0x200A, "Spanish (Venezuela)"},
    {0x240A, "Spanish (Colombia)"},
    {0x280A, "Spanish (Peru)"},
    {0x2C0A, "Spanish (Argentina)"},
    {0x300A, "Spanish (Ecuador)"},
    {0x340A, "Spanish (Chile)"},
    {0x380A, "Spanish (Uruguay)"},
    {0x3C0A, "Spanish (Paraguay)"},
    {0x400A, "Spanish (Bolivia)"},
    {0x440A, "Spanish (El Salvador)"},
    {0x480A, "Spanish (Honduras)"},
    {0x4C0A, "Spanish (Nicaragua)"},
    {0x500A, "Spanish (Puerto Rico)"},
    {0x040B, "Finnish"},
    {0x040C, "French (Standard)"},
    {0x080C, "French (Belgian)"},
    {0x0C0C, "French (Canadian)"},
    {0x100C, "French (Swiss)"},
    {0x140C, "French (Luxembourg)"},
    {0x040E, "Hungarian"},
    {0x040F, "Icelandic"},
    {0x0410, "Italian (Standard)"},
    {0x0810, "Italian (Swiss)"},
    {0x0413, "Dutch (Standard)"},
    {0x0813, "Dutch (Belgian)"},
    {0x0414, "Norwegian (Bokmal)"},
    {0x0814, "Norwegian (Nynorsk)"},
    {0x0415, "Polish"},
    {0x0416, "Portuguese (Brazilian)"},
    {0x0816, "Portuguese (Standard)"},
    {0x0418, "Romanian"},
    {0x0419, "Russian"},
    {0x041A, "Croatian"},
    {0x0C1A, "Serbian"},
    {0x041B, "Slovak"},
    {0x041C, "Albanian"},
    {0x041D, "Swedish"},
    {0x081D, "Swedish (Finland)"},
    {0x041F, "Turkish"},
    {0x0421, "Indonesian"},
    {0x0422, "Ukrainian"},
    {0x0423, "Belarusian"},
    {0x0424, "Slovenian"},
    {0x0425, "Estonian"},
    {0x0426, "Latvian"},
    {0x0427, "Lithuanian"},
    {0x081A, "Serbian"},
    {0x042D, "Basque"},
};

// The languages without a case table: Chinese, Japanese, Korean, Thai.
constexpr uint32_t kNoCaseLanguages[] = {0x0404, 0x0804, 0x0C04, 0x1004,
                                         0x0411, 0x0412, 0x0812, 0x041E};

bool IsNoCase(uint32_t language) {
  for (uint32_t id : kNoCaseLanguages)
    if (id == language) return true;
  return false;
}

// Turkish and Azeri fold 'I' to a dotless 'ı'.
bool IsTurkic(uint32_t language) {
  const uint32_t primary = language & 0x3FF;
  return primary == 0x1F || primary == 0x2C;
}

bool IsCasedUpper(uint8_t flags) { return (flags & (kCtUpper | kCtLower)) == kCtUpper; }
bool IsCasedLower(uint8_t flags) { return (flags & (kCtUpper | kCtLower)) == kCtLower; }

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

uint32_t StoredLanguage(uint32_t stored) {
  const uint32_t fallback = UserDefaultLanguage();
  return stored == fallback || !LanguageName(stored).empty() ? stored : fallback;
}

TCharCoding CorpusCoding(uint32_t language, TCorpusEncoding encoding) {
  if (encoding == TCorpusEncoding::kCodePage) return TCharCoding();
  codepage::TByteFacts facts;
  return TCharCoding::Utf8(codepage::ReadByteFacts(language, facts) ? facts.decode
                                                                    : AsciiDecoding());
}

// ---- Tables -----------------------------------------------------------------------------------

TLangTables::TLangTables()
    : decode_(AsciiDecoding()), case_(IdentityTable()), fold_(IdentityTable()) {}

TLangTables::TLangTables(uint32_t language, TCorpusEncoding encoding, const ZuzadovUdirev& config)
    : language_(language),
      codePage_(CodePageOf(language)),
      noCase_(IsNoCase(language)),
      ignoreCase_(config.ignoreCase) {
  factsValid_ = codepage::ReadByteFacts(language, facts_);
  decode_ = factsValid_ ? facts_.decode : AsciiDecoding();
  if (encoding == TCorpusEncoding::kUtf8) {
    coding_ = TCharCoding::Utf8(decode_);
    unicode_ = std::make_shared<const TUtf8Classes>(IsTurkic(language), noCase_, coding_, config);
  }
  BuildCaseTable();
  codepage::TByteFacts classes = facts_;
  // Without its own code page the language is classified as US English, so that words still
  // split and regular expressions still know letters.
  if (!factsValid_ && !codepage::ReadByteFacts(kEnglishUS, classes)) classes = {};
  BuildTypeTable(classes, config);
  BuildWordTable();
  BuildFoldingMap(config);
}

void TLangTables::BuildCaseTable() {
  case_ = IdentityTable();
  other_.fill(0);
  if (noCase_ || !factsValid_) return;
  for (int b = 1; b < 256; ++b)
    if (IsCasedUpper(facts_.ctype[b])) case_[b] = facts_.lower[b];
  for (int b = 1; b < 256; ++b) {
    if (IsCasedUpper(facts_.ctype[b]))
      other_[b] = case_[b];
    else if (IsCasedLower(facts_.ctype[b]))
      other_[b] = facts_.upper[b];
  }
}

void TLangTables::BuildTypeTable(const codepage::TByteFacts& facts, const ZuzadovUdirev& config) {
  const TCharSet nonWord = CharSetOf(config.NonWordChars, TCharCoding());
  for (int b = 0; b < 256; ++b) {
    uint8_t flags = facts.ctype[b];
    // Every punctuation character that is not a delimiter belongs to words.
    if (nonWord.Contains(static_cast<unsigned char>(b)))
      flags = kCtPunct;
    else if (flags & kCtPunct)
      flags = kCtUpper | kCtLower;
    type_[b] = flags;
  }
}

void TLangTables::BuildWordTable() {
  for (int b = 0; b < 256; ++b) {
    const uint8_t type = type_[b];
    unsigned bits = 0;
    if ((type & (kCtUpper | kCtLower | kCtDigit)) || b == '_') bits |= kReWord;
    if (type & (kCtSpace | kCtBlank)) bits |= kReSpace;
    if (type & kCtDigit) bits |= kReDigit;
    word_[b] = static_cast<uint8_t>(bits);
  }
}

void TLangTables::FoldEqualGroup(const TCharSet& group) {
  int lowest = 0;
  while (lowest < 256 && !group.Contains(static_cast<unsigned char>(lowest))) ++lowest;
  if (lowest == 256) return;
  const uint8_t representative = ignoreCase_ ? case_[lowest] : static_cast<uint8_t>(lowest);
  for (int b = lowest; b < 256; ++b) {
    if (!group.Contains(static_cast<unsigned char>(b))) continue;
    fold_[b] = representative;
    if (ignoreCase_ && other_[b] != 0) fold_[other_[b]] = representative;
  }
}

void TLangTables::BuildFoldingMap(const ZuzadovUdirev& config) {
  // The case table differs from the identity only at upper-case letters.
  fold_ = ignoreCase_ ? case_ : IdentityTable();
  if (!config.UseEqualChars) return;
  for (const TCharSet& group : config.EqualGroups) FoldEqualGroup(group);
}

// ---- Characters -------------------------------------------------------------------------------

std::string TLangTables::EncodingName() const {
  return Utf8() ? "UTF-8" : "code page " + std::to_string(codePage_);
}

TChar TLangTables::Fold(TChar c) const {
  if (unicode_ != nullptr) return unicode_->Fold(c);
  return c < 256 ? case_[c] : c;
}

uint8_t TLangTables::CharType(TChar c) const {
  if (unicode_ != nullptr) return unicode_->CharType(c);
  return c < 256 ? type_[c] : 0;
}

TChar TLangTables::Translate(TChar c) const {
  if (unicode_ != nullptr) return unicode_->Translate(c);
  return c < 256 ? fold_[c] : c;
}

// ---- Text -------------------------------------------------------------------------------------

std::string TLangTables::FoldString(std::string_view s) const {
  if (unicode_ != nullptr) {
    std::string folded;
    folded.reserve(s.size());
    for (size_t pos = 0; pos < s.size();) AppendUtf8(folded, unicode_->Fold(coding_.Next(s, pos)));
    return folded;
  }
  std::string folded(s);
  for (char& c : folded) c = static_cast<char>(case_[static_cast<unsigned char>(c)]);
  return folded;
}

std::string TLangTables::UpperString(std::string_view s) const {
  if (unicode_ != nullptr) {
    std::string upper;
    upper.reserve(s.size());
    for (size_t pos = 0; pos < s.size();) AppendUtf8(upper, unicode_->Upper(coding_.Next(s, pos)));
    return upper;
  }
  std::string upper(s);
  const bool multiByte = codepage::MultiByte(codePage_);
  for (size_t i = 0; i < upper.size(); ++i) {
    const auto c = static_cast<unsigned char>(upper[i]);
    if (!factsValid_) {
      if (c >= 'a' && c <= 'z') upper[i] = static_cast<char>(c - 'a' + 'A');
    } else if (multiByte && c >= 0x80 && decode_[c] == codepage::kNoChar) {
      ++i;  // a lead byte: its trail byte may look like an ASCII letter
    } else {
      upper[i] = static_cast<char>(facts_.upper[c]);
    }
  }
  return upper;
}

bool TLangTables::FoldedPrefixMatch(const char* pattern, const char* text, bool fold) const {
  if (pattern == nullptr || text == nullptr) return true;  // an absent string is an empty one
  for (;; ++pattern, ++text) {
    if (*pattern == '\0' || *text == '\0') return true;
    unsigned char a = static_cast<unsigned char>(*pattern);
    unsigned char b = static_cast<unsigned char>(*text);
    if (fold) {
      a = case_[a];
      b = case_[b];
    }
    if (a != b) return false;
  }
}

TReTables TLangTables::RegExpTables() const {
  TReTables tables;
  tables.translate = fold_;
  tables.charType = type_;
  tables.wordClass = word_;
  tables.otherCase = ignoreCase_ && unicode_ == nullptr ? other_ : TTable{};
  tables.unicode = unicode_;
  return tables;
}

std::string TLangTables::ToUtf8(std::string_view bytes) const {
  if (Utf8() && IsValidUtf8(bytes)) return std::string(bytes);
  std::string utf8;
  if (Utf8()) {
    utf8.reserve(bytes.size() + bytes.size() / 2);
    for (size_t pos = 0; pos < bytes.size();) AppendUtf8(utf8, coding_.Next(bytes, pos));
    return utf8;
  }
  if (codepage::MultiByte(codePage_) && codepage::DecodeText(codePage_, bytes, utf8)) return utf8;
  utf8.reserve(bytes.size());
  for (char c : bytes) AppendUtf8(utf8, decode_[static_cast<unsigned char>(c)]);
  return utf8;
}

std::string TLangTables::FromUtf8(std::string_view utf8) const {
  if (Utf8()) return ToUtf8(utf8);
  std::string bytes;
  if (codepage::EncodeText(codePage_, utf8, bytes)) return bytes;
  // No converter: ASCII passes, every other character becomes '?'.
  bytes.clear();
  for (char c : utf8) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte < 0x80)
      bytes += c;
    else if (byte >= 0xC0)
      bytes += '?';
  }
  return bytes;
}

std::string TLangTables::FromUtf8Exact(std::string_view utf8) const {
  if (Utf8()) return ToUtf8(utf8);
  if (const char32_t missing = codepage::FirstUnencodable(codePage_, utf8); missing != 0) {
    std::string shown;
    AppendUtf8(shown, missing);
    throw EUnencodable("The character \"" + shown + "\" cannot be written in " + EncodingName() +
                       ".");
  }
  return FromUtf8(utf8);
}

}  // namespace quenterra
