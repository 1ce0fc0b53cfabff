#include "desktop/MenuTable.h"

#include <cstring>

#include "engine/ListWindow.h"

namespace quenterra {

namespace {

using K = TCollocSortKey;

// Appends rows under the current menu.
class TMenuBuilder {
 public:
  void Menu(TMenuId id, const char* name, const char* caption, const char* hint = "") {
    rows_.push_back({id, TMenuKind::kMenu, -1, name, caption, "", hint});
    menu_ = static_cast<int>(rows_.size()) - 1;
  }
  // A submenu of the current menu; Item adds to it until End.
  void SubMenu(TMenuId id, const char* name, const char* caption, const char* hint = "",
               K key1 = K::kNone) {
    outer_ = menu_;
    rows_.push_back({id, TMenuKind::kMenu, menu_, name, caption, "", hint, key1});
    menu_ = static_cast<int>(rows_.size()) - 1;
  }
  void End() { menu_ = outer_; }
  void Item(TMenuId id, const char* name, const char* caption, const char* shortcut = "",
            const char* hint = "") {
    rows_.push_back({id, TMenuKind::kItem, menu_, name, caption, shortcut, hint});
  }
  void SortItem(const char* name, const char* caption, K key1, K key2) {
    rows_.push_back(
        {TMenuId::kSortItem, TMenuKind::kItem, menu_, name, caption, "", "", key1, key2});
  }
  void Separator(TMenuId id = TMenuId::kSeparator, const char* name = "") {
    rows_.push_back({id, TMenuKind::kSeparator, menu_, name, "", "", ""});
  }
  std::vector<TMenuRow> Take() { return std::move(rows_); }

 private:
  std::vector<TMenuRow> rows_;
  int menu_ = -1;
  int outer_ = -1;
};

// The submenus of Sort: design name, caption and the names of their items by secondary key.
struct TSortMenu {
  const char* name;
  const char* caption;
  const char* items[7];  // by secondary key code; null where there is no item
};
constexpr TSortMenu kSortMenus[] = {
    {"FMS_Freq",
     "&Frequency",
     {"FMS_Freq_None", nullptr, "FMS_Freq_Score", "FMS_Freq_Alpha", "FMS_Freq_Position",
      "FMS_Freq_RevPos", "FMS_Freq_POSTag"}},
    {"FMS_Score",
     "&Score",
     {"FMS_Score_none", "FMS_Score_Freq", nullptr, "FMS_Score_Alpha", "FMS_Score_Position",
      "FMS_Score_RevPos", "FMS_Score_POSTag"}},
    {"FMS_Alpha",
     "&Alpha",
     {"FMS_Alpha_None", "FMS_Alpha_Freq", "FMS_Alpha_Score", nullptr, "FMS_Alpha_Pos",
      "FMS_Alpha_RevPos", "FMS_Alpha_POSTag"}},
    {"FMS_Position",
     "&Position",
     {"FMS_Pos_None", "FMS_Pos_Freq", "FMS_Pos_Score", "FMS_Pos_Alpha", nullptr, nullptr,
      "FMS_Pos_POSTag"}},
    {"FMS_ReversePosition",
     "&Reverse Position",
     {"FMS_RevPos_None", "FMS_RevPos_Freq", "FMS_RevPos_Score", "FMS_RevPos_Alpha", nullptr,
      nullptr, "FMS_RevPos_POSTag"}},
    {"FMS_POSTag",
     "POS &Tag",
     {"FMS_POSTag_None", "FMS_POSTah_Freq", "FMS_POSTag_Score", "FMS_POSTag_Alpha",
      "FMS_POSTag_Pos", "FMS_POSTag_RevPos", nullptr}},
};
// Inside every submenu the items read the same for the same secondary key.
constexpr const char* kSortItemCaptions[7] = {"&No Second Sort", "&Frequency", "&Score",
                                              "&Alpha",          "&Position",  "&Reverse Position",
                                              "POS &Tag"};

void AddSortMenus(TMenuBuilder& menu) {
  for (int first = 1; first <= 6; ++first) {
    const TSortMenu& sub = kSortMenus[first - 1];
    menu.SubMenu(TMenuId::kSortMenu, sub.name, sub.caption, "", static_cast<K>(first));
    for (const TSortCommand& command : SortCommands()) {
      if (static_cast<int>(command.first) != first) continue;
      const int second = static_cast<int>(command.second);
      menu.SortItem(sub.items[second], kSortItemCaptions[second], command.first, command.second);
    }
    menu.End();
  }
}

void AddFileMenu(TMenuBuilder& m) {
  using I = TMenuId;
  m.Menu(I::kFile, "FM_File", "&File");
  m.Item(I::kLoadCorpus, "FMF_Open", "&Load Corpus File(s)...", "Ctrl+L",
         "Add file(s) to current corpus");
  m.Item(I::kUnloadCorpus, "FMF_Close", "U&nload Corpus", "",
         "Unload the whole corpus and close all windows");
  m.Item(I::kViewCorpus, "FMF_View", "&View Corpus File...", "Ctrl+V",
         "Select a corpus text to view from the list of available files/URLs");
  m.Separator();
  m.Item(I::kOpenWorkspace, "FMF_LoadWorkspace", "Open &Workspace...", "Ctrl+O",
         "Open workspace with saved corpus, tags and search information");
  m.Item(I::kSaveWorkspace, "FMF_SaveWorkspace", "&Save Workspace...", "", "Save active workspace");
  m.Item(I::kSaveWorkspaceAs, "FMF_SaveWorkspaceAs", "Save Workspace &As...", "",
         "Create new workspace");
  m.Item(I::kSaveOnExit, "FMC_SaveOnExit", "Save Workspace &On Exit", "",
         "Save active workspace when exiting Quenterra");
  m.Separator();
  m.SubMenu(I::kTags, "CMD_Tags", "&Tag Settings", "Set normal and POS tag info");
  m.Item(I::kNormalTags, "CMD_TagSettings", "&Normal Tags ...", "",
         "Set tracked tags and page delimiter");
  m.Item(I::kWordTags, "CMD_WordTagSettings", "Part of &Speech Tags ...", "",
         "Set POS tags and meta-tags");
  m.End();
  m.Separator();
  m.Item(I::kLanguage, "FMF_Language", "Lan&guage...", "",
         "Set language for search and sort related functions");
  m.Separator();
  m.Item(I::kPrintSetup, "FMF_PrintSetup", "&Print Setup...", "", "Set up the printer");
  m.Separator();
  m.Item(I::kExit, "FMF_Exit", "E&xit", "Ctrl+Q", "Quit Quenterra");
}

void AddExtractMenus(TMenuBuilder& m) {
  using I = TMenuId;
  m.Menu(I::kExtract, "FM_Extract", "&Extract");
  m.Item(I::kExtractWordPhrase, "FME_WordPhrase", "&Word / Phrase ...", "Ctrl+W");
  m.Item(I::kExtractRegEx, "FME_RegEx", "&Regular Expression...", "Ctrl+R");
  m.Item(I::kExtractWordTag, "FME_WordTag", "Word / &Tag...", "Ctrl+T");
  m.Separator();
  m.Item(I::kExtractBatch, "FME_Batch", "&Batch...");
  m.Separator();
  m.Item(I::kConcordance, "FME_Concordance", "&Concordance...", "Ctrl+K",
         "The lines where a pattern occurs, with their context");
  m.Item(I::kCollocates, "FME_Collocates", "C&ollocates...", "",
         "The words around a pattern, counted at each position and scored");
  m.Item(I::kWordList, "FME_WordList", "Word &List", "",
         "Every word of the corpus with its frequency and range");
  m.Separator();
  m.Item(I::kExtractSave, "FME_Save", "&Save...");
  m.Item(I::kExtractPrint, "FME_Print", "&Print...", "Ctrl+P");
  m.Menu(I::kFullExtract, "FM_FullExtract", "&Full Extract");
  m.Item(I::kNGram, "FMF_Ngram", "&N-gram");
  m.Item(I::kFullExtractRun, "FMF_Extract", "Extract");
  m.Separator();
  m.Item(I::kFullSave, "FMF_Save", "Save...");
  m.Item(I::kFullPrint, "FMF_Print", "Print...", "Ctrl+P");
}

void AddListMenus(TMenuBuilder& m) {
  using I = TMenuId;
  m.Menu(I::kDisplay, "FM_Display", "&Display");
  m.Item(I::kFrequency, "FMD_Frequency", "Frequency");
  m.Separator(I::kDisplaySeparator1, "FMD_Separator1");
  m.Item(I::kMutualInformation, "FMD_MutualInformation", "Mutual Information");
  m.Item(I::kTScore, "FMD_TScore", "T-Score");
  m.Item(I::kLogLikelihood, "FMD_LogLikehood", "Log Likehood");
  m.Separator(I::kDisplaySeparator2, "FMD_Separator2");
  m.Item(I::kFont, "FMD_Font", "Change &Font ...", "", "Change font for the active window");
  m.Menu(I::kSort, "FM_Sort", "&Sort");
  AddSortMenus(m);
}

void AddOtherMenus(TMenuBuilder& m) {
  using I = TMenuId;
  m.Menu(I::kOptions, "FM_Options", "&Options");
  m.Item(I::kCountOptions, "FMO_Count", "&Count...");
  m.Item(I::kConstraints, "FMO_Constraints", "Con&straints...");
  m.Menu(I::kWindow, "FM_Window", "&Window");
  m.Item(I::kTile, "FMW_Tile", "&Tile", "", "Tile open windows");
  m.Item(I::kCascade, "FMW_Cascade", "&Cascade", "Shift+F5", "Cascade open windows");
  m.Item(I::kArrangeIcons, "FMW_ArrangeIcons", "&Arrange Icons", "",
         "Arrange icons within Quenterra's main window");
  m.Menu(I::kInfo, "FM_Info", "&Info");
  m.Item(I::kHelp, "FMI_Help", "&Help", "F1", "View help file");
  m.Separator();
  m.Item(I::kAbout, "FMI_About", "&About Quenterra...", "", "Obtain info about Quenterra");
}

std::vector<TMenuRow> MakeMenuTable() {
  TMenuBuilder builder;
  AddFileMenu(builder);
  AddExtractMenus(builder);
  AddListMenus(builder);
  AddOtherMenus(builder);
  return builder.Take();
}

}  // namespace

const std::vector<TMenuRow>& MenuTable() {
  static const std::vector<TMenuRow> table = MakeMenuTable();
  return table;
}

int MenuRowOf(TMenuId id) {
  const std::vector<TMenuRow>& table = MenuTable();
  for (size_t i = 0; i < table.size(); ++i) {
    if (table[i].id == id) return static_cast<int>(i);
  }
  return -1;
}

int MenuRowNamed(const char* name) {
  const std::vector<TMenuRow>& table = MenuTable();
  for (size_t i = 0; i < table.size(); ++i) {
    if (std::strcmp(table[i].name, name) == 0) return static_cast<int>(i);
  }
  return -1;
}

int SortItemRow(TCollocSortKey key1, TCollocSortKey key2) {
  const std::vector<TMenuRow>& table = MenuTable();
  for (size_t i = 0; i < table.size(); ++i) {
    const TMenuRow& row = table[i];
    if (row.id == TMenuId::kSortItem && row.key1 == key1 && row.key2 == key2)
      return static_cast<int>(i);
  }
  return -1;
}

}  // namespace quenterra
