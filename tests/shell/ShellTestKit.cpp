#include "shell/ShellTestKit.h"

#include <QLabel>
#include <QMenu>
#include <QTest>
#include <cstdio>
#include <filesystem>

#include "config/SettingsFile.h"
#include "desktop/DesktopSession.h"
#include "patterns/ExtractPattern.h"
#include "platform/Messages.h"
#include "platform/Progress.h"
#include "shell/ProgressForm.h"
#include "shell/StringsView.h"
#include "support/SettingsTest.h"

namespace quenterra::test {

std::string CommandOutput(const std::string& command) {
  std::string out;
  if (FILE* pipe = popen(command.c_str(), "r")) {
    char buffer[4096];
    for (size_t n; (n = fread(buffer, 1, sizeof buffer, pipe)) > 0;) out.append(buffer, n);
    pclose(pipe);
  }
  return out;
}

std::optional<QString> TopHighlight(TStringsView& view) {
  const bool shown = QTest::qWaitFor(
      [&] {
        return view.TopIndex() < view.KnownCount() &&
               !view.Lines()->Line(view.TopIndex()).marks.empty();
      },
      30000);
  if (!shown) return std::nullopt;
  const TViewLine line = view.Lines()->Line(view.TopIndex());
  const auto [first, last] = line.marks.front();
  return line.text.mid(first, last - first);
}

void TShellTest::ExtractDialogAnswers(const std::string& pattern) {
  TDesktopSession& session = form_->Session();
  session.Dialogs().extract = [&session, pattern](bool, TSearchKind kind) {
    return ParseExtractRequest(kind, false, {pattern}, session.Settings().config,
                               session.Settings().tables);
  };
}

std::vector<std::string> BrownFiles(int n) {
  std::vector<std::string> files;
  for (char group = 'a'; group <= 'r' && static_cast<int>(files.size()) < n; ++group) {
    for (int i = 1; i <= 99 && static_cast<int>(files.size()) < n; ++i) {
      char name[16];
      std::snprintf(name, sizeof name, "c%c%02d", group, i);
      const std::string path = std::string(QUENTERRA_SAMPLES_DIR) + "/brown/" + name;
      if (std::filesystem::exists(path)) files.push_back(path);
    }
  }
  return files;
}

void TShellTest::SetUp() {
  messages_ = ScriptedMessages::Install();
  InstallGuiProgress();
  std::filesystem::create_directories(dir_.File("program"));
  std::filesystem::create_directories(dir_.File("config"));
  // The sample corpus is tagged: "The/at jury/nn".
  TProgramSettings settings = EnglishSettings();
  settings.config.WordTag = 1;
  settings.config.wTagDelimiter = '/';
  ASSERT_TRUE(WriteSettings(ConfigFile(), settings));
}

void TShellTest::TearDown() {
  form_.reset();
  RestoreCommonDialogs();
  InstallProgressFactory({});
  InstallMessageHandler(nullptr);
}

TMainForm& TShellTest::Start(const std::vector<std::string>& args) {
  form_ = std::make_unique<TMainForm>(
      args, TConfigLocations{dir_.File("program/"), dir_.File("config/")});
  form_->show();
  // The start-up runs once the window shows; it is over when the status panel has been set.
  EXPECT_TRUE(QTest::qWaitFor(
      [&] { return !form_->Session().WorkerRunning() && form_->HintWindow()->text() != ""; },
      60000));
  QTest::qWait(10);
  EXPECT_FALSE(form_->Session().WorkerRunning());
  return *form_;
}

QAction* TShellTest::Action(const char* name) {
  QAction* action = form_->findChild<QAction*>(name);
  if (action == nullptr) {
    for (QMenu* menu : form_->findChildren<QMenu*>()) {
      if (menu->objectName() == name) return menu->menuAction();
    }
  }
  return action;
}

void TShellTest::Trigger(const char* name) {
  form_->UpdateMenus();
  QAction* action = Action(name);
  ASSERT_NE(action, nullptr) << name;
  ASSERT_TRUE(action->isEnabled()) << name;
  action->trigger();
}

void TShellTest::SaveDialogAnswers(const std::string& fileName) {
  CommonDialogs().chooseFiles = [fileName](QWidget*, const TFileDialogRequest&) {
    return QStringList{QString::fromStdString(fileName)};
  };
}

void TShellTest::PrinterAnswers(const std::string& pdfFile) {
  CommonDialogs().choosePrinter = [pdfFile](QWidget*) {
    TPrinterChoice choice;
    choice.printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
    choice.printer->setOutputFormat(QPrinter::PdfFormat);
    choice.printer->setOutputFileName(QString::fromStdString(pdfFile));
    return choice;
  };
}

}  // namespace quenterra::test
