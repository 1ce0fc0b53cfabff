#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>

#include "desktop/DesktopSession.h"
#include "shell/About.h"
#include "shell/CorpList.h"
#include "shell/MessageForm.h"
#include "shell/ProgressForm.h"
#include "shell/ShellTestKit.h"

namespace quenterra {
namespace {

using test::WhenShown;

// Presses a key in the message box once it shows, and remembers its caption and buttons.
struct TBoxSeen {
  QString caption;
  QStringList buttons;
  QString focused;
  QMessageBox::Icon icon = QMessageBox::NoIcon;
};
void PressInBox(int key, TBoxSeen& seen) {
  WhenShown("TMessageForm", [key, &seen](QWidget* widget) {
    auto* box = static_cast<QMessageBox*>(widget);
    seen.caption = box->windowTitle();
    seen.icon = box->icon();
    for (QAbstractButton* button : box->buttons()) seen.buttons << button->text();
    QTest::qWait(20);  // the focus moves once the box has shown
    if (QWidget* focus = QApplication::focusWidget()) {
      if (auto* button = qobject_cast<QAbstractButton*>(focus)) seen.focused = button->text();
    }
    QTest::keyClick(QApplication::focusWidget() ? QApplication::focusWidget() : box,
                    static_cast<Qt::Key>(key));
  });
}

TEST(MessageFormTest, KindsButtonsAndTheKeysThatAnswerThem) {
  TGuiMessages messages;
  TBoxSeen seen;
  PressInBox(Qt::Key_Return, seen);
  EXPECT_TRUE(messages.Confirm("Open anyway?", true));
  EXPECT_EQ(seen.caption, "Confirm");
  EXPECT_EQ(seen.buttons.size(), 2);
  EXPECT_TRUE(seen.buttons.contains("OK") && seen.buttons.contains("Cancel"));
  EXPECT_EQ(seen.focused, "OK");
  PressInBox(Qt::Key_Escape, seen = {});
  EXPECT_FALSE(messages.Confirm("Open anyway?", true));
  PressInBox(Qt::Key_Return, seen = {});
  EXPECT_FALSE(messages.Ask("Do you really want to quit?", false));  // No has the focus
  EXPECT_EQ(seen.focused, "&No");
  PressInBox(Qt::Key_Return, seen = {});
  EXPECT_TRUE(messages.Warn("Continue?", true));
  EXPECT_EQ(seen.caption, "Warning");
  PressInBox(Qt::Key_Escape, seen = {});
  messages.Error("Unable to open file: x.");
  EXPECT_EQ(seen.caption, "Error");
  EXPECT_EQ(seen.buttons, QStringList{"OK"});
  PressInBox(Qt::Key_Return, seen = {});
  messages.Stop("Warning", "Max. Span must be greather than Min. Span.");
  EXPECT_EQ(seen.caption, "Warning");
  EXPECT_EQ(seen.icon, QMessageBox::Critical);  // the stop icon
}

TEST(MessageFormTest, CancellingTheInputDialogStillHandsBackTheText) {
  WhenShown("TIForm", [](QWidget* widget) {
    auto* form = static_cast<TIForm*>(widget);
    EXPECT_EQ(form->windowTitle(), "Word / Phrase");
    QTest::keyClicks(form->EditBox(), "post office");
    QTest::keyClick(form, Qt::Key_Escape);
  });
  std::string value;
  EXPECT_FALSE(InputQuery("Word / Phrase", "Pattern:", QApplication::font(), value));
  EXPECT_EQ(value, "post office");
}

TEST(ProgressFormTest, ThreeFormsAndTheirCancelStates) {
  auto state = std::make_shared<std::atomic<int>>(0);
  TProgressForm simple(TProgressKind::kSimple, state);
  simple.show();
  EXPECT_FALSE(simple.CancelBtn()->isVisible());
  EXPECT_FALSE(simple.Cancel1Btn()->isVisible());
  TProgressForm one(TProgressKind::kCancel, state);
  one.show();
  EXPECT_TRUE(one.CancelBtn()->isVisible());
  EXPECT_FALSE(one.CancelAllBtn()->isVisible());
  QTest::mouseClick(one.CancelBtn(), Qt::LeftButton);
  EXPECT_EQ(one.CancelState(), TCancelState::kCancel);
  TProgressForm several(TProgressKind::kCancelSeveral, state);
  several.show();
  EXPECT_FALSE(several.CancelBtn()->isVisible());
  QTest::mouseClick(several.CancelAllBtn(), Qt::LeftButton);
  EXPECT_EQ(several.CancelState(), TCancelState::kCancelAll);
  several.SetMax(int64_t{1} << 40);  // beyond the gauge's ints: scaled
  several.SetPosition(int64_t{1} << 39);
  EXPECT_EQ(several.ProgressBar()->value() * 2, several.ProgressBar()->maximum());
}

TEST(AboutBoxTest, TheCubeSpinsAndPulsesUntilTheBoxCloses) {
  TAboutBox box;
  EXPECT_EQ(box.windowTitle(), "About Quenterra");
  EXPECT_EQ(box.findChild<QLabel*>("Version")->text(), "Version 1.0 (Build 262)");
  box.show();
  TCubeSpin* cube = box.SpinningCube();
  EXPECT_TRUE(cube->Continuous());
  const double z = cube->zSpin;
  QTest::qWait(100);
  EXPECT_NE(cube->zSpin, z);
  EXPECT_EQ(cube->ySpin, 20);  // YSpinOn is off
  EXPECT_LT(cube->width(), 65);
  QTest::mouseClick(cube, Qt::LeftButton);
  EXPECT_FALSE(cube->Continuous());
  QTest::mouseClick(cube, Qt::LeftButton);
  box.accept();
  EXPECT_FALSE(cube->Continuous());
}

using CorporaListTest = test::TShellTest;

TEST_F(CorporaListTest, RemovingEveryFileClosesTheListAndUnloads) {
  Start(test::BrownFiles(3));
  Trigger("FMF_View");
  TCorporaListDlg& dialog = form_->CorporaList();
  EXPECT_TRUE(dialog.isVisible());
  EXPECT_EQ(dialog.windowTitle(), "Select File(s) to View");
  EXPECT_EQ(dialog.CorporaList()->count(), 3);
  EXPECT_FALSE(dialog.RemoveBtn()->isEnabled());
  dialog.CorporaList()->setCurrentRow(1);
  EXPECT_TRUE(dialog.RemoveBtn()->isEnabled());
  QTest::mouseClick(dialog.RemoveBtn(), Qt::LeftButton);
  EXPECT_EQ(form_->Session().Corpus().FileCount(), 2);
  EXPECT_EQ(dialog.CorporaList()->count(), 2);
  dialog.CorporaList()->setCurrentRow(0);
  dialog.CorporaList()->selectAll();
  QTest::mouseClick(dialog.RemoveBtn(), Qt::LeftButton);
  EXPECT_EQ(form_->Session().Corpus().FileCount(), 0);
  EXPECT_FALSE(dialog.isVisible());
  EXPECT_EQ(form_->HintWindow()->text(), " No files loaded");
}

}  // namespace
}  // namespace quenterra
