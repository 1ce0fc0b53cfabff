#include "corpus/Corpus.h"

#include <sys/stat.h>

#include <filesystem>
#include <system_error>

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
    bool sameFile = inode != 0 && file.inode == inode && file.device == device;
    if (file.name == name || sameFile) return static_cast<int>(i);
  }
  return -1;
}

TCorpus::TAddResult TCorpus::AddFile(const std::string& name) {
  struct stat info {};
  bool known = ::stat(name.c_str(), &info) == 0;
  uint64_t device = known ? static_cast<uint64_t>(info.st_dev) : 0;
  uint64_t inode = known ? static_cast<uint64_t>(info.st_ino) : 0;
  int existing = FindFile(name, device, inode);
  if (existing >= 0) {
    observer_->FileShown(existing);
    return TAddResult::kDuplicate;
  }
  try {
    if (!AcceptCorpusFile(name, tables_)) {
      return TAddResult::kFailed;
    }
    TCorpusFile file;
    file.name = name;
    file.stream = std::make_unique<TFileSynchroStream>(name);
    file.buffer = std::make_unique<TBufStream>(*file.stream, config_);
    file.device = device;
    file.inode = inode;
    files_.push_back(std::move(file));
  } catch (const EQuenterra& error) {
    MsgError(error.what());
    return TAddResult::kFailed;
  }
  return TAddResult::kAdded;
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

TLoadResult TCorpus::LoadCorpusFiles(const std::vector<std::string>& names, bool useStoredIndex) {
  TLoadResult result;
  int first = FileCount();
  {
    TFlagScope loading(loading_);
    std::unique_ptr<TProgress> progress = ShowProgress(TProgressKind::kSimple, "Loading...");
    progress->SetLabel("Please wait.");
    for (size_t i = 0; i < names.size(); ++i) {
      std::string name = NormalizeName(names[i]);
      lastCorpusDir_ = DirectoryOf(name);
      TAddResult added = AddFile(name);
      if (added == TAddResult::kAdded) {
        ++result.added;
        if (i == 0) observer_->FileShown(FileCount() - 1);
      } else if (added == TAddResult::kFailed) {
        result.failed.push_back(name);
      }
      observer_->Idle();
    }
    if (!useStoredIndex || !OpenStoredIndex(progress.get())) {
      if (useStoredIndex) MsgError(kErrorLoadingIndex);
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
  if (WorkspaceFile().empty()) return false;
  bool opened =
      IndexStateMatches(WorkspaceDir(), DescribeIndexSource(FileRefs(), config_, tables_)) &&
      index_.LoadWorkspaceIndex(progress);
  // An index of more files than the corpus holds cannot be this corpus's.
  if (opened && Index()->FileCount() <= FileCount()) {
    indexed_ = FileCount();
    lastIndexSource_ = TIndexSourceKind::kStored;
    return true;
  }
  index_.CloseIndex(WorkspaceFile().empty());
  indexed_ = 0;
  return false;
}

// Builds files[first..] into the index; the whole corpus when the index does not hold exactly
// the files before `first`.
void TCorpus::BuildFrom(int first, TProgress* progress) {
  bool append = Index() != nullptr && indexed_ == first;
  if (append && first == FileCount()) return;  // nothing new
  MarkBuilding();                              // before the files are touched
  indexed_ = -1;
  if (!append) index_.CloseIndex(true);
  int from = append ? first : 0;
  index_.EnsureIndex();
  std::vector<TCorpusFileRef> refs = FileRefs();
  index_.BuildRange(refs, from, FileCount() - 1, progress);
  indexed_ = FileCount();
  lastIndexSource_ = TIndexSourceKind::kBuilt;
  MarkComplete();
}

void TCorpus::RebuildIndex() {
  observer_->IndexRebuilding();
  MarkBuilding();
  indexed_ = -1;
  std::vector<TCorpusFileRef> refs = FileRefs();
  index_.Rebuild(refs);
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

bool TCorpus::IndexInWorkspace() const {
  return !WorkspaceFile().empty() && Index() != nullptr &&
         index_.SeqFileName() == WorkspaceDir() + kWorkspaceSeqIndexName;
}

void TCorpus::MarkBuilding() {
  if (!WorkspaceFile().empty()) MarkIndexBuilding(WorkspaceDir());
}

void TCorpus::MarkComplete() {
  if (IndexInWorkspace() && indexed_ == FileCount()) {
    MarkIndexComplete(WorkspaceDir(), DescribeIndexSource(FileRefs(), config_, tables_));
  }
}

void TCorpus::TransferIndex(const std::string& workspaceFile, bool copy) {
  if (Index() == nullptr) return;
  std::string dir = TCorpusIndex::WorkspaceDir(workspaceFile);
  std::string seq = dir + kWorkspaceSeqIndexName;
  std::string page = dir + kWorkspacePageIndexName;
  std::string oldSeq = index_.SeqFileName();
  std::string oldPage = index_.PageFileName();
  MarkIndexBuilding(dir);  // whatever index the directory held is being replaced
  try {
    if (copy) {
      index_.CopyIndexFiles(seq, page);
    } else {
      index_.MoveIndexFiles(seq, page);
    }
  } catch (const EQuenterra&) {
    // Go on with the index where it was, when it is still there.
    try {
      if (Index() == nullptr) index_.OpenIndexFiles(oldSeq, oldPage, nullptr);
    } catch (const EQuenterra&) {
      indexed_ = -1;
    }
    throw;
  }
  if (indexed_ == FileCount())
    MarkIndexComplete(dir, DescribeIndexSource(FileRefs(), config_, tables_));
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
