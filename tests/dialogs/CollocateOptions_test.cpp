#include "dialogs/CollocateOptions.h"

#include <gtest/gtest.h>

namespace quenterra {
namespace {

TEST(CollocateOptionsTest, OpensOnTheLastChoiceWithTheStoredMinimumAndStoresIt) {
  ZuzadovUdirev config;
  config.Min_Word_Freq = 70000;  // a damaged setting
  TCollocateOptions last;
  last.left = 2;
  last.useTags = true;
  last.score = TCollocateScore::kLogDice;
  TCollocateOptions options = TCollocateOptions::FromSettings(config, last);
  EXPECT_EQ(options.left, 2);
  EXPECT_EQ(options.minCooccurrence, 32767);
  EXPECT_FALSE(options.useTags);  // the corpus has no word tags
  EXPECT_EQ(options.Scores(), std::vector<TCollocateScore>{TCollocateScore::kLogDice});
  EXPECT_EQ(options.SortKey().kind, TCollocateSortKind::kScore);
  options.minCooccurrence = 4;
  options.Store(config);
  EXPECT_EQ(config.Min_Word_Freq, 4);
  options.score.reset();  // every score, by the total
  EXPECT_EQ(options.Scores().size(), static_cast<size_t>(kCollocateScoreCount));
  EXPECT_EQ(options.SortKey().kind, TCollocateSortKind::kTotal);
}

TEST(CollocateOptionsTest, RefusesWhatCannotBeCountedWithAReason) {
  ZuzadovUdirev config;
  EXPECT_EQ(TCollocateOptions{}.Validate(config), "");
  const auto problem = [&](auto change) {
    TCollocateOptions options;
    change(options);
    return options.Validate(config);
  };
  EXPECT_EQ(problem([](auto& o) { o.left = o.right = 0; }),
            "The window is empty: choose at least one position.");
  EXPECT_EQ(problem([](auto& o) { o.right = 13; }),
            "Each side of the window takes 0 to 12 positions.");
  EXPECT_EQ(problem([](auto& o) { o.left = -1; }),
            "Each side of the window takes 0 to 12 positions.");
  EXPECT_NE(problem([](auto& o) { o.minCooccurrence = 0; }), "");
  EXPECT_NE(problem([](auto& o) { o.minCollocateFreq = 0; }), "");
  EXPECT_EQ(problem([](auto& o) { o.useTags = true; }),
            "Word&tag collocates need a corpus with word tags.");
  config.WordTag = 1;
  EXPECT_EQ(problem([](auto& o) {
              o.useTags = true;
              o.left = 0;
            }),
            "");
}

}  // namespace
}  // namespace quenterra
