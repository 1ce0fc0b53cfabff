#include "engine/StopList.h"

#include <gtest/gtest.h>

#include <map>

#include "support/SettingsTest.h"
#include "support/TempDir.h"

namespace quenterra {
namespace {

using Strings = std::vector<std::string>;

using StopListTest = test::TSettingsTest;

TEST_F(StopListTest, FilesAreReadLineByLineAndAMissingOneEmptiesTheList) {
  test::TTempDir temp;
  TStopList list;
  list.SetFileName(
      temp.Write("stop.txt", "\xEF\xBB\xBFthe\r\nof\n\nand\rTHE"));  // a BOM is no text
  EXPECT_TRUE(list.LoadFromFile());
  EXPECT_EQ(list.Words(), (Strings{"the", "of", "and", "THE"}));
  EXPECT_TRUE(list.Active());
  TStopList::SaveWordsToFile(temp.File("out.txt"), {"a", "b"});
  EXPECT_EQ(temp.Read("out.txt"), "a\r\nb\r\n");

  list.SetFileName(temp.File("missing.txt"));
  list.Words() = {"old"};
  EXPECT_FALSE(list.LoadFromFile());
  EXPECT_TRUE(list.Words().empty());
  EXPECT_FALSE(list.Active());
  EXPECT_EQ(messages_->errors,
            Strings{"Unable to load stop-list words from file \r\n" + temp.File("missing.txt")});
}

TEST_F(StopListTest, LookupsIgnoreCaseAndIdsCoverTheCountedKinds) {
  std::map<std::pair<std::string, uint8_t>, uint32_t> index = {
      {{"the", 1}, 7}, {{"of", 1}, 3}, {{"the", 2}, 11}, {{"the", 3}, 12}, {{"the", 5}, 99}};
  int lookups = 0;
  auto find = [&](const std::string& text, uint8_t kind) -> std::optional<uint32_t> {
    ++lookups;
    auto found = index.find({text, kind});
    return found == index.end() ? std::nullopt : std::optional<uint32_t>(found->second);
  };
  TStopList list;
  list.Words() = {"The", "OF", "absent", std::string(256, 'x')};
  settings_.config.ignoreCase = false;  // lower-cased all the same
  settings_.RebuildTables();
  auto ids = [&](TKindSet kinds) {
    const TDWordsList found = list.BuildIdList(find, kinds, settings_.tables);
    return std::vector<uint32_t>(found.Items(), found.Items() + found.Count());
  };
  EXPECT_EQ(ids(kWordKinds), (std::vector<uint32_t>{3, 7}));
  EXPECT_EQ(lookups, 3);  // the over-long word is never looked up
  EXPECT_EQ(ids(kTextKinds), (std::vector<uint32_t>{3, 7, 11, 12}));

  // Contains ignores case too, but only while the list is active.
  EXPECT_FALSE(list.Contains("the", settings_.tables));  // never loaded: not active
  list.SetActive(true);
  EXPECT_TRUE(list.Contains("the", settings_.tables));
  EXPECT_TRUE(list.Contains("of", settings_.tables));
  EXPECT_FALSE(list.Contains("and", settings_.tables));
  list.SetFileName("x.txt");
  EXPECT_TRUE(list.Words().empty());
  list.SetActive(true);
  EXPECT_FALSE(list.Active());  // an empty list cannot be active
}

}  // namespace
}  // namespace quenterra
