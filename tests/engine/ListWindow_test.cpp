#include "engine/ListWindow.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "engine/PrintLayout.h"
#include "support/EngineTestKit.h"

namespace quenterra {
namespace {

using K = TCollocSortKey;
using Ids = std::vector<int32_t>;

TEST(ListWindowTest, SortCommandsAreDistinctAndNeverPairThePositionKeys) {
  const std::vector<TSortCommand>& commands = SortCommands();
  EXPECT_EQ(std::set<TSortCommand>(commands.begin(), commands.end()).size(), commands.size());
  for (const TSortCommand& command : commands) {
    EXPECT_NE(command.first, K::kNone);
    EXPECT_NE(command.first, command.second);
  }
  EXPECT_EQ(commands.front(), TSortCommand(K::kFreq, K::kNone));
  EXPECT_EQ(std::count(commands.begin(), commands.end(), TSortCommand(K::kPosition, K::kRevPos)),
            0);
}

TEST(ListWindowTest, KeysAreOfferedByKindOfList) {
  TListWindowFacts facts;  // an untagged extraction list without a score
  facts.view.scoreMethod = TScoreMethod::kNone;
  EXPECT_TRUE(SortCommandAvailable({K::kPosition, K::kAlpha}, facts));
  EXPECT_FALSE(SortCommandAvailable({K::kFreq, K::kScore}, facts));
  EXPECT_FALSE(SortCommandAvailable({K::kPOSTag, K::kNone}, facts));
  facts.isNGramList = true;
  facts.tagged = true;
  facts.view.scoreMethod = TScoreMethod::kMutualInfo;
  EXPECT_FALSE(SortCommandAvailable({K::kAlpha, K::kRevPos}, facts));
  EXPECT_TRUE(SortCommandAvailable({K::kPOSTag, K::kScore}, facts));
  EXPECT_TRUE(ScoreMethodOffered(TScoreMethod::kMutualInfo, 3));
  EXPECT_FALSE(ScoreMethodOffered(TScoreMethod::kTScore, 3));
  EXPECT_TRUE(ScoreMethodOffered(TScoreMethod::kLogLikelihood, 2));
}

TEST(ListWindowTest, PrintTitleNamesWhatIsShown) {
  EXPECT_EQ(PrintTitle({true, TScoreMethod::kTScore}), "Score method: T-Score");
  EXPECT_EQ(PrintTitle({true, TScoreMethod::kNone}), "Score method: Frequency");
  EXPECT_EQ(PrintTitle({false, TScoreMethod::kNone}), "Collocations");
}

class ScoreSwitchTest : public test::TIndexTest {};

TEST_F(ScoreSwitchTest, TheShownMethodHidesAndShowsWithoutRecomputingExceptOnTrigrams) {
  TCollocationList list(index_, settings_.tables, 2, TScoreMethod::kMutualInfo);
  list.Append(Ids{Token("take", 3), Token("place", 4)}.data(), nullptr, 7.5, 3);
  TListView view{true, TScoreMethod::kMutualInfo};
  EXPECT_TRUE(ToggleScoreMethod(list, view, TScoreMethod::kMutualInfo, 100));
  EXPECT_EQ(view.scoreMethod, TScoreMethod::kNone);
  EXPECT_TRUE(ToggleScoreMethod(list, view, TScoreMethod::kMutualInfo, 100));
  EXPECT_EQ(list.Item(0).score, 7.5);  // kept: the list still holds Mutual Information
  EXPECT_TRUE(ToggleScoreMethod(list, view, TScoreMethod::kTScore, 100));
  EXPECT_EQ(view.scoreMethod, TScoreMethod::kTScore);
  EXPECT_NEAR(list.Item(0).score, (3 - 3.0 * 4 / 100) / std::sqrt(3.0), 1e-9);
  // A trigram list keeps no T-Score column.
  TCollocationList trigrams(index_, settings_.tables, 3, TScoreMethod::kNone);
  view = {true, TScoreMethod::kNone};
  EXPECT_FALSE(ToggleScoreMethod(trigrams, view, TScoreMethod::kTScore, 100));
  EXPECT_EQ(view.scoreMethod, TScoreMethod::kNone);
}

// The sort keys against the texts themselves: random items of words that are prefixes of each
// other, with and without tags, some ending early.
TEST_F(ScoreSwitchTest, TextKeysOrderItemsAsTheirTextsDo) {
  const std::vector<int32_t> words = {Token("a"), Token("ab"), Token("abc"),
                                      Token("B"), Token("b"),  Token("b-a")};
  const std::vector<int32_t> tags = {-1, Token("nn", 1, kKindWordTag), Token("NN", 1, kKindWordTag),
                                     Token("n", 1, kKindWordTag)};
  std::mt19937 rng(7);
  // Three words pack into one number per item; twelve do not.
  for (int width : {3, 12}) {
    TCollocationList list(index_, settings_.tables, width, TScoreMethod::kNone);
    for (int i = 0; i < 300; ++i) {
      Ids item(static_cast<size_t>(width)), itemTags(static_cast<size_t>(width));
      for (size_t j = 0; j < item.size(); ++j) {
        item[j] = j > 0 && (item[j - 1] < 0 || rng() % 5 == 0) ? -1 : words[rng() % words.size()];
        itemTags[j] = tags[rng() % tags.size()];
      }
      list.Append(item.data(), itemTags.data(), 0, i);
    }
    for (K key : {K::kAlpha, K::kPOSTag}) {
      auto text = [&](int i) {
        return key == K::kAlpha ? list.CollocationText(i) : list.TagText(i);
      };
      std::vector<std::string> expected;
      for (int i = 0; i < list.Count(); ++i) expected.push_back(text(i));
      std::stable_sort(expected.begin(), expected.end());
      list.Sort(key, K::kNone);
      for (int i = 0; i < list.Count(); ++i) ASSERT_EQ(text(i), expected[i]) << width << " " << i;
    }
  }
}

TEST(PrintLayoutTest, MarginsTabStopsAndPageEstimate) {
  // A4 at 600 dpi: 4961 x 7016 pixels; 15 mm = 354.33 and 20 mm = 472.44 pixels.
  const TPageMargins margins = TPageMargins::ForPage(4961, 7016, 600, 600);
  EXPECT_EQ(margins.left, 354);
  EXPECT_EQ(margins.right, 4961 - 354);
  EXPECT_EQ(margins.top, 472);
  EXPECT_EQ(margins.bottom, 7016 - 472);
  // 1000 items at 50 lines a page ask for 20 pages; 200 for 4, which needs no question.
  TPageMargins fifty;
  fifty.top = 0;
  fifty.bottom = 500;
  EXPECT_EQ(PageEstimate(1000, 10, fifty), 20);
  EXPECT_EQ(PageEstimate(200, 10, fifty), 4);
  EXPECT_EQ(PagesQuestion(20), "Are you sure you want to print 20 pages?");
  EXPECT_EQ(PrinterTabStops({60, 90, 300}, 600), (std::vector<int>{375, 938, 2812}));
}

TEST(PrintLayoutTest, LinesFlowOntoNewPagesAtTheBottomMargin) {
  TPageMargins margins;
  margins.top = 100;
  margins.bottom = 130;
  TPageFlow flow(margins);
  EXPECT_EQ(flow.Place(10), 100);
  EXPECT_EQ(flow.Place(10), 110);
  EXPECT_EQ(flow.Place(10), 120);
  EXPECT_FALSE(flow.NewPage());
  EXPECT_EQ(flow.Place(10), 100);
  EXPECT_TRUE(flow.NewPage());
  EXPECT_EQ(flow.Page(), 2);
  EXPECT_EQ(flow.Place(50), 100);  // too high for a page: each takes one of its own
  EXPECT_EQ(flow.Place(50), 100);
  EXPECT_EQ(flow.Page(), 4);
}

}  // namespace
}  // namespace quenterra
