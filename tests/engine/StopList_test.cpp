#include "engine/StopList.h"

#include <gtest/gtest.h>

#include <map>

#include "platform/IniFile.h"
#include "settings/Settings.h"
#include "support/StoredSettingsTest.h"
#include "support/TempDir.h"

namespace quenterra {
namespace {

class StopListTest : public test::TStoredSettingsTest {
 protected:
  test::TTempDir temp_;
};

TEST_F(StopListTest, ContainsIgnoresCaseAndOnlyWhenActive) {
  TStopList list;
  list.Words() = {"The", "of"};
  EXPECT_FALSE(list.Contains("the"));  // never loaded: not active
  list.SetActive(true);
  EXPECT_TRUE(list.Contains("the"));
  EXPECT_TRUE(list.Contains("OF"));
  EXPECT_FALSE(list.Contains("and"));
  list.SetFileName("x.txt");
  EXPECT_TRUE(list.Words().empty());
  list.SetActive(true);
  EXPECT_FALSE(list.Active());  // an empty list cannot be active
}

TEST_F(StopListTest, ConfigHoldsTheWordsOnlyWithoutAFile) {
  TStopList list;
  list.Words() = {"a", "b"};
  TIniFile ini = TIniFile::Parse("[StopList]\nWordCount=5\nWord0=stale\n");
  list.SaveToConfig(ini);
  EXPECT_EQ(ini.KeyNames("StopList"), (std::vector<std::string>{"WordCount", "Word0", "Word1"}));
  TStopList back;
  back.LoadFromConfig(ini);
  EXPECT_EQ(back.Words(), list.Words());
  EXPECT_TRUE(back.Active());

  TStopList empty;
  TIniFile none;
  empty.SaveToConfig(none);
  EXPECT_FALSE(none.SectionExists("StopList"));
  empty.LoadFromConfig(none);
  EXPECT_FALSE(empty.Active());
}

TEST_F(StopListTest, FilesAreReadLineByLine) {
  std::string name = temp_.Write("stop.txt", "the\r\nof\n\nand\rTHE");
  TStopList list;
  list.SetFileName(name);
  EXPECT_TRUE(list.LoadFromFile());
  EXPECT_EQ(list.Words(), (std::vector<std::string>{"the", "of", "and", "THE"}));
  EXPECT_TRUE(list.Active());
  TStopList::SaveWordsToFile(temp_.File("out.txt"), {"a", "b"});
  EXPECT_EQ(temp_.Read("out.txt"), "a\r\nb\r\n");

  list.SetFileName(temp_.File("missing.txt"));
  list.Words() = {"old"};
  EXPECT_FALSE(list.LoadFromFile());
  EXPECT_TRUE(list.Words().empty());
  EXPECT_FALSE(list.Active());
  EXPECT_EQ(messages_->errors,
            std::vector<std::string>{"Unable to load stop-list words from file \r\n" +
                                     temp_.File("missing.txt")});
}

TEST_F(StopListTest, IdListLooksUpLowerCaseWordsInTheCountedKinds) {
  std::map<std::pair<std::string, uint8_t>, uint32_t> index = {
      {{"the", 1}, 7}, {{"of", 1}, 3}, {{"the", 2}, 11}, {{"the", 3}, 12}, {{"the", 5}, 99}};
  std::vector<std::pair<std::string, uint8_t>> lookups;
  auto find = [&](const std::string& text, uint8_t kind) -> std::optional<uint32_t> {
    lookups.emplace_back(text, kind);
    auto found = index.find({text, kind});
    return found == index.end() ? std::nullopt : std::optional<uint32_t>(found->second);
  };
  TStopList list;
  list.Words() = {"The", "OF", "absent", std::string(256, 'x')};
  Config().ignoreCase = false;  // lower-cased all the same
  TDWordsList ids = list.BuildIdList(find);
  ASSERT_EQ(ids.Count(), 2);
  EXPECT_EQ(ids.GetItem(0), 3u);
  EXPECT_EQ(ids.GetItem(1), 7u);
  EXPECT_EQ(lookups.size(), 3u);  // the over-long word is never looked up

  Config().SkipNormalTags = false;
  ids = list.BuildIdList(find);
  ASSERT_EQ(ids.Count(), 4);
  EXPECT_EQ(ids.GetItem(3), 12u);
  EXPECT_TRUE(ids.Sorted());
}

}  // namespace
}  // namespace quenterra
