#include "corpus/ui/LangConfig.h"

#include <gtest/gtest.h>

#include <QLabel>
#include <QListWidget>
#include <QRadioButton>
#include <QTest>

#include "corpus/LangTables.h"
#include "support/ui/GuiTestKit.h"

namespace quenterra {
namespace {

using test::Click;
using test::WhenShown;

TEST(LangConfigTest, ShowsTheSortedLanguagesAndKeepsTheChosenFontAndLanguage) {
  const std::vector<std::string>& installed = InstalledLanguages();
  ASSERT_GT(installed.size(), 2u);
  TGlobalSettings global;  // US English
  auto chooseFont = [](QWidget*, TFontChoice& font) {
    font.name = "Serif";
    return true;
  };
  WhenShown<TLangConfig>([](TLangConfig* dialog) {
    EXPECT_EQ(dialog->windowTitle(), "Select language");
    QListWidget* list = dialog->Languages();
    EXPECT_EQ(list->currentItem()->text(), "English (United States)");
    EXPECT_LT(list->item(0)->text().toLower(), list->item(1)->text().toLower());
    EXPECT_EQ(dialog->FontName()->text(), "MS Sans Serif");
    EXPECT_TRUE(dialog->Utf8Btn()->isChecked());
    EXPECT_EQ(dialog->CodePageBtn()->text(), "Code page 1252");
    Click(dialog, "&Font...");
    EXPECT_EQ(dialog->FontName()->text(), "Serif");
    Click(dialog, "Cancel");
  });
  EXPECT_FALSE(ChooseLanguage(global, chooseFont, nullptr));
  EXPECT_EQ(global.SystemFont.name, "MS Sans Serif");  // Cancel keeps the font

  WhenShown<TLangConfig>([](TLangConfig* dialog) {
    Click(dialog, "&Font...");
    QListWidget* list = dialog->Languages();
    QListWidgetItem* russian = list->findItems("Russian", Qt::MatchExactly).value(0);
    ASSERT_NE(russian, nullptr);
    const QPoint at = list->visualItemRect(russian).center();
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, at);
    EXPECT_EQ(dialog->CodePageBtn()->text(), "Code page 1251");  // the selected language's
    Click(dialog, "Code page 1251");
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, at);
  });
  EXPECT_TRUE(ChooseLanguage(global, chooseFont, nullptr));  // a double click is OK
  EXPECT_EQ(global.Language, 0x0419u);
  EXPECT_EQ(global.Encoding, TCorpusEncoding::kCodePage);
  EXPECT_EQ(global.SystemFont.name, "Serif");
}

}  // namespace
}  // namespace quenterra
