// Shared by the GUI tests: the program's main window on a settings folder of its own, started
// with command-line arguments and driven through its real menus; the file, font and printer
// dialogs answered by the test; and a way to act on a modal window once it shows.
#pragma once

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QString>
#include <QTimer>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "engine/ui/CollocListForm.h"
#include "engine/ui/CommonDialogs.h"
#include "shell/MainForm.h"
#include "support/ScriptedMessages.h"
#include "support/TempDir.h"

namespace quenterra::test {

// The sample corpus's first n files (the tagged Brown texts ca01, ca02, ...).
std::vector<std::string> BrownFiles(int n);

// Runs `act` on the first visible top-level widget that `match` accepts, as soon as it shows
// (polling every few milliseconds while the test waits in a modal loop). Gives up after 20 s.
void WhenShown(const std::function<bool(QWidget*)>& match, std::function<void(QWidget*)> act);
// The same for a widget of the given object name.
void WhenShown(const char* objectName, std::function<void(QWidget*)> act);

class TShellTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  // A main window started with args; returns when the start-up (and its loading) has ended.
  TMainForm& Start(const std::vector<std::string>& args);
  // Triggers the menu item of that design name through its action, as a click would.
  void Trigger(const char* name);
  QAction* Action(const char* name);
  TcollocListForm* ActiveList() { return form_->ActiveList(); }
  // The settings file the window reads: the sample corpus's tagging, else the defaults.
  std::string ConfigFile() const { return dir_.File("config/QUENTERRA.INI"); }
  // The next file and printer dialogs answer with these.
  void SaveDialogAnswers(const std::string& fileName);
  void PrinterAnswers(const std::string& pdfFile);

  TTempDir dir_;
  ScriptedMessages* messages_ = nullptr;
  std::unique_ptr<TMainForm> form_;
};

}  // namespace quenterra::test
