// The main window's whole menu tree as data: every menu, item and separator with its caption
// (access-key ampersands included), shortcut and status-bar hint, in menu order. The window
// builds its menus from this table and dispatches on the ids; the enabling rules
// (desktop/MenuRules.h) say which rows are visible, enabled and checked.
#pragma once

#include <cstdint>
#include <vector>

#include "engine/collocList.h"

namespace quenterra {

enum class TMenuId : uint8_t {
  kNone,  // the parent of the top-level menus
  kSeparator,
  // File
  kFile,
  kLoadCorpus,
  kUnloadCorpus,
  kViewCorpus,
  kOpenWorkspace,
  kSaveWorkspace,
  kSaveWorkspaceAs,
  kSaveOnExit,
  kTags,
  kNormalTags,
  kWordTags,
  kLanguage,
  kPrintSetup,
  kExit,
  // Extract
  kExtract,
  kExtractWordPhrase,
  kExtractRegEx,
  kExtractWordTag,
  kExtractBatch,
  kConcordance,
  kCollocates,
  kWordList,
  kExtractSave,
  kExtractPrint,
  // Full Extract
  kFullExtract,
  kNGram,
  kFullExtractRun,
  kFullSave,
  kFullPrint,
  // Display
  kDisplay,
  kFrequency,
  kDisplaySeparator1,
  kMutualInformation,
  kTScore,
  kLogLikelihood,
  kDisplaySeparator2,
  kFont,
  // Sort: six submenus of sort items
  kSort,
  kSortMenu,  // a submenu; its primary key is in the row
  kSortItem,  // a sort command; both keys are in the row
  // Options
  kOptions,
  kCountOptions,
  kConstraints,
  // Window
  kWindow,
  kTile,
  kCascade,
  kArrangeIcons,
  // Info
  kInfo,
  kHelp,
  kAbout,
};

enum class TMenuKind : uint8_t { kMenu, kItem, kSeparator };

struct TMenuRow {
  TMenuId id;
  TMenuKind kind;
  int parent;            // the row of the menu it stands in; -1 for the menu bar
  const char* name;      // the design's name of the item ("FMF_Open"); "" for plain separators
  const char* caption;   // "&Load Corpus File(s)..."
  const char* shortcut;  // "Ctrl+L", or ""
  const char* hint;      // shown in the status bar, or ""
  TCollocSortKey key1 = TCollocSortKey::kNone;  // sort submenus and items
  TCollocSortKey key2 = TCollocSortKey::kNone;  // sort items
};

// Every row, parents before their children, children in menu order.
const std::vector<TMenuRow>& MenuTable();
// The row of an id (the first, for kSortMenu and kSortItem), or of a design name; -1 when none.
int MenuRowOf(TMenuId id);
int MenuRowNamed(const char* name);
// The row of the sort item with these keys; -1 when none.
int SortItemRow(TCollocSortKey key1, TCollocSortKey key2);

}  // namespace quenterra
