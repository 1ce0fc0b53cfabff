#include "dialogs/WordTagsOptions.h"

#include <gtest/gtest.h>

#include "dialogs/RebuildConfirm.h"
#include "support/StoredSettingsTest.h"

namespace quenterra {
namespace {

using WordTagsCfgTest = test::TStoredSettingsTest;

TEST_F(WordTagsCfgTest, OpeningShowsTheSettingsWithEmptyRowsToFill) {
  TWordTagsOptions dialog = TWordTagsOptions::FromConfig(Config());
  EXPECT_EQ(dialog.TagStartRows, std::vector<std::string>(4));
  EXPECT_EQ(dialog.MetaRows, std::vector<TMetaTagRow>(1));
  Config().WordTag = 2;
  Config().wTagStarts = {"<w", "<c", "<x", "<y", "<z"};
  Config().MetaTags = {{"Noun", {"nn", "nns"}}};
  dialog = TWordTagsOptions::FromConfig(Config());
  EXPECT_EQ(dialog.Mode(), 2);
  EXPECT_EQ(dialog.TagStartRows, Config().wTagStarts);
  EXPECT_EQ(dialog.MetaRows, (std::vector<TMetaTagRow>{{"Noun", "nn, nns"}}));
  dialog.SetEmbedded(true);
  EXPECT_EQ(dialog.Mode(), 1);
  dialog.SetEmbedded(false);
  EXPECT_EQ(dialog.Mode(), 0);  // both may be clear
}

TEST_F(WordTagsCfgTest, RebuildFollowsModeDelimiterStopAndStarts) {
  TWordTagsOptions dialog = TWordTagsOptions::FromConfig(Config());
  dialog.Before = true;
  dialog.MetaRows = {{"Noun", "nn"}};
  EXPECT_FALSE(WordTagsRebuildNeeded(dialog, Config()));
  dialog.SetEmbedded(true);
  EXPECT_TRUE(WordTagsRebuildNeeded(dialog, Config()));

  Config().WordTag = 1;
  EXPECT_FALSE(WordTagsRebuildNeeded(dialog, Config()));
  dialog.Delimiter = "/";
  EXPECT_TRUE(WordTagsRebuildNeeded(dialog, Config()));

  Config().WordTag = 2;
  Config().wTagStarts = {"<w"};
  dialog = TWordTagsOptions::FromConfig(Config());
  dialog.TagStartRows = {"", "  <w  ", ""};  // blank rows and blanks around do not count
  EXPECT_FALSE(WordTagsRebuildNeeded(dialog, Config()));
  dialog.TagStartRows.push_back("<c");
  EXPECT_TRUE(WordTagsRebuildNeeded(dialog, Config()));
  dialog.TagStartRows.pop_back();
  dialog.TagStop = "#";
  EXPECT_TRUE(WordTagsRebuildNeeded(dialog, Config()));
}

TEST_F(WordTagsCfgTest, OkAsksFirstThenNeedsAStartString) {
  TWordTagsOptions dialog = TWordTagsOptions::FromConfig(Config());
  dialog.SetOutside(true);
  messages_->answers = {false, true};
  EXPECT_EQ(CheckWordTagsOk(dialog, 4), TWordTagsOk::RebuildRefused);
  EXPECT_EQ(CheckWordTagsOk(dialog, 4), TWordTagsOk::NoTagStart);
  EXPECT_EQ(messages_->asked, std::vector<std::string>(2, kRebuildQuestion));
  dialog.TagStartRows[2] = "<w ";
  EXPECT_EQ(CheckWordTagsOk(dialog, 0), TWordTagsOk::Accepted);
}

TEST_F(WordTagsCfgTest, StoringTakesTheDelimiterOutOfTheDelimitersOnce) {
  TWordTagsOptions dialog = TWordTagsOptions::FromConfig(Config());
  dialog.SetEmbedded(true);
  Config().NonWordChars = "._,_";
  EXPECT_TRUE(StoreWordTags(dialog, Config()));
  EXPECT_EQ(Config().WordTag, 1);
  EXPECT_EQ(Config().NonWordChars, ".,_");
  EXPECT_FALSE(StoreWordTags(dialog, Config()));
  EXPECT_EQ(Config().NonWordChars, ".,");
  EXPECT_FALSE(StoreWordTags(dialog, Config()));
  EXPECT_EQ(Config().NonWordChars, ".,");
}

TEST_F(WordTagsCfgTest, StoringKeepsOnlyCompleteMetaTagsAndTrimmedStarts) {
  TWordTagsOptions dialog = TWordTagsOptions::FromConfig(Config());
  dialog.SetOutside(true);
  dialog.TagStartRows = {" <w ", "", "<c"};
  dialog.TagStop = "";  // an empty field keeps the stored character
  dialog.Before = true;
  dialog.MetaRows = {{"Noun", "nn, nns , ,np"}, {"Empty", "  "}, {"  ", "x"}, {" Verb ", "vb"}};
  EXPECT_TRUE(StoreWordTags(dialog, Config()));
  EXPECT_EQ(Config().wTagStarts, (std::vector<std::string>{"<w", "<c"}));
  EXPECT_EQ(Config().wTagStop, '>');
  EXPECT_TRUE(Config().wTagBefore);
  EXPECT_EQ(Config().MetaTags,
            (std::vector<TMetaTag>{{"Noun", {"nn", "nns", "np"}}, {"Verb", {"vb"}}}));
}

}  // namespace
}  // namespace quenterra
