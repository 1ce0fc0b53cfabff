// The concordance, collocate and word-list windows, driven through the program's menus.
#include "shell/ResultWindows.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QMdiArea>
#include <QSpinBox>
#include <QTableView>
#include <QTest>
#include <cstdio>
#include <fstream>
#include <sstream>

#include "desktop/DesktopSession.h"
#include "engine/ResultTables.h"
#include "engine/ui/CollocateOptionsForm.h"
#include "engine/ui/ResultTableForm.h"
#include "patterns/ExtractPattern.h"
#include "shell/FullText.h"
#include "shell/ShellTestKit.h"
#include "shell/StringsView.h"
#include "support/FileDamage.h"
#include "support/ui/GuiTestKit.h"

namespace quenterra {
namespace {

class ResultWindowsTest : public test::TShellTest {
 protected:
  TResultTableForm* Newest() {
    const std::vector<TResultTableForm*> windows = form_->Results().Windows();
    return windows.empty() ? nullptr : windows.back();
  }
  // What the command line prints for these arguments on files.
  std::string CommandLine(const std::string& args, const std::vector<std::string>& files) {
    std::string command = std::string(QUENTERRA_CLI) + " --config '" + ConfigFile() + "' " + args;
    for (const std::string& file : files) command += " '" + file + "'";
    return test::CommandOutput(command + " 2>/dev/null");
  }
  // The context-menu command of a grid's row.
  static void PointAt(QTableView* grid, int row) {
    grid->setCurrentIndex(grid->model()->index(row, 0));
    ASSERT_FALSE(grid->actions().isEmpty());
    grid->actions().front()->trigger();
  }
};

TEST_F(ResultWindowsTest, ConcordanceSavesAsTheCommandLinePrintsSortsAndFollowsItsControls) {
  std::vector<std::string> files = test::BrownFiles(3);
  ASSERT_EQ(files.size(), 3u) << "the sample corpus is missing: run scripts/setup";
  Start(files);
  ExtractDialogAnswers("the + jury");
  Trigger("FME_Concordance");
  TResultTableForm* window = Newest();
  ASSERT_NE(window, nullptr);
  EXPECT_EQ(window->windowTitle().toStdString(),
            "Concordance ( " + std::to_string(window->Table().RowCount()) + " lines )");
  SaveDialogAnswers(dir_.File("c.txt"));
  window->SaveToFile();
  EXPECT_EQ(test::ReadFileBytes(dir_.File("c.txt")),
            CommandLine("concordance 'the + jury'", files));

  // The sort box orders by R1; the context and tag switches change the cells.
  const int r1 = window->SortBox()->findText("R1");
  window->SortBy(r1);
  auto& concordance = static_cast<TConcordanceTable&>(window->Table()).Concordance();
  for (int i = 1; i < concordance.Count(); ++i) {
    const int32_t a = concordance.ContextWord(i - 1, false, 1);
    const int32_t b = concordance.ContextWord(i, false, 1);
    const auto text = [&](int32_t id) {
      return id < 0 ? std::string() : std::string(concordance.Index().GetToken(id).text);
    };
    EXPECT_LE(text(a), text(b));
  }
  QAbstractItemModel* cells = window->Grid()->model();
  window->ContextBox()->setValue(1);
  EXPECT_EQ(cells->data(cells->index(0, 2)).toString().count(' '), 0);
  window->TagsBox()->setChecked(true);
  EXPECT_TRUE(cells->data(cells->index(0, 3)).toString().contains('/'));
  window->SetBusy(true);
  EXPECT_FALSE(window->SortBox()->isEnabled());
  // A line's double click: its file's text at the node, the node highlighted.
  window->SetBusy(false);
  window->rowActivated(0);
  TFullTextForm* text = form_->FindTextWindow(files[concordance.Line(0).file]);
  ASSERT_NE(text, nullptr);
  const std::optional<QString> node = test::TopHighlight(*text->TextWindow());
  ASSERT_TRUE(node.has_value());
  EXPECT_EQ(node->toLower().toStdString(), "the");
}

TEST_F(ResultWindowsTest, CollocatesFollowTheirDialogAndSaveAsTheCommandLinePrints) {
  std::vector<std::string> files = test::BrownFiles(3);
  Start(files);
  ExtractDialogAnswers("the");
  // An empty window is refused with its reason and the dialog stays; then L3-R2 with word tags,
  // the minima 2 and 3, and the log-likelihood alone.
  test::WhenShown<TCollocateOptionsForm>([](TCollocateOptionsForm* dialog) {
    test::TypeInto(dialog->LeftBox(), "0");
    test::TypeInto(dialog->RightBox(), "0");
    test::Click(dialog, "OK");
    EXPECT_TRUE(dialog->isVisible());
    test::TypeInto(dialog->LeftBox(), "3");
    test::TypeInto(dialog->RightBox(), "2");
    dialog->TagsBox()->setChecked(true);
    test::TypeInto(dialog->CooccurrenceBox(), "2");
    test::TypeInto(dialog->CollocateFreqBox(), "3");
    dialog->ScoreBox()->setCurrentIndex(dialog->ScoreBox()->findText("LL"));
    test::Click(dialog, "OK");
  });
  Trigger("FME_Collocates");
  EXPECT_EQ(messages_->errors,
            std::vector<std::string>{"The window is empty: choose at least one position."});
  TResultTableForm* window = Newest();
  ASSERT_NE(window, nullptr);
  EXPECT_EQ(window->SortBox()->currentText(), "LL");
  SaveDialogAnswers(dir_.File("k.txt"));
  window->SaveToFile();
  EXPECT_EQ(test::ReadFileBytes(dir_.File("k.txt")),
            CommandLine("collocates --left 3 --right 2 --pos-tags --min-freq 2 --min-coll-freq 3 "
                        "--score ll --sort ll the",
                        files));
  // The next time the dialog opens on that choice.
  test::WhenShown<TCollocateOptionsForm>([](TCollocateOptionsForm* dialog) {
    EXPECT_EQ(dialog->LeftBox()->value(), 3);
    EXPECT_EQ(dialog->ScoreBox()->currentText(), "LL");
    test::Click(dialog, "Cancel");
  });
  Trigger("FME_Collocates");
  EXPECT_EQ(Newest(), window);
}

TEST_F(ResultWindowsTest, ListItemsOpenTheirConcordanceAndWindowsCloseWithTheIndex) {
  Start(test::BrownFiles(3));
  // A collocation list's item: its phrase occurs as often as the item was counted.
  ExtractDialogAnswers("the");
  Trigger("FME_WordPhrase");
  TcollocListForm* list = ActiveList();
  ASSERT_NE(list, nullptr);
  PointAt(list->Grid(), 0);
  ASSERT_NE(Newest(), nullptr);
  EXPECT_EQ(Newest()->Table().RowCount(), list->List().Item(0).count);
  // A word list's word: as many lines as its frequency.
  Trigger("FME_WordList");
  TResultTableForm* words = Newest();
  ASSERT_NE(words, nullptr);
  PointAt(words->Grid(), 0);
  EXPECT_EQ(Newest()->Table().RowCount(), words->Table().Number(0, 1));
  // Collocates as their dialog opens: L5-R5, every distance and score.
  ExtractDialogAnswers("jury");
  test::WhenShown<TCollocateOptionsForm>(
      [](TCollocateOptionsForm* dialog) { test::Click(dialog, "OK"); });
  Trigger("FME_Collocates");
  std::vector<std::string> titles;
  for (const TTableColumn& column : Newest()->Table().Columns()) titles.push_back(column.title);
  EXPECT_EQ(titles.front(), "Collocate");
  EXPECT_EQ(titles.back(), "logDice");
  EXPECT_EQ(form_->Results().Windows().size(), 4u);
  // The index goes: every window that reads it goes first.
  form_->CloseListWindows();
  EXPECT_TRUE(form_->Results().Windows().empty());
  EXPECT_EQ(form_->ActiveList(), nullptr);
}

}  // namespace
}  // namespace quenterra
