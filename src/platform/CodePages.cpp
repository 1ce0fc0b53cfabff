// The ICU side of the language tables: code pages of languages, decoding and classifying the 256
// byte values, case mapping inside a code page, whole-text conversion, and locale names.
#include "platform/CodePages.h"

#include <langinfo.h>
#include <locale.h>
#include <unicode/uchar.h>
#include <unicode/ucnv.h>
#include <unicode/ucnv_cb.h>
#include <unicode/uloc.h>
#include <unicode/ustring.h>
#include <unicode/utf16.h>

#include <algorithm>
#include <memory>

#include "platform/CharCoding.h"
#include "platform/CharType.h"
#include "platform/Unicode.h"

namespace quenterra {

namespace {

using codepage::kNoChar;
using codepage::TByteFacts;

struct TPrimaryCodePage {
  uint16_t primary;  // low 10 bits of a language id
  uint16_t codePage;
};

// Languages whose every variant uses one code page. Chinese and Serbo-Croatian vary by variant.
constexpr TPrimaryCodePage kPrimaryCodePages[] = {
    {0x01, 1256}, {0x02, 1251}, {0x03, 1252}, {0x05, 1250}, {0x06, 1252}, {0x07, 1252},
    {0x08, 1253}, {0x09, 1252}, {0x0A, 1252}, {0x0B, 1252}, {0x0C, 1252}, {0x0D, 1255},
    {0x0E, 1250}, {0x0F, 1252}, {0x10, 1252}, {0x11, 932},  {0x12, 949},  {0x13, 1252},
    {0x14, 1252}, {0x15, 1250}, {0x16, 1252}, {0x18, 1250}, {0x19, 1251}, {0x1B, 1250},
    {0x1C, 1250}, {0x1D, 1252}, {0x1E, 874},  {0x1F, 1254}, {0x20, 1256}, {0x21, 1252},
    {0x22, 1251}, {0x23, 1251}, {0x24, 1250}, {0x25, 1257}, {0x26, 1257}, {0x27, 1257},
    {0x29, 1256}, {0x2A, 1258}, {0x2D, 1252}, {0x2F, 1251}, {0x36, 1252}, {0x38, 1252},
    {0x3E, 1252}, {0x41, 1252}, {0x56, 1252},
};

int ChineseCodePage(uint32_t language) {
  // Taiwan, Hong Kong and Macao write Traditional Chinese (Big5); the rest GBK.
  return language == 0x0404 || language == 0x0C04 || language == 0x1404 ? 950 : 936;
}

int SerboCroatianCodePage(uint32_t language) {
  switch (language) {
    case 0x0C1A:
    case 0x1C1A:
    case 0x201A:
    case 0x281A:
    case 0x301A:  // the Cyrillic variants
      return 1251;
    default:
      return 1250;
  }
}

struct TConverterCloser {
  void operator()(UConverter* converter) const { ucnv_close(converter); }
};
using TConverter = std::unique_ptr<UConverter, TConverterCloser>;

TConverter OpenConverter(int codePage) {
  if (codePage == 0) return nullptr;
  const std::string name = "windows-" + std::to_string(codePage);
  UErrorCode error = U_ZERO_ERROR;
  TConverter converter(ucnv_open(name.c_str(), &error));
  if (U_FAILURE(error)) return nullptr;
  return converter;
}

// The character of one byte; kNoChar when the byte alone is no single character.
char32_t DecodeOne(UConverter* converter, unsigned char byte) {
  const char source = static_cast<char>(byte);
  UChar units[4];
  UErrorCode error = U_ZERO_ERROR;
  const int32_t length = ucnv_toUChars(converter, units, 4, &source, 1, &error);
  if (U_FAILURE(error) || length <= 0) return kNoChar;
  int32_t i = 0;
  UChar32 c;
  U16_NEXT(units, i, length, c);
  return i == length && c >= 0 ? static_cast<char32_t>(c) : kNoChar;
}

// The CT_CTYPE1-like flags of one decoded byte; a byte that is no character has none.
uint8_t Classify(char32_t character) {
  return character == kNoChar ? 0 : unicode::CharType(character);
}

// The case form of one character by the locale's rules (Turkish 'I' -> dotless 'ı'); where the
// locale's mapping gives more than one character ('ß' -> "SS") the simple mapping stands.
char32_t MapCase(char32_t character, const char* locale, bool toUpper) {
  const UChar32 c = static_cast<UChar32>(character);
  UChar source[2];
  int32_t sourceLength = 0;
  U16_APPEND_UNSAFE(source, sourceLength, c);
  UChar mapped[8];
  UErrorCode error = U_ZERO_ERROR;
  const int32_t length = toUpper ? u_strToUpper(mapped, 8, source, sourceLength, locale, &error)
                                 : u_strToLower(mapped, 8, source, sourceLength, locale, &error);
  if (U_SUCCESS(error) && length > 0) {
    int32_t i = 0;
    UChar32 result;
    U16_NEXT(mapped, i, length, result);
    if (i == length && result >= 0) return static_cast<char32_t>(result);
  }
  return static_cast<char32_t>(toUpper ? u_toupper(c) : u_tolower(c));
}

// The byte that stands for character in the decoded code page, or fallback when none does.
uint8_t FindByte(const std::array<char32_t, 256>& decode, char32_t character, uint8_t fallback) {
  if (character == kNoChar) return fallback;
  const auto it = std::find(decode.begin(), decode.end(), character);
  return it == decode.end() ? fallback : static_cast<uint8_t>(it - decode.begin());
}

std::string IcuLocaleOf(uint32_t language) {
  char name[ULOC_FULLNAME_CAPACITY] = "";
  UErrorCode error = U_ZERO_ERROR;
  uloc_getLocaleForLCID(language, name, sizeof name - 1, &error);  // keeps the final zero
  return U_SUCCESS(error) ? name : "";  // the root locale's rules otherwise
}

void MapCases(uint32_t language, TByteFacts& facts) {
  const std::string locale = IcuLocaleOf(language);
  for (int b = 0; b < 256; ++b) {
    const auto byte = static_cast<uint8_t>(b);
    const uint8_t cased = facts.ctype[b] & (kCtUpper | kCtLower);
    facts.lower[b] = facts.upper[b] = byte;
    if (cased == kCtUpper)
      facts.lower[b] =
          FindByte(facts.decode, MapCase(facts.decode[b], locale.c_str(), false), byte);
    else if (cased == kCtLower)
      facts.upper[b] = FindByte(facts.decode, MapCase(facts.decode[b], locale.c_str(), true), byte);
  }
}

// Writes U+FFFD for every byte sequence that decodes to nothing, instead of ICU's U+001A.
void ReplacementCallback(const void*, UConverterToUnicodeArgs* args, const char*, int32_t,
                         UConverterCallbackReason reason, UErrorCode* error) {
  if (reason > UCNV_IRREGULAR) return;  // reset, close, clone
  static const UChar kReplacement = 0xFFFD;
  *error = U_ZERO_ERROR;
  ucnv_cbToUWriteUChars(args, &kReplacement, 1, 0, error);
}

// The ICU name of a POSIX locale name: the codeset goes, the @latin and @cyrillic modifiers
// become scripts ("sr_RS.UTF-8@latin" -> "sr_Latn_RS"), other modifiers go.
std::string IcuLocaleName(std::string_view posix) {
  std::string_view modifier;
  if (const size_t at = posix.find('@'); at != std::string_view::npos) {
    modifier = posix.substr(at + 1);
    posix = posix.substr(0, at);
  }
  posix = posix.substr(0, posix.find('.'));
  std::string name(posix);
  const char* script = modifier == "latin" ? "Latn" : modifier == "cyrillic" ? "Cyrl" : nullptr;
  if (script != nullptr) {
    const size_t underscore = name.find('_');
    const std::string territory = underscore == std::string::npos ? "" : name.substr(underscore);
    name = name.substr(0, underscore) + "_" + script + territory;
  }
  return name;
}

// A neutral id names a language without a country (0x0009, 0x7C1A); Windows never reports one
// as the user's language.
bool IsNeutral(uint32_t language) {
  const uint32_t sublanguage = language >> 10;
  return sublanguage == 0 || sublanguage == 0x1F;
}

// ICU converts through int32_t lengths.
constexpr size_t kMaxTextLength = 0x3FFFFF00;

}  // namespace

int CodePageOf(uint32_t language) {
  const uint32_t primary = language & 0x3FF;
  if (primary == 0x04) return ChineseCodePage(language);
  if (primary == 0x1A) return SerboCroatianCodePage(language);
  for (const TPrimaryCodePage& entry : kPrimaryCodePages)
    if (entry.primary == primary) return entry.codePage;
  return 0;
}

namespace codepage {

bool Available(int codePage) { return OpenConverter(codePage) != nullptr; }

bool MultiByte(int codePage) {
  return codePage == 932 || codePage == 936 || codePage == 949 || codePage == 950;
}

bool ReadByteFacts(uint32_t language, TByteFacts& facts) {
  const TConverter converter = OpenConverter(CodePageOf(language));
  if (converter == nullptr) return false;
  UErrorCode error = U_ZERO_ERROR;
  ucnv_setToUCallBack(converter.get(), UCNV_TO_U_CALLBACK_STOP, nullptr, nullptr, nullptr, &error);
  if (U_FAILURE(error)) return false;
  for (int b = 0; b < 256; ++b) {
    facts.decode[b] = DecodeOne(converter.get(), static_cast<unsigned char>(b));
    facts.ctype[b] = Classify(facts.decode[b]);
  }
  MapCases(language, facts);
  return true;
}

bool DecodeText(int codePage, std::string_view bytes, std::string& utf8) {
  if (bytes.size() > kMaxTextLength) return false;
  const TConverter converter = OpenConverter(codePage);
  if (converter == nullptr) return false;
  UErrorCode error = U_ZERO_ERROR;
  ucnv_setToUCallBack(converter.get(), ReplacementCallback, nullptr, nullptr, nullptr, &error);
  // Every byte gives at most one UTF-16 unit in these code pages; twice that leaves room anyway.
  std::u16string units(bytes.size() * 2 + 2, u'\0');
  const int32_t length =
      ucnv_toUChars(converter.get(), units.data(), static_cast<int32_t>(units.size()), bytes.data(),
                    static_cast<int32_t>(bytes.size()), &error);
  if (U_FAILURE(error)) return false;
  utf8.clear();
  for (int32_t i = 0; i < length;) {
    UChar32 c;
    U16_NEXT(units.data(), i, length, c);
    AppendUtf8(utf8, c < 0 ? kNoChar : static_cast<char32_t>(c));
  }
  return true;
}

bool EncodeText(int codePage, std::string_view utf8, std::string& bytes) {
  if (utf8.size() > kMaxTextLength) return false;
  const TConverter converter = OpenConverter(codePage);
  if (converter == nullptr) return false;
  std::u16string units(utf8.size() + 1, u'\0');
  int32_t unitCount = 0;
  int32_t substitutions = 0;
  UErrorCode error = U_ZERO_ERROR;
  u_strFromUTF8WithSub(units.data(), static_cast<int32_t>(units.size()), &unitCount, utf8.data(),
                       static_cast<int32_t>(utf8.size()), 0xFFFD, &substitutions, &error);
  ucnv_setFallback(converter.get(), false);  // no best-fit guesses: what is missing is '?'
  ucnv_setSubstChars(converter.get(), "?", 1, &error);
  if (U_FAILURE(error)) return false;
  bytes.assign(static_cast<size_t>(unitCount) * 2 + 1, '\0');
  const int32_t length =
      ucnv_fromUChars(converter.get(), bytes.data(), static_cast<int32_t>(bytes.size()),
                      units.data(), unitCount, &error);
  if (U_FAILURE(error)) return false;
  bytes.resize(static_cast<size_t>(length));
  return true;
}

char32_t FirstUnencodable(int codePage, std::string_view utf8) {
  const TConverter converter = OpenConverter(codePage);
  UErrorCode error = U_ZERO_ERROR;
  if (converter != nullptr) {
    ucnv_setFallback(converter.get(), false);
    ucnv_setFromUCallBack(converter.get(), UCNV_FROM_U_CALLBACK_STOP, nullptr, nullptr, nullptr,
                          &error);
  }
  const TCharCoding coding = TCharCoding::Utf8({});
  for (size_t pos = 0; pos < utf8.size();) {
    const TChar c = coding.Next(utf8, pos);
    if (converter == nullptr) return c;
    UChar units[2];
    int32_t unitCount = 0;
    U16_APPEND_UNSAFE(units, unitCount, static_cast<UChar32>(c));
    char bytes[8];
    error = U_ZERO_ERROR;
    ucnv_resetFromUnicode(converter.get());
    ucnv_fromUChars(converter.get(), bytes, sizeof bytes, units, unitCount, &error);
    if (U_FAILURE(error)) return c;
  }
  return 0;
}

std::string LocaleCharset() {
  locale_t locale = newlocale(LC_CTYPE_MASK, "", static_cast<locale_t>(nullptr));
  if (locale == static_cast<locale_t>(nullptr)) return "UTF-8";
  std::string charset = nl_langinfo_l(CODESET, locale);
  freelocale(locale);
  if (charset.empty() || charset == "ANSI_X3.4-1968" || charset == "ASCII") return "UTF-8";
  return charset;
}

bool CharsetToUtf8(std::string_view charset, std::string_view text, std::string& utf8) {
  if (text.size() > kMaxTextLength) return false;
  UErrorCode error = U_ZERO_ERROR;
  const TConverter converter(ucnv_open(std::string(charset).c_str(), &error));
  if (U_FAILURE(error)) return false;
  ucnv_setToUCallBack(converter.get(), UCNV_TO_U_CALLBACK_STOP, nullptr, nullptr, nullptr, &error);
  std::u16string units(text.size() * 2 + 2, u'\0');
  const int32_t length =
      ucnv_toUChars(converter.get(), units.data(), static_cast<int32_t>(units.size()), text.data(),
                    static_cast<int32_t>(text.size()), &error);
  if (U_FAILURE(error)) return false;
  utf8.clear();
  for (int32_t i = 0; i < length;) {
    UChar32 c;
    U16_NEXT(units.data(), i, length, c);
    AppendUtf8(utf8, c < 0 ? kNoChar : static_cast<char32_t>(c));
  }
  return true;
}

uint32_t LanguageOfLocale(std::string_view posixLocale) {
  const std::string name = IcuLocaleName(posixLocale);
  if (name.empty() || name == "C" || name == "POSIX") return 0;
  char canonical[ULOC_FULLNAME_CAPACITY] = "";
  UErrorCode error = U_ZERO_ERROR;
  uloc_canonicalize(name.c_str(), canonical, sizeof canonical - 1, &error);  // keeps the zero
  if (U_FAILURE(error)) return 0;
  uint32_t language = uloc_getLCID(canonical);
  if (language == 0 || !IsNeutral(language)) return language;
  // "en" or "sr_RS": ask ICU for the likely country and script ("sr_Cyrl_RS", "en_Latn_US"),
  // then try that with and without the script.
  char likely[ULOC_FULLNAME_CAPACITY] = "";
  uloc_addLikelySubtags(canonical, likely, sizeof likely - 1, &error);
  if (U_FAILURE(error)) return language;
  if (const uint32_t full = uloc_getLCID(likely); !IsNeutral(full)) return full;
  char lang[ULOC_LANG_CAPACITY] = "", country[ULOC_COUNTRY_CAPACITY] = "";
  uloc_getLanguage(likely, lang, sizeof lang - 1, &error);
  uloc_getCountry(likely, country, sizeof country - 1, &error);
  if (U_FAILURE(error)) return language;
  const std::string langCountry = std::string(lang) + "_" + country;
  const uint32_t withoutScript = uloc_getLCID(langCountry.c_str());
  return IsNeutral(withoutScript) ? language : withoutScript;
}

}  // namespace codepage
}  // namespace quenterra
