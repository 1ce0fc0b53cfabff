#include "corpus/LangTables.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <utility>

#include "settings/Settings.h"
#include "support/EnvScope.h"
#include "support/ErrorOf.h"

namespace quenterra {
namespace {

constexpr uint32_t kEnglishUS = 0x0409;

// Clears the locale variables for one test and puts the old values back.
struct LocaleVariables {
  void Set(const char* name, const char* value) { setenv(name, value, 1); }
  test::TEnvScope all{"LC_ALL", nullptr}, ctype{"LC_CTYPE", nullptr}, lang{"LANG", nullptr};
};

TEST(LangTables, LanguagesAreFoundByNameAndMapToTheirAnsiCodePages) {
  EXPECT_EQ(LanguageId("Serbian"), 0x0C1Au);  // the first of the two rows: Cyrillic
  EXPECT_EQ(LanguageName(0x081A), "Serbian");
  EXPECT_EQ(LanguageId("Klingon"), 0u);
  EXPECT_EQ(LanguageName(0x0411), "");  // Japanese is not in the table

  const std::pair<uint32_t, int> expected[] = {{0x081A, 1250}, {0x0C1A, 1251}, {0x2C0A, 1252},
                                               {0x041E, 874},  {0x0411, 932},  {0x0C04, 950},
                                               {0x047F, 0}};
  for (const auto& [language, codePage] : expected) {
    EXPECT_EQ(CodePageOf(language), codePage) << std::hex << language;
    EXPECT_EQ(TLangTables(language, TCorpusEncoding::kCodePage, ZuzadovUdirev{}).CodePage(),
              codePage)
        << std::hex << language;
  }

  // Every row's code page converts here, so each name is installed, "Serbian" once.
  const auto& installed = InstalledLanguages();
  ASSERT_EQ(installed.size(), LanguageTable().size() - 1);
  EXPECT_EQ(std::count(installed.begin(), installed.end(), "Serbian"), 1);
}

TEST(LangTables, BeforeALanguageIsKnownTheTablesAreIdentityAndAscii) {
  const TLangTables tables;
  for (int c = 0; c < 256; ++c) {
    const auto b = static_cast<unsigned char>(c);
    ASSERT_EQ(tables.FoldChar(b), b);
    ASSERT_EQ(tables.FoldingMap()[b], b);
    ASSERT_EQ(tables.CharTypeTable()[b], 0);
    ASSERT_EQ(tables.DecodeByte(b), c < 0x80 ? static_cast<char32_t>(c) : U'\uFFFD');
  }
  EXPECT_EQ(tables.UpperString("ab\xE4z"), "AB\xE4Z");
}

// Text the code page lacks becomes '?', or is refused when exact text is asked for.
TEST(LangTables, WesternTablesClassifyFoldAndConvertCp1252) {
  const TLangTables tables(kEnglishUS, TCorpusEncoding::kCodePage, ZuzadovUdirev{});
  auto type = [&](unsigned char c) { return tables.CharTypeTable()[c]; };
  auto word = [&](unsigned char c) { return tables.RegexWordTable()[c]; };
  EXPECT_EQ(tables.DecodeByte(0x80), U'\u20AC');
  EXPECT_EQ(tables.FoldChar(0xC4), 0xE4);  // Ä
  EXPECT_EQ(tables.FoldChar(0x8A), 0x9A);  // Š
  EXPECT_EQ(tables.OtherCase(0xE4), 0xC4);
  EXPECT_EQ(tables.OtherCase(0xFF), 0x9F);  // ÿ's capital lives at 0x9F
  EXPECT_EQ(tables.OtherCase(0xDF), 0xDF);  // ß has no capital here

  EXPECT_EQ(type('A'), kCtUpper | kCtHexDigit);
  EXPECT_EQ(type('\t'), kCtSpace | kCtControl | kCtBlank);
  EXPECT_EQ(type(0xA0), kCtSpace | kCtBlank);
  EXPECT_EQ(type('.'), kCtPunct);              // a delimiter
  EXPECT_EQ(type('-'), kCtUpper | kCtLower);   // punctuation that is no delimiter is a letter
  EXPECT_EQ(type(0xB2), kCtUpper | kCtLower);  // '²' is not a digit
  EXPECT_EQ(word('7'), kReWord | kReDigit);
  EXPECT_EQ(word(' '), kReSpace);
  EXPECT_EQ(word(0xE4), kReWord);

  EXPECT_EQ(tables.FoldString("\xC4-Bc"), "\xE4-bc");
  EXPECT_EQ(tables.UpperString("\xE4\xDF-a\xFF"), "\xC4\xDF-A\x9F");
  EXPECT_TRUE(tables.FoldedPrefixMatch("POS_", "pos_NN", true));
  EXPECT_FALSE(tables.FoldedPrefixMatch("POS_", "pos_NN", false));
  EXPECT_TRUE(tables.FoldedPrefixMatch("pos_", "pos", false));  // the text ends first

  EXPECT_EQ(tables.ToUtf8("\x80 \xC4z"), "\u20AC \u00C4z");
  EXPECT_EQ(tables.FromUtf8("\u20AC \u00C4z"), "\x80 \xC4z");
  EXPECT_EQ(tables.FromUtf8("\u4E2D!"), "?!");
  EXPECT_EQ(tables.FromUtf8("a\xFF"), "a?");  // not UTF-8
  EXPECT_EQ(tables.EncodingName(), "code page 1252");
  EXPECT_EQ(tables.FromUtf8Exact("\u00E9\u20AC"), "\xE9\x80");
  EXPECT_EQ(test::ErrorOf([&] { tables.FromUtf8Exact("a\u4E2D"); }),
            "The character \"\u4E2D\" cannot be written in code page 1252.");
  EXPECT_THROW(tables.FromUtf8Exact("\u0416"), EUnencodable);
}

TEST(LangTables, EqualClassesIgnoreCaseAndNonWordCharsShapeTheTables) {
  auto fold = [](const ZuzadovUdirev& config, unsigned char c) {
    return TLangTables(kEnglishUS, TCorpusEncoding::kCodePage, config).FoldingMap()[c];
  };
  ZuzadovUdirev config;
  TCharSet group;
  group = CharSetOf("a\xE4", TCharCoding());  // a, ä
  config.EqualGroups = {group};
  config.UseEqualChars = true;
  config.ignoreCase = false;
  EXPECT_EQ(fold(config, 0xE4), 'a');
  EXPECT_EQ(fold(config, 'A'), 'A');
  EXPECT_EQ(fold(config, 0xC4), 0xC4);
  EXPECT_EQ(
      TLangTables(kEnglishUS, TCorpusEncoding::kCodePage, config).RegExpTables().otherCase['a'], 0)
      << "without ignoreCase a regular expression knows no other case";

  config.ignoreCase = true;
  for (int c : {int{'A'}, int{'a'}, 0xC4, 0xE4})
    EXPECT_EQ(fold(config, static_cast<unsigned char>(c)), 'a') << c;
  EXPECT_EQ(fold(config, 'B'), 'b');
  EXPECT_EQ(
      TLangTables(kEnglishUS, TCorpusEncoding::kCodePage, config).RegExpTables().otherCase['a'],
      'A');

  TCharSet upperFirst;  // the lowest byte is 'B'; folded, the class compares as 'b'
  upperFirst = CharSetOf("Bc", TCharCoding());
  config.EqualGroups = {upperFirst};
  for (unsigned char c : {'B', 'b', 'C', 'c'}) EXPECT_EQ(fold(config, c), 'b') << c;

  config.UseEqualChars = false;
  EXPECT_EQ(fold(config, 'C'), 'c');
  EXPECT_EQ(fold(config, 0xC4), 0xE4);

  // NonWordChars decide which punctuation is a letter; the underscore always belongs to words.
  config.NonWordChars = "";
  const TLangTables none(kEnglishUS, TCorpusEncoding::kCodePage, config);
  EXPECT_EQ(none.CharTypeTable()['.'], kCtUpper | kCtLower);
  EXPECT_EQ(none.RegexWordTable()['.'], kReWord);
  config.NonWordChars = "-_a";
  const TLangTables some(kEnglishUS, TCorpusEncoding::kCodePage, config);
  EXPECT_EQ(some.CharTypeTable()['-'], kCtPunct);
  EXPECT_EQ(some.RegexWordTable()['-'], 0);
  EXPECT_EQ(some.CharTypeTable()['a'], kCtPunct);  // even a letter, once it is a delimiter
  EXPECT_EQ(some.RegexWordTable()['_'], kReWord);
}

TEST(LangTables, EachLanguageFoldsWithItsOwnCaseTable) {
  const ZuzadovUdirev config;
  const TLangTables russian(0x0419, TCorpusEncoding::kCodePage, config);
  EXPECT_EQ(russian.CodePage(), 1251);
  EXPECT_EQ(russian.DecodeByte(0xC0), U'\u0410');
  EXPECT_EQ(russian.FoldingMap()[0xD7], 0xF7);  // 'Ч' -> 'ч'; '×' in cp1252
  EXPECT_EQ(russian.FoldChar(0xA8), 0xB8);      // 'Ё' -> 'ё'
  EXPECT_EQ(russian.CharTypeTable()[0xD7], kCtUpper);
  EXPECT_EQ(russian.UpperString("\xF7z"), "\xD7Z");

  const TLangTables turkish(0x041F, TCorpusEncoding::kCodePage, config);
  EXPECT_EQ(turkish.FoldChar('I'), 0xFD);  // dotless ı
  EXPECT_EQ(turkish.FoldChar(0xDD), 'i');  // İ
  EXPECT_EQ(turkish.OtherCase('i'), 0xDD);
  EXPECT_EQ(turkish.FoldingMap()[0xD7], 0xD7);

  EXPECT_EQ(TLangTables(0x0408, TCorpusEncoding::kCodePage, config).OtherCase(0xF2),
            0xD3);  // Greek ς -> Σ
}

TEST(LangTables, JapaneseHasNoCaseAndDoubleByteText) {
  const TLangTables tables(0x0411, TCorpusEncoding::kCodePage, ZuzadovUdirev{});
  EXPECT_TRUE(tables.NoCase());
  for (int c = 0; c < 256; ++c) {
    const auto b = static_cast<unsigned char>(c);
    ASSERT_EQ(tables.FoldChar(b), c);
    ASSERT_EQ(tables.FoldingMap()[b], c) << "ignoreCase has no effect";
    ASSERT_EQ(tables.OtherCase(b), 0);
  }
  EXPECT_EQ(tables.DecodeByte(0xB1), U'\uFF71');  // half-width katakana, a letter without case
  EXPECT_EQ(tables.CharTypeTable()[0xB1], kCtUpper | kCtLower);
  EXPECT_EQ(tables.DecodeByte(0x93), U'\uFFFD');  // a lead byte is no character on its own
  EXPECT_EQ(tables.CharTypeTable()[0x93], 0);
  EXPECT_EQ(tables.ToUtf8("\x93\xFA-\x93"), "\u65E5-\uFFFD");
  EXPECT_EQ(tables.FromUtf8("\u65E5\u672C"), "\x93\xFA\x96\x7B");
  // 'Ｂ' is 0x82 0x61: its trail byte looks like 'a' but belongs to the character.
  EXPECT_EQ(tables.UpperString("\x82\x61z"), "\x82\x61Z");
  EXPECT_FALSE(TLangTables(kEnglishUS, TCorpusEncoding::kCodePage, ZuzadovUdirev{}).NoCase());
}

// In UTF-8 every code point classifies and folds, with the adjustments of the code page's
// tables (a delimiter is punctuation, other punctuation a letter); equal groups take every case
// form of their members; text converts both ways, the code page reading what is no UTF-8.
TEST(LangTables, Utf8TablesClassifyAndFoldEveryCodePoint) {
  ZuzadovUdirev config;
  config.NonWordChars = std::string(kDefaultNonWordChars) + "\u00AB";  // and «
  const TLangTables tables(kEnglishUS, TCorpusEncoding::kUtf8, config);
  EXPECT_EQ(tables.EncodingName(), "UTF-8");
  EXPECT_EQ(tables.CharType(U'\u00AB'), kCtPunct);             // «: a delimiter
  EXPECT_EQ(tables.CharType(U'\u00BB'), kCtUpper | kCtLower);  // »: a word character
  EXPECT_EQ(tables.RegExpTables().unicode->WordClass(U'\u00BB'), kReWord);
  EXPECT_EQ(tables.FoldString("\u00C9COLE Stra\u00DFe \u039F\u0394\u038C\u03A3 caf\xE9"),
            "\u00E9cole stra\u00DFe \u03BF\u03B4\u03CC\u03C3 caf\u00E9");
  EXPECT_EQ(tables.UpperString("stra\u00DFe n\u00E9"), "STRA\u00DFE N\u00C9");
  EXPECT_EQ(tables.ToUtf8("caf\xE9 \u4E2D"), "caf\u00E9 \u4E2D");
  EXPECT_EQ(tables.FromUtf8Exact("\u4E2D"), "\u4E2D");
  EXPECT_EQ(CorpusCoding(kEnglishUS, TCorpusEncoding::kUtf8), tables.Coding());

  const TLangTables turkish(0x041F, TCorpusEncoding::kUtf8, config);
  EXPECT_EQ(turkish.FoldString("\u0130STANBUL IRMAK"), "istanbul \u0131rmak");
  EXPECT_EQ(turkish.UpperString("istanbul"), "\u0130STANBUL");
  EXPECT_EQ(TLangTables(0x0804, TCorpusEncoding::kUtf8, config).FoldString("AB\u4E2D"),
            "AB\u4E2D");  // Chinese has no case table

  config.UseEqualChars = true;
  ASSERT_TRUE(ParseEqualChars("e=\u00E9; \u03C9=o", tables.Coding(), config.EqualGroups));
  const TLangTables equal(kEnglishUS, TCorpusEncoding::kUtf8, config);
  for (TChar c : {U'E', U'e', U'\u00C9', U'\u00E9'})
    EXPECT_EQ(equal.Translate(c), U'e') << static_cast<uint32_t>(c);
  EXPECT_EQ(equal.Translate(U'\u03A9'), U'o');  // Ω folds to ω, whose group's lowest is 'o'
}

TEST(LangTables, DelimiterSetFollowsTheSettings) {
  ZuzadovUdirev config;
  TCharSet set = BuildDelimiterSet(config, TCharCoding());
  for (int c : {0, 9, int{' '}, int{'.'}, int{'"'}, int{'\\'}, int{'*'}, int{'%'}, int{'?'},
                int{'&'}, int{'+'}, int{'>'}})
    EXPECT_TRUE(set.Contains(static_cast<unsigned char>(c))) << c;
  for (int c : {int{'a'}, int{'-'}, int{'_'}, int{'@'}, 0x7F, 0xC4})
    EXPECT_FALSE(set.Contains(static_cast<unsigned char>(c))) << c;
  config.NonWordChars = "";
  config.WildCard0orMore = '@';
  set = BuildDelimiterSet(config, TCharCoding());
  EXPECT_TRUE(set.Contains('@') && !set.Contains('.') && !set.Contains('*'));
}

TEST(LangTables, UserDefaultLanguageComesFromTheLocaleAndStoredOnesFallBackToIt) {
  LocaleVariables variables;
  EXPECT_EQ(UserDefaultLanguage(), kEnglishUS);
  const std::pair<const char*, uint32_t> cases[] = {
      {"de_AT.UTF-8", 0x0C07}, {"ja_JP.eucJP", 0x0411}, {"sr_RS@latin", 0x241A},
      {"ru_RU", 0x0419},       {"en", 0x0409},          {"C", kEnglishUS},
      {"POSIX", kEnglishUS},   {"C.UTF-8", kEnglishUS}, {"xx_YY", kEnglishUS}};
  for (const auto& [locale, language] : cases) {
    variables.Set("LANG", locale);
    EXPECT_EQ(UserDefaultLanguage(), language) << locale;
  }
  variables.Set("LC_CTYPE", "pl_PL.UTF-8");
  EXPECT_EQ(UserDefaultLanguage(), 0x0415u);
  variables.Set("LC_ALL", "");  // empty counts as unset
  EXPECT_EQ(UserDefaultLanguage(), 0x0415u);
  variables.Set("LC_ALL", "fr_CA.UTF-8");
  EXPECT_EQ(UserDefaultLanguage(), 0x0C0Cu);

  // A stored language outside the table falls back to the user's default.
  variables.Set("LC_ALL", "tr_TR.UTF-8");
  EXPECT_EQ(
      TLangTables(UserDefaultLanguage(), TCorpusEncoding::kCodePage, ZuzadovUdirev{}).FoldChar('I'),
      0xFD);
  EXPECT_EQ(StoredLanguage(0x0C1A), 0x0C1Au);
  for (uint32_t outside : {0x1234u, 0u}) EXPECT_EQ(StoredLanguage(outside), 0x041Fu) << outside;
  // A default outside the table is kept when it is the stored value.
  variables.Set("LC_ALL", "ja_JP.UTF-8");
  EXPECT_EQ(StoredLanguage(0x0411), 0x0411u);
  EXPECT_EQ(StoredLanguage(0x0412), 0x0411u);  // Korean is neither the default nor a row
}

TEST(LangTables, EveryLanguageHasAConsistentCaseTable) {
  const ZuzadovUdirev config;
  for (const TLanguage& row : LanguageTable()) {
    const TLangTables tables(row.id, TCorpusEncoding::kCodePage, config);
    ASSERT_EQ(tables.Language(), row.id);
    for (int b = 0; b < 256; ++b) {
      const auto c = static_cast<unsigned char>(b);
      const unsigned char folded = tables.FoldChar(c);
      ASSERT_EQ(tables.FoldChar(folded), folded) << row.name << ' ' << b;
      if (folded != c) {
        ASSERT_EQ(tables.CaseTable()[c], folded);
        ASSERT_EQ(tables.OtherCase(c), folded) << row.name << ' ' << b;
        ASSERT_TRUE(tables.CharTypeTable()[folded] & kCtLower) << row.name << ' ' << b;
      }
      if (b < 0x80) {
        ASSERT_EQ(tables.DecodeByte(c), static_cast<char32_t>(b)) << row.name;
      }
    }
    ASSERT_EQ(tables.FoldChar('A'), 'a') << row.name;
  }
}

}  // namespace
}  // namespace quenterra
