#include "dialogs/StopListOptions.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "support/SettingsTest.h"
#include "support/TempDir.h"

namespace quenterra {
namespace {

using Strings = std::vector<std::string>;

class StopListOptionsTest : public test::TSettingsTest {
 protected:
  // Opens the dialog on a list that was loaded with these words.
  void Open(Strings words) {
    list_.Words() = std::move(words);
    list_.SetActive(true);
    dialog_.Show();
    dialog_.Activate();
  }
  void AddAnswer(const std::string& text) {
    messages_->inputs.push_back(text);
    dialog_.Add();
  }
  TStopListOptions::TChooseFile Choose(std::string name) {
    return [this, name](const std::string& dir) {
      initialDir_ = dir;
      return name;
    };
  }

  test::TTempDir temp_;
  TStopList& list_ = settings_.stopList;
  TStopListOptions dialog_{list_, settings_.global, settings_.config, settings_.tables};
  std::string initialDir_;
};

TEST_F(StopListOptionsTest, AddingSplitsAtTheDelimitersAndStopsAtAnEmptyWord) {
  settings_.config.NonWordChars += "@";
  Open({"The"});
  AddAnswer("the post office@box");  // an active list refuses duplicates, case ignored
  EXPECT_EQ(list_.Words(), (Strings{"The", "post", "office", "box"}));
  EXPECT_EQ(messages_->asked.back(), "Enter word(s) to add to stop list:");
  AddAnswer("alpha, beta");  // the space after the comma is an empty word
  EXPECT_TRUE(dialog_.Modified());
  AddAnswer(" leading");
  EXPECT_EQ(dialog_.Entries(), (Strings{"alpha", "box", "office", "post", "The"}));
  AddAnswer(std::string(250, 'a') + " bcdefghij");  // only the first 255 characters count
  EXPECT_EQ(list_.Words().back(), "bcde");
  Open({});
  AddAnswer("a A");  // an inactive list takes the duplicate
  EXPECT_EQ(list_.Words(), (Strings{"a", "A"}));
  // Typed text is UTF-8; the words are kept in the corpus encoding, code page 1252 here.
  UseCodePage();
  AddAnswer("caf\u00E9 \u03A9mega");
  EXPECT_EQ(list_.Words().size(), 2u);  // refused whole: 1252 has no Omega
  EXPECT_EQ(messages_->errors.back(),
            "The character \"\u03A9\" cannot be written in code page 1252.");
  AddAnswer("caf\u00E9");
  EXPECT_EQ(list_.Words().back(), "caf\xE9");
}

TEST_F(StopListOptionsTest, OkKeepsTheEditsAndCancelRestoresTheWordsOfTheLastActivation) {
  Open({"a", "b"});
  dialog_.Close();  // unmodified: nothing to ask
  EXPECT_TRUE(messages_->asked.empty());
  dialog_.Remove({1});
  messages_->answers = {true};
  dialog_.Close();
  EXPECT_EQ(list_.Words(), Strings{"a"});

  Open({"a", "b", "c"});
  dialog_.Remove({0, 2});
  EXPECT_EQ(list_.Words(), Strings{"b"});
  messages_->answers = {false};
  dialog_.Close();
  EXPECT_EQ(list_.Words(), (Strings{"a", "b", "c"}));
  EXPECT_EQ(messages_->asked, (Strings{"Save changes?", "Save changes?"}));

  // After "Add..." the backup dates from the moment the input dialog closed.
  Open({"a", "b"});
  dialog_.Remove({0});
  AddAnswer("z");
  messages_->answers = {false};
  dialog_.Close();
  EXPECT_EQ(list_.Words(), Strings{"b"});

  // "Clear" asks first and forgets the file.
  list_.AssignFileName("/x/stop.TXT");
  messages_->asked.clear();
  messages_->answers = {false, true};
  dialog_.Clear();
  EXPECT_EQ(list_.Words().size(), 1u);
  dialog_.Clear();
  EXPECT_TRUE(list_.Words().empty() && dialog_.Entries().empty());
  EXPECT_EQ(list_.FileName() + dialog_.FileNameLabel(), "");
  EXPECT_EQ(messages_->asked, Strings(2, "Remove all words from stop list?"));
}

TEST_F(StopListOptionsTest, SaveAndLoadNameTheFileAndAFailureKeepsTheWords) {
  const std::string dir = temp_.Path().string() + "/";
  settings_.global.StopListPath = dir;
  Open({"of", "The"});
  dialog_.Save(Choose(temp_.File("mine")));  // an unnamed list asks for a name
  EXPECT_EQ(initialDir_, dir);
  EXPECT_EQ(list_.FileName(), temp_.File("mine.TXT"));
  EXPECT_EQ(temp_.Read("mine.TXT"), "of\r\nThe\r\n");
  EXPECT_EQ(dialog_.FileNameLabel(), "mine.TXT");
  EXPECT_FALSE(dialog_.Modified());
  list_.AssignFileName(temp_.File("no/such/dir.TXT"));
  dialog_.Save(Choose("unused"));
  EXPECT_EQ(messages_->errors.back(),
            "Unable to save to file \r\n" + temp_.File("no/such/dir.TXT"));
  EXPECT_EQ(list_.FileName(), "");
  EXPECT_EQ(list_.Words().size(), 2u);  // the words stay in effect

  std::filesystem::create_directory(temp_.Path() / "sub");
  temp_.Write("sub/new.TXT", "zeta\r\nAlpha\r\n");
  dialog_.Load(Choose(temp_.File("sub/new")));
  EXPECT_EQ(list_.FileName(), temp_.File("sub/new.TXT"));
  EXPECT_EQ(list_.Words(), (Strings{"Alpha", "zeta"}));
  EXPECT_EQ(settings_.global.StopListPath, dir + "sub/");
  EXPECT_EQ(dialog_.FileNameLabel(), "new.TXT");
  dialog_.Load(Choose(temp_.File("missing.txt")));
  EXPECT_EQ(messages_->errors.back(), "Unable to load words from \r\n" + temp_.File("missing.txt"));
  EXPECT_EQ(list_.Words(), (Strings{"Alpha", "zeta"}));
  EXPECT_EQ(list_.FileName(), temp_.File("sub/new.TXT"));
  dialog_.Load(Choose(""));  // cancelled
  EXPECT_EQ(list_.Words().size(), 2u);
}

}  // namespace
}  // namespace quenterra
