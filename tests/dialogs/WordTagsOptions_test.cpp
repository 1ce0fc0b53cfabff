#include "dialogs/WordTagsOptions.h"

#include <gtest/gtest.h>

#include "dialogs/RebuildConfirm.h"
#include "support/SettingsTest.h"

namespace quenterra {
namespace {

using Rows = std::vector<TMetaTagRow>;

class WordTagsOptionsTest : public test::TSettingsTest {
 protected:
  TWordTagsOptions Open() const { return TWordTagsOptions::FromSettings(config_, TCharCoding()); }
  ZuzadovUdirev& config_ = settings_.config;
};

TEST_F(WordTagsOptionsTest, OpeningShowsTheSettingsWithEmptyRowsToFill) {
  EXPECT_EQ(Open().TagStartRows, std::vector<std::string>(4));
  EXPECT_EQ(Open().MetaRows, Rows(1));
  config_.WordTag = 2;
  config_.wTagStarts = {"<w", "<c", "<x", "<y", "<z"};
  TWordTagsOptions dialog = Open();
  EXPECT_EQ(dialog.Mode(), 2);
  EXPECT_EQ(dialog.TagStartRows, config_.wTagStarts);
}

TEST_F(WordTagsOptionsTest, RebuildFollowsModeDelimiterStopAndStartsAndOkAsksFirst) {
  TWordTagsOptions dialog = Open();
  dialog.Before = true;
  dialog.MetaRows = {{"Noun", "nn"}};
  EXPECT_FALSE(dialog.RebuildNeeded(config_));
  dialog.SetEmbedded(true);
  EXPECT_TRUE(dialog.RebuildNeeded(config_));
  config_.WordTag = 1;
  EXPECT_FALSE(dialog.RebuildNeeded(config_));
  dialog.Delimiter = "/";
  EXPECT_TRUE(dialog.RebuildNeeded(config_));

  config_.WordTag = 2;
  config_.wTagStarts = {"<w"};
  dialog = Open();
  dialog.TagStartRows = {"", "  <w  ", ""};  // blank rows and blanks around do not count
  EXPECT_FALSE(dialog.RebuildNeeded(config_));
  dialog.TagStartRows.push_back("<c");
  EXPECT_TRUE(dialog.RebuildNeeded(config_));
  dialog.TagStartRows.pop_back();
  dialog.TagStop = "#";
  EXPECT_TRUE(dialog.RebuildNeeded(config_));

  // OK asks first, then needs a start string.
  dialog.TagStartRows = {""};
  messages_->answers = {false, true};
  EXPECT_EQ(dialog.CheckOk(config_, 4), TWordTagsOk::kRebuildRefused);
  EXPECT_EQ(dialog.CheckOk(config_, 4), TWordTagsOk::kNoTagStart);
  EXPECT_EQ(messages_->asked, std::vector<std::string>(2, kRebuildQuestion));
  dialog.TagStartRows = {"<w "};
  messages_->answers = {true};
  EXPECT_EQ(dialog.CheckOk(config_, 4), TWordTagsOk::kAccepted);
}

TEST_F(WordTagsOptionsTest, StoringKeepsCompleteMetaTagsTrimmedStartsAndTakesTheDelimiterOnce) {
  TWordTagsOptions dialog = Open();
  dialog.SetOutside(true);
  dialog.TagStartRows = {" <w ", "", "<c"};
  dialog.TagStop = "";  // an empty field keeps the stored character
  dialog.Before = true;
  dialog.MetaRows = {{" Verb ", "vb"}, {"", "x"}};
  EXPECT_TRUE(dialog.Store(config_));
  EXPECT_EQ(config_.wTagStarts, (std::vector<std::string>{"<w", "<c"}));
  EXPECT_EQ(config_.wTagStop, '>');
  EXPECT_TRUE(config_.wTagBefore);
  EXPECT_EQ(config_.MetaTags, (std::vector<TMetaTag>{{"Verb", {"vb"}}}));

  dialog.SetEmbedded(true);  // mode 1: the delimiter is no word separator any more
  config_.NonWordChars = "._,_";
  EXPECT_TRUE(dialog.Store(config_));
  EXPECT_EQ(config_.WordTag, 1);
  EXPECT_EQ(config_.NonWordChars, ".,_");
  EXPECT_FALSE(dialog.Store(config_));
  EXPECT_FALSE(dialog.Store(config_));
  EXPECT_EQ(config_.NonWordChars, ".,");
}

// Names compare with letter case ignored, through the language's case table.
TEST_F(WordTagsOptionsTest, MetaTagEditorRefusesBlankAndDuplicatedNames) {
  const Rows rows = {{"noun", "nn"}, {"\xE9t\xE9", "x"}};
  auto check = [&](std::string name, std::string contents, int editedRow = -1) {
    TMetaTagEditCheck result = CheckMetaTagEdit(rows, editedRow, name, contents, settings_.tables);
    return result == TMetaTagEditCheck::kOk ? name + "|" + contents : std::to_string(int(result));
  };
  EXPECT_EQ(check("  ", "x"), std::to_string(int(TMetaTagEditCheck::kEmptyName)));
  EXPECT_EQ(check("Adj", " "), std::to_string(int(TMetaTagEditCheck::kEmptyContents)));
  EXPECT_EQ(check(" Adj ", " jj "), "Adj|jj");
  EXPECT_EQ(check(" Noun ", "nn1"), std::to_string(int(TMetaTagEditCheck::kDuplicate)));
  EXPECT_EQ(check("\xC9T\xC9", "nn1"), std::to_string(int(TMetaTagEditCheck::kDuplicate)));
  EXPECT_EQ(messages_->errors, std::vector<std::string>(2, "Duplicated meta-tag name."));
  EXPECT_EQ(check(" Noun ", "nn1", 0), "Noun|nn1");  // its own row
}

TEST_F(WordTagsOptionsTest, MetaTagAddFillsTheEmptyRowAndRemoveAsksFirst) {
  Rows rows(1);
  EXPECT_FALSE(
      RemoveMetaTagRow(rows, 0, settings_.tables));  // the empty only row: nothing, no question
  EXPECT_TRUE(messages_->asked.empty());
  for (const char* name : {"A", "\xC9t\xE9", "C"}) AddMetaTagRow(rows, {name, "x"});
  ASSERT_EQ(rows.size(), 3u);
  messages_->answers = {false, true, true, true};
  EXPECT_FALSE(RemoveMetaTagRow(rows, 1, settings_.tables));
  EXPECT_FALSE(RemoveMetaTagRow(rows, 3, settings_.tables));  // out of range: no question
  EXPECT_TRUE(RemoveMetaTagRow(rows, 1, settings_.tables));
  EXPECT_EQ(rows, (Rows{{"A", "x"}, {"C", "x"}}));
  EXPECT_EQ(messages_->asked[0], "Remove \"\u00C9t\u00E9\" ?");  // shown as UTF-8
  EXPECT_TRUE(RemoveMetaTagRow(rows, 0, settings_.tables));
  EXPECT_TRUE(RemoveMetaTagRow(rows, 0, settings_.tables));
  EXPECT_EQ(rows, Rows(1));  // the last row is cleared, not removed
}

}  // namespace
}  // namespace quenterra
