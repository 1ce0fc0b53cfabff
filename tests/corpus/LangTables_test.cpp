#include "corpus/LangTables.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <utility>

#include "settings/Settings.h"
#include "support/CorpusTestKit.h"
#include "support/EnvScope.h"

namespace quenterra {
namespace {

constexpr uint32_t kEnglishUS = 0x0409;

void UseLanguage(uint32_t language) {
  SetCurrentLanguage(language);
  BuildCaseTable();
  RebuildCharTables();
}

uint8_t Type(unsigned char c) { return CharTypeTable()[c]; }
uint8_t Word(unsigned char c) { return RegexWordTable()[c]; }
uint8_t Fold(unsigned char c) { return FoldingMap()[c]; }

// Clears the locale variables for one test and puts the old values back.
struct LocaleVariables {
  void Set(const char* name, const char* value) { setenv(name, value, 1); }
  test::TEnvScope all{"LC_ALL", nullptr}, ctype{"LC_CTYPE", nullptr}, lang{"LANG", nullptr};
};

using LangTablesTest = test::TSettingsTest;

TEST_F(LangTablesTest, LanguagesAreFoundByNameAndMapToTheirAnsiCodePages) {
  EXPECT_EQ(LanguageId("Serbian"), 0x0C1Au);  // the first of the two rows
  EXPECT_EQ(LanguageName(0x081A), "Serbian");
  EXPECT_EQ(LanguageId("Klingon"), 0u);
  EXPECT_EQ(LanguageName(0x0411), "");  // Japanese is not in the table

  const std::pair<uint32_t, int> expected[] = {{0x081A, 1250}, {0x0C1A, 1251}, {0x2C0A, 1252},
                                               {0x0408, 1253}, {0x041F, 1254}, {0x0427, 1257},
                                               {0x041E, 874},  {0x0411, 932},  {0x1004, 936},
                                               {0x0412, 949},  {0x0C04, 950},  {0x047F, 0}};
  for (const auto& [language, codePage] : expected)
    EXPECT_EQ(CodePageOf(language), codePage) << std::hex << language;

  // Every row's code page converts here, so each name is installed, "Serbian" once.
  const auto& installed = InstalledLanguages();
  ASSERT_EQ(installed.size(), LanguageTable().size() - 1);
  EXPECT_EQ(std::count(installed.begin(), installed.end(), "Serbian"), 1);
}

TEST_F(LangTablesTest, WesternTablesClassifyAndFoldCp1252) {
  EXPECT_EQ(DecodeByte(0x80), U'\u20AC');
  EXPECT_EQ(FoldChar(0xC4), 0xE4);  // Ä
  EXPECT_EQ(FoldChar(0x8A), 0x9A);  // Š
  EXPECT_EQ(OtherCase(0xE4), 0xC4);
  EXPECT_EQ(OtherCase(0xFF), 0x9F);  // ÿ's capital lives at 0x9F
  EXPECT_EQ(OtherCase(0xDF), 0xDF);  // ß has no capital here
  EXPECT_EQ(OtherCase('1'), 0);

  EXPECT_EQ(Type('A'), kCtUpper | kCtHexDigit);
  EXPECT_EQ(Type('7'), kCtDigit | kCtHexDigit);
  EXPECT_EQ(Type('\t'), kCtSpace | kCtControl | kCtBlank);
  EXPECT_EQ(Type(0xA0), kCtSpace | kCtBlank);
  EXPECT_EQ(Type('.'), kCtPunct);              // a delimiter
  EXPECT_EQ(Type('-'), kCtUpper | kCtLower);   // punctuation that is no delimiter is a letter
  EXPECT_EQ(Type(0xB2), kCtUpper | kCtLower);  // '²' is not a digit

  EXPECT_EQ(Word('7'), kReWord | kReDigit);
  EXPECT_EQ(Word(' '), kReSpace);
  EXPECT_EQ(Word('.'), 0);
  EXPECT_EQ(Word(0xE4), kReWord);
}

TEST_F(LangTablesTest, NonWordCharsDecideWhichPunctuationIsALetter) {
  Config().NonWordChars = "";
  RebuildCharTables();
  for (unsigned char c : {'-', '.'}) {
    EXPECT_EQ(Type(c), kCtUpper | kCtLower) << c;
    EXPECT_EQ(Word(c), kReWord) << c;
  }
  Config().NonWordChars = "-_a";
  RebuildCharTables();
  EXPECT_EQ(Type('-'), kCtPunct);
  EXPECT_EQ(Word('-'), 0);
  EXPECT_EQ(Type('a'), kCtPunct);  // even a letter, once it is a delimiter
  EXPECT_EQ(Word('_'), kReWord);   // the underscore always belongs to regex words
}

TEST_F(LangTablesTest, EqualClassesJoinTheFoldingMap) {
  TCharSet group;
  group.AddAll("a\xE4");  // a, ä
  Config().EqualGroups = {group};
  Config().UseEqualChars = true;
  Config().ignoreCase = false;
  EXPECT_EQ(Fold(0xE4), 0xE4) << "settings reach the map only when it is rebuilt";

  RebuildCharTables();
  EXPECT_EQ(Fold(0xE4), 'a');
  EXPECT_EQ(Fold('A'), 'A');
  EXPECT_EQ(Fold(0xC4), 0xC4);

  Config().ignoreCase = true;
  RebuildCharTables();
  for (int c : {int{'A'}, int{'a'}, 0xC4, 0xE4})
    EXPECT_EQ(Fold(static_cast<unsigned char>(c)), 'a') << c;
  EXPECT_EQ(Fold('B'), 'b');

  TCharSet upperFirst;  // the lowest byte is 'B'; folded, the class compares as 'b'
  upperFirst.AddAll("Bc");
  Config().EqualGroups = {upperFirst};
  RebuildCharTables();
  for (unsigned char c : {'B', 'b', 'C', 'c'}) EXPECT_EQ(Fold(c), 'b') << c;

  Config().UseEqualChars = false;
  RebuildCharTables();
  EXPECT_EQ(Fold('C'), 'c');
  EXPECT_EQ(Fold(0xC4), 0xE4);
}

TEST_F(LangTablesTest, ChangingLanguageRebuildsFromTheNewCaseTable) {
  EXPECT_EQ(Fold(0xD7), 0xD7);  // '×' in cp1252
  EXPECT_TRUE(SelectLanguage("Russian"));
  EXPECT_EQ(CurrentCodePage(), 1251);
  EXPECT_EQ(DecodeByte(0xC0), U'\u0410');
  EXPECT_EQ(Fold(0xD7), 0xF7);      // 'Ч' -> 'ч'
  EXPECT_EQ(FoldChar(0xA8), 0xB8);  // 'Ё' -> 'ё'
  EXPECT_EQ(Type(0xD7), kCtUpper);

  EXPECT_TRUE(SelectLanguage("Turkish"));
  EXPECT_EQ(FoldChar('I'), 0xFD);  // dotless ı
  EXPECT_EQ(FoldChar(0xDD), 'i');  // İ
  EXPECT_EQ(OtherCase('i'), 0xDD);
  EXPECT_EQ(Fold(0xD7), 0xD7);

  EXPECT_TRUE(SelectLanguage("Greek"));
  EXPECT_EQ(OtherCase(0xF2), 0xD3);  // ς -> Σ

  EXPECT_TRUE(SelectLanguage("English (United States)"));
  EXPECT_EQ(FoldChar('I'), 'i');
}

TEST_F(LangTablesTest, SerbianByNameIsTheCyrillicRow) {
  UseLanguage(0x081A);
  EXPECT_EQ(CurrentCodePage(), 1250);
  EXPECT_TRUE(SelectLanguage("Serbian"));
  EXPECT_EQ(CurrentLanguage(), 0x0C1Au);
  EXPECT_EQ(CurrentCodePage(), 1251);
  EXPECT_FALSE(SelectLanguage("Serbian"));
  EXPECT_FALSE(SelectLanguage("Klingon"));
  EXPECT_EQ(CurrentLanguage(), 0x0C1Au);
}

TEST_F(LangTablesTest, JapaneseHasNoCaseAndDoubleByteText) {
  UseLanguage(0x0411);
  EXPECT_TRUE(NoCaseLanguage());
  for (int c = 0; c < 256; ++c) {
    ASSERT_EQ(FoldChar(static_cast<unsigned char>(c)), c);
    ASSERT_EQ(Fold(static_cast<unsigned char>(c)), c) << "ignoreCase has no effect";
    ASSERT_EQ(OtherCase(static_cast<unsigned char>(c)), 0);
  }
  EXPECT_EQ(DecodeByte(0xB1), U'\uFF71');  // half-width katakana, a letter without case
  EXPECT_EQ(Type(0xB1), kCtUpper | kCtLower);
  EXPECT_EQ(DecodeByte(0x93), U'\uFFFD');  // a lead byte is no character on its own
  EXPECT_EQ(Type(0x93), 0);
  EXPECT_EQ(ToUtf8("\x93\xFA-\x93"), "\u65E5-\uFFFD");
  EXPECT_EQ(FromUtf8("\u65E5\u672C"), "\x93\xFA\x96\x7B");

  UseLanguage(kEnglishUS);
  EXPECT_FALSE(NoCaseLanguage());
}

TEST_F(LangTablesTest, TextConvertsThroughTheCurrentCodePage) {
  EXPECT_EQ(ToUtf8("\x80 \xC4z"), "\u20AC \u00C4z");
  EXPECT_EQ(FromUtf8("\u20AC \u00C4z"), "\x80 \xC4z");
  EXPECT_EQ(FromUtf8("\u4E2D!"), "?!");
  EXPECT_EQ(FromUtf8("a\xFF"), "a?");  // not UTF-8
}

TEST_F(LangTablesTest, StringFoldingUsesTheCaseTable) {
  EXPECT_EQ(FoldString("\xC4"
                       "Bc-D"),
            "\xE4"
            "bc-d");
  EXPECT_TRUE(FoldedPrefixMatch("POS_", "pos_NN", true));
  EXPECT_FALSE(FoldedPrefixMatch("POS_", "pos_NN", false));
  EXPECT_TRUE(FoldedPrefixMatch("pos_", "pos", false));  // the text ends first
  EXPECT_FALSE(FoldedPrefixMatch("pat", "pit", true));
}

TEST_F(LangTablesTest, DelimiterSetFollowsTheSettings) {
  TCharSet set = BuildDelimiterSet();
  for (int c = 0; c <= ' '; ++c) EXPECT_TRUE(set.Contains(static_cast<unsigned char>(c))) << c;
  for (unsigned char c : {'.', '"', '\\', '*', '%', '?', '&', '+', '>'})
    EXPECT_TRUE(set.Contains(c)) << c;
  for (int c : {int{'a'}, int{'-'}, int{'_'}, int{'@'}, 0x7F, 0xC4})
    EXPECT_FALSE(set.Contains(static_cast<unsigned char>(c))) << c;

  Config().NonWordChars = "";
  Config().WildCard0orMore = '@';
  set = BuildDelimiterSet();
  EXPECT_TRUE(set.Contains('@'));
  EXPECT_FALSE(set.Contains('.'));
  EXPECT_FALSE(set.Contains('*'));
}

TEST_F(LangTablesTest, UserDefaultLanguageComesFromTheLocaleVariables) {
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
}

TEST_F(LangTablesTest, StartUpAndStoredLanguageFollowTheDefault) {
  LocaleVariables variables;
  variables.Set("LANG", "tr_TR.UTF-8");
  InitLanguage();
  EXPECT_EQ(CurrentLanguage(), 0x041Fu);
  EXPECT_EQ(FoldChar('I'), 0xFD);
  EXPECT_EQ(Type('-'), kCtUpper | kCtLower) << "the other tables are built too";

  ApplyLanguage(0x0C1A);
  EXPECT_EQ(CurrentLanguage(), 0x0C1Au);
  for (uint32_t outside : {0x1234u, 0u}) {
    ApplyLanguage(outside);
    EXPECT_EQ(CurrentLanguage(), 0x041Fu) << outside;
  }
  // A default outside the table is kept when it is the stored value.
  variables.Set("LANG", "ja_JP.UTF-8");
  ApplyLanguage(0x0411);
  EXPECT_EQ(CurrentLanguage(), 0x0411u);
  EXPECT_TRUE(NoCaseLanguage());
}

TEST_F(LangTablesTest, EveryLanguageHasAConsistentCaseTable) {
  for (const TLanguage& row : LanguageTable()) {
    UseLanguage(row.id);
    for (int b = 0; b < 256; ++b) {
      const auto c = static_cast<unsigned char>(b);
      const unsigned char folded = FoldChar(c);
      ASSERT_EQ(FoldChar(folded), folded) << row.name << ' ' << b;
      if (folded != c) {
        ASSERT_EQ(CaseTable()[c], folded);
        ASSERT_EQ(OtherCase(c), folded) << row.name << ' ' << b;
        ASSERT_TRUE(Type(folded) & kCtLower) << row.name << ' ' << b;
      }
      if (b < 0x80) {
        ASSERT_EQ(DecodeByte(c), static_cast<char32_t>(b)) << row.name;
      }
    }
    ASSERT_EQ(FoldChar('A'), 'a') << row.name;
  }
}

}  // namespace
}  // namespace quenterra
