// The lifecycle of the corpus index: which two files it lives in (a workspace's index directory,
// or temporary files), creating, opening, committing, closing, moving and copying them, and the
// build that runs the word splitter over a range of corpus files.
//
// One TCorpusIndex belongs to the corpus state that the main window owns (the CLI makes its
// own); it holds the one text index of the program. It reads the settings it is given (the
// front end's current ones) whenever it creates, opens or builds an index.
#pragma once

#include <memory>
#include <span>
#include <string>

#include "corpus/LangTables.h"
#include "corpus/SynStream.h"
#include "corpus/TextIndex.h"
#include "platform/Progress.h"
#include "settings/Settings.h"

namespace quenterra {

// A corpus file as the build reads it: its full name and its open stream.
struct TCorpusFileRef {
  std::string name;
  TSynchroStream* stream = nullptr;  // not owned
};

inline constexpr char kWorkspacePageIndexName[] = "PAGE_IDX.tmp";
inline constexpr char kWorkspaceSeqIndexName[] = "SEQ_IDX.tmp";
inline constexpr char kTempPageIndexPrefix[] = "PGX";
inline constexpr char kTempSeqIndexPrefix[] = "SQX";

class TCorpusIndex {
 public:
  // config and tables are not owned and must outlive the index; their values at the time of
  // each call decide how it splits and whether it counts word-tag pairs.
  TCorpusIndex(const ZuzadovUdirev& config, const TLangTables& tables)
      : config_(config), tables_(tables) {}
  TCorpusIndex(const TCorpusIndex&) = delete;
  TCorpusIndex& operator=(const TCorpusIndex&) = delete;
  // Closes the index as unloading the corpus does: temporary files are deleted, a workspace's
  // files committed and kept. Errors are lost here; owners close explicitly first.
  ~TCorpusIndex();

  // The active workspace file ("" when none). It decides where new index files go and whether
  // closing deletes them; changing it does not touch an open index.
  void SetWorkspaceFile(const std::string& workspaceFile) { workspaceFile_ = workspaceFile; }
  const std::string& WorkspaceFile() const { return workspaceFile_; }
  // The workspace's index directory: its file name without the extension, plus '/'.
  static std::string WorkspaceDir(const std::string& workspaceFile);

  // The index, or null when none exists.
  TTextIndex* Index() const { return index_.get(); }
  const std::string& SeqFileName() const { return seqFileName_; }
  const std::string& PageFileName() const { return pageFileName_; }
  // True while BuildRange runs.
  bool Indexing() const { return indexing_; }

  // When no index exists, creates an empty one: in the workspace's index directory (made when
  // missing) with an active workspace, else in two new temporary files ("PGX", "SQX"). Pairs
  // are counted when WordTag is not 0; wTagBefore gives the tag side.
  void EnsureIndex();
  // Closes any index first (deleting its files when no workspace is active), then opens the
  // index over two existing files and, with word tags on, recounts a pair table that was not
  // stored. On an exception no index is left open.
  void OpenIndexFiles(const std::string& seqFileName, const std::string& pageFileName,
                      TProgress* progress);
  // Commits (unless deleteFiles) and releases the index; with deleteFiles also deletes both
  // files and forgets their names. Nothing when no index exists.
  void CloseIndex(bool deleteFiles);
  // Opens the active workspace's stored index. False when there is no workspace, a file is
  // missing or opening fails (the error is swallowed): the caller then builds a new index.
  bool LoadWorkspaceIndex(TProgress* progress = nullptr);
  // Commit and close the index, put its files at the new names (moving, across file systems
  // too, or copying; existing files of those names are replaced; a name equal to the current
  // one is left alone) and reopen the index there.
  void MoveIndexFiles(const std::string& newSeqFileName, const std::string& newPageFileName);
  void CopyIndexFiles(const std::string& newSeqFileName, const std::string& newPageFileName);

  // Splits files[first..last] into the index (made by EnsureIndex when none exists), recounts
  // the pair table when it is not current, and commits. The gauge's maximum is the number of
  // 8192-byte blocks of the range. Exceptions of the split (such as the file limit) end the
  // build; the tokens added before stay in the index.
  void BuildRange(std::span<const TCorpusFileRef> files, int first, int last, TProgress* progress);
  // Deletes the index and builds a new one over all files, in a progress window captioned
  // "Building index".
  void Rebuild(std::span<const TCorpusFileRef> files);

 private:
  void CreateIndex(const std::string& seqFileName, const std::string& pageFileName);
  void TransferFiles(const std::string& newSeqFileName, const std::string& newPageFileName,
                     bool move);

  const ZuzadovUdirev& config_;
  const TLangTables& tables_;
  std::unique_ptr<TTextIndex> index_;
  std::string seqFileName_;
  std::string pageFileName_;
  std::string workspaceFile_;
  bool indexing_ = false;
};

}  // namespace quenterra
