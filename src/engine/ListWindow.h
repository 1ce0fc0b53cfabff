// The rules of a collocation list window that do not depend on widgets: which sort commands it
// offers, which score methods it may show and what switching them does to the list, and the
// title of its printout. The window (engine/ui) binds its grid and menus to these.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "engine/ListFormat.h"
#include "engine/collocExtract.h"
#include "engine/collocList.h"

namespace quenterra {

// What a list window knows of its list beside the list itself.
struct TListWindowFacts {
  bool tagged = false;       // the items carry word tags (Tagged is 2)
  bool isNGramList = false;  // an n-gram or full-extract list
  TListView view;            // the shown columns
  int wordCount = 2;         // the list's WordCount
};

// How a new list window starts (CreateListWindow's arguments beside the list).
struct TListWindowSetup {
  std::string caption;
  uint8_t tagged = 0;  // 2 when the items carry word tags, else the request's search kind or 0
  bool isNGramList = false;
  TOrderMode orderMode = TOrderMode::kAdjacent;
};

// A sort command: the primary key (never kNone) and the secondary key.
using TSortCommand = std::pair<TCollocSortKey, TCollocSortKey>;

// Every sort command of the Sort menu in menu order: each primary key 1 to 6 with kNone and then
// every other key in code order, the two position keys never paired: 34 commands.
const std::vector<TSortCommand>& SortCommands();

// Whether a key can be sorted by: the position keys not in n-gram and full-extract lists, the
// tag key only in tagged lists, the score key only while a score is shown.
bool SortKeyAvailable(TCollocSortKey key, const TListWindowFacts& facts);
// Both keys available.
bool SortCommandAvailable(const TSortCommand& command, const TListWindowFacts& facts);

// Whether the Display menu offers the method: Mutual Information always, T-Score and
// Log-likelihood only for lists of two-word items.
bool ScoreMethodOffered(TScoreMethod method, int wordCount);
// The Display command of `method`: the method already shown hides the score column; another one
// is shown, its scores computed when the list holds scores of another method (a list of three or
// more words ends without a score column unless the method is Mutual Information). Switching to
// none keeps the scores, so switching back shows them without recomputing. Returns whether the
// shown columns changed.
bool ToggleScoreMethod(TCollocationList& list, TListView& view, TScoreMethod method,
                       int64_t corpusWords);

// The printout's title: "Score method: " and the shown method's long name; else "Score method:
// Frequency" when the frequency column is shown; else "Collocations".
std::string PrintTitle(const TListView& view);

}  // namespace quenterra
