// The settings and extraction dialogs reached through the program's menus.
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QTest>

#include "dialogs/RebuildConfirm.h"
#include "patterns/ui/ConstrainOptionsForm.h"
#include "patterns/ui/ExtractDialog.h"
#include "shell/ShellTestKit.h"

namespace quenterra {
namespace {

using test::Click;
using test::TypeInto;
using test::WhenShown;

using SettingsDialogsTest = test::TShellTest;

TEST_F(SettingsDialogsTest, AChangeThatReSplitsTheCorpusRebuildsItAndClosesTheListsOthersDoNot) {
  Start(test::BrownFiles(2));
  WhenShown<TExtractDialog>([](TExtractDialog* dialog) {
    TypeInto(dialog->SearchString(), "jury");
    Click(dialog, "OK");
  });
  Trigger("FME_WordPhrase");
  ASSERT_EQ(form_->ListWindows().size(), 1u);
  EXPECT_EQ(form_->Session().Settings().history.WordPhrase, std::vector<std::string>{"jury"});

  // Characters treated as equal change no token: the list stays.
  WhenShown<TConstrainOptionsForm>([](TConstrainOptionsForm* dialog) {
    TypeInto(dialog->EqualEdit(), "a=e");
    dialog->EqualCB()->setChecked(true);
    Click(dialog, "OK");
  });
  Trigger("FMO_Constraints");
  EXPECT_TRUE(messages_->asked.empty());
  EXPECT_EQ(form_->ListWindows().size(), 1u);
  const TLangTables& tables = form_->Session().Settings().tables;
  EXPECT_EQ(tables.FoldingMap()['e'], 'a');  // the next pattern sees them

  // A new delimiter re-splits the corpus: asked, rebuilt through the main window, lists closed.
  const int64_t words = form_->Session().Corpus().CorpusWordCount();
  WhenShown<TConstrainOptionsForm>([](TConstrainOptionsForm* dialog) {
    TypeInto(dialog->DelimitersEdit(), dialog->DelimitersEdit()->text() + "-");
    Click(dialog, "OK");
  });
  messages_->answers = {true};
  Trigger("FMO_Constraints");
  EXPECT_EQ(messages_->asked, std::vector<std::string>{kRebuildQuestion});
  EXPECT_TRUE(form_->ListWindows().empty());
  EXPECT_GT(form_->Session().Corpus().CorpusWordCount(), words);  // 'so-called' is two words
}

}  // namespace
}  // namespace quenterra
