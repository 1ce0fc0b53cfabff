#include "dialogs/ConstrainOptions.h"

#include <gtest/gtest.h>

#include <tuple>

#include "dialogs/RebuildConfirm.h"
#include "support/SettingsTest.h"

namespace quenterra {
namespace {

class ConstrainOptionsTest : public test::TSettingsTest {
 protected:
  ZuzadovUdirev& config_ = settings_.config;
  const TConstrainOptions opened_ = TConstrainOptions::FromSettings(config_, TCharCoding());
};

TEST_F(ConstrainOptionsTest, EmptyAndEqualFieldsAreRefusedWithTheirMessages) {
  // The field changed, its new text, the message, the field that takes the focus.
  const std::tuple<TSpecialField, const char*, const char*, TSpecialField> cases[] = {
      {TSpecialField::kWC1, "*",
       "The wildcard charecter 0 or more is equal to the wildcard charecter exactly 1!",
       TSpecialField::kWC0orMore},
      {TSpecialField::kSubsequent, "+",
       "The  unordered word separator is equal to the  subsequent word separator!",
       TSpecialField::kUnordered},
      {TSpecialField::kWC0or1, "", "Must specify a 0 or 1 wildcard charecter!",
       TSpecialField::kWC0or1},
      {TSpecialField::kSubsequent, "", "Must specify a subsequent word separator!",
       TSpecialField::kSubsequent},
  };
  EXPECT_FALSE(opened_.ValidateSpecialChars().has_value());
  for (const auto& [field, value, message, focus] : cases) {
    TConstrainOptions dialog = opened_;
    dialog.Special(field) = value;
    TConstrainOkResult result = dialog.Accept(config_, 3);
    EXPECT_FALSE(result.accepted);
    EXPECT_EQ(result.focus, focus) << message;
    EXPECT_EQ(messages_->errors.back(), message);
    EXPECT_EQ(config_, ZuzadovUdirev{});  // nothing stored
  }
}

TEST_F(ConstrainOptionsTest, OnlyTokenisingChangesNeedARebuild) {
  EXPECT_FALSE(opened_.RebuildNeeded(config_));
  TConstrainOptions dialog = opened_;
  dialog.EqualChars = "a=b";
  dialog.UseEqualChars = dialog.UseStoplist = true;
  dialog.SkippingChars = "'";  // skipping off: the set does not matter
  dialog.NonWordChars += "*";  // already a delimiter as a wildcard
  EXPECT_FALSE(dialog.RebuildNeeded(config_));
  dialog.UseSkippingChars = true;
  EXPECT_TRUE(dialog.RebuildNeeded(config_));
  config_.UseSkippingChars = true;
  dialog.SkippingChars = "=-=";  // the same set as "-="
  EXPECT_FALSE(dialog.RebuildNeeded(config_));
  config_.UseSkippingChars = false;
  for (auto change : {+[](TConstrainOptions& d) { d.ignoreCase = false; },
                      +[](TConstrainOptions& d) { d.SkipNormalTags = false; },
                      +[](TConstrainOptions& d) { d.NonWordChars += "@"; },
                      +[](TConstrainOptions& d) { d.Special(TSpecialField::kWC0orMore) = "@"; }}) {
    dialog = opened_;
    change(dialog);
    EXPECT_TRUE(dialog.RebuildNeeded(config_));
  }
}

TEST_F(ConstrainOptionsTest, RebuildQuestionDecidesAndNoKeepsEverything) {
  TConstrainOptions dialog = opened_;
  dialog.NonWordChars += "@";
  messages_->answers = {false, true};
  TConstrainOkResult refused = dialog.Accept(config_, 2);
  EXPECT_FALSE(refused.accepted || refused.focus.has_value());
  EXPECT_EQ(config_, ZuzadovUdirev{});
  TConstrainOkResult accepted = dialog.Accept(config_, 2);
  EXPECT_TRUE(accepted.accepted && accepted.rebuild);
  EXPECT_EQ(config_.NonWordChars, std::string(kDefaultNonWordChars) + "@");
  EXPECT_EQ(messages_->asked, std::vector<std::string>(2, kRebuildQuestion));
  // "Default" shows the factory settings, whatever the current ones.
  EXPECT_EQ(TConstrainOptions::Defaults(TCharCoding()),
            TConstrainOptions::FromSettings(ZuzadovUdirev{}, TCharCoding()));
}

TEST_F(ConstrainOptionsTest, BadEqualCharsWarnButCloseKeepingTheOldGroups) {
  TCharSet ab, xy;
  ab = CharSetOf("ab", TCharCoding());
  xy = CharSetOf("xy", TCharCoding());
  config_.EqualGroups = {ab};
  TConstrainOptions dialog = TConstrainOptions::FromSettings(config_, TCharCoding());
  dialog.EqualChars = "1=2";
  dialog.UseEqualChars = true;
  TConstrainOkResult result = dialog.Accept(config_, 5);
  EXPECT_TRUE(result.accepted && !result.rebuild);
  EXPECT_EQ(messages_->errors, std::vector<std::string>{"Wrong syntax in equal charecters."});
  EXPECT_EQ(config_.EqualGroups, std::vector<TCharSet>{ab});
  EXPECT_EQ(config_.EqualChars, "1=2");  // the rest is stored
  dialog.EqualChars = "x=y";
  ASSERT_TRUE(dialog.Accept(config_, 5).accepted);
  EXPECT_EQ(config_.EqualGroups, std::vector<TCharSet>{xy});
}

}  // namespace
}  // namespace quenterra
