#include "config/Workspace.h"

#include <filesystem>
#include <system_error>

#include "config/SettingsFile.h"
#include "corpus/IndexLock.h"
#include "corpus/IndexState.h"
#include "platform/Errors.h"
#include "platform/FileAssociation.h"
#include "platform/Files.h"
#include "platform/IniFile.h"
#include "platform/Messages.h"

namespace quenterra {

namespace {

namespace fs = std::filesystem;

constexpr char kFileKey[] = "File";
constexpr char kFlagsKey[] = "File flags";

std::string FullName(const std::string& name) {
  std::error_code error;
  fs::path path = fs::absolute(name, error);
  return (error ? fs::path(name) : path).lexically_normal().string();
}

std::string DirectoryOf(const std::string& name) {
  size_t slash = name.rfind('/');
  return slash == std::string::npos ? std::string() : name.substr(0, slash + 1);
}

void ReadError(const std::string& fileName) {
  MsgError("Could not read from configuration file " + fileName + "!");
}

void WriteError(const std::string& fileName) {
  MsgError("Could not write to configuration file " + fileName + "!");
}

// The corpus section, names relative to the workspace's folder where they can be.
void WriteCorpusSection(TIniFile& file, const TCorpus& corpus, const std::string& workspace) {
  std::vector<std::string> names;
  for (const std::string& name : corpus.FileNames())
    names.push_back(RelativeToFolder(name, DirectoryOf(workspace)));
  file.EraseSection(kCorpusFilesSection);
  WriteCountedList(file, kCorpusFilesSection, kFileKey, names);
  WriteCountedList(file, kCorpusFilesSection, kFlagsKey, corpus.FileFlags());
}

std::vector<std::string> ReadCorpusNames(const TIniFile& file, const std::string& workspace) {
  std::vector<std::string> names;
  ReadCountedList(file, kCorpusFilesSection, kFileKey, names);
  for (std::string& name : names) name = ResolveInFolder(name, DirectoryOf(workspace));
  return names;
}

// The settings and the corpus section, written together so that the file is either complete or
// left as it was.
bool WriteWorkspaceFile(const TCorpus& corpus, const TProgramSettings& settings,
                        const std::string& fileName) {
  try {
    TIniFile file;
    WriteSettingsTo(file, settings);
    WriteCorpusSection(file, corpus, fileName);
    file.Save(fileName);
    return true;
  } catch (const std::exception&) {
    WriteError(fileName);
    return false;
  }
}

// Takes the active workspace's lock exclusively; false after its message when another run has
// it and the policy does not wait.
bool LockForWriting(TCorpus& corpus) {
  try {
    corpus.LockWorkspace(TLockMode::kExclusive);
    return true;
  } catch (const EQuenterra& error) {
    MsgError(error.what());
    return false;
  }
}

// Puts the front end's settings on top of the workspace's; whether text still splits as with
// the workspace's own.
bool ApplyOwnSettings(TProgramSettings& settings, const TOpenWorkspaceOptions& options) {
  std::string own = TokenisationFingerprint(settings.config, settings.tables);
  if (options.settingsRead) options.settingsRead();
  return TokenisationFingerprint(settings.config, settings.tables) == own;
}

// Leaves nothing of a creation that failed: the corpus closed and, when the creation made the
// index folder, the folder with all it put there. Runs with the lock held, so no other run has
// put anything there.
void AbandonCreation(TCorpus& corpus, const std::string& dir, bool madeFolder) {
  corpus.UnloadCorpus();
  corpus.SetWorkspaceFile("");
  std::error_code error;
  if (madeFolder) fs::remove_all(dir, error);
}

}  // namespace

bool IsWorkspaceFileName(const std::string& name) {
  std::string extension = fs::path(name).extension().string();
  if (extension.size() != 4 || extension[0] != '.') return false;
  for (size_t i = 1; i < 4; ++i) {
    char c = extension[i];
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    if (c != kWorkspaceExtension[i - 1]) return false;
  }
  return true;
}

std::string WorkspaceTitle(const std::string& fileName) {
  std::string name = fs::path(fileName).stem().string();
  for (char& c : name) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  if (name.size() > 1 && name[0] >= 'a' && name[0] <= 'z') {
    name[0] = static_cast<char>(name[0] - 'a' + 'A');
  }
  return std::string(kProgramTitle) + " - " + name;
}

TFileLock LockWorkspaceFile(const std::string& fileName, TLockMode mode) {
  return LockIndexFolder(TCorpusIndex::WorkspaceDir(FullName(fileName)), mode);
}

bool OpenWorkspace(TCorpus& corpus, TProgramSettings& settings, const std::string& fileName,
                   const TOpenWorkspaceOptions& options) {
  std::string workspace = FullName(fileName);
  // A missing file is no workspace: refused like an unreadable one, so that nothing changes.
  if (!FileExists(workspace)) {
    ReadError(fileName);
    return false;
  }
  // Held until the corpus holds the lock itself, so that no writer changes the file meanwhile.
  TFileLock lock = LockIndexFolder(TCorpusIndex::WorkspaceDir(workspace), TLockMode::kShared);
  RemoveDeadTempFiles(workspace);
  TIniFile file;
  try {
    file = TIniFile::Load(workspace);
    ReadSettingsFrom(file, settings);
  } catch (const std::exception&) {
    ReadError(fileName);
    return false;
  }
  bool sameSplitting = ApplyOwnSettings(settings, options);
  corpus.UnloadCorpus();
  corpus.SetWorkspaceFile(workspace);
  corpus.LockWorkspace(TLockMode::kShared);
  bool oneOff = !sameSplitting && options.oneOffSettings;
  corpus.SetTemporaryIndex(oneOff);
  if (oneOff && options.indexingTemporarily) options.indexingTemporarily();
  std::vector<std::string> names = ReadCorpusNames(file, workspace);
  ReadCountedList(file, kCorpusFilesSection, kFlagsKey, corpus.FileFlags());
  if (!names.empty()) {
    TOnUnopenedFile onUnopened =
        options.requireAllFiles ? TOnUnopenedFile::kStop : TOnUnopenedFile::kLeaveOut;
    // Settings about to become the workspace's own need a new index, not an error message.
    bool useStoredIndex = sameSplitting || oneOff;
    if (!corpus.LoadCorpusFiles(names, useStoredIndex, onUnopened).failed.empty() &&
        options.requireAllFiles) {
      return false;
    }
  }
  corpus.Recount();
  corpus.UpdateCorpusInfo();
  return true;
}

bool SaveWorkspace(TCorpus& corpus, const TProgramSettings& settings) {
  if (corpus.WorkspaceFile().empty() || !LockForWriting(corpus)) return false;
  return WriteWorkspaceFile(corpus, settings, corpus.WorkspaceFile());
}

bool SaveWorkspaceFileList(TCorpus& corpus) {
  const std::string& workspace = corpus.WorkspaceFile();
  if (workspace.empty() || !LockForWriting(corpus)) return false;
  try {
    TIniFile file = TIniFile::Load(workspace);
    WriteCorpusSection(file, corpus, workspace);
    file.Save(workspace);
    return true;
  } catch (const std::exception&) {
    WriteError(workspace);
    return false;
  }
}

TCreateResult CreateWorkspace(TCorpus& corpus, const TProgramSettings& settings,
                              const std::string& fileName, const std::vector<std::string>& files) {
  std::string workspace = FullName(fileName);
  std::string dir = TCorpusIndex::WorkspaceDir(workspace);
  std::error_code error;
  if (fs::exists(fs::symlink_status(workspace, error))) return TCreateResult::kExists;
  bool madeFolder = !fs::exists(fs::symlink_status(dir, error));
  TFileLock lock = LockIndexFolder(dir, TLockMode::kExclusive);
  // Another creation of this name may have finished while this one waited.
  if (fs::exists(fs::symlink_status(workspace, error))) return TCreateResult::kExists;
  corpus.SetWorkspaceFile(workspace);
  bool created = false;
  try {
    created = corpus.LoadCorpusFiles(files, false, TOnUnopenedFile::kStop).failed.empty() &&
              WriteWorkspaceFile(corpus, settings, workspace);
  } catch (...) {
    AbandonCreation(corpus, dir, madeFolder);
    throw;
  }
  if (created) return TCreateResult::kCreated;
  AbandonCreation(corpus, dir, madeFolder);
  return TCreateResult::kFailed;
}

bool SaveWorkspaceAs(TCorpus& corpus, const TProgramSettings& settings, const std::string& fileName,
                     const std::string& configFile) {
  std::string workspace = FullName(fileName);
  if (workspace == corpus.WorkspaceFile()) return SaveWorkspace(corpus, settings);
  // Without an extension the index directory would take the file's own name; without its folder
  // nothing can be written (and no index folder is made).
  std::error_code error;
  if (fs::path(workspace).extension().empty() ||
      !fs::is_directory(fs::path(workspace).parent_path(), error)) {
    WriteError(fileName);
    return false;
  }
  bool wasActive = !corpus.WorkspaceFile().empty();
  try {
    TFileLock lock = LockIndexFolder(TCorpusIndex::WorkspaceDir(workspace), TLockMode::kExclusive);
    if (!WriteWorkspaceFile(corpus, settings, workspace)) return false;
    corpus.TransferIndex(workspace, wasActive);
  } catch (const EQuenterra& error) {
    MsgError(error.what());
    return false;
  }
  corpus.SetWorkspaceFile(workspace);
  RememberWorkspacePath(workspace, configFile);
  return true;
}

std::vector<std::string> ReadWorkspaceFiles(const std::string& fileName) {
  if (!FileExists(fileName)) throw EFileError("Unable to open file: " + fileName + ".");
  std::string workspace = FullName(fileName);
  return ReadCorpusNames(TIniFile::Load(workspace), workspace);
}

void RememberWorkspacePath(const std::string& workspaceFile, const std::string& configFile) {
  if (configFile.empty()) return;
  WriteWorkspacePath(configFile, DirectoryOf(FullName(workspaceFile)));
}

void RegisterWorkspaceAssociation(const std::string& programFile, const std::string& dataHome) {
  TFileType type{kWorkspaceExtension, kWorkspaceTypeName, kWorkspaceTypeDescription,
                 kWorkspaceMimeType, kProgramTitle};
  RegisterFileType(type, programFile, dataHome);
}

}  // namespace quenterra
