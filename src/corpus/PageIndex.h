// The page index file: a file of 32-byte pages that holds linked chunks. The text index keeps
// three kinds of chains in it: one occurrence list per token seen 3 times or more, the token
// table and the word-tag pair table. TChunkStream reads or writes one chain as a byte stream.
//
// File layout (little-endian). Page n begins at byte 32n; pages 0 to 7 are the header:
//
//   offset  size  field
//   0       4     magic "PIND"
//   4       u16   major version, 1
//   6       u16   minor version, 1 (0 is read too: such a file has no pair-table root)
//   8       u32   header pages, 8
//   12      u32   free-list head: first page of the first free chunk, 0 = empty list
//   16      u32   free-list tail: first page of the last free chunk, 0 = empty list
//   20      i32   token-table root: first page of the token-table chain, 0 = none
//   24      i32   pair-table root (minor 1 only): first page of its chain, -1 or 0 = none
//   28      228   unused
//
// Every other page belongs to a chunk: a run of 1 or 8 pages named by its first page.
//
//   offset  size       field
//   0       u8         kind: 0 free, 1 occurrence list, 2 token table, 3 pair table
//   1       u8         page count, 1 or 8
//   2       2          reserved, written 0
//   4       u32        next: first page of the next chunk of the chain, 0 = end
//   8       24 or 248  data
//
// A chain's content is the data of its chunks in chain order; its last chunk may have unused
// bytes, so every reader knows how much it wants. Chunk contents:
//
//   occurrence list  u32 positions, ascending; every chunk but the last is full
//   token table      u32 count; per token in id order: u8 kind, u16 length L, L bytes of text,
//                    u32 frequency, u32 first, u32 last
//   pair table       u32 slot count (65536); per slot: u32 n, n i64 keys (ascending; tag id in
//                    the high half, word id in the low half), n u32 counts
//
// Freed chunks form the free list, linked by their own next fields in the order they were
// freed; a chunk is reused only for a chunk of the same page count, and the file never shrinks.
//
// Nothing read from the file is trusted: every page number is checked against the file's
// length and every chain walk is bounded by the number of pages, so a damaged file raises
// "PageIndex: Index file is damaged." instead of reading out of bounds or looping.
#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <string>
#include <unordered_map>

#include "corpus/IndexFile.h"
#include "corpus/SynStream.h"
#include "platform/ByteStream.h"

namespace quenterra {

inline constexpr char kPageMagic[4] = {'P', 'I', 'N', 'D'};
inline constexpr uint16_t kPageMajorVersion = 1;
inline constexpr uint16_t kPageMinorVersion = 1;
inline constexpr uint32_t kPageSize = 32;
inline constexpr uint32_t kHeaderPages = 8;
inline constexpr uint32_t kChunkHeaderSize = 8;
inline constexpr uint8_t kSmallChunkPages = 1;
inline constexpr uint8_t kLargeChunkPages = 8;
inline constexpr size_t kSmallChunkData = kSmallChunkPages * kPageSize - kChunkHeaderSize;  // 24
inline constexpr size_t kLargeChunkData = kLargeChunkPages * kPageSize - kChunkHeaderSize;  // 248

// Chunk kinds.
inline constexpr uint8_t kChunkFree = 0;
inline constexpr uint8_t kChunkOccurrences = 1;
inline constexpr uint8_t kChunkTokenTable = 2;
inline constexpr uint8_t kChunkPairTable = 3;
inline constexpr uint8_t kAnyUsedChunk = 0xFF;  // for checks: any kind but free

// The data bytes of a chunk of pageCount pages.
constexpr size_t ChunkDataSize(uint8_t pageCount) {
  return size_t{pageCount} * kPageSize - kChunkHeaderSize;
}

class TPageIndex {
 public:
  struct TChunkHeader {
    uint8_t kind;
    uint8_t pageCount;
    uint32_t next;
  };

  // Opens fileName; with Create the file is emptied and given an empty header first. Throws
  // "PageIndex: Invalid file type." / "PageIndex: Invalid version." for a file that is not a page
  // index of version 1.0 or 1.1, "PageIndex: Index file is damaged." for an inconsistent header.
  TPageIndex(const std::string& fileName, TIndexFileMode mode);
  TPageIndex(const TPageIndex&) = delete;
  TPageIndex& operator=(const TPageIndex&) = delete;

  // Writes the version, the free list and both roots. A file read as version 1.0 becomes 1.1,
  // so that the pair-table root it now holds is read back.
  void WriteHeader();
  // Writes the gathered appends to the file.
  void Flush() { file_.Flush(); }

  int32_t TokenTableRoot() const { return tokenRoot_; }
  void SetTokenTableRoot(int32_t page) { tokenRoot_ = page; }
  int32_t PairTableRoot() const { return pairRoot_; }
  void SetPairTableRoot(int32_t page) { pairRoot_ = page; }

  // Pages the file holds (its length div 32).
  uint64_t PageCount() const { return file_.Size() / kPageSize; }

  // A chunk of pageCount pages: the first free one of that size, taken off the free list, or
  // a new one at the end of the file. Its pages are not written here.
  uint32_t AllocChunk(uint8_t pageCount);
  // Writes a new chunk of the kind holding ChunkDataSize(pageCount) bytes of data, links it
  // after previous (0: none) and returns its page.
  uint32_t WriteChunk(uint8_t kind, uint8_t pageCount, const char* data, uint32_t previous);
  // Overwrites the data of the chunk at page, which must be the last of its chain and have
  // pageCount pages.
  void RewriteChunk(uint32_t page, uint8_t kind, uint8_t pageCount, const char* data);
  // The checked header of the chunk at page, whose kind must be kind (or, for kAnyUsedChunk,
  // anything but free).
  TChunkHeader ReadChunkHeader(uint32_t page, uint8_t kind);
  // Reads the whole data area of the chunk at page, of the given kind, into data (room for
  // kLargeChunkData bytes); sets bytes to its size and returns the next page.
  uint32_t ReadChunk(uint32_t page, uint8_t kind, char* data, size_t& bytes);
  // Reads up to size bytes of the chain from first into data; returns the bytes read, fewer
  // only when the chain ends first.
  size_t ReadChain(uint32_t first, uint8_t kind, char* data, size_t size);
  // Appends the chain from first to the free list.
  void FreeChain(uint32_t first);

  // Bounds every chain walk: no chain has more chunks than the file has pages.
  uint64_t MaxChainLength() const { return PageCount(); }
  const std::string& FileName() const { return file_.FileName(); }
  uint64_t FileSize() const { return file_.Size(); }
  // See TIndexFile. CopyTo copies what was written.
  void SetFileName(const std::string& name) { file_.SetFileName(name); }
  void CopyTo(const std::string& name) { file_.CopyTo(name); }

 private:
  struct TFreeLinks {
    uint32_t previous;  // the free chunk before it, 0 for the head
    uint32_t next;      // the free chunk after it, 0 for the tail
  };

  void WriteEmptyHeader();
  void ReadHeader();
  void LoadFreeList();
  void AppendFree(uint32_t page, uint8_t pageCount);
  void WriteNext(uint32_t page, uint32_t next);
  size_t ReadRaw(uint32_t page, char* buffer, size_t size);
  [[noreturn]] void Damaged() const;

  TIndexFile file_;
  uint16_t minorVersion_ = kPageMinorVersion;
  uint32_t freeHead_ = 0;
  uint32_t freeTail_ = 0;
  int32_t tokenRoot_ = 0;
  int32_t pairRoot_ = -1;
  // The free list in memory, loaded on first use, so that taking the first chunk of a size
  // does not walk the list on file.
  bool freeLoaded_ = false;
  std::unordered_map<uint32_t, TFreeLinks> free_;  // by first page
  std::deque<uint32_t> freeSmall_;                 // 1-page free chunks, in list order
  std::deque<uint32_t> freeLarge_;                 // 8-page free chunks, in list order
};

// One chain of the page index as a sequential stream: read from its first page, or written
// chunk by chunk (8-page chunks as they fill, the last one 1 page when it holds at most 24
// bytes).
class TChunkStream : public TByteStream {
 public:
  enum class TMode { kRead, kWrite };

  // Read: the chain from first, whose chunks must be of the kind (first 0: an empty stream).
  // Write: a new chain of chunks of the kind; first is ignored.
  TChunkStream(TPageIndex& index, TMode mode, uint8_t kind, uint32_t first = 0);
  TChunkStream(const TChunkStream&) = delete;
  TChunkStream& operator=(const TChunkStream&) = delete;

  // Delivers fewer than count bytes only at the end of the chain.
  size_t Read(void* buffer, size_t count) override;
  void Write(const void* buffer, size_t count) override;
  // Only Seek(0, Begin): reading restarts at the first chunk; writing frees the chain written
  // so far and starts a new one. Everything else throws "TChunkStream: Operation not
  // supported.", as do SetSize and reading a stream opened for writing (or the reverse).
  int64_t Seek(int64_t offset, TSeekOrigin origin);
  void SetSize(int64_t size);

  // Writing: writes the bytes still buffered as the chain's last chunk and returns the chain's
  // first page (never 0: an empty stream writes one empty chunk). A stream destroyed without
  // Finish leaves its unfinished chain unreferenced.
  uint32_t Finish();
  uint32_t FirstPage() const { return first_; }

 private:
  [[noreturn]] static void NotSupported();
  bool LoadNext();

  TPageIndex& index_;
  TMode mode_;
  uint8_t kind_;    // of every chunk read or written
  uint32_t first_;  // first page of the chain; 0 until a chunk is written
  char buffer_[kLargeChunkData];
  size_t offset_ = 0;        // next byte to read or write in buffer_
  size_t valid_ = 0;         // bytes of buffer_ that hold data (reading)
  uint32_t current_ = 0;     // chunk in buffer_ (reading) or last written (writing)
  uint32_t next_ = 0;        // chunk to read next
  uint64_t chunksRead_ = 0;  // bounds the walk of a looping chain
  bool finished_ = false;
};

}  // namespace quenterra
