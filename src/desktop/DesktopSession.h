// The desktop program's state and command flows without a widget: the current settings and the
// corpus, the busy flags the shell adds to the corpus's own, AskOnClose, SaveOnExit and the
// workspace path, the window title, the start-up and closing order and the flows of the commands
// that load, extract and handle workspaces. The main window owns one session and wires its menus
// to it; what needs a window (running long work on a worker, the dialogs, opening a list window)
// the session asks of its TDesktopFront.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "config/ProgramSettings.h"
#include "config/SettingsFile.h"
#include "corpus/Corpus.h"
#include "desktop/MenuRules.h"
#include "dialogs/CollocateOptions.h"
#include "engine/ListWindow.h"
#include "engine/collocExtract.h"
#include "engine/collocList.h"

namespace quenterra {

inline constexpr char kQuitQuestion[] = "Do you really want to quit?";

// What the session needs from the window that owns it.
class TDesktopFront {
 public:
  virtual ~TDesktopFront() = default;
  // Runs work to its end, on a worker thread while the window keeps painting; rethrows what the
  // work threw. changesIndex: the work loads files or builds the index, so nothing may read the
  // corpus or the index meanwhile (list windows stop painting).
  virtual void RunLong(const std::function<void()>& work, bool changesIndex) = 0;
  // Destroys every child window at once (before the settings a list reads are replaced).
  virtual void CloseChildWindows() = 0;
  // Opens a list window that takes the list over.
  virtual void ShowList(std::unique_ptr<TCollocationList> list, const TListWindowSetup& desc) = 0;
  // The window title changed.
  virtual void TitleChanged(const std::string& title) = 0;
};

// The dialogs the command flows open, which the window installs. Each returns the request, or
// OK, or what its accepted change asks of the session; until one is installed, the dialog counts
// as cancelled.
struct TSessionDialogs {
  std::function<std::unique_ptr<TExtractRecords>(bool batch, TSearchKind kind)> extract =
      [](bool, TSearchKind) { return nullptr; };
  std::function<bool(bool ngramForm)> fullExtractOptions = [](bool) { return false; };  // OK
  std::function<bool()> countOptions = [] { return false; };      // the settings changed
  std::function<bool()> constrainOptions = [] { return false; };  // the index must be rebuilt
  std::function<bool()> normalTags = [] { return false; };        // the index must be rebuilt
  std::function<bool()> wordTags = [] { return false; };          // the index must be rebuilt
  std::function<bool()> language = [] { return false; };          // the language changed
  // The collocates dialog on the last choices, which it updates on OK.
  std::function<bool(TCollocateOptions& options)> collocateOptions = [](TCollocateOptions&) {
    return true;
  };
};

class TDesktopSession {
 public:
  // front is not owned and must outlive the session. The settings file is looked for in where.
  TDesktopSession(TDesktopFront& front, TConfigLocations where);
  TDesktopSession(const TDesktopSession&) = delete;
  TDesktopSession& operator=(const TDesktopSession&) = delete;

  TProgramSettings& Settings() { return settings_; }
  TCorpus& Corpus() { return corpus_; }
  const TCorpus& Corpus() const { return corpus_; }
  TSessionDialogs& Dialogs() { return dialogs_; }

  // Busy flags: the corpus's loading and indexing and the shell's extracting and printing.
  bool Busy() const;
  // Long work runs on a worker: the corpus is not to be read from the window's thread meanwhile.
  bool WorkerRunning() const { return workerRunning_; }
  // What the menu rules test of the session (the window adds its child windows).
  TMenuState MenuState() const;
  bool& Extracting() { return extracting_; }
  bool& Printing() { return printing_; }

  const std::string& Title() const { return title_; }
  bool SaveOnExit() const { return saveOnExit_; }
  const std::string& WorkspacePath() const { return workspacePath_; }
  // The hint panel's text: a space, then the menu hint when there is one, else the corpus's.
  std::string StatusHint(const std::string& menuHint) const;

  // The first activation of the main window: a workspace named first on the command line is
  // opened; otherwise the settings file is read and the arguments loaded as corpus files. Then
  // SaveOnExit and WorkspacePath are read.
  void Start(const std::vector<std::string>& args);

  // Closing. Whether the window may close: at once after Exit (AskOnClose cleared), never while
  // a long operation runs, else when "Do you really want to quit?" is answered Yes.
  bool CloseQuery();
  void ClearAskOnClose() { askOnClose_ = false; }
  // The allowed close: the active workspace saved when SaveOnExit is on, the settings file
  // written (then SaveOnExit and WorkspacePath).
  void SaveAtClose();

  // File menu.
  void LoadFiles(const std::vector<std::string>& names);
  void Unload() { corpus_.UnloadCorpus(); }
  void RebuildIndex();
  // The corpora list's Remove: the files at these positions leave the corpus, last first; an
  // emptied corpus is unloaded; the index is rebuilt over the rest. True when none is left.
  bool RemoveFiles(const std::vector<int>& fileNumbers);
  void ToggleSaveOnExit();
  void OpenWorkspaceFile(const std::string& fileName);
  void SaveWorkspaceCommand();
  void SaveWorkspaceAsCommand(const std::string& fileName);
  // Settings commands through their dialogs; each rebuilds or unloads when its dialog says so.
  // After the word-tag, constraint and language dialogs the language tables are built again, so
  // that the next pattern folds and equates characters as the settings now say.
  void NormalTagsCommand();
  void WordTagsCommand();
  void LanguageCommand();
  void CountOptionsCommand();
  void ConstraintsCommand();

  // The extraction, n-gram and full-extract commands: the dialog, the run on a worker, the list
  // window. The extracting flag is held throughout.
  void ExtractCommand(bool batch, TSearchKind kind);
  void NGramCommand();
  void FullExtractCommand();

  // The corpus word count that scores are computed with.
  int64_t CorpusWords() const;

 private:
  std::string ConfigWriteFile() const { return ConfigWritePath(where_); }
  // The n-gram (or full-extract) command: its options dialog, the run, the list window.
  void WholeCorpusCommand(bool ngrams);
  void ShowNewList(std::unique_ptr<TCollocationList> list, const TListWindowSetup& desc);
  void SetTitle(std::string title);
  void RunLong(const std::function<void()>& work, bool changesIndex);

  TDesktopFront& front_;
  TConfigLocations where_;
  TProgramSettings settings_ = TProgramSettings::Defaults();
  TCorpus corpus_{settings_.config, settings_.tables};
  TSessionDialogs dialogs_;
  std::string title_;
  std::string workspacePath_;
  bool saveOnExit_ = false;
  bool askOnClose_ = true;
  bool extracting_ = false;
  bool printing_ = false;
  bool workerRunning_ = false;
};

}  // namespace quenterra
