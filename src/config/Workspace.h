// The workspace file: a whole working state (every setting, the corpus files and the text index
// over them) saved so that it can be reopened without indexing again. It is an INI file holding
// every section of the settings file and then its own section:
//
//   [Corpus files]
//   FileCount=2                counted list of the corpus files, in corpus order: relative to
//   File0=texts/one.txt        the workspace file's folder when they lie inside it, so that a
//   File1=/data/two.txt        workspace and its corpus move together; else absolute
//   File flagsCount=0          counted list "File flags", read and written back unchanged
//
// Beside it, the directory of the same name without the extension (study.qws: study/) holds the
// index files PAGE_IDX.tmp and SEQ_IDX.tmp, their state file (corpus/IndexState.h) and the lock
// (corpus/IndexLock.h) that every run holds while it works on the workspace: shared to read it,
// exclusive to change the workspace file or its index.
//
// The file is always written whole, by replacing it: a failed save leaves the previous file as it
// was.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "config/ProgramSettings.h"
#include "corpus/Corpus.h"
#include "platform/FileLock.h"

namespace quenterra {

inline constexpr char kCorpusFilesSection[] = "Corpus files";
inline constexpr char kProgramTitle[] = "Quenterra";
// The file association with the desktop.
inline constexpr char kWorkspaceExtension[] = "QWS";
inline constexpr char kWorkspaceTypeName[] = "Quenterra.Workspace";
inline constexpr char kWorkspaceTypeDescription[] = "Quenterra Workspace";
inline constexpr char kWorkspaceMimeType[] = "application/x-quenterra-workspace";

// Whether a name has the workspace extension ".QWS", in any letter case.
bool IsWorkspaceFileName(const std::string& name);
// The window title with workspace `fileName` open: "Quenterra - " and the file name without
// directory and extension, lower-cased (A to Z) and then, when longer than one character, with
// its first letter (a to z) upper-cased: "Quenterra - My data" for "MY DATA.QWS".
std::string WorkspaceTitle(const std::string& fileName);

// Holds the lock of workspace `fileName` (see corpus/IndexLock.h): a command that changes a
// workspace holds it exclusively from before it reads the workspace until it has saved it, so
// that no other run's change is lost in between. Throws as LockIndexFolder.
TFileLock LockWorkspaceFile(const std::string& fileName, TLockMode mode);

// How OpenWorkspace treats settings put on top of the workspace's and files that have gone.
struct TOpenWorkspaceOptions {
  // Runs once the workspace's settings are read, before its corpus is loaded: where a front end
  // puts settings of its own on top.
  std::function<void()> settingsRead = {};
  // When those settings split text otherwise than the workspace's own: true, they are for this
  // run only, so the stored index is left alone and the corpus is indexed in temporary files,
  // after indexingTemporarily is told; false, they are about to become the workspace's own, so
  // the index is built anew in the workspace (no "Error loading the index.").
  bool oneOffSettings = true;
  std::function<void()> indexingTemporarily = {};
  // A corpus file that cannot be opened (each is reported) makes the opening fail before
  // anything is indexed; else the rest is indexed in temporary files, the stored index kept.
  bool requireAllFiles = false;
};

// Opens a workspace: reads its settings into `settings` (the ones the corpus was made with),
// applies the options, unloads the corpus, makes the workspace active and loads its corpus files
// with the stored index (rebuilt with "Error loading the index." when it is missing, damaged or
// describes other files), holding the workspace's lock shared (exclusive once it writes there).
// The caller sets the title (WorkspaceTitle). A file that does not exist or cannot be read shows
// "Could not read from configuration file <name>!" and returns false with the settings, the
// corpus and the active workspace unchanged. Returns false too when requireAllFiles stopped it.
// The build's exceptions and the lock's propagate.
bool OpenWorkspace(TCorpus& corpus, TProgramSettings& settings, const std::string& fileName,
                   const TOpenWorkspaceOptions& options = {});
// Writes the settings and the corpus section into the active workspace's file, holding its lock
// exclusively. False, after "Could not write to configuration file <name>!" (or the lock's
// message), when that fails or no workspace is active.
bool SaveWorkspace(TCorpus& corpus, const TProgramSettings& settings);
// Writes only the corpus section into the active workspace's file, its settings as they are
// there. Returns false as SaveWorkspace does.
bool SaveWorkspaceFileList(TCorpus& corpus);

enum class TCreateResult { kCreated, kExists, kFailed };
// Makes a new workspace `fileName` of `files` with `settings`, the workspace's lock held
// exclusively throughout so that two creations of one name cannot both succeed: kExists, with
// nothing touched, when the file exists; kFailed when a file cannot be loaded (each reported;
// nothing indexed) or the file cannot be written. The index is built in the workspace's folder
// and the file is written last, so a creation that fails or is killed leaves no workspace file
// to block the next attempt (and one that fails removes the index folder it made). The corpus,
// empty before, is the new workspace's afterwards (empty again after a failure). The build's
// exceptions propagate.
TCreateResult CreateWorkspace(TCorpus& corpus, const TProgramSettings& settings,
                              const std::string& fileName, const std::vector<std::string>& files);
// Saves under `fileName`. The active workspace's own name only rewrites its file. Another name is
// written first; only when that succeeded does it become the active workspace (the title stays),
// with the index brought into its directory: copied from the workspace active before, else
// moved from the temporary files; and then WorkspacePath is written to `configFile` (skipped
// when empty). On a failure the error is shown and false returned; a failure to bring the index
// leaves the previous workspace active.
bool SaveWorkspaceAs(TCorpus& corpus, const TProgramSettings& settings, const std::string& fileName,
                     const std::string& configFile);
// The corpus files that workspace `fileName` lists, in order, as full names. Throws EFileError
// when the file cannot be read.
std::vector<std::string> ReadWorkspaceFiles(const std::string& fileName);
// Writes the workspace's directory as WorkspacePath into the settings file `configFile` (the
// Open and Save As commands do this at once); nothing when configFile is empty.
void RememberWorkspacePath(const std::string& workspaceFile, const std::string& configFile);

// Registers the workspace file type with the desktop for the program `programFile` (the GUI at
// every start): a MIME type for *.qws and a desktop entry that opens such files with the program,
// under $XDG_DATA_HOME (default ~/.local/share) unless dataHome is given. Every error is ignored.
void RegisterWorkspaceAssociation(const std::string& programFile, const std::string& dataHome = "");

}  // namespace quenterra
