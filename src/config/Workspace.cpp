#include "config/Workspace.h"

#include <filesystem>
#include <system_error>

#include "config/SettingsFile.h"
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

// The settings and the corpus section, written together so that the file is either complete or
// left as it was.
bool WriteWorkspaceFile(const TCorpus& corpus, const TProgramSettings& settings,
                        const std::string& fileName) {
  try {
    TIniFile file;
    WriteSettingsTo(file, settings);
    file.EraseSection(kCorpusFilesSection);
    WriteCountedList(file, kCorpusFilesSection, kFileKey, corpus.FileNames());
    WriteCountedList(file, kCorpusFilesSection, kFlagsKey, corpus.FileFlags());
    file.Save(fileName);
    return true;
  } catch (const std::exception&) {
    WriteError(fileName);
    return false;
  }
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

bool OpenWorkspace(TCorpus& corpus, TProgramSettings& settings, const std::string& fileName,
                   const std::function<void()>& settingsRead) {
  std::string workspace = FullName(fileName);
  TIniFile file;
  // A missing file is no workspace: refused like an unreadable one, so that nothing changes.
  if (!FileExists(workspace)) {
    ReadError(fileName);
    return false;
  }
  try {
    file = TIniFile::Load(workspace);
    ReadSettingsFrom(file, settings);
  } catch (const std::exception&) {
    ReadError(fileName);
    return false;
  }
  if (settingsRead) settingsRead();
  corpus.UnloadCorpus();
  corpus.SetWorkspaceFile(workspace);
  std::vector<std::string> names;
  ReadCountedList(file, kCorpusFilesSection, kFileKey, names);
  ReadCountedList(file, kCorpusFilesSection, kFlagsKey, corpus.FileFlags());
  if (!names.empty()) corpus.LoadCorpusFiles(names, true);
  corpus.Recount();
  corpus.UpdateCorpusInfo();
  return true;
}

bool SaveWorkspace(const TCorpus& corpus, const TProgramSettings& settings) {
  if (corpus.WorkspaceFile().empty()) return false;
  return WriteWorkspaceFile(corpus, settings, corpus.WorkspaceFile());
}

bool SaveWorkspaceAs(TCorpus& corpus, const TProgramSettings& settings, const std::string& fileName,
                     const std::string& configFile) {
  std::string workspace = FullName(fileName);
  if (workspace == corpus.WorkspaceFile()) return WriteWorkspaceFile(corpus, settings, workspace);
  // Without an extension the index directory would take the file's own name.
  if (fs::path(workspace).extension().empty()) {
    WriteError(fileName);
    return false;
  }
  bool wasActive = !corpus.WorkspaceFile().empty();
  if (!WriteWorkspaceFile(corpus, settings, workspace)) return false;
  std::error_code ignored;  // a directory that cannot be made fails the transfer below
  fs::create_directories(TCorpusIndex::WorkspaceDir(workspace), ignored);
  try {
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
  std::vector<std::string> names;
  ReadCountedList(TIniFile::Load(fileName), kCorpusFilesSection, kFileKey, names);
  return names;
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
