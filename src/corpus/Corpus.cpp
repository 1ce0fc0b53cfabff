#include "corpus/Corpus.h"

#include <sys/stat.h>

#include <filesystem>
#include <system_error>

#include "corpus/IndexLock.h"
#include "corpus/IndexState.h"
#include "corpus/WordSplitter.h"
#include "platform/Errors.h"
#include "platform/Files.h"
#include "platform/FlagScope.h"
#include "platform/Messages.h"
#include "platform/NumberFormat.h"

namespace quenterra {

namespace fs = std::filesystem;

namespace {

constexpr char kStrayNameChars[] = "\"*:<>?\\|";

std::string DirectoryOf(const std::string& name) {
  size_t slash = name.rfind('/');
  return slash == std::string::npos ? std::string() : name.substr(0, slash + 1);
}

}  // namespace

TCorpus::~TCorpus() {
  files_.clear();  // the streams go before the index closes, as in UnloadCorpus
}

// ---- Files ------------------------------------------------------------------------------------

std::vector<std::string> TCorpus::FileNames() const {
  std::vector<std::string> names;
  for (const TCorpusFile& file : files_) names.push_back(file.name);
  return names;
}

std::vector<TCorpusFileRef> TCorpus::FileRefs() const {
  std::vector<TCorpusFileRef> refs;
  for (const TCorpusFile& file : files_) refs.push_back({file.name, file.stream.get()});
  return refs;
}

int64_t TCorpus::TotalSize() const {
  int64_t total = 0;
  for (const TCorpusFile& file : files_) total += file.stream->GetSize();
  return total;
}

std::string TCorpus::NormalizeName(const std::string& name) {
  if (name.empty()) return name;
  std::error_code error;
  fs::path path = fs::absolute(name, error);
  std::string full = (error ? fs::path(name) : path).lexically_normal().string();
  // On Linux these characters are legal in file names, so only a name that names no file is
  // cleaned of them.
  if (FileExists(full)) return full;
  size_t start = full.rfind('/');
  start = start == std::string::npos ? 0 : start + 1;
  size_t end = full.find('.', start);
  if (end == std::string::npos) end = full.size();
  std::string cleaned = full.substr(0, start);
  for (size_t i = start; i < end; ++i) {
    if (std::string_view(kStrayNameChars).find(full[i]) == std::string_view::npos) {
      cleaned += full[i];
    }
  }
  return cleaned + full.substr(end);
}

int TCorpus::FindFile(const std::string& name, uint64_t device, uint64_t inode) const {
  for (size_t i = 0; i < files_.size(); ++i) {
    const TCorpusFile& file = files_[i];
    // Linux names differ by letter case; the same file under two names is caught by identity.
    const TFileIdentity& identity = file.stream->Identity();
    bool sameFile = inode != 0 && identity.inode == inode && identity.device == device;
    if (file.name == name || sameFile) return static_cast<int>(i);
  }
  return -1;
}

TCorpus::TAddResult TCorpus::AddFile(const std::string& name,
                                     const std::map<std::string, TIndexedFile>& accepted) {
  struct stat info {};
  bool known = ::stat(name.c_str(), &info) == 0;
  uint64_t device = known ? static_cast<uint64_t>(info.st_dev) : 0;
  uint64_t inode = known ? static_cast<uint64_t>(info.st_ino) : 0;
  int existing = FindFile(name, device, inode);
  if (existing >= 0) {
    observer_->FileShown(existing);
    return TAddResult::kDuplicate;
  }
  if (LeftOutAsIndexFile(name)) return TAddResult::kSkipped;
  try {
    const TFileIdentity identity{device, inode, info.st_size,
                                 int64_t{info.st_mtim.tv_sec} * 1000000000 + info.st_mtim.tv_nsec};
    // A directory, FIFO or device is reported by the check; a missing file by the opening.
    if (known && !S_ISREG(info.st_mode) && !CheckCorpusFile(name, tables_)) {
      return TAddResult::kFailed;
    }
    TCorpusFile file;
    file.name = name;
    file.stream = std::make_unique<TFileSynchroStream>(name);
    if (!(known && AcceptedBefore(name, identity, accepted)) &&
        !AcceptCorpusFile(name, *file.stream, tables_)) {
      return TAddResult::kFailed;
    }
    file.buffer = std::make_unique<TBufStream>(*file.stream, config_);
    files_.push_back(std::move(file));
  } catch (const EQuenterra& error) {
    MsgError(error.what());
    return TAddResult::kFailed;
  }
  return TAddResult::kAdded;
}

bool TCorpus::AcceptedBefore(const std::string& name, const TFileIdentity& identity,
                             const std::map<std::string, TIndexedFile>& accepted) const {
  const auto entry = accepted.find(RelativeToFolder(name, DirectoryOf(WorkspaceFile())));
  return entry != accepted.end() && entry->second.size == identity.size &&
         entry->second.modifiedNs == identity.modifiedNs && entry->second.inode == identity.inode;
}

bool TCorpus::AddCorpusFile(const std::string& name) { return AddFile(name) == TAddResult::kAdded; }

void TCorpus::RemoveEntry(int fileNumber) {
  files_.erase(files_.begin() + fileNumber);
  if (Index() != nullptr && fileNumber < indexed_) indexed_ = -1;
  if (indexed_ > FileCount()) indexed_ = -1;
}

void TCorpus::RemoveFile(int fileNumber) {
  if (fileNumber < 0 || fileNumber >= FileCount()) return;
  observer_->FileRemoving(fileNumber);
  wordCount_ = 0;
  RemoveEntry(fileNumber);
  Recount();
}

// ---- Loading and indexing ---------------------------------------------------------------------

TLoadResult TCorpus::LoadCorpusFiles(const std::vector<std::string>& names, bool useStoredIndex,
                                     TOnUnopenedFile onUnopened) {
  TLoadResult result;
  int first = FileCount();
  // A workspace of many files opens without reading each one's head once more.
  std::map<std::string, TIndexedFile> accepted;
  if (useStoredIndex && !WorkspaceFile().empty() && !TemporaryIndex()) {
    for (TIndexedFile& file :
         CompleteIndexFiles(WorkspaceDir(), TokenisationFingerprint(config_, tables_))) {
      std::string key = file.name;
      accepted.emplace(std::move(key), std::move(file));
    }
  }
  {
    TFlagScope loading(loading_);
    std::unique_ptr<TProgress> progress = ShowProgress(TProgressKind::kSimple, "Loading...");
    progress->SetLabel("Please wait.");
    for (size_t i = 0; i < names.size(); ++i) {
      std::string name = NormalizeName(names[i]);
      lastCorpusDir_ = DirectoryOf(name);
      TAddResult added = AddFile(name, accepted);
      if (added == TAddResult::kAdded) {
        ++result.added;
        if (i == 0) observer_->FileShown(FileCount() - 1);
      } else if (added == TAddResult::kFailed) {
        result.failed.push_back(name);
      }
      observer_->Idle();
    }
    if (!result.failed.empty() && onUnopened == TOnUnopenedFile::kStop) return result;
    // Settings of the run's own keep the index temporary quietly; a corpus that lost files
    // keeps it temporary with the design's message.
    bool quiet = TemporaryIndex();
    if (useStoredIndex && !result.failed.empty() && !WorkspaceFile().empty()) {
      SetTemporaryIndex(true);
    }
    if (!useStoredIndex || !OpenStoredIndex(progress.get())) {
      if (useStoredIndex && !quiet) MsgError(kErrorLoadingIndex);
      progress->SetCaption("Building index");
      progress->SetLabel("");
      BuildFrom(first, progress.get());
    }
  }
  Recount();
  UpdateCorpusInfo();
  return result;
}

bool TCorpus::OpenStoredIndex(TProgress* progress) {
  if (WorkspaceFile().empty() || TemporaryIndex()) return false;
  LockWorkspace(TLockMode::kShared);
  if (TryStoredIndex(progress)) return true;
  if (lock_.Holds(TLockMode::kExclusive)) return false;
  // Another run may be mending it right now: wait for the right to write, then look again.
  LockWorkspace(TLockMode::kExclusive);
  return TryStoredIndex(progress);
}

bool TCorpus::TryStoredIndex(TProgress* progress) {
  bool opened = IndexStateMatches(WorkspaceDir(), IndexSource(WorkspaceFile())) &&
                index_.LoadWorkspaceIndex(progress);
  // An index of more files than the corpus holds cannot be this corpus's.
  if (opened && Index()->FileCount() <= FileCount()) {
    indexed_ = FileCount();
    lastIndexSource_ = TIndexSourceKind::kStored;
    return true;
  }
  index_.CloseIndex(false);
  indexed_ = 0;
  return false;
}

// Builds files[first..] into the index; the whole corpus when the index does not hold exactly
// the files before `first`.
void TCorpus::BuildFrom(int first, TProgress* progress) {
  bool append = Index() != nullptr && indexed_ == first;
  if (append && first == FileCount()) return;  // nothing new
  if (WritesWorkspace()) LockWorkspace(TLockMode::kExclusive);
  if (!append) index_.CloseIndex(WorkspaceFile().empty());
  int from = append ? first : 0;
  indexed_ = -1;
  try {
    index_.EnsureIndex();
    std::vector<TCorpusFileRef> refs = FileRefs();
    index_.BuildRange(refs, from, FileCount() - 1, progress);
  } catch (...) {
    // A failed workspace build leaves the stored index, open again when it was open before.
    indexed_ = Index() == nullptr ? 0 : index_.InWorkspace() ? from : -1;
    throw;
  }
  indexed_ = FileCount();
  lastIndexSource_ = TIndexSourceKind::kBuilt;
  MarkComplete();
}

void TCorpus::RebuildIndex() {
  observer_->IndexRebuilding();
  if (WritesWorkspace()) LockWorkspace(TLockMode::kExclusive);
  indexed_ = -1;
  try {
    std::vector<TCorpusFileRef> refs = FileRefs();
    index_.Rebuild(refs);
  } catch (...) {
    indexed_ = Index() == nullptr ? 0 : -1;
    throw;
  }
  indexed_ = FileCount();
  lastIndexSource_ = TIndexSourceKind::kBuilt;
  MarkComplete();
  wordCount_ = 0;
  UpdateCorpusInfo();
}

void TCorpus::UnloadCorpus() {
  observer_->Unloading();
  while (!files_.empty()) RemoveEntry(FileCount() - 1);
  ResetCounts();
  // Deleted exactly when temporary; a workspace's committed files stay for its next opening.
  index_.CloseIndex(WorkspaceFile().empty());
  indexed_ = 0;
  lastIndexSource_ = TIndexSourceKind::kNone;
  UpdateCorpusInfo();
  observer_->Idle();
}

// ---- Workspace index --------------------------------------------------------------------------

std::string TCorpus::WorkspaceDir() const {
  return WorkspaceFile().empty() ? std::string() : TCorpusIndex::WorkspaceDir(WorkspaceFile());
}

void TCorpus::SetWorkspaceFile(const std::string& fileName) {
  if (fileName != WorkspaceFile()) lock_ = TFileLock();
  index_.SetWorkspaceFile(fileName);
}

void TCorpus::LockWorkspace(TLockMode mode) {
  if (WorkspaceFile().empty() || lock_.Holds(mode)) return;
  lock_ = LockIndexFolder(WorkspaceDir(), mode);
}

bool TCorpus::WritesWorkspace() const { return !WorkspaceFile().empty() && !TemporaryIndex(); }

TIndexSource TCorpus::IndexSource(const std::string& workspaceFile) const {
  TIndexSource source;
  std::string folder = DirectoryOf(workspaceFile);
  for (const TCorpusFile& file : files_) {
    const TFileIdentity& identity = file.stream->Identity();
    source.files.push_back(
        {RelativeToFolder(file.name, folder), identity.size, identity.modifiedNs, identity.inode});
  }
  source.tokenisation = TokenisationFingerprint(config_, tables_);
  return source;
}

void TCorpus::MarkComplete() {
  if (index_.InWorkspace() && indexed_ == FileCount()) {
    MarkIndexComplete(WorkspaceDir(), IndexSource(WorkspaceFile()));
  }
}

void TCorpus::TransferIndex(const std::string& workspaceFile, bool copy) {
  if (Index() == nullptr) return;
  std::string dir = TCorpusIndex::WorkspaceDir(workspaceFile);
  TFileLock target = LockIndexFolder(dir, TLockMode::kExclusive);
  std::string seq = dir + kWorkspaceSeqIndexName;
  std::string page = dir + kWorkspacePageIndexName;
  if (copy) {
    index_.CopyIndexFiles(seq, page);
  } else {
    index_.MoveIndexFiles(seq, page);
  }
  if (indexed_ == FileCount()) MarkIndexComplete(dir, IndexSource(workspaceFile));
}

// ---- Counts and status texts ------------------------------------------------------------------

void TCorpus::Recount() {
  wordCount_ = typeCount_ = 0;
  if (Index() == nullptr) return;
  TIndexStats stats = Index()->GetStats(config_.SkipNormalTags ? kWordKinds : kTextKinds);
  wordCount_ = stats.frequency;
  typeCount_ = stats.tokens;
}

std::string TCorpus::UpdateCorpusInfo() {
  if (wordCount_ == 0 || typeCount_ == 0) Recount();
  std::string text;
  if (wordCount_ != 0 && typeCount_ != 0) {
    text = FormatCount(wordCount_, "word") + ", " + FormatCount(typeCount_, "type");
  } else {
    text = FormatByteSize(TotalSize()) + ", " + FormatCount(FileCount(), "file");
  }
  observer_->CorpusInfoChanged(text);
  return text;
}

std::string TCorpus::StatusHint() const {
  if (files_.empty()) return "No files loaded";
  return std::to_string(files_.size()) + (files_.size() == 1 ? " file" : " files") +
         " in current corpus";
}

}  // namespace quenterra
