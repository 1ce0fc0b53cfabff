#include "desktop/ItemLocation.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "corpus/Corpus.h"
#include "support/SettingsTest.h"
#include "support/TempDir.h"

namespace quenterra {
namespace {

class ItemLocationTest : public test::TSettingsTest {
 protected:
  // Indexes the files with the current settings.
  TTextIndex& Index(const std::vector<std::string>& texts) {
    std::vector<std::string> names;
    for (size_t i = 0; i < texts.size(); ++i)
      names.push_back(dir_.Write("f" + std::to_string(i) + ".txt", texts[i]));
    corpus_ = std::make_unique<TCorpus>(settings_.config, settings_.tables);
    corpus_->LoadCorpusFiles(names, false);
    return *corpus_->Index();
  }
  int32_t Id(const char* text, uint8_t kind = kKindWord) {
    return static_cast<int32_t>(corpus_->Index()->FindToken(text, kind)->id);
  }
  // A list holding one item of these words (and tags).
  std::unique_ptr<TCollocationList> List(std::vector<int32_t> words,
                                         std::vector<int32_t> tags = {}) {
    auto list = std::make_unique<TCollocationList>(*corpus_->Index(), settings_.tables,
                                                   static_cast<int>(words.size()));
    list->Add(words.data(), tags.empty() ? nullptr : tags.data(), 0);
    return list;
  }

  test::TTempDir dir_;
  std::unique_ptr<TCorpus> corpus_;
};

TEST_F(ItemLocationTest, FindsTheFirstPlaceWhereTheWordsFollowEachOther) {
  TTextIndex& index = Index({"house white x\nthe White  House is\n", "white house\n"});
  const auto list = List({Id("white"), Id("house")});
  const std::optional<TItemLocation> found = LocateItem(index, *list, 0, {});
  ASSERT_TRUE(found.has_value());
  EXPECT_EQ(found->file, 0);
  EXPECT_EQ(found->words, (std::vector<TByteSpan>{{18, 23}, {25, 30}}));
  EXPECT_EQ(found->position, 4);

  // Words that never follow each other have no place.
  EXPECT_FALSE(LocateItem(index, *List({Id("x"), Id("house")}), 0, {}).has_value());
}

TEST_F(ItemLocationTest, ATaggedItemNeedsItsTags) {
  settings_.config.WordTag = 1;
  settings_.config.wTagDelimiter = '/';
  settings_.RebuildTables();
  TTextIndex& index = Index({"white/jj house/nn\nwhite/nn house/nn\n"});
  const auto list =
      List({Id("white"), Id("house")}, {Id("nn", kKindWordTag), Id("nn", kKindWordTag)});
  const std::optional<TItemLocation> found = LocateItem(index, *list, 0, {});
  ASSERT_TRUE(found.has_value());
  EXPECT_EQ(found->words.front(), (TByteSpan{18, 23}));
}

}  // namespace
}  // namespace quenterra
