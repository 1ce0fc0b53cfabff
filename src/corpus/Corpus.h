// The corpus the program works on: the list of corpus files with a shared stream and a buffered
// reader for each, the text index over them, the word and type counts, the loading and indexing
// flags and the active workspace. The main window owns one TCorpus and the command line makes its
// own, so both load, index and count a corpus with the same code.
//
// The corpus tells its owner what happened through a TCorpusObserver; what only a window can do
// (showing a file's text, destroying child windows, repainting) is the owner's answer to it.
//
// A workspace's index is built in the workspace's index directory (staged beside the stored one,
// which it replaces only once complete), with a state file (IndexState.h) that records what the
// build read and checksums of what it wrote. A stored index is used only when that file
// describes exactly the files now loaded, with the splitting settings now in force, and the
// index files are still the ones it vouches for. Runs in other processes take turns on a
// workspace through the lock of its index folder (IndexLock.h): the corpus holds it shared while
// it reads the workspace and exclusively once it writes there.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "corpus/BStream.h"
#include "corpus/IndexBuilder.h"
#include "corpus/IndexState.h"
#include "corpus/LangTables.h"
#include "corpus/SynStream.h"
#include "corpus/TextFileTest.h"
#include "platform/FileLock.h"
#include "settings/Settings.h"

namespace quenterra {

inline constexpr char kErrorLoadingIndex[] = "Error loading the index.";

// One corpus file: its full name, the stream every reader shares, and the text window's reader.
struct TCorpusFile {
  std::string name;
  std::unique_ptr<TFileSynchroStream> stream;
  std::unique_ptr<TBufStream> buffer;  // over *stream; destroyed first
};

// What a corpus reports to its owner. Every method does nothing unless overridden.
class TCorpusObserver {
 public:
  virtual ~TCorpusObserver() = default;
  // The first file of a load was added, or a file asked for was loaded already.
  virtual void FileShown(int /*fileNumber*/) {}
  // A file is about to leave the corpus.
  virtual void FileRemoving(int /*fileNumber*/) {}
  // The whole corpus is about to be unloaded.
  virtual void Unloading() {}
  // The index is about to be deleted and built anew: lists over it become invalid.
  virtual void IndexRebuilding() {}
  // Between the files of a long load: time to let the front end breathe.
  virtual void Idle() {}
  // The corpus information ("12,345 words, 2,001 types") has a new text.
  virtual void CorpusInfoChanged(const std::string& /*text*/) {}
};

// Where the index of the last load came from.
enum class TIndexSourceKind { kNone, kStored, kBuilt };

// What a load does when a file cannot be opened (or is declined): leave it out and index the
// rest, or stop before indexing anything.
enum class TOnUnopenedFile { kLeaveOut, kStop };

// What LoadCorpusFiles did.
struct TLoadResult {
  int added = 0;                    // files appended to the corpus
  std::vector<std::string> failed;  // names that could not be opened or were declined
};

class TCorpus {
 public:
  // config and tables are the front end's current settings, not owned: they must outlive the
  // corpus, which reads them whenever it loads, builds or counts.
  TCorpus(const ZuzadovUdirev& config, const TLangTables& tables)
      : config_(config), tables_(tables), index_(config, tables) {}
  TCorpus(const TCorpus&) = delete;
  TCorpus& operator=(const TCorpus&) = delete;
  // Frees the streams and closes the index as unloading does (temporary files deleted).
  ~TCorpus();

  // Not owned; null (the default) reports to nobody. It must outlive the corpus or be reset.
  void SetObserver(TCorpusObserver* observer) { observer_ = observer ? observer : &silent_; }

  // Files.
  int FileCount() const { return static_cast<int>(files_.size()); }
  const TCorpusFile& File(int fileNumber) const {
    return files_.at(static_cast<size_t>(fileNumber));
  }
  std::vector<std::string> FileNames() const;
  // The files as the index build reads them; valid until the corpus changes.
  std::vector<TCorpusFileRef> FileRefs() const;
  // Sum of the files' sizes.
  int64_t TotalSize() const;
  // Directory of the last name handed to the loader ("" before any).
  const std::string& LastCorpusDir() const { return lastCorpusDir_; }

  // The name the loader uses for `name`: an absolute, lexically normal path. When no file of
  // that name exists, the characters " * : < > ? \ | are removed from the part of its file name
  // before the first period, where they can only be stray quoting.
  static std::string NormalizeName(const std::string& name);

  // Adds the files (names normalised) and indexes the new ones: with useStoredIndex, the active
  // workspace's stored index is opened instead when it describes the corpus now loaded; when it
  // does not, "Error loading the index." is shown and the index is rebuilt over all files (not
  // shown when the index is kept temporary). A workspace's files that cannot all be opened are
  // not its corpus: its stored index is left as it is and the rest is indexed in temporary
  // files, or, with kStop, nothing is indexed. Shows a progress window. An exception of the
  // build ends the load (rethrown) without a recount.
  TLoadResult LoadCorpusFiles(const std::vector<std::string>& names, bool useStoredIndex,
                              TOnUnopenedFile onUnopened = TOnUnopenedFile::kLeaveOut);
  // Appends one file: false for a name already loaded (letter case ignored; its text window is
  // shown), a file the user declines as not text, or one that cannot be opened (its error shown).
  bool AddCorpusFile(const std::string& name);
  // Frees one file's streams and removes it; the index is left as it is (rebuild it next).
  void RemoveFile(int fileNumber);
  // Destroys the child windows, removes every file and closes the index: deleted when temporary,
  // committed and kept when it is the workspace's. The workspace stays active.
  void UnloadCorpus();
  // Closes every list window, deletes the index and builds a new one over all files.
  void RebuildIndex();

  // Counts over the index of the tokens counted as words (kind 1, or 1 to 3 when SkipNormalTags
  // is off) that occur: both 0 without an index.
  void Recount();
  int64_t CorpusWordCount() const { return wordCount_; }
  int64_t CorpusTypeCount() const { return typeCount_; }
  void ResetCounts() { wordCount_ = typeCount_ = 0; }
  // The status panel's text ("12,345 words, 2,001 types", else "1.50 kbytes, 1 file"), also
  // reported to the observer; recounts first when a count is 0.
  std::string UpdateCorpusInfo();
  // The hint panel's text without a menu hint: "No files loaded", "3 files in current corpus".
  std::string StatusHint() const;

  // The index.
  TCorpusIndex& IndexFiles() { return index_; }
  TTextIndex* Index() const { return index_.Index(); }
  TIndexSourceKind LastIndexSource() const { return lastIndexSource_; }

  // The active workspace ("" when none) and its index directory. Setting it does not touch the
  // corpus or an open index; another workspace gives up the lock of the previous one and is
  // indexed in its own directory (SetTemporaryIndex cleared).
  const std::string& WorkspaceFile() const { return index_.WorkspaceFile(); }
  std::string WorkspaceDir() const;
  void SetWorkspaceFile(const std::string& fileName);
  // Keep the index in temporary files although a workspace is active (see TCorpusIndex).
  void SetTemporaryIndex(bool on) { index_.SetTemporaryIndex(on); }
  bool TemporaryIndex() const { return index_.TemporaryIndex(); }
  // Holds the lock of the active workspace's index folder in `mode` or stronger until another
  // workspace becomes active or the corpus goes (nothing without a workspace). The corpus takes
  // it itself before it reads or writes there; throws as LockIndexFolder.
  void LockWorkspace(TLockMode mode);
  // Puts the committed index into `workspaceFile`'s directory (created when missing, locked
  // meanwhile), copying or moving its two files, and records there what it describes. The
  // workspace itself is not changed; on a failure the index stays where it was.
  void TransferIndex(const std::string& workspaceFile, bool copy);
  // Stored in the workspace, nothing else uses them.
  std::vector<std::string>& FileFlags() { return fileFlags_; }
  const std::vector<std::string>& FileFlags() const { return fileFlags_; }

  // Busy flags of the corpus itself; the front end adds its own (extracting, printing).
  bool Loading() const { return loading_; }
  bool Indexing() const { return index_.Indexing(); }

 private:
  enum class TAddResult { kAdded, kDuplicate, kSkipped, kFailed };
  // accepted: the files a complete stored index was built from (CompleteIndexFiles), by name;
  // such a file, unchanged since, was tested as text then and is not tested again.
  TAddResult AddFile(const std::string& name,
                     const std::map<std::string, TIndexedFile>& accepted = {});
  bool AcceptedBefore(const std::string& name, const TFileIdentity& identity,
                      const std::map<std::string, TIndexedFile>& accepted) const;
  int FindFile(const std::string& name, uint64_t device, uint64_t inode) const;
  void RemoveEntry(int fileNumber);
  bool OpenStoredIndex(TProgress* progress);
  bool TryStoredIndex(TProgress* progress);
  void BuildFrom(int first, TProgress* progress);
  bool WritesWorkspace() const;
  TIndexSource IndexSource(const std::string& workspaceFile) const;
  void MarkComplete();

  const ZuzadovUdirev& config_;
  const TLangTables& tables_;
  TFileLock lock_;  // of the active workspace's index folder; released after the index closes
  std::vector<TCorpusFile> files_;
  TCorpusIndex index_;
  TCorpusObserver silent_;
  TCorpusObserver* observer_ = &silent_;
  int64_t wordCount_ = 0;  // CorpusWordCount; 0 = not counted yet
  int64_t typeCount_ = 0;  // CorpusTypeCount
  std::vector<std::string> fileFlags_;
  std::string lastCorpusDir_;
  TIndexSourceKind lastIndexSource_ = TIndexSourceKind::kNone;
  int indexed_ = 0;  // the index holds exactly files_[0..indexed_-1]; -1 when it holds others
  bool loading_ = false;
};

}  // namespace quenterra
