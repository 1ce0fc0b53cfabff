#include "patterns/eMetaT.h"

#include <gtest/gtest.h>

#include "support/StoredSettingsTest.h"

namespace quenterra {
namespace {

TEST(MetaTags, ContentsSplitAtCommasAndJoinBack) {
  EXPECT_EQ(SplitMetaTagContents("nn, nns , ,np"), (std::vector<std::string>{"nn", "nns", "np"}));
  EXPECT_TRUE(SplitMetaTagContents(" , ").empty());
  EXPECT_EQ(JoinMetaTagContents({"nn", "nns"}), "nn, nns");
  EXPECT_EQ(MetaTagsFromRows({{"None", JoinMetaTagContents({})}}),
            (std::vector<TMetaTag>{{"None", {}}}));  // kept as a row
}

TEST(MetaTags, LookupIgnoresLetterCase) {
  std::vector<TMetaTag> tags = {{"Noun", {"nn"}}, {"noun", {"x"}}, {"Verb", {"vb"}}};
  EXPECT_EQ(FindMetaTag(tags, "NOUN"), 0);
  EXPECT_EQ(FindMetaTag(tags, "verb"), 2);
  EXPECT_EQ(FindMetaTag(tags, "adj"), -1);
}

using MetaTagEditorTest = test::TStoredSettingsTest;

TEST_F(MetaTagEditorTest, EditorRefusesBlankAndDuplicatedNames) {
  std::vector<TMetaTagRow> rows = {{"noun", "nn"}, {"Verb", "vb"}};
  std::string name = "  ", contents = "x";
  EXPECT_EQ(CheckMetaTagEdit(rows, -1, name, contents), TMetaTagEditCheck::EmptyName);
  name = "Adj";
  contents = " ";
  EXPECT_EQ(CheckMetaTagEdit(rows, -1, name, contents), TMetaTagEditCheck::EmptyContents);
  name = " Noun ";
  contents = " nn1 ";
  EXPECT_EQ(CheckMetaTagEdit(rows, -1, name, contents), TMetaTagEditCheck::Duplicate);
  EXPECT_EQ(messages_->errors, std::vector<std::string>{"Duplicated meta-tag name."});
  EXPECT_EQ(CheckMetaTagEdit(rows, 0, name, contents), TMetaTagEditCheck::Ok);  // its own row
  EXPECT_EQ(name, "Noun");
  EXPECT_EQ(contents, "nn1");
}

TEST_F(MetaTagEditorTest, AddFillsTheEmptyRowAndRemoveAsksFirst) {
  std::vector<TMetaTagRow> rows(1);
  EXPECT_FALSE(RemoveMetaTagRow(rows, 0));  // the empty only row: nothing, no question
  EXPECT_TRUE(messages_->asked.empty());
  AddMetaTagRow(rows, {"A", "a"});
  AddMetaTagRow(rows, {"B", "b"});
  AddMetaTagRow(rows, {"C", "c"});
  ASSERT_EQ(rows.size(), 3u);
  messages_->answers = {false, true, true, true};
  EXPECT_FALSE(RemoveMetaTagRow(rows, 1));
  EXPECT_TRUE(RemoveMetaTagRow(rows, 1));
  EXPECT_EQ(rows, (std::vector<TMetaTagRow>{{"A", "a"}, {"C", "c"}}));
  EXPECT_EQ(messages_->asked[0], "Remove \"B\" ?");
  EXPECT_TRUE(RemoveMetaTagRow(rows, 0));
  EXPECT_TRUE(RemoveMetaTagRow(rows, 0));
  EXPECT_EQ(rows, std::vector<TMetaTagRow>(1));  // the last row is cleared, not removed
}

}  // namespace
}  // namespace quenterra
