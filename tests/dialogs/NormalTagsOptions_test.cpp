#include "dialogs/NormalTagsOptions.h"

#include <gtest/gtest.h>

#include "dialogs/RebuildConfirm.h"
#include "support/StoredSettingsTest.h"

namespace quenterra {
namespace {

using NormalTagsTest = test::TStoredSettingsTest;

TEST_F(NormalTagsTest, OkNeedsBothFields) {
  EXPECT_TRUE(NormalTagsOkEnabled("<", ">"));
  EXPECT_FALSE(NormalTagsOkEnabled(" ", ">"));
  EXPECT_FALSE(NormalTagsOkEnabled("<", ""));
}

TEST_F(NormalTagsTest, OnlyAChangeAsksAndItIsStoredOnlyOnYes) {
  EXPECT_EQ(AcceptNormalTags(" < ", ">", 3), TNormalTagsOk::Unchanged);
  EXPECT_TRUE(messages_->asked.empty());
  messages_->answers = {false, true};
  EXPECT_EQ(AcceptNormalTags("<", "#", 3), TNormalTagsOk::RebuildRefused);
  EXPECT_EQ(Config().TagStop, '>');
  EXPECT_EQ(AcceptNormalTags("[", "#", 3), TNormalTagsOk::Changed);
  EXPECT_EQ(Config().TagStart, '[');
  EXPECT_EQ(Config().TagStop, '#');
  EXPECT_EQ(messages_->asked, std::vector<std::string>(2, kRebuildQuestion));
  EXPECT_EQ(AcceptNormalTags("<", ">", 0), TNormalTagsOk::Changed);  // no corpus: no question
  EXPECT_EQ(messages_->asked.size(), 2u);
}

}  // namespace
}  // namespace quenterra
