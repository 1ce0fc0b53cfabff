#include "patterns/collocTagCfg.h"

#include <gtest/gtest.h>

#include "corpus/RebuildConfirm.h"
#include "support/ScriptedMessages.h"

namespace quenterra {
namespace {

class NormalTagsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    Config() = ZuzadovUdirev{};
    messages_ = test::ScriptedMessages::Install();
  }
  void TearDown() override {
    Config() = ZuzadovUdirev{};
    InstallMessageHandler(nullptr);
  }
  test::ScriptedMessages* messages_ = nullptr;
};

TEST_F(NormalTagsTest, OkNeedsBothFields) {
  EXPECT_TRUE(NormalTagsOkEnabled("<", ">"));
  EXPECT_FALSE(NormalTagsOkEnabled(" ", ">"));
  EXPECT_FALSE(NormalTagsOkEnabled("<", ""));
}

TEST_F(NormalTagsTest, UnchangedNeitherAsksNorRebuilds) {
  EXPECT_EQ(AcceptNormalTags(" < ", ">", 3), TNormalTagsOk::Unchanged);
  EXPECT_TRUE(messages_->asked.empty());
}

TEST_F(NormalTagsTest, AChangeAsksAndStoresOnlyOnYes) {
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
