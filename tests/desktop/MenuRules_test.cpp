#include "desktop/MenuRules.h"

#include <gtest/gtest.h>

#include <cstring>
#include <set>
#include <string>

#include "desktop/MenuTable.h"
#include "desktop/MessageRules.h"

namespace quenterra {
namespace {

using I = TMenuId;
using K = TCollocSortKey;

class MenuRulesTest : public ::testing::Test {
 protected:
  const TItemState& Row(I id) { return rows_[static_cast<size_t>(MenuRowOf(id))]; }
  const TItemState& Named(const char* name) {
    return rows_[static_cast<size_t>(MenuRowNamed(name))];
  }
  void Update() { UpdateMenus(state_, rows_); }
  // Whether a sort item can be chosen: it and its submenu are enabled.
  bool Reachable(int row) {
    const TMenuRow& item = MenuTable()[static_cast<size_t>(row)];
    return rows_[static_cast<size_t>(row)].enabled &&
           rows_[static_cast<size_t>(item.parent)].enabled;
  }
  static TListWindowFacts List(bool ngram, bool tagged, TScoreMethod method, int words = 2) {
    return {tagged, ngram, TListView{true, method}, words};
  }

  TMenuState state_;
  std::vector<TItemState> rows_ = InitialMenuStates();
};

TEST_F(MenuRulesTest, TheTableHoldsEveryItemOnceWithOurOwnHints) {
  std::set<std::string> names;
  int sortItems = 0;
  for (const TMenuRow& row : MenuTable()) {
    if (*row.name != '\0') {
      EXPECT_TRUE(names.insert(row.name).second) << row.name;
    }
    EXPECT_EQ(std::strstr(row.hint, "Parvolex"), nullptr) << row.name;
    if (row.id == I::kSortItem) ++sortItems;
  }
  EXPECT_EQ(sortItems, static_cast<int>(SortCommands().size()));
  const TMenuRow& exit = MenuTable()[static_cast<size_t>(MenuRowNamed("FMF_Exit"))];
  EXPECT_STREQ(exit.shortcut, "Ctrl+Q");
  EXPECT_STREQ(MenuTable()[static_cast<size_t>(SortItemRow(K::kPOSTag, K::kFreq))].name,
               "FMS_POSTah_Freq");
  EXPECT_STREQ(MenuTable()[static_cast<size_t>(SortItemRow(K::kScore, K::kNone))].caption,
               "&No Second Sort");
}

TEST_F(MenuRulesTest, WithoutACorpusExtractingIsHidden) {
  Update();
  EXPECT_FALSE(Row(I::kExtract).visible);
  EXPECT_FALSE(Row(I::kFullExtract).visible);
  EXPECT_FALSE(Row(I::kWindow).visible);
  EXPECT_FALSE(Row(I::kSort).visible);
  EXPECT_TRUE(Row(I::kLoadCorpus).enabled);
  EXPECT_FALSE(Row(I::kUnloadCorpus).enabled);
  EXPECT_FALSE(Row(I::kViewCorpus).enabled);
}

TEST_F(MenuRulesTest, ABusyProgramKeepsMenusVisibleButDisabled) {
  state_ = {true, true, true, true, 1, List(false, false, TScoreMethod::kMutualInfo)};
  Update();
  EXPECT_TRUE(Row(I::kExtract).visible);
  EXPECT_FALSE(Row(I::kExtract).enabled);
  EXPECT_TRUE(Row(I::kFullExtract).visible);
  EXPECT_FALSE(Row(I::kFullExtract).enabled);
  EXPECT_FALSE(Row(I::kLoadCorpus).enabled);
  EXPECT_FALSE(Row(I::kSaveWorkspace).enabled);
  EXPECT_TRUE(Row(I::kViewCorpus).enabled);
  EXPECT_FALSE(Row(I::kExtractSave).enabled);
  EXPECT_TRUE(Row(I::kSort).visible);
  EXPECT_FALSE(Row(I::kSort).enabled);
  EXPECT_FALSE(Row(I::kDisplay).enabled);
  EXPECT_TRUE(Row(I::kSaveOnExit).checked);
  state_.busy = false;
  Update();
  EXPECT_TRUE(Row(I::kSaveWorkspace).enabled);
  EXPECT_TRUE(Row(I::kExtractPrint).enabled);
  EXPECT_FALSE(Row(I::kFullPrint).enabled);
  EXPECT_TRUE(Row(I::kMutualInformation).checked);
  EXPECT_TRUE(Row(I::kFrequency).checked);
  EXPECT_FALSE(Row(I::kTScore).checked);
}

TEST_F(MenuRulesTest, FullExtractAndTrigramListsHideTheScoresTheyCannotShow) {
  state_ = {true, false, false, false, 1, List(true, false, TScoreMethod::kCost, 7)};
  Update();
  for (I id : {I::kFrequency, I::kMutualInformation, I::kTScore, I::kLogLikelihood,
               I::kDisplaySeparator1, I::kDisplaySeparator2}) {
    EXPECT_FALSE(Row(id).visible);
  }
  EXPECT_TRUE(Row(I::kFont).visible);
  EXPECT_TRUE(Row(I::kFullSave).enabled);
  EXPECT_FALSE(Row(I::kExtractSave).enabled);
  EXPECT_FALSE(Named("FMS_Position").enabled);
  EXPECT_FALSE(Named("FMS_Freq_Position").enabled);
  EXPECT_FALSE(Named("FMS_POSTag").enabled);
  EXPECT_TRUE(Named("FMS_Score").enabled);

  // A trigram list hides the two bigram scores only.
  state_.activeList = List(false, false, TScoreMethod::kMutualInfo, 3);
  Update();
  EXPECT_FALSE(Row(I::kTScore).visible || Row(I::kLogLikelihood).visible);
  EXPECT_TRUE(Row(I::kMutualInformation).visible);
}

TEST_F(MenuRulesTest, ASortItemCanBeChosenExactlyWhenTheListOffersBothKeys) {
  for (bool ngram : {false, true}) {
    for (bool tagged : {false, true}) {
      for (TScoreMethod method : {TScoreMethod::kNone, TScoreMethod::kTScore}) {
        const TListWindowFacts list = List(ngram, tagged, method);
        state_ = {true, false, false, false, 1, list};
        Update();
        for (const TSortCommand& command : SortCommands()) {
          EXPECT_EQ(Reachable(SortItemRow(command.first, command.second)),
                    SortCommandAvailable(command, list));
        }
      }
    }
  }
}

TEST(MessageRulesTest, DefaultAndCancelButtonsOfEachSet) {
  using B = TMsgButton;
  EXPECT_EQ(DefaultButton({B::kOk, B::kCancel}), B::kOk);
  EXPECT_EQ(CancelButton({B::kOk, B::kCancel}), B::kCancel);
  EXPECT_EQ(DefaultButton({B::kYes, B::kNo}), B::kYes);
  EXPECT_EQ(CancelButton({B::kYes, B::kNo}), B::kNo);
  EXPECT_EQ(CancelButton({B::kOk}), B::kOk);
  EXPECT_EQ(CancelButton({B::kAbort, B::kRetry, B::kIgnore}), B::kAbort);
  EXPECT_EQ(DefaultButton({B::kAbort, B::kRetry, B::kIgnore}), B::kRetry);
  EXPECT_EQ(OrderedButtons({B::kCancel, B::kOk, B::kYes}),
            (std::vector<B>{B::kYes, B::kOk, B::kCancel}));
  EXPECT_STREQ(MsgKindCaption(TMsgKind::kConfirmation), "Confirm");
  EXPECT_STREQ(MsgKindCaption(TMsgKind::kCustom), "Quenterra");
  EXPECT_STREQ(MsgButtonCaption(B::kNoToAll), "&Not to All");
}

}  // namespace
}  // namespace quenterra
