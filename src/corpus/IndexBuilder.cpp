#include "corpus/IndexBuilder.h"

#include <cstdio>
#include <filesystem>
#include <system_error>

#include "corpus/BackgroundSink.h"
#include "corpus/WordSplitter.h"
#include "platform/Errors.h"
#include "platform/Files.h"
#include "platform/FlagScope.h"

namespace quenterra {

namespace fs = std::filesystem;

namespace {

bool SameFile(const std::string& a, const std::string& b) {
  if (a == b) return true;
  std::error_code error;
  return fs::equivalent(a, b, error);
}

void RenameInto(const std::string& from, const std::string& to) {
  if (std::rename(from.c_str(), to.c_str()) != 0)
    throw EFileError("Unable to write to file: " + to + ".");
}

}  // namespace

TCorpusIndex::~TCorpusIndex() {
  try {
    CloseIndex(workspaceFile_.empty());
  } catch (const std::exception&) {
    // Nothing can report it now.
  }
}

void TCorpusIndex::SetWorkspaceFile(const std::string& workspaceFile) {
  if (workspaceFile != workspaceFile_) temporary_ = false;
  workspaceFile_ = workspaceFile;
  // Files copied into a workspace's directory become its stored index once it is active.
  if (place_ == TPlace::kStored || place_ == TPlace::kNamed) place_ = PlaceOfNamed(seqFileName_);
}

std::string TCorpusIndex::WorkspaceDir(const std::string& workspaceFile) {
  return fs::path(workspaceFile).replace_extension().string() + '/';
}

TCorpusIndex::TPlace TCorpusIndex::PlaceOfNamed(const std::string& seqFileName) const {
  bool stored = !workspaceFile_.empty() &&
                seqFileName == WorkspaceDir(workspaceFile_) + kWorkspaceSeqIndexName;
  return stored ? TPlace::kStored : TPlace::kNamed;
}

void TCorpusIndex::CreateIndex(const std::string& seqFileName, const std::string& pageFileName,
                               TIndexFileMode mode, TPlace place) {
  index_ = std::make_unique<TTextIndex>(pageFileName, TProgressCallback(), mode, config_.wTagBefore,
                                        config_.WordTag != 0, seqFileName, temporaryContents_);
  place_ = place;
  seqFileName_ = place == TPlace::kTemporary ? "" : seqFileName;
  pageFileName_ = place == TPlace::kTemporary ? "" : pageFileName;
}

void TCorpusIndex::EnsureIndex() {
  if (index_) return;
  if (workspaceFile_.empty() || temporary_) {
    std::string dir = TempDirectory();
    CreateIndex(dir + kTempSeqIndexPrefix, dir + kTempPageIndexPrefix, TIndexFileMode::kTemporary,
                TPlace::kTemporary);
    return;
  }
  std::string dir = WorkspaceDir(workspaceFile_);
  std::error_code error;
  fs::create_directories(dir, error);
  if (error) throw EFileError("Unable to create directory: " + dir + ".");
  std::string seq = TempNameBeside(dir + kWorkspaceSeqIndexName);
  std::string page = TempNameBeside(dir + kWorkspacePageIndexName);
  try {
    CreateIndex(seq, page, TIndexFileMode::kCreate, TPlace::kStaged);
  } catch (...) {
    std::remove(seq.c_str());
    std::remove(page.c_str());
    throw;
  }
  restoreStored_ = false;
}

void TCorpusIndex::OpenAt(const std::string& seqFileName, const std::string& pageFileName,
                          TProgress* progress) {
  TProgressCallback gauge = GaugeCallback(progress);
  try {
    index_ = std::make_unique<TTextIndex>(pageFileName, gauge, TIndexFileMode::kOpen,
                                          config_.wTagBefore, config_.WordTag != 0, seqFileName);
    if (config_.WordTag != 0 && !index_->PairTableCurrent()) index_->RebuildPairTable(gauge);
  } catch (...) {
    index_.reset();
    Forget();
    throw;
  }
  seqFileName_ = seqFileName;
  pageFileName_ = pageFileName;
}

void TCorpusIndex::OpenIndexFiles(const std::string& seqFileName, const std::string& pageFileName,
                                  TProgress* progress) {
  std::string seq = seqFileName;  // the arguments may be our own names, cleared by CloseIndex
  std::string page = pageFileName;
  if (index_) {
    // Reopening the files in use must not delete them, workspace or not.
    bool same = SameFile(seqFileName_, seq) || SameFile(pageFileName_, page);
    CloseIndex(workspaceFile_.empty() && !same);
  }
  OpenAt(seq, page, progress);
  place_ = PlaceOfNamed(seq);
}

void TCorpusIndex::Forget() {
  place_ = TPlace::kNone;
  seqFileName_.clear();
  pageFileName_.clear();
}

void TCorpusIndex::CloseIndex(bool deleteFiles) {
  if (!index_) return;
  if (place_ == TPlace::kStaged) {
    DiscardStaged(false);
    return;
  }
  std::unique_ptr<TTextIndex> index = std::move(index_);
  bool named = place_ == TPlace::kNamed;
  if (place_ != TPlace::kTemporary && !deleteFiles) index->Commit();
  index.reset();
  if (deleteFiles && named) {
    std::remove(seqFileName_.c_str());
    std::remove(pageFileName_.c_str());
  }
  Forget();
}

bool TCorpusIndex::LoadWorkspaceIndex(TProgress* progress) {
  if (workspaceFile_.empty() || temporary_) return false;
  std::string dir = WorkspaceDir(workspaceFile_);
  std::string seq = dir + kWorkspaceSeqIndexName;
  std::string page = dir + kWorkspacePageIndexName;
  if (!FileExists(seq) || !FileExists(page)) return false;
  try {
    OpenIndexFiles(seq, page, progress);
    return true;
  } catch (const std::exception&) {
    return false;
  }
}

// ---- Staged builds ----------------------------------------------------------------------------

void TCorpusIndex::StageCopy() {
  std::string storedSeq = seqFileName_;
  std::string storedPage = pageFileName_;
  std::string seq = TempNameBeside(storedSeq);
  std::string page = TempNameBeside(storedPage);
  try {
    index_->CopyFilesTo(seq, page);
    index_.reset();
    OpenAt(seq, page, nullptr);
  } catch (...) {
    std::remove(seq.c_str());
    std::remove(page.c_str());
    if (!index_) OpenIndexFiles(storedSeq, storedPage, nullptr);
    throw;
  }
  place_ = TPlace::kStaged;
  restoreStored_ = true;
}

void TCorpusIndex::InstallStaged() {
  std::string dir = WorkspaceDir(workspaceFile_);
  std::string seq = dir + kWorkspaceSeqIndexName;
  std::string page = dir + kWorkspacePageIndexName;
  // On disk before they get the names a state file may vouch for.
  SyncFile(seqFileName_);
  SyncFile(pageFileName_);
  RenameInto(seqFileName_, seq);
  restoreStored_ = false;  // the stored pair is no longer whole
  seqFileName_ = seq;
  RenameInto(pageFileName_, page);
  pageFileName_ = page;
  SyncDirectoryOf(seq);
  index_->SetFileNames(seq, page);
  place_ = TPlace::kStored;
}

void TCorpusIndex::DiscardStaged(bool reopenStored) {
  index_.reset();
  std::remove(seqFileName_.c_str());
  std::remove(pageFileName_.c_str());
  Forget();
  if (reopenStored) LoadWorkspaceIndex(nullptr);
}

// ---- Moving and copying -----------------------------------------------------------------------

void TCorpusIndex::TransferFiles(const std::string& newSeqFileName,
                                 const std::string& newPageFileName, bool move) {
  if (!index_) return;
  if (SameFile(seqFileName_, newSeqFileName) && SameFile(pageFileName_, newPageFileName)) {
    index_->Commit();
    return;
  }
  std::string seq = TempNameBeside(newSeqFileName);
  std::string page = TempNameBeside(newPageFileName);
  try {
    index_->CopyFilesTo(seq, page);
    RenameInto(seq, newSeqFileName);
    RenameInto(page, newPageFileName);
    SyncDirectoryOf(newSeqFileName);
  } catch (...) {
    std::remove(seq.c_str());
    std::remove(page.c_str());
    throw;
  }
  std::string oldSeq = seqFileName_;
  std::string oldPage = pageFileName_;
  bool named = place_ == TPlace::kNamed;
  CloseIndex(false);
  if (move && named) {
    std::remove(oldSeq.c_str());
    std::remove(oldPage.c_str());
  }
  OpenIndexFiles(newSeqFileName, newPageFileName, nullptr);
}

void TCorpusIndex::MoveIndexFiles(const std::string& newSeqFileName,
                                  const std::string& newPageFileName) {
  TransferFiles(newSeqFileName, newPageFileName, true);
}

void TCorpusIndex::CopyIndexFiles(const std::string& newSeqFileName,
                                  const std::string& newPageFileName) {
  TransferFiles(newSeqFileName, newPageFileName, false);
}

// ---- Building ---------------------------------------------------------------------------------

void TCorpusIndex::BuildRange(std::span<const TCorpusFileRef> files, int first, int last,
                              TProgress* progress) {
  EnsureIndex();
  if (place_ == TPlace::kStored) StageCopy();  // a stored index is never written in place
  if (place_ != TPlace::kStaged) {
    Split(files, first, last, progress);
    return;
  }
  try {
    Split(files, first, last, progress);
    InstallStaged();
  } catch (...) {
    if (place_ == TPlace::kStaged) DiscardStaged(restoreStored_);
    throw;
  }
}

void TCorpusIndex::Split(std::span<const TCorpusFileRef> files, int first, int last,
                         TProgress* progress) {
  TFlagScope scope(indexing_);
  int64_t blocks = 0;
  for (int i = first; i <= last; ++i) {
    blocks += TWordSplitter::BlockCount(files[static_cast<size_t>(i)].stream->GetSize());
  }
  if (progress != nullptr) {
    progress->SetMax(blocks);
    progress->SetPosition(0);
  }
  {
    // The index files the tokens on a second thread while the splitter reads on.
    TBackgroundSink sink(*index_);
    TWordSplitter splitter(sink, config_, tables_, progress);
    for (int i = first; i <= last; ++i) {
      const TCorpusFileRef& file = files[static_cast<size_t>(i)];
      splitter.SplitFile(*file.stream, static_cast<uint32_t>(i), file.name);
    }
    sink.Finish();
  }
  if (index_->CountsPairs() && !index_->PairTableCurrent()) {
    index_->RebuildPairTable(GaugeCallback(progress));
  }
  index_->Commit();
}

void TCorpusIndex::Rebuild(std::span<const TCorpusFileRef> files) {
  CloseIndex(workspaceFile_.empty());
  EnsureIndex();
  std::unique_ptr<TProgress> progress = ShowProgress(TProgressKind::kSimple, "Building index");
  BuildRange(files, 0, static_cast<int>(files.size()) - 1, progress.get());
}

}  // namespace quenterra
