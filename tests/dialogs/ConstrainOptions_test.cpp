#include "dialogs/ConstrainOptions.h"

#include <gtest/gtest.h>

#include "corpus/LangTables.h"
#include "dialogs/RebuildConfirm.h"
#include "support/StoredSettingsTest.h"

namespace quenterra {
namespace {

class ConstrainOptionsTest : public test::TStoredSettingsTest {
 protected:
  // The dialog as it opens, with one field changed.
  static TConstrainOptions With(TSpecialField field, std::string value) {
    TConstrainOptions dialog = TConstrainOptions::FromConfig(Config());
    dialog.special[field] = std::move(value);
    return dialog;
  }
};

TEST_F(ConstrainOptionsTest, EmptyAndEqualFieldsAreRefusedWithTheirMessages) {
  struct {
    TSpecialField field;
    std::string value;
    std::string message;
    TSpecialField focus;
  } cases[] = {
      {kWC0or1Field, "?",
       "The wildcard charecter 0 or 1 is equal to the wildcard charecter exactly 1!", kWC0or1Field},
      {kWC1Field, "*",
       "The wildcard charecter 0 or more is equal to the wildcard charecter exactly 1!",
       kWC0orMoreField},
      {kSubsequentField, "+",
       "The  unordered word separator is equal to the  subsequent word separator!",
       kUnorderedField},
      {kWC0orMoreField, "", "Must specify a 0 or more wildcard charecter!", kWC0orMoreField},
      {kWC1Field, "", "Must specify a exactly 1 wildcard charecter!", kWC1Field},
      {kSearchSepField, "", "Must specify a tag search separator!", kSearchSepField},
      {kSubsequentField, "", "Must specify a subsequent word separator!", kSubsequentField},
  };
  for (const auto& c : cases) {
    std::optional<TConstrainError> error = ValidateSpecialChars(With(c.field, c.value));
    ASSERT_TRUE(error.has_value()) << c.message;
    EXPECT_EQ(error->message, c.message);
    EXPECT_EQ(error->field, c.focus) << c.message;
  }
  EXPECT_FALSE(ValidateSpecialChars(TConstrainOptions::FromConfig(Config())).has_value());

  TConstrainOkResult result = AcceptConstrainOptions(With(kWC0or1Field, "?"), 3);
  EXPECT_FALSE(result.accepted);
  EXPECT_EQ(result.focus, kWC0or1Field);
  EXPECT_EQ(messages_->errors.size(), 1u);
  EXPECT_EQ(Config().WildCard0or1, '%');  // nothing stored
}

TEST_F(ConstrainOptionsTest, OnlyTokenisingChangesNeedARebuild) {
  TConstrainOptions same = TConstrainOptions::FromConfig(Config());
  EXPECT_FALSE(ConstrainRebuildNeeded(same));
  TConstrainOptions dialog = same;
  dialog.EqualChars = "a=b";
  dialog.UseEqualChars = true;
  dialog.UseStoplist = true;
  EXPECT_FALSE(ConstrainRebuildNeeded(dialog));
  dialog = same;
  dialog.SkippingChars = "'";  // skipping off: the set does not matter
  EXPECT_FALSE(ConstrainRebuildNeeded(dialog));
  dialog.UseSkippingChars = true;
  EXPECT_TRUE(ConstrainRebuildNeeded(dialog));
  Config().UseSkippingChars = true;
  dialog.SkippingChars = "=-=";  // the same set as "-="
  EXPECT_FALSE(ConstrainRebuildNeeded(dialog));
  Config().UseSkippingChars = false;
  for (auto change : {+[](TConstrainOptions& d) { d.ignoreCase = false; },
                      +[](TConstrainOptions& d) { d.SkipNormalTags = false; },
                      +[](TConstrainOptions& d) { d.NonWordChars += "@"; },
                      +[](TConstrainOptions& d) { d.special[kWC0orMoreField] = "@"; }}) {
    dialog = same;
    change(dialog);
    EXPECT_TRUE(ConstrainRebuildNeeded(dialog));
  }
  dialog = same;
  dialog.NonWordChars += "*";  // already a delimiter as a wildcard
  EXPECT_FALSE(ConstrainRebuildNeeded(dialog));
}

TEST_F(ConstrainOptionsTest, RebuildQuestionDecidesAndNoKeepsEverything) {
  TConstrainOptions dialog = TConstrainOptions::FromConfig(Config());
  dialog.NonWordChars += "@";
  messages_->answers = {false};
  TConstrainOkResult refused = AcceptConstrainOptions(dialog, 2);
  EXPECT_FALSE(refused.accepted);
  EXPECT_FALSE(refused.focus.has_value());
  EXPECT_EQ(messages_->asked, std::vector<std::string>{kRebuildQuestion});
  EXPECT_EQ(Config(), ZuzadovUdirev{});

  messages_->answers = {true};
  TConstrainOkResult accepted = AcceptConstrainOptions(dialog, 2);
  EXPECT_TRUE(accepted.accepted);
  EXPECT_TRUE(accepted.rebuild);
  EXPECT_EQ(Config().NonWordChars, std::string(kDefaultNonWordChars) + "@");

  // Without corpus files nobody is asked.
  messages_->asked.clear();
  dialog.ignoreCase = false;
  EXPECT_TRUE(AcceptConstrainOptions(dialog, 0).rebuild);
  EXPECT_TRUE(messages_->asked.empty());
}

TEST_F(ConstrainOptionsTest, BadEqualCharsWarnButCloseKeepingTheOldGroups) {
  TCharSet ab;
  ab.AddAll("ab");
  Config().EqualGroups = {ab};
  TConstrainOptions dialog = TConstrainOptions::FromConfig(Config());
  dialog.EqualChars = "1=2";
  dialog.UseEqualChars = true;
  TConstrainOkResult result = AcceptConstrainOptions(dialog, 5);
  EXPECT_TRUE(result.accepted);
  EXPECT_FALSE(result.rebuild);
  EXPECT_TRUE(messages_->asked.empty());
  EXPECT_EQ(messages_->errors, std::vector<std::string>{"Wrong syntax in equal charecters."});
  EXPECT_EQ(Config().EqualChars, "1=2");
  EXPECT_EQ(Config().EqualGroups, std::vector<TCharSet>{ab});
  EXPECT_TRUE(Config().UseEqualChars);

  dialog.EqualChars = "x=y";
  ASSERT_TRUE(AcceptConstrainOptions(dialog, 5).accepted);
  TCharSet xy;
  xy.AddAll("xy");
  EXPECT_EQ(Config().EqualGroups, std::vector<TCharSet>{xy});
}

TEST_F(ConstrainOptionsTest, DefaultsAreTheFactorySettingsWithBothSwitchesOff) {
  Config().UseSkippingChars = Config().UseEqualChars = Config().UseStoplist = true;
  Config().EqualChars = "a=b";
  Config().WildCard0orMore = '@';
  EXPECT_EQ(TConstrainOptions::Defaults(), TConstrainOptions::FromConfig(ZuzadovUdirev{}));
}

}  // namespace
}  // namespace quenterra
