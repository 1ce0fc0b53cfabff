// The counts and full-extract option dialogs, driven through their widgets.
#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QFocusEvent>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QTest>

#include "engine/ui/CountOptionsForm.h"
#include "engine/ui/EditMasks.h"
#include "engine/ui/FEOptForm.h"
#include "support/SettingsTest.h"
#include "support/ui/GuiTestKit.h"

namespace quenterra {
namespace {

using test::Click;
using test::TypeInto;
using test::WhenShown;

QString TextOf(QWidget* field) { return field->findChild<QLineEdit*>()->text(); }

using CountOptionsFormTest = test::TSettingsTest;

TEST_F(CountOptionsFormTest, OpensOnTheStoredValuesTakesDigitsOnlyAndStoresOnOk) {
  ZuzadovUdirev& config = settings_.config;
  config.Last_Method_Selected = 3;  // no item of its own: T-Score
  config.Min_Word_Freq = 7;
  WhenShown<TCountOptionsForm>([](TCountOptionsForm* form) {
    EXPECT_EQ(form->windowTitle(), "Counts Options");
    EXPECT_EQ(form->Methods()->checkedId(), 0);
    EXPECT_EQ(TextOf(form->FrequencyEdit()), "7");
    TypeInto(form->FrequencyEdit(), "4x0");
    EXPECT_EQ(TextOf(form->FrequencyEdit()), "40");
    Click(form, "Default");
    EXPECT_EQ(form->FrequencyEdit()->value(), 2);
    Click(form, "Log Likehood");
    Click(form, "OK");
  });
  EXPECT_TRUE(RunCountOptions(config, nullptr));
  EXPECT_EQ(config.Last_Method_Selected, 4);
  EXPECT_EQ(config.Min_Word_Freq, 2);
  WhenShown<TCountOptionsForm>([](TCountOptionsForm* form) { Click(form, "Cancel"); });
  EXPECT_FALSE(RunCountOptions(config, nullptr));
}

class FEOptFormTest : public test::TSettingsTest {
 protected:
  TFullExtractOptions& stored_ = settings_.fullExtract;
};

TEST_F(FEOptFormTest, TheNGramFormShowsOnlyTheSpanAndTags) {
  TFEOptForm form(true, stored_, settings_.config);  // WordTag 0: no tags
  form.show();
  EXPECT_EQ(form.windowTitle(), "N-Gram Options");
  EXPECT_EQ(form.MinSpanEdit(), nullptr);
  EXPECT_EQ(form.InitialBox(), nullptr);
  EXPECT_EQ(form.MaxSpanLabel()->text(), "Span:");
  EXPECT_EQ(form.MaxSpanEdit()->minimum(), 2);
  EXPECT_FALSE(form.UsePOSTagsCB()->isEnabled());
  TypeInto(form.MaxSpanEdit(), "3");
  Click(&form, "OK");
  EXPECT_EQ(form.result(), QDialog::Accepted);
  EXPECT_EQ(stored_.Max_Span, 3);
}

// The rules behind the fields are the dialog rules' tests; here the widgets show them and
// hand the edits over.
TEST_F(FEOptFormTest, FieldsFollowTheMethodAndARefusedSpanKeepsTheFocus) {
  settings_.config.WordTag = 1;
  stored_.IF_Score_Method = static_cast<uint8_t>(TScoreMethod::kTScore);
  stored_.IFMin_T_Score = 1.2345;
  stored_.IFMin_Likehood = 3;
  TFEOptForm form(false, stored_, settings_.config);
  form.show();
  EXPECT_EQ(form.windowTitle(), "Full Extract Options");
  EXPECT_TRUE(form.UsePOSTagsCB()->isEnabled());
  EXPECT_EQ(form.InitialLabel()->text(), "Minimum T-Score");
  form.InitialEdit()->stepBy(1);  // the up arrow, on a grid of tenths
  EXPECT_EQ(form.InitialEdit()->Text(), "1.3000");
  Click(&form, "Log Likehood");
  EXPECT_EQ(form.InitialLabel()->text(), "Minimum LL");
  EXPECT_EQ(form.InitialEdit()->Text(), "3.0000");
  TypeInto(form.InitialEdit(), "-1-.2.5");  // one '-', first; one '.'
  QFocusEvent leave(QEvent::FocusOut);
  QApplication::sendEvent(form.InitialEdit(), &leave);  // leaving keeps the text
  EXPECT_EQ(form.InitialEdit()->Text(), "-1.25");
  TypeInto(form.MaxSpanEdit(), "3");
  TypeInto(form.MinSpanEdit(), "3");  // beyond two words only Mutual Information applies
  EXPECT_EQ(form.InitialMethods()->checkedId(), static_cast<int>(TScoreMethod::kMutualInfo));

  Click(&form, "OK");  // the focus goes from Min. Span to the refused Max. Span
  EXPECT_TRUE(form.isVisible());
  EXPECT_EQ(messages_->errors.size(), 1u);
  EXPECT_EQ(form.focusWidget(), form.MaxSpanEdit());
  TypeInto(form.MaxSpanEdit(), "5");
  Click(&form, "OK");
  EXPECT_EQ(form.result(), QDialog::Accepted);
  EXPECT_EQ(stored_.Min_Span, 3);
  EXPECT_EQ(stored_.Max_Span, 5);
  EXPECT_DOUBLE_EQ(stored_.IFMin_Likehood, -1.25);
  EXPECT_DOUBLE_EQ(stored_.IFMin_T_Score, 1.3);
}

}  // namespace
}  // namespace quenterra
