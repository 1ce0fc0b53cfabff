#include "engine/ListFormat.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "engine/collocList.h"
#include "platform/Errors.h"
#include "support/EngineTestKit.h"

namespace quenterra {
namespace {

using Ids = std::vector<int32_t>;

class ListFormatTest : public test::TIndexTest {
 protected:
  // take place (count 3, MI 2.5), post office (count 1, MI -0.25, position 1)
  void TwoItems() {
    list_.Append(Ids{Token("take"), Token("place")}.data(), nullptr, 2.5, 3);
    list_.Append(Ids{Token("post"), Token("office")}.data(), nullptr, -0.25, 1);
    list_.Item(1).position = 1;
  }
  template <typename Write>
  static std::string Written(Write write) {
    std::ostringstream out;
    write(out);
    return out.str();
  }

  test::TNumberFormatScope format_{TNumberFormat{',', '.'}};
  TCollocationList list_{index_, settings_.tables, 2, TScoreMethod::kMutualInfo};
};

TEST_F(ListFormatTest, SavedFileAndTsvFollowTheShownColumns) {
  EXPECT_EQ(Written([&](std::ostream& out) { WriteSavedList(out, list_, {}); }),
            "Collocation List ( 0 collocations )\r\n\r\nFreq\tCollocation\r\n"
            "________________\r\n\r\n");
  TwoItems();
  EXPECT_EQ(TitleLine({false, TScoreMethod::kNone}), "Collocation");  // both numeric columns hidden
  EXPECT_EQ(ItemLine(list_, 1, {false, TScoreMethod::kCost}), "0\tpost office");
  const TListView view{true, TScoreMethod::kMutualInfo};
  const std::string expected =
      "Collocation List ( 2 collocations )\r\n\r\n"
      "Score method: Mutual Information\r\n\r\n"
      "Freq\tMutual Inf.\tCollocation\r\n" +
      std::string(28, '_') +
      "\r\n\r\n"
      "3\t2.500000\ttake place\r\n"
      "1\t-0.250000\tpost office\r\n";
  EXPECT_EQ(Written([&](std::ostream& out) { WriteSavedList(out, list_, view); }), expected);

  dir_.Write("list.txt", "old content that is longer than nothing");
  SaveListToFile(dir_.File("list.txt"), list_, view);
  EXPECT_EQ(dir_.Read("list.txt"), expected);
  EXPECT_THROW(SaveListToFile(dir_.File("missing/list.txt"), list_, view), EFileError);

  EXPECT_EQ(Written([&](std::ostream& out) { WriteListTsv(out, list_, view); }),
            "count\tscore\tposition\ttext\n3\t2.500000\t0\ttake place\n"
            "1\t-0.250000\t1\tpost office\n");
  EXPECT_EQ(Written([&](std::ostream& out) {
              WriteListTsv(out, list_, {true, TScoreMethod::kNone});
            }),
            "count\tscore\tposition\ttext\n3\t\t0\ttake place\n1\t\t1\tpost office\n");
}

// TSV is for programs: a '.' whatever the locale, and UTF-8 whatever bytes the corpus holds; the
// saved file keeps the locale's separator and the corpus's bytes. A list with fewer words than
// the index has tokens reads its texts from the index, a longer one from a table of them: alike.
TEST_F(ListFormatTest, TsvNumbersIgnoreTheLocaleAndItsTextIsUtf8) {
  const test::TNumberFormatScope comma{TNumberFormat{'.', ','}};
  list_.Append(Ids{Token("caf\xe9"), Token("internationalisation")}.data(), nullptr, 2.5, 3);
  const TListView view{true, TScoreMethod::kMutualInfo};
  const std::string line = "3\t2.500000\t0\tcaf\xc3\xa9 internationalisation\n";
  EXPECT_EQ(ItemLine(list_, 0, view), "3\t2,500000\tcaf\xe9 internationalisation");
  EXPECT_EQ(Written([&](std::ostream& out) { WriteListTsv(out, list_, view); }),
            "count\tscore\tposition\ttext\n" + line);
  for (const char* other : {"x", "y", "z"}) Token(other);
  EXPECT_EQ(Written([&](std::ostream& out) { WriteListTsv(out, list_, view); }),
            "count\tscore\tposition\ttext\n" + line);
}

TEST_F(ListFormatTest, JsonEscapesAndConvertsTexts) {
  const Ids words = {Token("say\"\\"), Token("caf\xe9"), -1};
  const Ids tags = {Token("v\x01", 1, kKindWordTag), -1, -1};
  TCollocationList list(index_, settings_.tables, 3, TScoreMethod::kLogLikelihood);
  list.Append(words.data(), tags.data(), kScoreSentinel, 2);
  list.Append(words.data(), nullptr, 1.5, 1);
  EXPECT_EQ(Written([&](std::ostream& out) {
              WriteListJson(out, list, {true, TScoreMethod::kLogLikelihood}, "caf\xe9 + \"x\"");
            }),
            "{\"caption\":\"caf\xc3\xa9 + \\\"x\\\"\",\"wordCount\":3,"
            "\"scoreMethod\":\"Log Likehood\",\"items\":[\n"
            "{\"count\":2,\"score\":null,\"position\":0,\"wordCount\":2,"
            "\"text\":\"say\\\"\\\\ V\\u0001 caf\xc3\xa9\","
            "\"words\":[\"say\\\"\\\\\",\"caf\xc3\xa9\"],\"tags\":[\"V\\u0001\",null]},\n"
            "{\"count\":1,\"score\":1.5,\"position\":0,\"wordCount\":2,"
            "\"text\":\"say\\\"\\\\ caf\xc3\xa9\","
            "\"words\":[\"say\\\"\\\\\",\"caf\xc3\xa9\"],\"tags\":[]}\n"
            "]}\n");
  const std::string hidden = Written([&](std::ostream& out) {
    WriteListJson(out, list, {true, TScoreMethod::kNone}, "c");
  });
  EXPECT_NE(hidden.find("\"scoreMethod\":\"None\""), std::string::npos);
  EXPECT_NE(hidden.find("\"count\":1,\"score\":null"), std::string::npos);
  // Without the frequency column neither form carries the counts.
  const std::string noFreq = Written([&](std::ostream& out) {
    WriteListJson(out, list, {false, TScoreMethod::kNone}, "c");
    WriteListTsv(out, list, {false, TScoreMethod::kNone});
  });
  EXPECT_EQ(noFreq.find("count"), std::string::npos);
  EXPECT_NE(noFreq.find("score\tposition\ttext\n\t0\tsay"), std::string::npos);
}

// Long lists are formatted block by block on two threads: the lines still come in list order.
TEST_F(ListFormatTest, LongTsvKeepsTheListOrder) {
  const Ids words = {Token("a"), Token("b")};
  const int count = 70000;  // four blocks and a part
  for (int i = 0; i < count; ++i) list_.Append(words.data(), nullptr, i % 7, i);
  std::istringstream lines(Written([&](std::ostream& out) {
    WriteListTsv(out, list_, {true, TScoreMethod::kMutualInfo});
  }));
  std::string line;
  std::getline(lines, line);
  int expected = 0;
  while (std::getline(lines, line) &&
         line == std::to_string(expected) + "\t" + std::to_string(expected % 7) + ".000000\t0\ta b")
    ++expected;
  EXPECT_EQ(expected, count);
}

}  // namespace
}  // namespace quenterra
