// The workspace file: a whole working state (every setting, the corpus files and the text index
// over them) saved so that it can be reopened without indexing again. It is an INI file holding
// every section of the settings file and then its own section:
//
//   [Corpus files]
//   FileCount=2                counted list of the corpus files' full names, in corpus order
//   File0=/data/texts/one.txt
//   File1=/data/texts/two.txt
//   File flagsCount=0          counted list "File flags", read and written back unchanged
//
// Beside it, the directory of the same name without the extension (study.qws: study/) holds the
// index files PAGE_IDX.tmp and SEQ_IDX.tmp and their state file (corpus/IndexState.h).
//
// The file is always written whole, settings and corpus section together, by replacing it: a
// failed save leaves the previous file as it was.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "config/ProgramSettings.h"
#include "corpus/Corpus.h"

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

// Opens a workspace: reads its settings into `settings` (the ones the corpus was made with; then
// runs settingsRead, where the command line applies its overrides), unloads the corpus, makes
// the workspace active and loads its corpus files with the stored index (rebuilt with "Error
// loading the index." when it is missing, damaged or describes other files). The caller sets
// the title (WorkspaceTitle). A file that does not exist or cannot be read shows "Could not read
// from configuration file <name>!" and returns false with the settings, the corpus and the
// active workspace unchanged. Files of the list that cannot be opened are reported one by one
// and left out. The build's exceptions propagate.
bool OpenWorkspace(TCorpus& corpus, TProgramSettings& settings, const std::string& fileName,
                   const std::function<void()>& settingsRead = {});
// Writes the settings and the corpus section into the active workspace's file. False, after
// "Could not write to configuration file <name>!", when that fails or no workspace is active.
bool SaveWorkspace(const TCorpus& corpus, const TProgramSettings& settings);
// Saves under `fileName`. The active workspace's own name only rewrites its file. Another name is
// written first; only when that succeeded does it become the active workspace (the title stays),
// with the index brought into its directory: copied from the workspace active before, else
// moved from the temporary files; and then WorkspacePath is written to `configFile` (skipped
// when empty). On a failure the error is shown and false returned; a failure to bring the index
// leaves the previous workspace active.
bool SaveWorkspaceAs(TCorpus& corpus, const TProgramSettings& settings, const std::string& fileName,
                     const std::string& configFile);
// The corpus files that workspace `fileName` lists, in order. Throws EFileError when the file
// cannot be read.
std::vector<std::string> ReadWorkspaceFiles(const std::string& fileName);
// Writes the workspace's directory as WorkspacePath into the settings file `configFile` (the
// Open and Save As commands do this at once); nothing when configFile is empty.
void RememberWorkspacePath(const std::string& workspaceFile, const std::string& configFile);

// Registers the workspace file type with the desktop for the program `programFile` (the GUI at
// every start): a MIME type for *.qws and a desktop entry that opens such files with the program,
// under $XDG_DATA_HOME (default ~/.local/share) unless dataHome is given. Every error is ignored.
void RegisterWorkspaceAssociation(const std::string& programFile, const std::string& dataHome = "");

}  // namespace quenterra
