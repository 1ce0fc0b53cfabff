// UpdateMenus, the idle handler's rules: from the state of the program, which rows of the menu
// table (desktop/MenuTable.h) are visible, enabled and checked. Plain data in, plain data out; the
// main window applies the result to its actions whenever its event queue runs empty.
#pragma once

#include <optional>
#include <vector>

#include "engine/ListWindow.h"

namespace quenterra {

struct TMenuState {
  bool hasFiles = false;         // the corpus holds at least one file
  bool busy = false;             // loading, indexing, extracting or printing
  bool workspaceActive = false;  // a workspace file is active
  bool saveOnExit = false;
  int childCount = 0;                          // child windows of the main window
  std::optional<TListWindowFacts> activeList;  // when the active child is a list window
};

struct TItemState {
  bool visible = true;
  bool enabled = true;
  bool checked = false;
  bool operator==(const TItemState&) const = default;
};

// The states of the rows of MenuTable(), all visible and enabled, nothing checked.
std::vector<TItemState> InitialMenuStates();
// Sets the rows the rules cover; the others keep what they had (the Display items, for one, are
// only set while a list window is active and the program is not busy).
void UpdateMenus(const TMenuState& state, std::vector<TItemState>& rows);

}  // namespace quenterra
