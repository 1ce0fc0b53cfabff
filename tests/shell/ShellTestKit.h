// Shared by the GUI tests of the program: the main window on a settings folder of its own,
// started with command-line arguments and driven through its real menus; the file, font and
// printer dialogs answered by the test.
#pragma once

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QString>
#include <QTimer>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "engine/ui/CollocListForm.h"
#include "engine/ui/CommonDialogs.h"
#include "shell/MainForm.h"
#include "support/ScriptedMessages.h"
#include "support/TempDir.h"
#include "support/ui/GuiTestKit.h"

namespace quenterra {
class TStringsView;
}

namespace quenterra::test {

// The sample corpus's first n files (the tagged Brown texts ca01, ca02, ...).
std::vector<std::string> BrownFiles(int n);
// What a command run through the shell writes on its standard output.
std::string CommandOutput(const std::string& command);
// The first highlighted words of a text view's top line, once they show there (none when they
// do not within 30 s).
std::optional<QString> TopHighlight(TStringsView& view);

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
  // The extract dialog answers with this pattern, in the search kind it is opened for.
  void ExtractDialogAnswers(const std::string& pattern);
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
