#include "dialogs/StopListOptions.h"

#include <gtest/gtest.h>

#include "settings/Settings.h"
#include "support/StoredSettingsTest.h"
#include "support/TempDir.h"

namespace quenterra {
namespace {

class StopViewTest : public test::TStoredSettingsTest {
 protected:
  // Opens the viewer on a list that was loaded with these words.
  void Open(std::vector<std::string> words) {
    list_.Words() = std::move(words);
    list_.SetActive(true);
    viewer_.Show();
    viewer_.Activate();
  }
  void AddAnswer(const std::string& text) {
    messages_->inputs.push_back(text);
    viewer_.Add();
  }
  TStopListViewer::TChooseFile Choose(std::string name) {
    return [this, name](const std::string& dir) {
      initialDir_ = dir;
      return name;
    };
  }

  test::TTempDir temp_;
  TStopList list_;
  TStopListViewer viewer_{list_};
  std::string initialDir_;
};

TEST_F(StopViewTest, AddingStopsAtAnEmptyWord) {
  Open({});
  AddAnswer("post office");
  EXPECT_EQ(list_.Words(), (std::vector<std::string>{"post", "office"}));
  AddAnswer("alpha, beta");
  EXPECT_EQ(list_.Words().back(), "alpha");  // the space after the comma is an empty word
  EXPECT_TRUE(viewer_.Modified());
  AddAnswer(" leading");
  EXPECT_EQ(list_.Words().size(), 3u);
  EXPECT_EQ(viewer_.Entries(), (std::vector<std::string>{"alpha", "office", "post"}));
  EXPECT_EQ(messages_->asked.back(), "Enter word(s) to add to stop list:");
  AddAnswer(std::string(250, 'a') + " bcdefghij");  // only the first 255 characters count
  EXPECT_EQ(list_.Words().back(), "bcde");
  EXPECT_EQ(list_.Words()[3], std::string(250, 'a'));
}

TEST_F(StopViewTest, DuplicatesAreRefusedOnlyWhileActive) {
  Open({"The"});
  AddAnswer("the");
  EXPECT_EQ(list_.Words().size(), 1u);
  EXPECT_FALSE(viewer_.Modified());
  list_.Words().clear();
  list_.SetActive(false);
  Open({});
  AddAnswer("a A");  // an inactive list takes the duplicate
  EXPECT_EQ(list_.Words(), (std::vector<std::string>{"a", "A"}));
}

TEST_F(StopViewTest, OkKeepsTheEditsAndCancelRestoresTheWordsOfTheLastActivation) {
  Open({"a", "b"});
  viewer_.Close();  // unmodified: nothing to ask
  EXPECT_TRUE(messages_->asked.empty());
  viewer_.Remove({1});
  messages_->answers = {true};
  viewer_.Close();
  EXPECT_EQ(list_.Words(), std::vector<std::string>{"a"});

  messages_->asked.clear();
  Open({"a", "b", "c"});
  viewer_.Remove({0, 2});
  EXPECT_EQ(list_.Words(), std::vector<std::string>{"b"});
  messages_->answers = {false};
  viewer_.Close();
  EXPECT_EQ(list_.Words(), (std::vector<std::string>{"a", "b", "c"}));
  EXPECT_EQ(messages_->asked, std::vector<std::string>{"Save changes?"});

  // After "Add..." the backup dates from the moment the input dialog closed.
  Open({"a", "b"});
  viewer_.Remove({0});
  AddAnswer("z");
  messages_->answers = {false};
  viewer_.Close();
  EXPECT_EQ(list_.Words(), std::vector<std::string>{"b"});
}

TEST_F(StopViewTest, ClearAsksAndForgetsTheFile) {
  Open({"a"});
  list_.AssignFileName("/x/stop.TXT");
  messages_->answers = {false, true};
  viewer_.Clear();
  EXPECT_EQ(list_.Words().size(), 1u);
  viewer_.Clear();
  EXPECT_TRUE(list_.Words().empty());
  EXPECT_TRUE(viewer_.Entries().empty());
  EXPECT_EQ(list_.FileName(), "");
  EXPECT_EQ(viewer_.FileNameLabel(), "");
  EXPECT_EQ(messages_->asked, std::vector<std::string>(2, "Remove all words from stop list?"));
}

TEST_F(StopViewTest, SavingAnUnnamedListAsksForANameAndAddsTheExtension) {
  GlobalSettings().StopListPath = temp_.Path().string() + "/";
  Open({"of", "The"});
  viewer_.Save(Choose(temp_.File("mine")));
  EXPECT_EQ(initialDir_, temp_.Path().string() + "/");
  EXPECT_EQ(list_.FileName(), temp_.File("mine.TXT"));
  EXPECT_EQ(temp_.Read("mine.TXT"), "of\r\nThe\r\n");
  EXPECT_EQ(viewer_.FileNameLabel(), "mine.TXT");
  EXPECT_EQ(list_.Words().size(), 2u);  // the words stay in effect
  EXPECT_FALSE(viewer_.Modified());

  list_.AssignFileName(temp_.File("no/such/dir.TXT"));
  viewer_.Save(Choose("unused"));
  EXPECT_EQ(messages_->errors, std::vector<std::string>{"Unable to save to file \r\n" +
                                                        temp_.File("no/such/dir.TXT")});
  EXPECT_EQ(list_.FileName(), "");
  EXPECT_EQ(list_.Words().size(), 2u);
}

TEST_F(StopViewTest, LoadingReplacesTheWordsAndAFailureKeepsThem) {
  temp_.Write("new.TXT", "zeta\r\nAlpha\r\n");
  Open({"old"});
  viewer_.Load(Choose(temp_.File("new")));
  EXPECT_EQ(list_.FileName(), temp_.File("new.TXT"));
  EXPECT_EQ(list_.Words(), (std::vector<std::string>{"Alpha", "zeta"}));
  EXPECT_EQ(GlobalSettings().StopListPath, temp_.Path().string() + "/");
  EXPECT_EQ(viewer_.FileNameLabel(), "new.TXT");

  viewer_.Load(Choose(temp_.File("missing.txt")));
  EXPECT_EQ(messages_->errors,
            std::vector<std::string>{"Unable to load words from \r\n" + temp_.File("missing.txt")});
  EXPECT_EQ(list_.Words(), (std::vector<std::string>{"Alpha", "zeta"}));
  EXPECT_EQ(list_.FileName(), temp_.File("new.TXT"));

  viewer_.Load(Choose(""));  // cancelled
  EXPECT_EQ(list_.Words().size(), 2u);
}

}  // namespace
}  // namespace quenterra
