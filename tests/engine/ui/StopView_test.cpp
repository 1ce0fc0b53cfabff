#include "engine/ui/StopView.h"

#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTest>

#include "engine/ui/CommonDialogs.h"
#include "support/SettingsTest.h"
#include "support/TempDir.h"
#include "support/ui/GuiTestKit.h"

namespace quenterra {
namespace {

using Strings = std::vector<std::string>;
using test::Click;

class StopViewTest : public test::TSettingsTest {
 protected:
  void TearDown() override {
    RestoreCommonDialogs();
    test::TSettingsTest::TearDown();
  }
  QStringList Shown() const {
    QStringList words;
    for (int row = 0; row < dialog_->WordList()->count(); ++row)
      words << dialog_->WordList()->item(row)->text();
    return words;
  }
  void FileDialogAnswers(const std::string& name) {
    CommonDialogs().chooseFiles = [name](QWidget*, const TFileDialogRequest& desc) {
      EXPECT_EQ(desc.defaultSuffix, "TXT");
      return QStringList{QString::fromStdString(name)};
    };
  }

  test::TTempDir temp_;
  TStopList& list_ = settings_.stopList;
  std::unique_ptr<TViewStopListDlg> dialog_;
};

TEST_F(StopViewTest, AddRemoveClearAndCancelRestoresTheWordsOfTheOpening) {
  UseCodePage();
  list_.SetWords({"the", "of"});
  dialog_ = std::make_unique<TViewStopListDlg>(settings_);
  dialog_->show();
  EXPECT_EQ(dialog_->windowTitle(), "View Stop List");
  EXPECT_EQ(Shown(), (QStringList{"of", "the"}));
  EXPECT_FALSE(dialog_->Button("&Remove")->isEnabled());
  messages_->inputs = {"caf\u00E9 and"};
  Click(dialog_.get(), "&Add...");
  EXPECT_EQ(Shown(), (QStringList{"and", "caf\u00E9", "of", "the"}));
  dialog_->WordList()->setCurrentRow(0);
  EXPECT_TRUE(dialog_->Button("&Remove")->isEnabled());
  Click(dialog_.get(), "&Remove");
  EXPECT_EQ(list_.Words(), (Strings{"the", "of", "caf\xE9"}));
  messages_->answers = {false};  // "Save changes?": Cancel
  Click(dialog_.get(), "C&lose");
  EXPECT_FALSE(dialog_->isVisible());
  EXPECT_EQ(messages_->asked.back(), "Save changes?");
  EXPECT_EQ(list_.Words(), (Strings{"the", "of"}));

  dialog_ = std::make_unique<TViewStopListDlg>(settings_);
  dialog_->show();
  messages_->answers = {true, true};  // clear, and keep the change
  Click(dialog_.get(), "&Clear");
  EXPECT_EQ(dialog_->WordList()->count(), 0);
  EXPECT_FALSE(dialog_->Button("&Save...")->isEnabled());
  dialog_->reject();  // Escape asks the same
  EXPECT_TRUE(list_.Words().empty());
}

TEST_F(StopViewTest, SaveNamesAnUnnamedListAndLoadReplacesTheWords) {
  list_.SetWords({"the", "of"});
  dialog_ = std::make_unique<TViewStopListDlg>(settings_);
  dialog_->show();
  FileDialogAnswers(temp_.File("stop"));
  Click(dialog_.get(), "&Save...");
  EXPECT_EQ(list_.FileName(), temp_.File("stop.TXT"));
  EXPECT_EQ(dialog_->FileNameLabel()->text(), "stop.TXT");
  EXPECT_EQ(TStopList::ReadWordsFromFile(temp_.File("stop.TXT")), (Strings{"of", "the"}));

  FileDialogAnswers(temp_.Write("other.txt", "zebra\r\nant\r\n"));
  Click(dialog_.get(), "&Load...");
  EXPECT_EQ(Shown(), (QStringList{"ant", "zebra"}));
  EXPECT_EQ(settings_.global.StopListPath, temp_.File(""));
  Click(dialog_.get(), "C&lose");
  EXPECT_TRUE(messages_->asked.empty());  // nothing changed since the load
}

}  // namespace
}  // namespace quenterra
