#include <QListWidget>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QScrollBar>
#include <QTableView>
#include <QTest>
#include <cstdio>
#include <filesystem>

#include "desktop/DesktopSession.h"
#include "patterns/ExtractPattern.h"
#include "shell/CorpList.h"
#include "shell/FullText.h"
#include "shell/ShellTestKit.h"
#include "shell/StringsView.h"

namespace quenterra {
namespace {

class TextWindowTest : public test::TShellTest {
 protected:
  TFullTextForm* Current() {
    QMdiSubWindow* child = form_->MdiArea()->currentSubWindow();
    return child ? qobject_cast<TFullTextForm*>(child->widget()) : nullptr;
  }
  // The window's text counted to its end.
  static void Counted(TFullTextForm* window) {
    ASSERT_NE(window, nullptr);
    ASSERT_TRUE(QTest::qWaitFor([window] { return window->CountingDone(); }, 60000));
  }
  static void Click(TFullTextForm* window, const char* item) {
    QAction* action = window->Menu()->findChild<QAction*>(item);
    ASSERT_NE(action, nullptr) << item;
    action->trigger();
  }
  static QString Line(TFullTextForm* window, int64_t line) {
    return window->TextWindow()->Lines()->Line(line).text;
  }
  // The menu bar's top-level menus, by object name.
  QStringList BarMenus() {
    QStringList names;
    for (QAction* action : form_->menuBar()->actions()) {
      if (action->menu()) names << action->menu()->objectName();
    }
    return names;
  }
};

TEST_F(TextWindowTest, FirstFileShowsMergesItsMenuAndAskingAgainBringsItForward) {
  const std::vector<std::string> files = test::BrownFiles(3);
  ASSERT_EQ(files.size(), 3u) << "the sample corpus is missing: run scripts/setup";
  Start(files);
  ASSERT_EQ(form_->TextWindows().size(), 1u);  // the first file of the load only
  TFullTextForm* first = form_->TextWindows().front();
  EXPECT_EQ(first->windowTitle(), "Corpus Text - ca01");
  form_->UpdateMenus();
  const QStringList bar = BarMenus();
  ASSERT_TRUE(bar.contains("TM_CorpusText"));
  EXPECT_EQ(bar.indexOf("TM_CorpusText"), bar.indexOf("FM_File") + 1);
  EXPECT_EQ(bar.indexOf("FM_Extract"), bar.indexOf("TM_CorpusText") + 1);

  form_->Session().LoadFiles({files[0]});  // already in the corpus: its window comes forward
  form_->CorporaList().show();
  form_->CorporaList().CorporaList()->setCurrentRow(2);
  form_->CorporaList().ShowBtn()->click();
  ASSERT_EQ(form_->TextWindows().size(), 2u);
  EXPECT_EQ(form_->ShowFile(0), first);
  EXPECT_EQ(Current(), first);
  EXPECT_EQ(form_->TextWindows().size(), 2u);
  form_->UpdateMenus();
  EXPECT_EQ(BarMenus().count("TM_CorpusText"), 1);

  // A new font becomes CorpusFont: windows opened later take it, open ones keep theirs.
  CommonDialogs().chooseFont = [](QWidget*, QFont& font) {
    font.setPointSize(17);
    return true;
  };
  TFullTextForm* other = form_->FindTextWindow(files[2]);
  const int otherSize = other->TextWindow()->font().pointSize();
  Click(first, "TMT_ChangeFont");
  EXPECT_EQ(form_->Session().Settings().global.CorpusFont.size, 17);
  EXPECT_EQ(first->TextWindow()->font().pointSize(), 17);
  EXPECT_EQ(other->TextWindow()->font().pointSize(), otherSize);
  EXPECT_EQ(form_->ShowFile(1)->TextWindow()->font().pointSize(), 17);

  Click(first, "TMT_CloseAll");
  QTest::qWait(10);
  EXPECT_TRUE(form_->TextWindows().empty());
  form_->UpdateMenus();
  EXPECT_FALSE(BarMenus().contains("TM_CorpusText"));
}

TEST_F(TextWindowTest, SuppressSwitchesFilterTheLinesAndAThirdStaysOff) {
  const std::string tagged = dir_.Write("tags.txt", "the <b>big</b> dog\n");
  const std::vector<std::string> brown = test::BrownFiles(1);
  ASSERT_EQ(brown.size(), 1u);
  Start({tagged, brown[0]});
  TFullTextForm* window = form_->FindTextWindow(tagged);
  Counted(window);
  Click(window, "TMT_SuppressWords");
  EXPECT_EQ(Line(window, 0), " <b></b> ");
  Click(window, "TMT_SuppressWords");
  Click(window, "TMT_SuppressTags");
  Click(window, "TMT_SuppressPartOfspeech");
  Click(window, "TMT_SuppressWords");
  EXPECT_FALSE(window->Menu()->findChild<QAction*>("TMT_SuppressWords")->isChecked());
  EXPECT_TRUE(window->Menu()->findChild<QAction*>("TMT_SuppressTags")->isChecked());
  EXPECT_EQ(Line(window, 0), "the big dog");

  // The tagged sample without its part-of-speech tags (what each switch hides: FileStrings_test).
  TFullTextForm* text = form_->ShowFile(1);
  Counted(text);
  ASSERT_TRUE(Line(text, 2).contains("The/at Fulton/np-tl")) << Line(text, 2).toStdString();
  Click(text, "TMT_SuppressPartOfspeech");
  EXPECT_TRUE(Line(text, 2).contains("The Fulton County Grand Jury said Friday"))
      << Line(text, 2).toStdString();
}

TEST_F(TextWindowTest, WrapsAtSpacesAndScalesTheScrollBarPast32768Lines) {
  std::string text;
  for (int i = 0; i < 60; ++i) text += "word" + std::to_string(i) + " ";
  text += "\n";
  for (int i = 1; i < 40000; ++i) text += "x\n";
  Start({dir_.Write("long.txt", text)});
  TFullTextForm* window = Current();
  Counted(window);
  TStringsView* view = window->TextWindow();
  view->resize(300, 200);
  ASSERT_EQ(view->KnownCount(), 40001);  // with the empty last line

  QScrollBar* bar = view->verticalScrollBar();
  EXPECT_EQ(bar->maximum(), 32767);
  bar->setSliderPosition(32761);
  EXPECT_EQ(view->TopIndex(), 40000);
  QTest::keyClick(view, Qt::Key_End);
  EXPECT_EQ(view->TopIndex(), 40000);
  QTest::keyClick(view, Qt::Key_Home);
  QTest::keyClick(view, Qt::Key_Down);
  EXPECT_EQ(view->TopIndex(), 1);
  EXPECT_EQ(bar->value(), 0);  // one line is below one thumb step

  EXPECT_EQ(view->RowsOf(0).size(), 1u);
  Click(window, "TMT_Wrap");
  ASSERT_TRUE(view->WordWrap());
  const QString line = Line(window, 0);
  const std::vector<TRow> rows = view->RowsOf(0);
  ASSERT_GT(rows.size(), 2u);
  const QFontMetrics metrics(view->font());
  for (size_t i = 0; i < rows.size(); ++i) {
    const QString row = line.mid(rows[i].begin, rows[i].end - rows[i].begin);
    EXPECT_LE(metrics.horizontalAdvance(row.trimmed()), view->viewport()->width());
    EXPECT_TRUE(row.startsWith("word")) << row.toStdString();  // cut at spaces only
  }
}

// When to ask: the text-window rules.
TEST_F(TextWindowTest, PrintsToAFileAskingFirstAbove100Lines) {
  std::string lines;
  for (int i = 0; i < 149; ++i) lines += "line " + std::to_string(i) + "\n";
  const std::string many = dir_.Write("many.txt", lines);  // 150 lines with the empty last one
  Start({many});
  TFullTextForm* window = form_->FindTextWindow(many);
  Counted(window);
  const std::string pdf = dir_.File("text.pdf");
  PrinterAnswers(pdf);
  messages_->answers = {false};
  Click(window, "TMT_Print");
  ASSERT_EQ(messages_->asked, std::vector<std::string>{
                                  "Print complete text of corpus?\r\n(Approximately 150 lines)"});
  EXPECT_FALSE(std::filesystem::exists(pdf));

  messages_->answers = {true};
  Click(window, "TMT_Print");
  EXPECT_FALSE(form_->Session().Printing());
  const std::string printed = test::CommandOutput("pdftotext '" + pdf + "' - 2>/dev/null");
  EXPECT_NE(printed.find("line 0"), std::string::npos);
  EXPECT_NE(printed.find("line 148"), std::string::npos);
}

TEST_F(TextWindowTest, AListItemOpensItsTextAtTheFirstPlaceHighlighted) {
  const std::vector<std::string> files = test::BrownFiles(2);
  ASSERT_EQ(files.size(), 2u);
  Start(files);
  Click(form_->TextWindows().front(), "TMT_CloseAll");
  QTest::qWait(10);
  ExtractDialogAnswers("jury");
  Trigger("FME_WordPhrase");
  TcollocListForm* list = ActiveList();
  ASSERT_NE(list, nullptr);
  ASSERT_GT(list->List().Count(), 0);
  QTableView* grid = list->Grid();
  const QRect cell = grid->visualRect(grid->model()->index(0, 0));
  // The double click's events as a mouse makes them: press, release, then the double click.
  QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, cell.center());
  QTest::mouseDClick(grid->viewport(), Qt::LeftButton, {}, cell.center());

  ASSERT_EQ(form_->TextWindows().size(), 1u);
  TFullTextForm* window = form_->TextWindows().front();
  EXPECT_EQ(Current(), window);
  const std::optional<QString> marked = test::TopHighlight(*window->TextWindow());
  ASSERT_TRUE(marked.has_value());
  const std::string item = list->List().CollocationText(0);
  const QString word = marked->toLower();
  EXPECT_EQ(word.toStdString(), item.substr(0, item.find(' '))) << item;
}

}  // namespace
}  // namespace quenterra
