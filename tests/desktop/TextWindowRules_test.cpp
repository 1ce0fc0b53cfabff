#include "desktop/TextWindowRules.h"

#include <gtest/gtest.h>

#include <string>

namespace quenterra {
namespace {

TEST(TextWindowRulesTest, CaptionShowsTheFileNameOrTheWholeWebAddress) {
  EXPECT_EQ(CorpusTextCaption("/data/texts/one.txt"), "Corpus Text - one.txt");
  EXPECT_EQ(CorpusTextCaption("one.txt"), "Corpus Text - one.txt");
  EXPECT_EQ(CorpusTextCaption("HTTP://host/a/b.txt"), "Corpus Text - HTTP://host/a/b.txt");
  EXPECT_EQ(CorpusTextCaption("ftp://host/c.txt"), "Corpus Text - ftp://host/c.txt");
  EXPECT_EQ(CorpusTextCaption("/srv/http://x"), "Corpus Text - x");
}

TEST(TextWindowRulesTest, AtMostTwoSwitchesAreOn) {
  TSuppressSwitches switches;
  EXPECT_TRUE(switches.Toggle(TSuppress::kTags));
  EXPECT_TRUE(switches.Toggle(TSuppress::kPartOfSpeech));
  EXPECT_FALSE(switches.Toggle(TSuppress::kWords));
  EXPECT_FALSE(switches.On(TSuppress::kWords));
  EXPECT_TRUE(switches.Toggle(TSuppress::kTags));  // off again
  EXPECT_TRUE(switches.Toggle(TSuppress::kWords));
  EXPECT_TRUE(switches.On(TSuppress::kWords));
  EXPECT_FALSE(switches.On(TSuppress::kTags));
}

TEST(TextWindowRulesTest, PrintAsksAboveOneHundredLines) {
  EXPECT_EQ(PrintQuestion(50), "");
  EXPECT_EQ(PrintQuestion(100), "");
  EXPECT_EQ(PrintQuestion(150), "Print complete text of corpus?\r\n(Approximately 150 lines)");
}

// The rows of text when every character is one unit wide, as strings.
std::vector<std::u16string> Rows(const std::u16string& text, int width) {
  std::vector<std::u16string> rows;
  for (const TRow& row : WrapLine(text, width, [](int) { return 1; }))
    rows.push_back(
        text.substr(static_cast<size_t>(row.begin), static_cast<size_t>(row.end - row.begin)));
  return rows;
}

TEST(TextWindowRulesTest, WrapCutsAfterTheLastSpaceAndKeepsTrailingSpaces) {
  using R = std::vector<std::u16string>;
  EXPECT_EQ(Rows(u"aaa bbb ccc", 5), (R{u"aaa ", u"bbb ", u"ccc"}));
  EXPECT_EQ(Rows(u"ab   cd", 4), (R{u"ab  ", u" cd"}));
  EXPECT_EQ(Rows(u"abcdefgh", 3), (R{u"abc", u"def", u"gh"}));  // no space: cut before
  EXPECT_EQ(Rows(u"ab\tcd", 3), (R{u"ab\t", u"cd"}));           // a tab counts as a space
  EXPECT_EQ(Rows(u"", 3), (R{u""}));
  EXPECT_EQ(Rows(u"abc", 0), (R{u"a", u"b", u"c"}));  // a row holds at least one character
  // Characters of their own widths: "ab" fits 5 units, "c" (4 units) does not.
  const std::vector<int> widths = {2, 2, 4, 1};
  const auto rows = WrapLine(u"ab c", 5, [&](int i) { return widths[static_cast<size_t>(i)]; });
  EXPECT_EQ(rows, (std::vector<TRow>{{0, 2}, {2, 4}}));
}

TEST(TextWindowRulesTest, ScrollBarScalesFromARangeOf32768) {
  const TScrollScale small(32767 - 10 + 2, 10);  // range 32767
  EXPECT_FALSE(small.Scaled());
  EXPECT_EQ(small.Thumb(500), 500);
  EXPECT_EQ(small.TopOf(40000), small.LastTop());

  const TScrollScale large(40000, 10);  // range 40008
  ASSERT_TRUE(large.Scaled());
  EXPECT_EQ(large.Range(), 40008);
  EXPECT_EQ(large.Thumb(0), 0);
  EXPECT_EQ(large.Thumb(39999), 39999 * 32767 / 40008);
  EXPECT_EQ(large.TopOf(0), 0);
  EXPECT_EQ(large.TopOf(1), 0);
  EXPECT_EQ(large.TopOf(32760), 40008LL * 32760 / 32767);
  EXPECT_EQ(large.TopOf(32761), 39999);
  EXPECT_EQ(large.TopOf(32767), 39999);
}

}  // namespace
}  // namespace quenterra
