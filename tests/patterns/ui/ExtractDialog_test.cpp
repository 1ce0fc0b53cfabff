#include "patterns/ui/ExtractDialog.h"

#include <QAbstractButton>
#include <QButtonGroup>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QSpinBox>
#include <QTest>

#include "engine/ui/EditMasks.h"
#include "support/SettingsTest.h"
#include "support/ui/GuiTestKit.h"

namespace quenterra {
namespace {

using Strings = std::vector<std::string>;
using test::Click;
using test::TypeInto;
using test::WhenShown;

class ExtractDialogTest : public test::TSettingsTest {
 protected:
  std::unique_ptr<TExtractRecords> Run(bool batch, TSearchKind kind,
                                       std::function<void(TExtractDialog*)> act) {
    WhenShown<TExtractDialog>(std::move(act));
    return ExecuteExtractDialog(
        settings_, batch, kind, [this] { ++optionsRuns_; }, nullptr);
  }
  TExtractHistory& history_ = settings_.history;
  int optionsRuns_ = 0;
};

TEST_F(ExtractDialogTest, HistoriesFollowTheKindAndABadPatternKeepsTheDialogOpen) {
  UseCodePage();
  history_.WordPhrase = {"white house", "post office"};
  settings_.config.SpanRange = 4;
  auto records = Run(false, TSearchKind::kWordPhrase, [this](TExtractDialog* dialog) {
    QComboBox* pattern = dialog->SearchString();
    EXPECT_EQ(pattern->currentText(), "white house");
    EXPECT_EQ(pattern->count(), 2);
    EXPECT_EQ(dialog->SpanEdit()->value(), 4);
    EXPECT_FALSE(dialog->Kinds()->button(2)->isEnabled());  // the corpus has no word tags
    Click(dialog, "&Regular Expression");
    EXPECT_EQ(pattern->currentText(), "");
    EXPECT_EQ(dialog->Examples()->text(),
              "e.g. \"colou?r\", \"\\ba\\W\\w+\\Wof\\b\", \"(\\b[A-Z]\\w*\\W){2}\"");
    Click(dialog, "&Word/Phrase");
    EXPECT_EQ(pattern->currentText(), "white house");
    TypeInto(pattern, "post \u03A9 +");  // code page 1252 has no Omega: refused as typed
    EXPECT_EQ(pattern->currentText(), "post  +");
    Click(dialog, "OK");
    EXPECT_EQ(messages_->errors.back(), "Incorrect use of \"+\" at the end of the extract term.");
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_EQ(dialog->focusWidget(), pattern);
    Click(dialog, "&Options...");
    EXPECT_EQ(optionsRuns_, 1);
    TypeInto(pattern, "Post + Caf\u00E9");
    dialog->SpanEdit()->setValue(5);
    Click(dialog, "OK");
  });
  ASSERT_NE(records, nullptr);
  EXPECT_EQ(records->Caption(), "Post + Caf\xE9");
  EXPECT_EQ(history_.WordPhrase, (Strings{"Post + Caf\xE9", "white house", "post office"}));
  EXPECT_EQ(settings_.config.SpanRange, 5);

  records = Run(false, TSearchKind::kRegExp, [](TExtractDialog* dialog) {
    TypeInto(dialog->SearchString(), "colou?r");
    Click(dialog, "Cancel");
  });
  EXPECT_EQ(records, nullptr);
  EXPECT_TRUE(history_.RegExp.empty());
}

TEST_F(ExtractDialogTest, ABatchStartsOnItsLastKindAndLinesAndKeepsThem) {
  UseCodePage();
  settings_.config.WordTag = 1;
  history_.LastBatchSyntax = 2;
  history_.Batch = {"computer&nn"};
  auto records = Run(true, TSearchKind::kWordPhrase, [](TExtractDialog* dialog) {
    EXPECT_EQ(dialog->SearchString(), nullptr);
    EXPECT_EQ(dialog->Kinds()->checkedId(), 2);
    EXPECT_EQ(dialog->BatchStrings()->toPlainText(), "computer&nn");
    EXPECT_EQ(dialog->Examples()->text(), "e.g. \"computer&nn% + run%&vbn + *&nn1\"");
    dialog->BatchStrings()->setFocus();
    dialog->BatchStrings()->moveCursor(QTextCursor::End);
    test::Type(dialog->BatchStrings(), "\n\u03A9\n&vb + run\n");  // Omega is refused
    Click(dialog, "&Word/Phrase");
    Click(dialog, "OK");  // '&' is no Word/Phrase character
    EXPECT_EQ(dialog->BatchStrings()->toPlainText(), "computer&nn\n\n&vb + run\n");
    Click(dialog, "Word/&Tag");
    Click(dialog, "OK");
  });
  ASSERT_NE(records, nullptr);
  EXPECT_EQ(records->Caption(), "Batch collocation");
  EXPECT_EQ(records->RecordCount(), 2);
  EXPECT_EQ(history_.Batch, (Strings{"computer&nn", "", "&vb + run"}));
  EXPECT_EQ(messages_->errors, Strings{"Invalid character in extract pattern: \"&\"."});
}

}  // namespace
}  // namespace quenterra
