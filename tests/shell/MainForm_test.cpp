#include <QHeaderView>
#include <QLabel>
#include <QMdiArea>
#include <QMimeData>
#include <QProgressBar>
#include <QPushButton>
#include <QStatusTipEvent>
#include <QTableView>
#include <QTest>
#include <QTextBrowser>
#include <cstdio>
#include <fstream>
#include <sstream>

#include "desktop/DesktopSession.h"
#include "desktop/MenuTable.h"
#include "engine/PrintLayout.h"
#include "patterns/ExtractPattern.h"
#include "shell/MainMenus.h"
#include "shell/ProgressForm.h"
#include "shell/ShellTestKit.h"
#include "support/FileDamage.h"
#include "support/RunCli.h"

namespace quenterra {
namespace {

using K = TCollocSortKey;

std::string Joined(const std::vector<std::string>& files) {
  std::string joined;
  for (const std::string& file : files) joined += " '" + file + "'";
  return joined;
}

using MainFormTest = test::TShellTest;

TEST_F(MainFormTest, LoadsTheCommandLineAndExtractsSortsSwitchesScoresAndSaves) {
  const std::vector<std::string> files = test::BrownFiles(4);
  ASSERT_EQ(files.size(), 4u) << "the sample corpus is missing: run scripts/setup";
  Start(files);
  EXPECT_EQ(form_->HintWindow()->text(), " 4 files in current corpus");
  EXPECT_TRUE(form_->CorpusInfoWindow()->text().endsWith(" types"));
  EXPECT_EQ(form_->windowTitle(), "Quenterra");

  ExtractDialogAnswers("the");
  Trigger("FME_WordPhrase");
  TcollocListForm* list = ActiveList();
  ASSERT_NE(list, nullptr);
  EXPECT_EQ(list->windowTitle(), "the");
  EXPECT_EQ(list->Grid()->model()->headerData(1, Qt::Horizontal).toString(), "Mutual Inf.");

  // Saved as the command line prints the same request, byte for byte.
  SaveDialogAnswers(dir_.File("the.txt"));
  Trigger("FME_Save");
  const std::string cli =
      test::CommandOutput(std::string(QUENTERRA_CLI) + " --config '" + ConfigFile() +
                          "' extract the" + Joined(files) + " 2>/dev/null");
  EXPECT_FALSE(cli.empty());
  EXPECT_EQ(test::ReadFileBytes(dir_.File("the.txt")), cli);

  // Every key pair the window allows, through the Sort menu (which pairs: the menu rules).
  form_->UpdateMenus();
  for (const TSortCommand& command : SortCommands()) {
    if (!SortCommandAvailable(command, list->Facts())) continue;
    form_->Menus().Action(SortItemRow(command.first, command.second))->trigger();
    EXPECT_EQ(list->List().SortKey1(), command.first);
    EXPECT_EQ(list->List().SortKey2(), command.second);
  }
  Trigger("FMS_Freq_None");
  for (int i = 1; i < list->List().Count(); ++i)
    EXPECT_GE(list->List().Item(i - 1).count, list->List().Item(i).count);

  // Scores: T-Score replaces Mutual Information; choosing it again hides the column.
  Trigger("FMD_TScore");
  EXPECT_EQ(list->Grid()->model()->headerData(1, Qt::Horizontal).toString(), "T-Score");
  Trigger("FMD_TScore");
  EXPECT_EQ(list->Grid()->model()->columnCount(), 2);
  EXPECT_FALSE(Action("FMS_Score")->isEnabled() && Action("FMS_Score_none")->isEnabled());
  Trigger("FMD_Frequency");
  EXPECT_EQ(list->Grid()->model()->columnCount(), 1);
  Trigger("FMD_Frequency");
  Trigger("FMD_MutualInformation");
  Trigger("FMS_Score_Freq");

  // A file that cannot be written shows why and leaves the window as it was.
  SaveDialogAnswers(dir_.File("no such folder/the.txt"));
  Trigger("FME_Save");
  ASSERT_EQ(messages_->errors.size(), 1u);
  EXPECT_NE(messages_->errors[0].find("no such folder"), std::string::npos);
  EXPECT_EQ(ActiveList(), list);
}

TEST_F(MainFormTest, PrintsToAPdfFileWithHeaderAndItems) {
  Start(test::BrownFiles(2));
  ExtractDialogAnswers("the");
  Trigger("FME_WordPhrase");
  ASSERT_NE(ActiveList(), nullptr);
  const std::string first = ActiveList()->List().CollocationText(0);
  PrinterAnswers(dir_.File("list.pdf"));
  Trigger("FME_Print");
  EXPECT_TRUE(messages_->asked.empty());  // a page or two: no question
  const std::string text =
      test::CommandOutput("pdftotext -layout '" + dir_.File("list.pdf") + "' - 2>/dev/null");
  EXPECT_NE(text.find("Score method: Mutual Information"), std::string::npos) << text;
  EXPECT_NE(text.find("Page 1"), std::string::npos);
  EXPECT_NE(text.find(first), std::string::npos) << first << "\n" << text;

  CommonDialogs().choosePrinter = [](QWidget*) {
    TPrinterChoice none;
    none.noPrinters = true;
    return none;
  };
  Trigger("FME_Print");
  EXPECT_EQ(messages_->errors, std::vector<std::string>{kNoPrintersMessage});
}

TEST_F(MainFormTest, ALongListAsksBeforePrintingItsPages) {
  Start(test::BrownFiles(3));
  form_->Session().Settings().config.Min_Word_Freq = 1;
  ExtractDialogAnswers("the");
  Trigger("FME_WordPhrase");
  ASSERT_GT(ActiveList()->List().Count(), 300);
  PrinterAnswers(dir_.File("long.pdf"));
  messages_->answers = {false};
  Trigger("FME_Print");
  ASSERT_EQ(messages_->asked.size(), 1u);
  EXPECT_EQ(messages_->asked[0].rfind("Are you sure you want to print ", 0), 0u);
  EXPECT_TRUE(
      test::CommandOutput("pdftotext '" + dir_.File("long.pdf") + "' - 2>/dev/null").empty());
}

TEST_F(MainFormTest, CancelDuringALongExtractionReturnsThePartialList) {
  Start(test::BrownFiles(30));
  ZuzadovUdirev& config = form_->Session().Settings().config;
  config.SpanRange = 12;
  config.Min_Word_Freq = 1;
  ExtractDialogAnswers("*");
  int64_t cancelledAt = -1, max = -1;
  test::WhenShown(
      [](QWidget* widget) {
        auto* progress = qobject_cast<TProgressForm*>(widget);
        return progress != nullptr && progress->ProgressBar()->value() > 0;
      },
      [&](QWidget* widget) {
        auto* progress = static_cast<TProgressForm*>(widget);
        cancelledAt = progress->ProgressBar()->value();
        max = progress->ProgressBar()->maximum();
        QTest::mouseClick(progress->CancelBtn(), Qt::LeftButton);
      });
  Trigger("FME_WordPhrase");
  ASSERT_GT(cancelledAt, 0);
  EXPECT_LT(cancelledAt, max);
  TcollocListForm* list = ActiveList();
  ASSERT_NE(list, nullptr);
  int64_t counted = 0;
  for (int i = 0; i < list->List().Count(); ++i) counted += list->List().Item(i).count;
  // Every counted window starts at an occurrence of a word; the run stopped long before the end.
  EXPECT_GT(counted, 0);
  EXPECT_LT(counted, form_->Session().CorpusWords() / 2);
  EXPECT_FALSE(form_->Session().Busy());
}

TEST_F(MainFormTest, DroppedFilesLoadMenuHintsShowHelpOpensTheManualAndOnlyExitClosesUnasked) {
  Start({});
  EXPECT_EQ(form_->HintWindow()->text(), " No files loaded");
  EXPECT_FALSE(Action("FM_Extract")->isVisible());
  const std::vector<std::string> files = test::BrownFiles(2);
  QMimeData data;
  data.setUrls({QUrl::fromLocalFile(QString::fromStdString(files[0])),
                QUrl::fromLocalFile(QString::fromStdString(files[1]))});
  QDragEnterEvent enter(QPoint(50, 50), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(form_.get(), &enter);
  EXPECT_TRUE(enter.isAccepted());
  QDropEvent drop(QPointF(50, 50), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(form_.get(), &drop);
  EXPECT_TRUE(QTest::qWaitFor([&] { return form_->Session().Corpus().FileCount() == 2; }));
  EXPECT_TRUE(
      QTest::qWaitFor([&] { return form_->HintWindow()->text() == " 2 files in current corpus"; }));

  QStatusTipEvent tip("Quit Quenterra");
  QApplication::sendEvent(form_.get(), &tip);
  EXPECT_EQ(form_->HintWindow()->text(), " Quit Quenterra");

  Trigger("FMI_Help");
  auto* help = form_->findChild<QTextBrowser*>("HelpWindow");
  ASSERT_NE(help, nullptr) << (messages_->errors.empty() ? "" : messages_->errors[0]);
  EXPECT_TRUE(help->isVisible());
  EXPECT_TRUE(help->toPlainText().contains("Search syntax, with examples"));

  messages_->answers = {false};
  form_->close();
  EXPECT_TRUE(form_->isVisible());
  EXPECT_EQ(messages_->asked, std::vector<std::string>{kQuitQuestion});
  Trigger("FMF_Exit");
  EXPECT_FALSE(form_->isVisible());
  EXPECT_EQ(messages_->asked.size(), 1u);  // no question for Exit
}

}  // namespace
}  // namespace quenterra
