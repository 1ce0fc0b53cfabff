// The constrain options and the two tag dialogs, driven through their widgets.
#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>

#include "patterns/ui/ConstrainOptionsForm.h"
#include "patterns/ui/EditMetaTags.h"
#include "patterns/ui/TagCfgForm.h"
#include "patterns/ui/WordTagsCfg.h"
#include "support/SettingsTest.h"
#include "support/ui/GuiTestKit.h"

namespace quenterra {
namespace {

using Strings = std::vector<std::string>;
using test::Click;
using test::TypeInto;
using test::WhenShown;

constexpr int kFiles = 3;  // a corpus is loaded: changes that re-split it ask first

using ConstrainOptionsFormTest = test::TSettingsTest;

TEST_F(ConstrainOptionsFormTest, EqualFieldsAreRefusedAndARebuildIsAskedFor) {
  int stopListRuns = 0;
  TConstrainOptionsForm form(settings_, kFiles, [&] { ++stopListRuns; });
  form.show();
  EXPECT_EQ(form.windowTitle(), "Constrain Options");
  EXPECT_EQ(form.SpecialEdit(TSpecialField::kWC0orMore)->text(), "*");
  TypeInto(form.SpecialEdit(TSpecialField::kWC0or1), "?%");  // one character a field
  EXPECT_EQ(form.SpecialEdit(TSpecialField::kWC0or1)->text(), "?");
  Click(&form, "OK");
  EXPECT_EQ(messages_->errors.back(),
            "The wildcard charecter 0 or 1 is equal to the wildcard charecter exactly 1!");
  EXPECT_EQ(form.focusWidget(), form.SpecialEdit(TSpecialField::kWC0or1));
  Click(&form, "Default");
  EXPECT_EQ(form.SpecialEdit(TSpecialField::kWC0or1)->text(), "%");
  Click(&form, "Edit List");
  EXPECT_EQ(stopListRuns, 1);

  TypeInto(form.DelimitersEdit(), form.DelimitersEdit()->text() + "@");
  messages_->answers = {false};  // the rebuild question: No keeps the dialog open
  Click(&form, "OK");
  EXPECT_EQ(messages_->asked.back(), "The text index will be rebuild. Do you want to continue?");
  EXPECT_TRUE(form.isVisible());
  EXPECT_EQ(form.DelimitersEdit()->text().back(), '@');
  messages_->answers = {true};
  Click(&form, "OK");
  EXPECT_TRUE(form.Rebuild());
  EXPECT_EQ(settings_.config.NonWordChars.back(), '@');
}

using TagFormsTest = test::TSettingsTest;

TEST_F(TagFormsTest, NormalTagsAskOnlyWhenACharacterChanges) {
  TTagCgfForm form(settings_, kFiles);
  form.show();
  TypeInto(form.TagStopEdit(), "");
  EXPECT_FALSE(form.OkBtn()->isEnabled());
  TypeInto(form.TagStopEdit(), ">");
  Click(&form, "OK");  // unchanged
  EXPECT_FALSE(form.Changed());
  EXPECT_TRUE(messages_->asked.empty());

  WhenShown<TTagCgfForm>([](TTagCgfForm* dialog) {
    TypeInto(dialog->TagStopEdit(), "#");
    Click(dialog, "OK");
  });
  messages_->answers = {true};
  EXPECT_TRUE(RunNormalTags(settings_, kFiles, nullptr));
  EXPECT_EQ(settings_.config.TagStop, '#');
}

TEST_F(TagFormsTest, WordTagModesExcludeEachOtherAndDecideTheRebuild) {
  TWordTagsCfgDialog form(settings_, kFiles);
  form.show();
  EXPECT_EQ(form.windowTitle(), "Part of Speech Tags Settings");
  EXPECT_FALSE(form.DelimiterEdit()->isEnabled());
  EXPECT_EQ(form.TagStartGrid()->rowCount(), 4);
  Click(&form, "Outside Word");
  Click(&form, "Embedded in Word");
  EXPECT_FALSE(form.OutsideCB()->isChecked());
  EXPECT_TRUE(form.DelimiterEdit()->isEnabled());
  EXPECT_FALSE(form.TagStopEdit()->isEnabled());
  Click(&form, "Outside Word");
  Click(&form, "Before Word");
  messages_->answers = {true};
  Click(&form, "OK");  // no start string: refused after the question
  EXPECT_TRUE(form.isVisible());
  EXPECT_EQ(form.focusWidget(), form.TagStartGrid());
  form.TagStartGrid()->setItem(3, 0, new QTableWidgetItem("<w "));
  EXPECT_EQ(form.TagStartGrid()->rowCount(), 5);  // a filled last row brings another
  messages_->answers = {true};
  Click(&form, "OK");
  EXPECT_TRUE(form.Rebuild());
  EXPECT_EQ(settings_.config.WordTag, 2);
  EXPECT_EQ(settings_.config.wTagStarts, Strings{"<w"});
  EXPECT_TRUE(settings_.config.wTagBefore);
}

TEST_F(TagFormsTest, TheMetaTagEditorAddsEditsAndRefusesDuplicatesAndBlanks) {
  settings_.config.MetaTags = {{"noun", {"nn", "nns"}}};
  TWordTagsCfgDialog form(settings_, kFiles);
  form.show();
  QTableWidget* grid = form.MetaGrid();
  EXPECT_EQ(grid->item(0, 1)->text(), "nn, nns");
  WhenShown<TEditMetaTagsDlg>([](TEditMetaTagsDlg* editor) {
    EXPECT_EQ(editor->windowTitle(), "Add new meta-tag");
    Click(editor, "OK");  // no name: beeps, stays open
    EXPECT_EQ(editor->focusWidget(), editor->NameEdit());
    TypeInto(editor->NameEdit(), " Noun ");
    TypeInto(editor->ContentsEdit(), "np");
    Click(editor, "OK");
    EXPECT_TRUE(editor->isVisible());  // "Duplicated meta-tag name."
    TypeInto(editor->NameEdit(), " verb ");
    TypeInto(editor->ContentsEdit(), "vb, , vbz ");
    Click(editor, "OK");
  });
  Click(&form, "Add");
  EXPECT_EQ(messages_->errors, Strings{"Duplicated meta-tag name."});
  ASSERT_EQ(grid->rowCount(), 2);
  EXPECT_EQ(grid->item(1, 0)->text(), "verb");
  grid->setCurrentCell(1, 0);
  WhenShown<TEditMetaTagsDlg>([](TEditMetaTagsDlg* editor) {
    EXPECT_EQ(editor->windowTitle(), "Edit meta-tag");
    EXPECT_EQ(editor->NameEdit()->text(), "verb");
    TypeInto(editor->NameEdit(), "Verb");  // its own name, in another case
    Click(editor, "OK");
  });
  Click(&form, "Edit");
  grid->setCurrentCell(0, 0);
  messages_->answers = {true};
  Click(&form, "Remove");
  EXPECT_EQ(messages_->asked.back(), "Remove \"noun\" ?");
  Click(&form, "OK");
  EXPECT_FALSE(form.Rebuild());
  EXPECT_EQ(settings_.config.MetaTags, (std::vector<TMetaTag>{{"Verb", {"vb", "vbz"}}}));
}

}  // namespace
}  // namespace quenterra
