#include "dialogs/NormalTagsOptions.h"

#include <gtest/gtest.h>

#include "dialogs/RebuildConfirm.h"
#include "support/SettingsTest.h"

namespace quenterra {
namespace {

using NormalTagsOptionsTest = test::TSettingsTest;

TEST_F(NormalTagsOptionsTest, OnlyAChangeAsksAndItIsStoredOnlyOnYes) {
  ZuzadovUdirev& config = settings_.config;
  auto accept = [&](const char* start, const char* stop, int files) {
    return TNormalTagsOptions{start, stop, TCharCoding()}.Accept(config, files);
  };
  TNormalTagsOptions opened = TNormalTagsOptions::FromSettings(config, TCharCoding());
  EXPECT_EQ(opened.TagStart + opened.TagStop, "<>");
  EXPECT_FALSE((TNormalTagsOptions{" ", ">", TCharCoding()}.OkEnabled()));
  EXPECT_EQ(accept("<", "", 3), TNormalTagsOk::kUnchanged);  // OK is greyed
  EXPECT_EQ(accept(" < ", ">", 3), TNormalTagsOk::kUnchanged);
  EXPECT_TRUE(messages_->asked.empty());
  messages_->answers = {false, true};
  EXPECT_EQ(accept("<", "#", 3), TNormalTagsOk::kRebuildRefused);
  EXPECT_EQ(config.TagStop, '>');
  EXPECT_EQ(accept("[", " # ", 3), TNormalTagsOk::kChanged);
  EXPECT_EQ(std::u32string({config.TagStart, config.TagStop}), U"[#");
  EXPECT_EQ(messages_->asked, std::vector<std::string>(2, kRebuildQuestion));
  EXPECT_EQ(accept("<", ">", 0), TNormalTagsOk::kChanged);  // no corpus: no question
  EXPECT_EQ(messages_->asked.size(), 2u);
}

}  // namespace
}  // namespace quenterra
