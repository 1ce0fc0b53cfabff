#include "dialogs/FEOptions.h"

#include <gtest/gtest.h>

#include "engine/Scores.h"
#include "platform/Messages.h"
#include "platform/NumberFormat.h"
#include "support/ScriptedMessages.h"

namespace quenterra {
namespace {

class FEOptionsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    messages_ = test::ScriptedMessages::Install();
    config_.WordTag = 1;
  }
  void TearDown() override {
    InstallMessageHandler(nullptr);
    SetNumberFormat(TNumberFormat{});
  }
  test::ScriptedMessages* messages_ = nullptr;
  TFullExtractOptions stored_;
  ZuzadovUdirev config_;
};

TEST_F(FEOptionsTest, OpeningShowsTheStoredValuesAndMendsTheSpans) {
  stored_.Min_Span = 6;
  stored_.Max_Span = 4;
  stored_.IF_Score_Method = smTScore;
  stored_.IFMin_T_Score = 1.25;
  stored_.EF_Score_Method = smCost;
  stored_.EFMin_Cost_Criteria = 5;
  stored_.UsePOSTags = true;
  TFEOptions dialog(false, stored_, config_);
  EXPECT_STREQ(dialog.Caption(), "Full Extract Options");
  EXPECT_EQ(stored_.Max_Span, 7);  // stays even when the dialog is cancelled
  EXPECT_EQ(dialog.MaxSpan(), 7);
  EXPECT_STREQ(dialog.InitialLabel(), "Minimum T-Score");
  EXPECT_EQ(dialog.InitialText(), "1.2500");
  EXPECT_EQ(dialog.ExtendedText(), "5");
  EXPECT_TRUE(dialog.UsePOSTags());

  stored_.IF_Score_Method = 3;  // any other code: Mutual Information
  stored_.EF_Score_Method = 9;  // anything but 2: Cost Criteria
  config_.WordTag = 0;          // without word tags the box is greyed and cleared
  TFEOptions other(false, stored_, config_);
  EXPECT_EQ(other.InitialMethod(), smMutualInfo);
  EXPECT_EQ(other.ExtendedMethod(), smCost);
  EXPECT_FALSE(other.TagsEnabled());
  other.SetUsePOSTags(true);
  EXPECT_FALSE(other.UsePOSTags());
  EXPECT_EQ(other.Accept(), TFEOkResult::Accepted);
  EXPECT_FALSE(stored_.UsePOSTags);
}

TEST_F(FEOptionsTest, EachFilterMethodKeepsItsOwnValue) {
  stored_.IF_Score_Method = smTScore;
  stored_.IFMin_T_Score = 0.5;
  stored_.IFMin_Likehood = 3;
  stored_.IFMin_Mutual_Info = 1;
  TFEOptions dialog(false, stored_, config_);
  dialog.SetInitialText("0.7");
  dialog.SelectInitialMethod(smLogLikelihood);
  EXPECT_STREQ(dialog.InitialLabel(), "Minimum LL");
  EXPECT_EQ(dialog.InitialText(), "3.0000");
  dialog.SelectInitialMethod(smTScore);
  EXPECT_EQ(dialog.InitialText(), "0.7000");

  // Min. Span 3 and more switch to Mutual Information, showing its own minimum.
  dialog.SetMinSpanText("3");
  EXPECT_EQ(dialog.InitialMethod(), smMutualInfo);
  EXPECT_STREQ(dialog.InitialLabel(), "Minimum MI");
  EXPECT_EQ(dialog.InitialText(), "1.0000");

  dialog.SelectExtendedMethod(smMutualInfo);
  EXPECT_EQ(dialog.ExtendedText(), "0.5000");
  dialog.SetExtendedText("2.5");
  dialog.SelectExtendedMethod(smCost);
  EXPECT_EQ(dialog.ExtendedText(), "3");
  dialog.SetExtendedText("8");
  dialog.SelectExtendedMethod(smMutualInfo);
  EXPECT_EQ(dialog.ExtendedText(), "2.5000");

  dialog.SetMaxSpan(9);
  ASSERT_EQ(dialog.Accept(), TFEOkResult::Accepted);
  EXPECT_EQ(stored_.Min_Span, 3);
  EXPECT_EQ(stored_.Max_Span, 9);
  EXPECT_EQ(stored_.IF_Score_Method, smMutualInfo);
  EXPECT_DOUBLE_EQ(stored_.IFMin_T_Score, 0.7);
  EXPECT_DOUBLE_EQ(stored_.IFMin_Mutual_Info, 1);
  EXPECT_EQ(stored_.EF_Score_Method, smMutualInfo);
  EXPECT_EQ(stored_.EFMin_Cost_Criteria, 8);
  EXPECT_DOUBLE_EQ(stored_.EFMin_Mutual_Info, 2.5);
}

TEST_F(FEOptionsTest, OkRefusesSpansOutOfOrderAndValuesThatAreNoNumbers) {
  TFEOptions dialog(false, stored_, config_);
  dialog.SetMinSpan(4);
  dialog.SetMaxSpan(4);
  EXPECT_EQ(dialog.Accept(), TFEOkResult::SpanOrder);
  EXPECT_EQ(messages_->errors,
            std::vector<std::string>{"Max. Span must be greather than Min. Span."});
  EXPECT_EQ(stored_.Min_Span, 2);  // nothing written
  dialog.SetMaxSpanText("5");
  dialog.SetInitialText("-");
  EXPECT_EQ(dialog.Accept(), TFEOkResult::NotANumber);
  EXPECT_EQ(messages_->errors.back(), "'-' is not a valid floating point value.");
  EXPECT_EQ(stored_.Max_Span, 7);
  dialog.SetInitialText(" -1.5 ");
  dialog.SetExtendedText("");
  EXPECT_EQ(dialog.Accept(), TFEOkResult::NotANumber);
  EXPECT_EQ(messages_->errors.back(), "'' is not a valid integer value.");
  dialog.SetExtendedText("12");
  EXPECT_EQ(dialog.Accept(), TFEOkResult::Accepted);
  EXPECT_EQ(stored_.Min_Span, 4);
  EXPECT_EQ(stored_.Max_Span, 5);
  EXPECT_DOUBLE_EQ(stored_.IFMin_Mutual_Info, -1.5);
  EXPECT_EQ(stored_.EFMin_Cost_Criteria, 12);
}

TEST_F(FEOptionsTest, NGramFormSetsOnlyTheSpanAndTags) {
  stored_.Max_Span = 1;
  TFEOptions dialog(true, stored_, config_);
  EXPECT_STREQ(dialog.Caption(), "N-Gram Options");
  EXPECT_EQ(dialog.MaxSpan(), 2);
  dialog.SetMaxSpan(13);
  EXPECT_EQ(dialog.MaxSpan(), 12);
  dialog.SetMaxSpanText("abc");
  EXPECT_EQ(dialog.MaxSpan(), 12);
  dialog.SetMaxSpanText("2");
  dialog.SetUsePOSTags(true);
  dialog.SetInitialText("not checked in this form");
  const TFullExtractOptions before = stored_;
  EXPECT_EQ(dialog.Accept(), TFEOkResult::Accepted);
  EXPECT_EQ(stored_.Max_Span, 2);  // below Min_Span: only the full-extract form cares
  EXPECT_TRUE(stored_.UsePOSTags);
  EXPECT_EQ(stored_.Min_Span, before.Min_Span);
  EXPECT_EQ(stored_.IFMin_Mutual_Info, before.IFMin_Mutual_Info);
}

TEST_F(FEOptionsTest, ArrowsStepOnAGridOfTenths) {
  EXPECT_EQ(TFEOptions::StepTenth("1.2345", true), "1.3000");
  EXPECT_EQ(TFEOptions::StepTenth("-0.25", false), "-0.3000");
  EXPECT_EQ(TFEOptions::StepTenth("junk", true), "0.1000");
  EXPECT_EQ(TFEOptions::StepTenth("0.1", false), "0.0000");  // never "-0.0000"
  TFEOptions dialog(false, stored_, config_);
  dialog.SetExtendedText("1");
  dialog.ExtendedArrow(false);
  EXPECT_EQ(dialog.ExtendedText(), "1");  // Cost Criteria never goes below 1
  dialog.ExtendedArrow(true);
  EXPECT_EQ(dialog.ExtendedText(), "2");
  dialog.SetExtendedText("x");
  dialog.ExtendedArrow(true);
  EXPECT_EQ(dialog.ExtendedText(), "1");
  dialog.InitialArrow(true);
  EXPECT_EQ(dialog.InitialText(), "1.1000");  // Log-likelihood at 1 by default

  SetNumberFormat(TNumberFormat{'.', ','});  // a decimal comma
  EXPECT_EQ(TFEOptions::StepTenth("1,25", true), "1,3000");
  EXPECT_EQ(TFEOptions::StepTenth("1.25", true), "1,3000");  // '.' still reads as the point
}

TEST_F(FEOptionsTest, NumberKeysTakeOneLeadingMinusAndOneDecimalPoint) {
  EXPECT_TRUE(TFEOptions::NumberEditAccepts("12", 0, '-'));
  EXPECT_FALSE(TFEOptions::NumberEditAccepts("12", 1, '-'));
  EXPECT_FALSE(TFEOptions::NumberEditAccepts("-12", 0, '-'));
  EXPECT_TRUE(TFEOptions::NumberEditAccepts("12", 2, '.'));
  EXPECT_FALSE(TFEOptions::NumberEditAccepts("1.2", 3, '.'));
  EXPECT_FALSE(TFEOptions::NumberEditAccepts("1", 1, 'e'));
  TFEOptions dialog(false, stored_, config_);  // Cost Criteria: digits only
  EXPECT_FALSE(dialog.ExtendedEditAccepts(0, '-'));
  EXPECT_TRUE(dialog.ExtendedEditAccepts(1, '4'));
  dialog.SelectExtendedMethod(smMutualInfo);
  dialog.SetExtendedText("");
  EXPECT_TRUE(dialog.ExtendedEditAccepts(0, '-'));
}

}  // namespace
}  // namespace quenterra
