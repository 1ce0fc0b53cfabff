// The sequence index file: which token stands at each corpus position, and where each corpus
// file starts. Entries have a fixed size, so position p is found by arithmetic and read in place
// through the file's memory map (TIndexFile); new entries gather in a cache of one aligned block
// of 512 entries, which is written when it is full.
//
// File layout (little-endian):
//
//   offset  size      field
//   0       4         magic "SIND"
//   4       u16       major version, 1
//   6       u16       minor version, 0
//   8       u32       data offset, always kSeqDataOffset (16384)
//   12      u32       entry count N (the number of positions)
//   16      u32       reserved: written 0, ignored
//   20      u32       file count F, at most kMaxIndexFiles (4090)
//   24      F x u32   file-start table: the position of each file's first entry, ascending
//   16384   N x 8     entries; entry p at 16384 + 8p: u32 token id, u32 source offset
//
// The header area is 16384 bytes, so the file-start table holds at most (16384 - 24) / 4 = 4090
// files: the file limit of the whole system. A new file is 16384 bytes long with N = F = 0. The
// source offset is the token's byte offset in its file plus 255; the text window finds a
// position's text by it.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <utility>

#include "corpus/DWordList.h"
#include "corpus/IndexFile.h"

namespace quenterra {

inline constexpr char kSeqMagic[4] = {'S', 'I', 'N', 'D'};
inline constexpr uint16_t kSeqMajorVersion = 1;
inline constexpr uint16_t kSeqMinorVersion = 0;
inline constexpr uint32_t kSeqDataOffset = 16384;
inline constexpr uint32_t kSeqHeaderFixedSize = 24;  // up to the file-start table
inline constexpr uint32_t kSeqEntrySize = 8;
inline constexpr uint32_t kMaxIndexFiles = (kSeqDataOffset - kSeqHeaderFixedSize) / 4;
inline constexpr int32_t kSeqCacheEntries = 512;

class TSeqIndex {
 public:
  // Opens fileName; with Create the file is emptied and given an empty header first. Throws
  // EQuenterra "SeqIndex: Invalid file type." / "SeqIndex: Invalid version." for a file that is
  // not a sequence index of version 1.0, and "SeqIndex: Index file is damaged." when its header
  // contradicts itself or the file is shorter than its entries; EFileError when it cannot be
  // opened.
  TSeqIndex(const std::string& fileName, TIndexFileMode mode);
  TSeqIndex(const TSeqIndex&) = delete;
  TSeqIndex& operator=(const TSeqIndex&) = delete;

  // Appends the entry of position Count() for a token of file fileNumber. Files between the
  // last one seen and fileNumber get empty ranges. Throws "SeqIndex: Max files limit reached."
  // when that would make more than 4090 files; nothing is added then.
  void Add(uint32_t tokenId, uint32_t fileNumber, uint32_t sourceOffset);

  // The token id at position; requires 0 <= position < Count() (else throws "SeqIndex:
  // Position out of bounds."). The id is as stored: callers check it against their tokens.
  uint32_t TokenAt(int32_t position);
  // The source offset stored with position (the token's byte offset in its file plus 255); the
  // same requirement and error as TokenAt.
  uint32_t SourceOffsetAt(int32_t position);
  // The highest file number whose start is at most position; requires 0 <= position < Count().
  int32_t FileOf(int32_t position) const;
  // Files in the file-start table; trailing files that produced no token are not counted.
  int32_t FileCount() const { return fileStarts_.Count(); }
  // First position of the file and the first position after it. A file number at or past
  // FileCount() has the empty range (Count(), Count()).
  std::pair<int32_t, int32_t> GetFileRange(int32_t fileNumber) const;
  int32_t Count() const { return static_cast<int32_t>(count_); }

  // Writes the cached entries, the entry count and the file-start table.
  void Commit();
  const std::string& FileName() const { return file_.FileName(); }
  uint64_t FileSize() const { return file_.Size(); }
  // See TIndexFile. CopyTo copies what was committed.
  void SetFileName(const std::string& name) { file_.SetFileName(name); }
  void CopyTo(const std::string& name) { file_.CopyTo(name); }

 private:
  void WriteEmptyHeader();
  void ReadHeader();
  void CheckPosition(int32_t position) const;
  void Reach(int32_t position);  // loads the block of position into the cache, for Add
  void WriteBack();
  [[noreturn]] void Damaged() const;

  TIndexFile file_;
  TDWordsList fileStarts_;  // start position of each file, ascending
  uint32_t dataOffset_ = kSeqDataOffset;
  uint32_t count_ = 0;                                          // entries N
  std::array<char, kSeqCacheEntries * kSeqEntrySize> cache_{};  // entries as on file
  bool cacheClean_ = true;  // the cache holds nothing the file lacks
  int32_t cacheFirst_ = 0;  // position of the first cached entry
  int32_t cacheCount_ = 0;  // entries cached
};

}  // namespace quenterra
