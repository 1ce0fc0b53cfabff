#include "desktop/DesktopSession.h"

#include <algorithm>
#include <filesystem>

#include "config/Workspace.h"
#include "engine/FullExtract.h"
#include "engine/NGrams.h"
#include "platform/Files.h"
#include "platform/FlagScope.h"
#include "platform/Messages.h"

namespace quenterra {

TDesktopSession::TDesktopSession(TDesktopFront& front, TConfigLocations where)
    : front_(front), where_(std::move(where)), title_(kProgramTitle) {}

bool TDesktopSession::Busy() const {
  if (workerRunning_ || extracting_ || printing_) return true;
  return corpus_.Loading() || corpus_.Indexing();
}

TMenuState TDesktopSession::MenuState() const {
  TMenuState state;
  state.hasFiles = corpus_.FileCount() > 0;
  state.busy = Busy();
  state.workspaceActive = !corpus_.WorkspaceFile().empty();
  state.saveOnExit = saveOnExit_;
  return state;
}

std::string TDesktopSession::StatusHint(const std::string& menuHint) const {
  return " " + (menuHint.empty() ? corpus_.StatusHint() : menuHint);
}

void TDesktopSession::RunLong(const std::function<void()>& work, bool changesIndex) {
  TFlagScope running(workerRunning_);
  front_.RunLong(work, changesIndex);
}

void TDesktopSession::SetTitle(std::string title) {
  title_ = std::move(title);
  front_.TitleChanged(title_);
}

// ---- Start and close --------------------------------------------------------------------------

void TDesktopSession::Start(const std::vector<std::string>& args) {
  bool opened = false;
  if (!args.empty() && IsWorkspaceFileName(args[0])) {
    RunLong([&] { opened = OpenWorkspace(corpus_, settings_, args[0]); }, true);
    if (opened) SetTitle(WorkspaceTitle(args[0]));
  }
  if (!opened) {
    ReadSettings(ConfigReadPath(where_), settings_);
    if (!args.empty()) LoadFiles(args);
  }
  const std::string configFile = ConfigReadPath(where_);
  saveOnExit_ = ReadSaveOnExit(configFile);
  workspacePath_ = ReadWorkspacePath(configFile);
}

bool TDesktopSession::CloseQuery() {
  if (Busy()) return false;
  if (!askOnClose_) return true;
  return MsgAsk(kQuitQuestion, true);
}

void TDesktopSession::SaveAtClose() {
  if (!corpus_.WorkspaceFile().empty() && saveOnExit_) SaveWorkspace(corpus_, settings_);
  const std::string configFile = ConfigWriteFile();
  if (configFile.empty()) return;
  WriteSettings(configFile, settings_);
  WriteSaveOnExit(configFile, saveOnExit_);
  WriteWorkspacePath(configFile, workspacePath_);
}

// ---- File menu --------------------------------------------------------------------------------

void TDesktopSession::LoadFiles(const std::vector<std::string>& names) {
  RunLong([&] { corpus_.LoadCorpusFiles(names, false); }, true);
}

void TDesktopSession::RebuildIndex() {
  RunLong([&] { corpus_.RebuildIndex(); }, true);
}

bool TDesktopSession::RemoveFiles(const std::vector<int>& fileNumbers) {
  std::vector<int> sorted = fileNumbers;
  std::sort(sorted.begin(), sorted.end());
  for (auto file = sorted.rbegin(); file != sorted.rend(); ++file) corpus_.RemoveFile(*file);
  corpus_.UpdateCorpusInfo();
  const bool emptied = corpus_.FileCount() == 0;
  if (emptied) Unload();
  RebuildIndex();
  return emptied;
}

void TDesktopSession::ToggleSaveOnExit() {
  saveOnExit_ = !saveOnExit_;
  WriteSaveOnExit(ConfigWriteFile(), saveOnExit_);
}

void TDesktopSession::OpenWorkspaceFile(const std::string& fileName) {
  // Opening reads the workspace's settings before it unloads the corpus: the windows that show
  // the old corpus go first. A file that cannot be opened changes nothing.
  if (FileExists(fileName)) front_.CloseChildWindows();
  bool opened = false;
  RunLong([&] { opened = OpenWorkspace(corpus_, settings_, fileName); }, true);
  if (opened) SetTitle(WorkspaceTitle(fileName));
  workspacePath_ = std::filesystem::absolute(fileName).parent_path().string() + "/";
  WriteWorkspacePath(ConfigWriteFile(), workspacePath_);
}

void TDesktopSession::SaveWorkspaceCommand() { SaveWorkspace(corpus_, settings_); }

void TDesktopSession::SaveWorkspaceAsCommand(const std::string& fileName) {
  if (SaveWorkspaceAs(corpus_, settings_, fileName, ConfigWriteFile())) {
    workspacePath_ = std::filesystem::absolute(fileName).parent_path().string() + "/";
  }
}

void TDesktopSession::NormalTagsCommand() {
  if (dialogs_.normalTags()) RebuildIndex();
}

void TDesktopSession::WordTagsCommand() {
  const bool rebuild = dialogs_.wordTags();
  settings_.RebuildTables();  // the delimiter may have left NonWordChars
  if (rebuild) RebuildIndex();
}

void TDesktopSession::LanguageCommand() {
  if (!dialogs_.language()) return;
  // The corpus was split with the old language's tables: it goes, then the tables change.
  Unload();
  settings_.RebuildTables();
}

void TDesktopSession::CountOptionsCommand() { dialogs_.countOptions(); }

void TDesktopSession::ConstraintsCommand() {
  const bool rebuild = dialogs_.constrainOptions();
  // Letter case, delimiters and the equal characters shape the tables; a change that leaves the
  // index alone (the equal characters) must still reach the next regular expression.
  settings_.RebuildTables();
  if (rebuild) RebuildIndex();
}

// ---- Extraction -------------------------------------------------------------------------------

int64_t TDesktopSession::CorpusWords() const {
  return corpus_.Index() == nullptr ? 0
                                    : quenterra::CorpusWords(*corpus_.Index(), settings_.config);
}

void TDesktopSession::ShowNewList(std::unique_ptr<TCollocationList> list,
                                  const TListWindowSetup& desc) {
  if (list == nullptr) return;
  list->Sort(TCollocSortKey::kScore, TCollocSortKey::kFreq);
  front_.ShowList(std::move(list), desc);
}

void TDesktopSession::ExtractCommand(bool batch, TSearchKind kind) {
  TFlagScope extracting(extracting_);
  std::unique_ptr<TExtractRecords> records = dialogs_.extract(batch, kind);
  if (records == nullptr || records->RecordCount() == 0 || corpus_.Index() == nullptr) return;
  std::unique_ptr<TCollocationList> list;
  RunLong([&] { list = ExtractAll(*records, *corpus_.Index(), settings_.Run()); }, false);
  TListWindowSetup desc{records->Caption(), static_cast<uint8_t>(records->Kind()), false,
                        records->Record(0).Order()};
  ShowNewList(std::move(list), desc);
}

void TDesktopSession::NGramCommand() { WholeCorpusCommand(true); }

void TDesktopSession::FullExtractCommand() { WholeCorpusCommand(false); }

void TDesktopSession::WholeCorpusCommand(bool ngrams) {
  TFlagScope extracting(extracting_);
  if (!dialogs_.fullExtractOptions(ngrams) || corpus_.Index() == nullptr) return;
  std::unique_ptr<TCollocationList> list;
  RunLong(
      [&] {
        TTextIndex& index = *corpus_.Index();
        TFullExtractOptions& options = settings_.fullExtract;  // the full extract may mend it
        list = ngrams ? ExtractNGrams(index, corpus_.FileNames(), options, settings_.Run())
                      : FullExtract(index, corpus_.FileNames(), options, settings_.Run());
      },
      false);
  const uint8_t tagged = settings_.fullExtract.UsePOSTags ? 2 : 0;
  const char* caption = ngrams ? kNGramsCaption : kFullExtractCaption;
  ShowNewList(std::move(list), {caption, tagged, true, TOrderMode::kAdjacent});
}

}  // namespace quenterra
