#include "engine/ListFormat.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "corpus/LangTables.h"
#include "corpus/TextIndex.h"
#include "engine/collocList.h"
#include "platform/Errors.h"
#include "platform/NumberFormat.h"
#include "support/TempDir.h"

namespace quenterra {
namespace {

using Ids = std::vector<int32_t>;

class ListFormatTest : public ::testing::Test {
 protected:
  void SetUp() override {
    SetCurrentLanguage(0x0409);  // code page 1252
    BuildCaseTable();
    RebuildCharTables();
    saved_ = NumberFormat();
    SetNumberFormat(TNumberFormat{',', '.'});
  }
  void TearDown() override { SetNumberFormat(saved_); }

  int32_t Token(const char* text, uint8_t kind = kKindWord) {
    return static_cast<int32_t>(index_.AddToken(text, kind, 0, 0));
  }
  // take place (count 3, MI 2.5), post office (count 1, MI -0.25)
  TCollocationList& TwoItems() {
    const Ids takePlace = {Token("take"), Token("place")};
    const Ids postOffice = {Token("post"), Token("office")};
    list_.Append(takePlace.data(), nullptr, 2.5, 3);
    list_.Append(postOffice.data(), nullptr, -0.25, 1);
    list_.Item(1).position = 1;
    return list_;
  }
  template <typename Write>
  static std::string Written(Write write) {
    std::ostringstream out;
    write(out);
    return out.str();
  }

  TNumberFormat saved_;
  test::TTempDir dir_;
  TTextIndex index_{dir_.File("page"), TProgressCallback(), TIndexFileMode::Create, false, true,
                    dir_.File("seq")};
  TCollocationList list_{index_, 2, smMutualInfo};
};

TEST_F(ListFormatTest, ColumnsFollowTheView) {
  using enum TListColumn;
  EXPECT_EQ(ShownColumns({false, smLogLikelihood}), (std::vector{Score, Text}));
  EXPECT_EQ(TitleLine({false, smLogLikelihood}), "LL\tCollocation");
  EXPECT_EQ(TitleLine({false, smNone}), "Collocation");  // both numeric columns hidden
  TwoItems();
  EXPECT_EQ(ItemLine(list_, 0, {true, smCost}), "3\t3\ttake place");
}

TEST_F(ListFormatTest, SavedFileHoldsTheHeaderTheTitlesAndOneLinePerItem) {
  EXPECT_EQ(Written([&](std::ostream& out) { WriteSavedList(out, list_, {}); }),
            "Collocation List ( 0 collocations )\r\n\r\nFreq\tCollocation\r\n"
            "________________\r\n\r\n");
  TwoItems();
  const TListView view{true, smMutualInfo};
  const std::string expected =
      "Collocation List ( 2 collocations )\r\n"
      "\r\n"
      "Score method: Mutual Information\r\n"
      "\r\n"
      "Freq\tMutual Inf.\tCollocation\r\n" +
      std::string(28, '_') +
      "\r\n"
      "\r\n"
      "3\t2.500000\ttake place\r\n"
      "1\t-0.250000\tpost office\r\n";
  EXPECT_EQ(Written([&](std::ostream& out) { WriteSavedList(out, list_, view); }), expected);

  const std::string name = dir_.File("list.txt");
  dir_.Write("list.txt", "old content that is longer than nothing");
  SaveListToFile(name, list_, view);
  EXPECT_EQ(dir_.Read("list.txt"), expected);
  EXPECT_THROW(SaveListToFile(dir_.File("missing/list.txt"), list_, view), EFileError);
}

TEST_F(ListFormatTest, TsvHasOneLinePerItemAndAnEmptyScoreWithoutMethod) {
  TwoItems();
  EXPECT_EQ(Written([&](std::ostream& out) {
              WriteListTsv(out, list_, {true, smMutualInfo});
            }),
            "count\tscore\tposition\ttext\n"
            "3\t2.500000\t0\ttake place\n"
            "1\t-0.250000\t1\tpost office\n");
  EXPECT_EQ(Written([&](std::ostream& out) {
              WriteListTsv(out, list_, {true, smNone});
            }),
            "count\tscore\tposition\ttext\n"
            "3\t\t0\ttake place\n"
            "1\t\t1\tpost office\n");
}

TEST_F(ListFormatTest, JsonEscapesAndConvertsTexts) {
  const Ids words = {Token("say\"\\"), Token("caf\xe9"), -1};
  const Ids tags = {Token("v\x01", kKindWordTag), -1, -1};
  TCollocationList list(index_, 3, smLogLikelihood);
  list.Append(words.data(), tags.data(), kScoreSentinel, 2);
  list.Append(words.data(), nullptr, 1.5, 1);
  const std::string json = Written([&](std::ostream& out) {
    WriteListJson(out, list, {true, smLogLikelihood}, "caf\xe9 + \"x\"");
  });
  EXPECT_EQ(json,
            "{\"caption\":\"caf\xc3\xa9 + \\\"x\\\"\",\"wordCount\":3,"
            "\"scoreMethod\":\"Log Likehood\",\"items\":[\n"
            "{\"count\":2,\"score\":null,\"position\":0,"
            "\"text\":\"say\\\"\\\\ V\\u0001 caf\xc3\xa9\","
            "\"words\":[\"say\\\"\\\\\",\"caf\xc3\xa9\"],\"tags\":[\"v\\u0001\",null]},\n"
            "{\"count\":1,\"score\":1.5,\"position\":0,"
            "\"text\":\"say\\\"\\\\ caf\xc3\xa9\","
            "\"words\":[\"say\\\"\\\\\",\"caf\xc3\xa9\"],\"tags\":[]}\n"
            "]}\n");
  const std::string hidden = Written([&](std::ostream& out) {
    WriteListJson(out, list, {true, smNone}, "c");
  });
  EXPECT_NE(hidden.find("\"scoreMethod\":\"None\""), std::string::npos);
  EXPECT_NE(hidden.find("\"count\":1,\"score\":null"), std::string::npos);
}

}  // namespace
}  // namespace quenterra
