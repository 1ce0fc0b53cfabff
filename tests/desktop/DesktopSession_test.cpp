#include "desktop/DesktopSession.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "config/SettingsFile.h"
#include "patterns/ExtractPattern.h"
#include "support/SettingsTest.h"
#include "support/TempDir.h"

namespace quenterra {
namespace {

// A window that runs long work at once and keeps the lists it is given.
class TFakeFront : public TDesktopFront {
 public:
  void RunLong(const std::function<void()>& work, bool changesIndex) override {
    runs.push_back(changesIndex);
    work();
  }
  void ShowList(std::unique_ptr<TCollocationList> list, const TListWindowSetup& desc) override {
    lists.push_back(std::move(list));
    descs.push_back(desc);
  }
  void TitleChanged(const std::string& title) override { titles.push_back(title); }
  void CloseChildWindows() override { lists.clear(); }

  std::vector<bool> runs;
  std::vector<std::unique_ptr<TCollocationList>> lists;
  std::vector<TListWindowSetup> descs;
  std::vector<std::string> titles;
};

class DesktopSessionTest : public test::TSettingsTest {
 protected:
  DesktopSessionTest() {
    std::filesystem::create_directories(dir_.File("program"));
    std::filesystem::create_directories(dir_.File("config"));
  }
  std::vector<std::string> TwoFiles() {
    return {dir_.Write("a.txt", "the white house and the white car\n"),
            dir_.Write("b.txt", "a white house the white house\n")};
  }
  std::string ConfigFile() const { return dir_.File("config/QUENTERRA.INI"); }

  test::TTempDir dir_;
  TFakeFront front_;
  TDesktopSession session_{front_, {dir_.File("program/"), dir_.File("config/")}};
};

TEST_F(DesktopSessionTest, StartLoadsTheArgumentsOnAWorkerAndExtractsIntoAListWindow) {
  session_.Start(TwoFiles());
  EXPECT_EQ(session_.Corpus().FileCount(), 2);
  EXPECT_EQ(front_.runs, std::vector<bool>{true});  // the load changes the index
  EXPECT_EQ(session_.StatusHint(""), " 2 files in current corpus");
  EXPECT_EQ(session_.StatusHint("Quit Quenterra"), " Quit Quenterra");
  bool busyInDialog = false;
  session_.Dialogs().extract = [&](bool batch, TSearchKind kind) {
    busyInDialog = session_.Busy();
    EXPECT_FALSE(batch);
    return ParseExtractRequest(kind, false, {"white"}, session_.Settings().config,
                               session_.Settings().tables);
  };
  session_.ExtractCommand(false, TSearchKind::kWordPhrase);
  EXPECT_TRUE(busyInDialog);
  EXPECT_FALSE(session_.Busy());
  ASSERT_EQ(front_.lists.size(), 1u);
  EXPECT_EQ(front_.descs[0].caption, "white");
  EXPECT_FALSE(front_.descs[0].isNGramList);
  EXPECT_EQ(front_.lists[0]->SortKey1(), TCollocSortKey::kScore);
  const TCollocationList& list = *front_.lists[0];
  int house = 0;
  while (house < list.Count() && list.CollocationText(house) != "white house") ++house;
  ASSERT_LT(house, list.Count());
  EXPECT_EQ(list.Item(house).count, 3);
  session_.Dialogs().extract = [](bool, TSearchKind) { return nullptr; };  // cancelled
  session_.ExtractCommand(false, TSearchKind::kWordPhrase);
  EXPECT_EQ(front_.lists.size(), 1u);
}

TEST_F(DesktopSessionTest, SettingsDialogsRebuildTheTablesAndThenTheIndexOrUnload) {
  session_.Start(TwoFiles());
  TProgramSettings& settings = session_.Settings();
  session_.ExtractCommand(false, TSearchKind::kWordPhrase);  // no dialog installed: cancelled
  session_.NGramCommand();
  EXPECT_TRUE(front_.lists.empty());
  // Equal characters leave the index as it is, but the next regular expression must use them.
  session_.Dialogs().constrainOptions = [&] {
    settings.config.UseEqualChars = true;
    EXPECT_TRUE(ParseEqualChars("h=w", settings.tables.Coding(), settings.config.EqualGroups));
    return false;
  };
  session_.ConstraintsCommand();
  EXPECT_EQ(settings.tables.FoldingMap()['w'], 'h');
  EXPECT_EQ(front_.runs.size(), 1u);  // only the load: no rebuild
  session_.Dialogs().constrainOptions = [&] {
    settings.config.ignoreCase = false;
    return true;
  };
  session_.ConstraintsCommand();
  EXPECT_EQ(front_.runs, (std::vector<bool>{true, true}));  // rebuilt, with the new tables
  EXPECT_EQ(settings.tables.FoldingMap()['W'], 'W');
  // Another language: the tables follow it and the corpus split with the old ones goes.
  session_.Dialogs().language = [&] {
    settings.global.Language = 0x0419;  // Russian: code page 1251
    return true;
  };
  session_.LanguageCommand();
  EXPECT_EQ(session_.Corpus().FileCount(), 0);
  EXPECT_EQ(settings.tables.CodePage(), 1251);
}

TEST_F(DesktopSessionTest, RemovingFilesRebuildsTheIndexAndUnloadsAnEmptiedCorpus) {
  session_.Start(TwoFiles());
  EXPECT_TRUE(session_.MenuState().hasFiles);
  EXPECT_FALSE(session_.RemoveFiles({0}));
  EXPECT_EQ(session_.Corpus().FileNames(), std::vector<std::string>{dir_.File("b.txt")});
  EXPECT_EQ(front_.runs, (std::vector<bool>{true, true}));  // loaded, then rebuilt
  EXPECT_EQ(session_.Corpus().CorpusWordCount(), 6);
  EXPECT_TRUE(session_.RemoveFiles({0}));
  EXPECT_EQ(session_.Corpus().FileCount(), 0);
  EXPECT_FALSE(session_.MenuState().hasFiles);
}

TEST_F(DesktopSessionTest, ClosingAsksUnlessExitedAndWritesTheSettings) {
  session_.Start({});
  messages_->answers = {false};
  EXPECT_FALSE(session_.CloseQuery());
  EXPECT_EQ(messages_->asked, std::vector<std::string>{kQuitQuestion});
  session_.ClearAskOnClose();
  EXPECT_TRUE(session_.CloseQuery());
  EXPECT_EQ(messages_->asked.size(), 1u);
  session_.ToggleSaveOnExit();  // written at once
  EXPECT_TRUE(ReadSaveOnExit(ConfigFile()));
  session_.Settings().config.SpanRange = 5;
  session_.SaveAtClose();
  TProgramSettings read = test::EnglishSettings();
  ASSERT_TRUE(ReadSettings(ConfigFile(), read));
  EXPECT_EQ(read.config.SpanRange, 5);
  EXPECT_TRUE(ReadSaveOnExit(ConfigFile()));
}

TEST_F(DesktopSessionTest, AWorkspaceOnTheCommandLineIsOpenedAndNamesTheWindow) {
  session_.Start(TwoFiles());
  session_.SaveWorkspaceAsCommand(dir_.File("MY DATA.QWS"));
  TFakeFront front;
  TDesktopSession second(front, {dir_.File("program/"), dir_.File("config/")});
  second.Start({dir_.File("MY DATA.QWS"), "ignored.txt"});
  EXPECT_EQ(second.Title(), "Quenterra - My data");
  EXPECT_EQ(front.titles, std::vector<std::string>{"Quenterra - My data"});
  EXPECT_EQ(second.Corpus().FileCount(), 2);
  second.Start({dir_.File("missing.qws")});  // not a workspace: loaded as a corpus file
  EXPECT_EQ(messages_->errors.size(), 2u);   // the workspace, then the file, cannot be read
}

}  // namespace
}  // namespace quenterra
