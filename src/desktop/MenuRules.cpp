#include "desktop/MenuRules.h"

#include "desktop/MenuTable.h"

namespace quenterra {

namespace {

using I = TMenuId;

class TRuleSetter {
 public:
  explicit TRuleSetter(std::vector<TItemState>& rows) : rows_(rows) {}
  TItemState& operator[](I id) { return rows_[static_cast<size_t>(MenuRowOf(id))]; }
  void Enable(I id, bool on) { (*this)[id].enabled = on; }
  void Show(I id, bool visible, bool enabled) {
    (*this)[id].visible = visible;
    (*this)[id].enabled = enabled;
  }

 private:
  std::vector<TItemState>& rows_;
};

void FileRules(const TMenuState& s, TRuleSetter& set) {
  const bool idle = !s.busy;
  set.Enable(I::kLoadCorpus, idle);
  set.Enable(I::kOpenWorkspace, idle);
  set.Enable(I::kUnloadCorpus, s.hasFiles && idle);
  set.Enable(I::kSaveWorkspaceAs, s.hasFiles && idle);
  set.Enable(I::kViewCorpus, s.hasFiles);
  set.Enable(I::kSaveWorkspace, s.hasFiles && idle && s.workspaceActive);
  set[I::kSaveOnExit].checked = s.saveOnExit;
  set.Show(I::kExtract, s.hasFiles, s.hasFiles && idle);
  set.Show(I::kFullExtract, s.hasFiles, s.hasFiles && idle);
  set.Show(I::kWindow, s.childCount > 0, true);
}

void ListRules(const TMenuState& s, TRuleSetter& set) {
  const bool listActive = s.activeList.has_value();
  const bool fullList = listActive && s.activeList->isNGramList;
  const bool extractList = listActive && !fullList;
  const bool idle = !s.busy;
  set.Enable(I::kExtractSave, extractList && idle);
  set.Enable(I::kExtractPrint, extractList && idle);
  set.Enable(I::kFullSave, fullList && idle);
  set.Enable(I::kFullPrint, fullList && idle);
  set.Show(I::kSort, listActive, listActive && idle);
  set.Show(I::kDisplay, s.hasFiles && listActive, s.hasFiles && listActive && idle);
}

void SortRules(const TListWindowFacts& list, std::vector<TItemState>& rows) {
  const std::vector<TMenuRow>& table = MenuTable();
  for (size_t i = 0; i < table.size(); ++i) {
    const TMenuRow& row = table[i];
    if (row.id == I::kSortMenu) rows[i].enabled = SortKeyAvailable(row.key1, list);
    if (row.id == I::kSortItem) rows[i].enabled = SortCommandAvailable({row.key1, row.key2}, list);
  }
}

void DisplayRules(const TListWindowFacts& list, TRuleSetter& set) {
  const bool extractList = !list.isNGramList;
  const bool pairs = extractList && list.wordCount == 2;
  const TScoreMethod method = list.view.scoreMethod;
  set.Show(I::kFrequency, extractList, extractList);
  set[I::kFrequency].checked = extractList && list.view.showFrequency;
  set.Show(I::kMutualInformation, extractList, extractList);
  set[I::kMutualInformation].checked = extractList && method == TScoreMethod::kMutualInfo;
  set.Show(I::kTScore, pairs, pairs);
  set[I::kTScore].checked = pairs && method == TScoreMethod::kTScore;
  set.Show(I::kLogLikelihood, pairs, pairs);
  set[I::kLogLikelihood].checked = pairs && method == TScoreMethod::kLogLikelihood;
  set.Show(I::kDisplaySeparator1, extractList, extractList);
  set.Show(I::kDisplaySeparator2, extractList, extractList);
}

}  // namespace

std::vector<TItemState> InitialMenuStates() { return std::vector<TItemState>(MenuTable().size()); }

void UpdateMenus(const TMenuState& state, std::vector<TItemState>& rows) {
  rows.resize(MenuTable().size());
  TRuleSetter set(rows);
  FileRules(state, set);
  ListRules(state, set);
  if (!state.activeList) return;
  SortRules(*state.activeList, rows);
  if (state.hasFiles && !state.busy) DisplayRules(*state.activeList, set);
}

}  // namespace quenterra
