// The lifecycle of the corpus index: which two files it lives in, creating, opening, committing,
// closing, moving and copying them, and the build that runs the word splitter over a range of
// corpus files.
//
// Where the files are:
//   temporary   no workspace (or SetTemporaryIndex): two files without names in the temporary
//               folder ("PGX", "SQX"), which go with the index however the run ends
//   staged      a build for the active workspace: new files beside the stored ones, under
//               temporary names (TempNameBeside), renamed into place only once the build is
//               committed and on disk
//   stored      the workspace's PAGE_IDX.tmp and SEQ_IDX.tmp, opened for reading; a build that
//               adds to them works on a staged copy, so a build that fails (a full disk, a
//               killed run) leaves the stored index as it was
//   named       any other pair opened by name
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
  // Closes the index as unloading the corpus does: temporary files go, a staged build is
  // dropped, a workspace's files are kept. Errors are lost here; owners close explicitly first.
  ~TCorpusIndex();

  // The active workspace file ("" when none). It decides where new index files go and whether
  // closing deletes them; changing it does not touch an open index.
  void SetWorkspaceFile(const std::string& workspaceFile);
  const std::string& WorkspaceFile() const { return workspaceFile_; }
  // The workspace's index directory: its file name without the extension, plus '/'.
  static std::string WorkspaceDir(const std::string& workspaceFile);
  // With a workspace active, new indexes go to temporary files all the same and the workspace's
  // stored index is neither opened nor written: for settings that split text otherwise than the
  // workspace's, or a corpus that is not the workspace's. Cleared by a change of workspace.
  void SetTemporaryIndex(bool on) { temporary_ = on; }
  bool TemporaryIndex() const { return temporary_; }
  // What the temporary indexes created from now on hold (kFull unless set); stored ones hold
  // everything.
  void SetTemporaryContents(TIndexContents contents) { temporaryContents_ = contents; }

  // The index, or null when none exists.
  TTextIndex* Index() const { return index_.get(); }
  // The files' names; empty for temporary files, which have none.
  const std::string& SeqFileName() const { return seqFileName_; }
  const std::string& PageFileName() const { return pageFileName_; }
  // Whether the index is the active workspace's stored one, in place.
  bool InWorkspace() const { return place_ == TPlace::kStored; }
  // True while BuildRange runs.
  bool Indexing() const { return indexing_; }

  // When no index exists, creates an empty one: staged in the workspace's index directory (made
  // when missing) with an active workspace, else in two temporary files. Pairs are counted when
  // WordTag is not 0; wTagBefore gives the tag side.
  void EnsureIndex();
  // Closes any index first (deleting named files when no workspace is active), then opens the
  // index over two existing files and, with word tags on, recounts a pair table that was not
  // stored. On an exception no index is left open.
  void OpenIndexFiles(const std::string& seqFileName, const std::string& pageFileName,
                      TProgress* progress);
  // Commits (unless deleteFiles) and releases the index: temporary files go, a staged build is
  // dropped, and with deleteFiles named files are deleted. A workspace's stored files are never
  // deleted here: a complete new build replaces them. Nothing when no index exists.
  void CloseIndex(bool deleteFiles);
  // Opens the active workspace's stored index. False when there is no workspace, the index is
  // kept temporary, a file is missing or opening fails (the error is swallowed): the caller then
  // builds a new index.
  bool LoadWorkspaceIndex(TProgress* progress = nullptr);
  // Commit the index, put a copy of its files at the new names (replacing what is there; a name
  // equal to the current one is left alone) and reopen the index there; moving also deletes
  // the named files it came from. On a failure the index stays where it was.
  void MoveIndexFiles(const std::string& newSeqFileName, const std::string& newPageFileName);
  void CopyIndexFiles(const std::string& newSeqFileName, const std::string& newPageFileName);

  // Splits files[first..last] into the index (made by EnsureIndex when none exists), recounts
  // the pair table when it is not current, and commits; a staged build is then put in place. The
  // gauge's maximum is the number of 8192-byte blocks of the range. Exceptions of the split (such
  // as the file limit, or a full disk) end the build: a staged build is dropped (the stored
  // index it added to is open again), a temporary index keeps the tokens added before.
  void BuildRange(std::span<const TCorpusFileRef> files, int first, int last, TProgress* progress);
  // Builds a new index over all files, in a progress window captioned "Building index"; the old
  // one is closed (a workspace's stays on disk until the new one replaces it).
  void Rebuild(std::span<const TCorpusFileRef> files);

 private:
  enum class TPlace { kNone, kTemporary, kStaged, kStored, kNamed };

  void CreateIndex(const std::string& seqFileName, const std::string& pageFileName,
                   TIndexFileMode mode, TPlace place);
  void OpenAt(const std::string& seqFileName, const std::string& pageFileName, TProgress* progress);
  TPlace PlaceOfNamed(const std::string& seqFileName) const;
  void Forget();
  void StageCopy();
  void InstallStaged();
  void DiscardStaged(bool reopenStored);
  void Split(std::span<const TCorpusFileRef> files, int first, int last, TProgress* progress);
  void TransferFiles(const std::string& newSeqFileName, const std::string& newPageFileName,
                     bool move);

  const ZuzadovUdirev& config_;
  const TLangTables& tables_;
  std::unique_ptr<TTextIndex> index_;
  TPlace place_ = TPlace::kNone;
  std::string seqFileName_;
  std::string pageFileName_;
  std::string workspaceFile_;
  bool temporary_ = false;
  TIndexContents temporaryContents_ = TIndexContents::kFull;
  bool restoreStored_ = false;  // a failed staged build reopens the stored index it copied
  bool indexing_ = false;
};

}  // namespace quenterra
