// The state file beside a workspace's two index files. It holds what proves that the index files
// are the ones the last complete build wrote (the size and CRC-32C of each), and what that build
// read: the corpus files with the identity they had (size, modification time in nanoseconds,
// inode), and a fingerprint of the settings that decide how text splits into tokens. Opening a
// workspace uses the stored index only when all of it still holds; any difference (a damaged or
// swapped index file, an interrupted build, a corpus file changed, moved or gone, other splitting
// settings) means the index is not this corpus's, which the index files alone cannot tell.
//
// The index files carry nothing of this: their format stays as it is, so the pair of checksums
// here is the identity that binds the two files to this state file and to each other.
//
// Reading both index files whole at every opening would cost more than the work most commands
// do (a quarter of a gigabyte for 20 million positions), so each checksum comes with the file's
// stamp: its inode, modification and change times as they were while the checksum was taken. A
// file whose stamp is unchanged has not been written, renamed over or touched since (every such
// change sets its change time, which no tool can set back), so its checksum stands without
// reading it; any other file is read and summed. A stamp is recorded only on a file system whose
// times have sub-second resolution, and only once the file's times lie far enough in the past
// that a later change cannot fall into the same clock tick.
//
// Format (an INI file, like the workspace file):
//   [Index]
//   Complete=1             written once the build's files are in place; anything else (or no
//                          state file) is an index not to be used
//   Tokenisation=<hex>     TokenisationFingerprint() of the build
//   SeqSize=<bytes>        the sequence index file as the build left it
//   SeqCrc32c=<8 hex>
//   PageSize=<bytes>       the page index file as the build left it
//   PageCrc32c=<8 hex>
//   SeqStamp=<ino>:<mtime ns>:<ctime ns>   optional: each index file's inode and times when
//   PageStamp=...                          its checksum was taken (see below)
//   FileCount=n, File0...  the corpus files, in corpus order, relative to the workspace file's
//                          folder when they lie inside it, else absolute (counted lists, all n)
//   SizeCount=n, Size0...          their sizes in bytes
//   ModifiedCount=n, Modified0...  their modification times, nanoseconds since 1970
//   InodeCount=n, Inode0...        their inode numbers
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "corpus/LangTables.h"
#include "platform/Crc32c.h"
#include "settings/Settings.h"

namespace quenterra {

inline constexpr char kWorkspaceIndexStateName[] = "INDEX_STATE.ini";

// A corpus file as an index was built from it.
struct TIndexedFile {
  std::string name;  // as the state file stores it
  int64_t size = -1;
  int64_t modifiedNs = 0;
  uint64_t inode = 0;
  bool operator==(const TIndexedFile&) const = default;
};

// What an index was built from.
struct TIndexSource {
  std::vector<TIndexedFile> files;  // corpus order
  std::string tokenisation;         // TokenisationFingerprint()
  bool operator==(const TIndexSource&) const = default;
};

// The whole state file.
struct TIndexState {
  bool complete = false;
  TIndexSource source;
  TFileSum seq;          // the sequence index file
  TFileSum page;         // the page index file
  std::string seqStamp;  // FileStamp of each when its sum was taken; empty: none
  std::string pageStamp;
  bool operator==(const TIndexState&) const = default;
};

// A digest, in hex, of every setting that the word splitter and the index read when they build:
// the case table, the delimiters, the tag and word-tag settings, the skipped characters.
std::string TokenisationFingerprint(const ZuzadovUdirev& config, const TLangTables& tables);

// The state file's text, and the state read back from any text (never throws; what cannot be
// read leaves the state incomplete or its lists with entries that match nothing).
std::string IndexStateText(const TIndexState& state);
TIndexState ParseIndexState(std::string_view text);

// "<inode>:<mtime ns>:<ctime ns>" of the file, or empty when it cannot be read.
std::string FileStamp(const std::string& name);

// Records that the index files in directory `dir` (ending in '/'), already in place and on disk,
// are complete and were built from `source`: their checksums are computed now. Throws
// EFileError.
void MarkIndexComplete(const std::string& dir, const TIndexSource& source);
// True when the state file of `dir` records a complete index built from exactly `source` and
// both index files still have the size and checksum it records (read whole unless their stamps
// are unchanged).
bool IndexStateMatches(const std::string& dir, const TIndexSource& source);
// The corpus files as the state file of `dir` records them when it records a complete index
// built with these tokenisation settings; none otherwise. Never throws.
std::vector<TIndexedFile> CompleteIndexFiles(const std::string& dir,
                                             const std::string& tokenisation);

}  // namespace quenterra
