#include "corpus/IndexBuilder.h"

#include <cstdio>
#include <filesystem>
#include <system_error>

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

// Puts one index file at its new name, replacing what is there.
void TransferFile(const std::string& from, const std::string& to, bool move) {
  if (SameFile(from, to)) return;
  std::error_code error;
  fs::remove(to, error);
  if (move) {
    fs::rename(from, to, error);
    if (!error) return;
    // Another file system: copy, then delete the original.
    error.clear();
  }
  fs::copy_file(from, to, fs::copy_options::overwrite_existing, error);
  if (error) throw EFileError("Unable to copy file: " + from + ".");
  if (move) fs::remove(from, error);
}

}  // namespace

TCorpusIndex::~TCorpusIndex() {
  try {
    CloseIndex(workspaceFile_.empty());
  } catch (const std::exception&) {
    // Nothing can report it now.
  }
}

std::string TCorpusIndex::WorkspaceDir(const std::string& workspaceFile) {
  return fs::path(workspaceFile).replace_extension().string() + '/';
}

void TCorpusIndex::CreateIndex(const std::string& seqFileName, const std::string& pageFileName) {
  index_ = std::make_unique<TTextIndex>(pageFileName, TProgressCallback(), TIndexFileMode::kCreate,
                                        config_.wTagBefore, config_.WordTag != 0, seqFileName);
  seqFileName_ = seqFileName;
  pageFileName_ = pageFileName;
}

void TCorpusIndex::EnsureIndex() {
  if (index_) return;
  if (!workspaceFile_.empty()) {
    std::string dir = WorkspaceDir(workspaceFile_);
    std::error_code error;
    fs::create_directories(dir, error);
    if (error) throw EFileError("Unable to create directory: " + dir + ".");
    CreateIndex(dir + kWorkspaceSeqIndexName, dir + kWorkspacePageIndexName);
    return;
  }
  std::string page = MakeTempFile(kTempPageIndexPrefix);
  std::string seq;
  try {
    seq = MakeTempFile(kTempSeqIndexPrefix);
    CreateIndex(seq, page);
  } catch (...) {
    std::remove(page.c_str());
    if (!seq.empty()) std::remove(seq.c_str());
    throw;
  }
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
  TProgressCallback gauge = GaugeCallback(progress);
  try {
    index_ = std::make_unique<TTextIndex>(page, gauge, TIndexFileMode::kOpen, config_.wTagBefore,
                                          config_.WordTag != 0, seq);
    if (config_.WordTag != 0 && !index_->PairTableCurrent()) index_->RebuildPairTable(gauge);
  } catch (...) {
    index_.reset();
    seqFileName_.clear();
    pageFileName_.clear();
    throw;
  }
  seqFileName_ = seq;
  pageFileName_ = page;
}

void TCorpusIndex::CloseIndex(bool deleteFiles) {
  if (!index_) return;
  std::unique_ptr<TTextIndex> index = std::move(index_);
  if (!deleteFiles) {
    index->Commit();
    return;
  }
  index.reset();
  std::remove(seqFileName_.c_str());
  std::remove(pageFileName_.c_str());
  seqFileName_.clear();
  pageFileName_.clear();
}

bool TCorpusIndex::LoadWorkspaceIndex(TProgress* progress) {
  if (workspaceFile_.empty()) return false;
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

void TCorpusIndex::TransferFiles(const std::string& newSeqFileName,
                                 const std::string& newPageFileName, bool move) {
  if (!index_) return;
  std::string seq = seqFileName_;
  std::string page = pageFileName_;
  CloseIndex(false);
  TransferFile(seq, newSeqFileName, move);
  TransferFile(page, newPageFileName, move);
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

void TCorpusIndex::BuildRange(std::span<const TCorpusFileRef> files, int first, int last,
                              TProgress* progress) {
  EnsureIndex();
  TFlagScope scope(indexing_);
  int64_t blocks = 0;
  for (int i = first; i <= last; ++i) {
    blocks += TWordSplitter::BlockCount(files[static_cast<size_t>(i)].stream->GetSize());
  }
  if (progress != nullptr) {
    progress->SetMax(blocks);
    progress->SetPosition(0);
  }
  TWordSplitter splitter(*index_, config_, tables_, progress);
  for (int i = first; i <= last; ++i) {
    const TCorpusFileRef& file = files[static_cast<size_t>(i)];
    splitter.SplitFile(*file.stream, static_cast<uint32_t>(i), file.name);
  }
  if (index_->CountsPairs() && !index_->PairTableCurrent()) {
    index_->RebuildPairTable(GaugeCallback(progress));
  }
  index_->Commit();
}

void TCorpusIndex::Rebuild(std::span<const TCorpusFileRef> files) {
  CloseIndex(true);
  EnsureIndex();
  std::unique_ptr<TProgress> progress = ShowProgress(TProgressKind::kSimple, "Building index");
  if (files.empty()) {
    index_->Commit();
    return;
  }
  BuildRange(files, 0, static_cast<int>(files.size()) - 1, progress.get());
}

}  // namespace quenterra
