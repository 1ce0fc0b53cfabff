#include "dialogs/FEOptions.h"

#include <gtest/gtest.h>

#include "engine/Scores.h"
#include "platform/NumberFormat.h"
#include "support/SettingsTest.h"

namespace quenterra {
namespace {

class FEOptionsTest : public test::TSettingsTest {
 protected:
  void TearDown() override {
    SetNumberFormat(format_);
    TSettingsTest::TearDown();
  }
  TFEOptions Open(bool ngramForm = false) {
    settings_.config.WordTag = wordTag_;
    return TFEOptions::FromSettings(ngramForm, stored_, settings_.config);
  }
  TFullExtractOptions& stored_ = settings_.fullExtract;
  uint8_t wordTag_ = 1;
  const TNumberFormat format_ = NumberFormat();
};

TEST_F(FEOptionsTest, OpeningShowsTheStoredValuesAndMendsTheSpans) {
  stored_.Min_Span = 6;
  stored_.Max_Span = 4;
  stored_.IF_Score_Method = static_cast<uint8_t>(TScoreMethod::kTScore);
  stored_.IFMin_T_Score = 1.25;
  stored_.EF_Score_Method = static_cast<uint8_t>(TScoreMethod::kCost);
  stored_.EFMin_Cost_Criteria = 5;
  stored_.UsePOSTags = true;
  TFEOptions dialog = Open();
  EXPECT_EQ(stored_.Max_Span, 7);  // stays even when the dialog is cancelled
  EXPECT_EQ(dialog.InitialText(), "1.2500");
  EXPECT_EQ(dialog.ExtendedText(), "5");
  EXPECT_TRUE(dialog.UsePOSTags());

  stored_.IF_Score_Method = 3;  // any other code: Mutual Information
  stored_.EF_Score_Method = 9;  // anything but 2: Cost Criteria
  wordTag_ = 0;                 // without word tags the box is greyed and cleared
  dialog = Open();
  EXPECT_EQ(dialog.InitialMethod(), TScoreMethod::kMutualInfo);
  EXPECT_EQ(dialog.ExtendedMethod(), TScoreMethod::kCost);
  EXPECT_EQ(dialog.Accept(stored_), TFEOkResult::kAccepted);
  EXPECT_FALSE(stored_.UsePOSTags);
}

TEST_F(FEOptionsTest, EachFilterMethodKeepsItsOwnValue) {
  stored_.IF_Score_Method = static_cast<uint8_t>(TScoreMethod::kTScore);
  stored_.IFMin_Likehood = 3;
  stored_.IFMin_Mutual_Info = 1;
  TFEOptions dialog = Open();
  dialog.SetInitialText("0.7");
  dialog.SelectInitialMethod(TScoreMethod::kLogLikelihood);
  EXPECT_STREQ(dialog.InitialLabel(), "Minimum LL");
  EXPECT_EQ(dialog.InitialText(), "3.0000");
  dialog.SelectInitialMethod(TScoreMethod::kTScore);
  EXPECT_EQ(dialog.InitialText(), "0.7000");
  // Min. Span 3 and more switch to Mutual Information, showing its own minimum.
  dialog.SetMinSpanText("3");
  EXPECT_EQ(dialog.InitialMethod(), TScoreMethod::kMutualInfo);
  EXPECT_EQ(dialog.InitialText(), "1.0000");

  dialog.SelectExtendedMethod(TScoreMethod::kMutualInfo);
  EXPECT_EQ(dialog.ExtendedText(), "0.5000");
  dialog.SetExtendedText("2.5");
  dialog.SelectExtendedMethod(TScoreMethod::kCost);
  EXPECT_EQ(dialog.ExtendedText(), "3");
  dialog.SetExtendedText("8");
  dialog.SelectExtendedMethod(TScoreMethod::kMutualInfo);
  EXPECT_EQ(dialog.ExtendedText(), "2.5000");

  dialog.SetMaxSpan(9);
  TFullExtractOptions expected = stored_;
  expected.Min_Span = 3;
  expected.Max_Span = 9;
  expected.IF_Score_Method = expected.EF_Score_Method =
      static_cast<uint8_t>(TScoreMethod::kMutualInfo);
  expected.IFMin_T_Score = 0.7;
  expected.EFMin_Cost_Criteria = 8;
  expected.EFMin_Mutual_Info = 2.5;
  ASSERT_EQ(dialog.Accept(stored_), TFEOkResult::kAccepted);
  EXPECT_EQ(stored_, expected);
}

TEST_F(FEOptionsTest, OkRefusesSpansOutOfOrderAndValuesThatAreNoNumbers) {
  TFEOptions dialog = Open();
  const TFullExtractOptions before = stored_;
  dialog.SetMinSpan(4);
  dialog.SetMaxSpan(4);
  EXPECT_EQ(dialog.Accept(stored_), TFEOkResult::kSpanOrder);
  EXPECT_EQ(messages_->errors.back(), "Max. Span must be greather than Min. Span.");
  EXPECT_EQ(messages_->stopCaptions, std::vector<std::string>{"Warning"});  // not "Error"
  dialog.SetMaxSpanText("5");
  dialog.SetInitialText("-");
  EXPECT_EQ(dialog.Accept(stored_), TFEOkResult::kNotANumber);
  EXPECT_EQ(messages_->errors.back(), "'-' is not a valid floating point value.");
  dialog.SetInitialText(" -1.5 ");
  dialog.SetExtendedText("");
  EXPECT_EQ(dialog.Accept(stored_), TFEOkResult::kNotANumber);
  EXPECT_EQ(messages_->errors.back(), "'' is not a valid integer value.");
  EXPECT_EQ(stored_, before);  // nothing written
  dialog.SetExtendedText("12");
  EXPECT_EQ(dialog.Accept(stored_), TFEOkResult::kAccepted);
  EXPECT_EQ(stored_.Max_Span, 5);
  EXPECT_DOUBLE_EQ(stored_.IFMin_Mutual_Info, -1.5);
  EXPECT_EQ(stored_.EFMin_Cost_Criteria, 12);
}

TEST_F(FEOptionsTest, NGramFormSetsOnlyTheSpanAndTags) {
  stored_.Max_Span = 1;
  TFEOptions dialog = Open(true);
  EXPECT_STREQ(dialog.Caption(), "N-Gram Options");
  EXPECT_EQ(dialog.MaxSpan(), 2);
  dialog.SetMaxSpan(13);
  dialog.SetMaxSpanText("abc");
  EXPECT_EQ(dialog.MaxSpan(), 12);
  dialog.SetMaxSpanText("2");
  dialog.SetUsePOSTags(true);
  dialog.SetInitialText("not checked in this form");
  TFullExtractOptions expected = stored_;
  expected.Max_Span = 2;  // below Min_Span: only the full-extract form cares
  expected.UsePOSTags = true;
  EXPECT_EQ(dialog.Accept(stored_), TFEOkResult::kAccepted);
  EXPECT_EQ(stored_, expected);
}

TEST_F(FEOptionsTest, ArrowsStepOnAGridOfTenthsAndKeysMakeNumbers) {
  EXPECT_EQ(TFEOptions::StepTenth("1.2345", true), "1.3000");
  EXPECT_EQ(TFEOptions::StepTenth("-0.25", false), "-0.3000");
  EXPECT_EQ(TFEOptions::StepTenth("junk", true), "0.1000");
  EXPECT_EQ(TFEOptions::StepTenth("0.1", false), "0.0000");  // never "-0.0000"
  TFEOptions dialog = Open();
  dialog.SetExtendedText("1");
  dialog.ExtendedArrow(false);
  EXPECT_EQ(dialog.ExtendedText(), "1");             // Cost Criteria never goes below 1
  EXPECT_FALSE(dialog.ExtendedEditAccepts(0, '-'));  // and takes digits only
  EXPECT_TRUE(dialog.ExtendedEditAccepts(1, '4'));
  dialog.InitialArrow(true);
  EXPECT_EQ(dialog.InitialText(), "1.1000");  // Log-likelihood at 1 by default

  for (auto [text, at, c, accepted] : {std::tuple{"12", 0, '-', true},
                                       {"12", 1, '-', false},
                                       {"-12", 0, '-', false},
                                       {"12", 2, '.', true},
                                       {"1.2", 3, '.', false},
                                       {"1", 1, 'e', false},
                                       {"1", 1, '\b', true}})
    EXPECT_EQ(TFEOptions::NumberEditAccepts(text, static_cast<size_t>(at), c), accepted)
        << text << c;

  SetNumberFormat(TNumberFormat{'.', ','});  // a decimal comma
  EXPECT_EQ(TFEOptions::StepTenth("1,25", true), "1,3000");
  EXPECT_EQ(TFEOptions::StepTenth("1.25", true), "1,3000");  // '.' still reads as the point
  EXPECT_FALSE(TFEOptions::NumberEditAccepts("1.2", 3, ','));
}

}  // namespace
}  // namespace quenterra
