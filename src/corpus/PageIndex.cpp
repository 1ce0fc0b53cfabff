#include "corpus/PageIndex.h"

#include <algorithm>
#include <cstring>
#include <unordered_set>
#include <vector>

#include "platform/Coding.h"
#include "platform/Errors.h"

namespace quenterra {

namespace {
constexpr uint64_t kHeaderSize = uint64_t{kHeaderPages} * kPageSize;
constexpr uint64_t kMaxPages = UINT32_MAX;  // page numbers are u32
}  // namespace

TPageIndex::TPageIndex(const std::string& fileName, TIndexFileMode mode) : file_(fileName, mode) {
  if (mode != TIndexFileMode::kOpen) WriteEmptyHeader();
  ReadHeader();
}

void TPageIndex::Damaged() const { throw EQuenterra("PageIndex: Index file is damaged."); }

void TPageIndex::WriteEmptyHeader() {
  char header[28] = {};
  std::memcpy(header, kPageMagic, sizeof kPageMagic);
  EncodeFixed16(header + 4, kPageMajorVersion);
  EncodeFixed16(header + 6, kPageMinorVersion);
  EncodeFixed32(header + 8, kHeaderPages);
  EncodeFixed32(header + 24, static_cast<uint32_t>(-1));  // no pair table
  file_.SetSize(kHeaderSize);
  file_.WriteAt(0, header, sizeof header);
}

void TPageIndex::ReadHeader() {
  char header[28];
  size_t got = file_.ReadAt(0, header, sizeof header);
  if (got < 4 || std::memcmp(header, kPageMagic, 4) != 0) {
    throw EQuenterra("PageIndex: Invalid file type.");
  }
  minorVersion_ = got < 8 ? 0xFFFF : DecodeFixed16(header + 6);
  if (got < 8 || DecodeFixed16(header + 4) != kPageMajorVersion || minorVersion_ > 1) {
    throw EQuenterra("PageIndex: Invalid version.");
  }
  if (got < sizeof header || file_.Size() < kHeaderSize ||
      DecodeFixed32(header + 8) != kHeaderPages) {
    Damaged();
  }
  freeHead_ = DecodeFixed32(header + 12);
  freeTail_ = DecodeFixed32(header + 16);
  tokenRoot_ = static_cast<int32_t>(DecodeFixed32(header + 20));
  pairRoot_ = minorVersion_ >= 1 ? static_cast<int32_t>(DecodeFixed32(header + 24)) : 0;
  if ((freeHead_ == 0) != (freeTail_ == 0) || tokenRoot_ < 0) Damaged();
  freeLoaded_ = false;
}

void TPageIndex::WriteHeader() {
  char header[24];
  EncodeFixed16(header, kPageMajorVersion);
  EncodeFixed16(header + 2, kPageMinorVersion);
  EncodeFixed32(header + 4, kHeaderPages);
  EncodeFixed32(header + 8, freeHead_);
  EncodeFixed32(header + 12, freeTail_);
  EncodeFixed32(header + 16, static_cast<uint32_t>(tokenRoot_));
  EncodeFixed32(header + 20, static_cast<uint32_t>(pairRoot_));
  file_.WriteAt(4, header, sizeof header);
  minorVersion_ = kPageMinorVersion;
  file_.Flush();
}

size_t TPageIndex::ReadRaw(uint32_t page, char* buffer, size_t size) {
  if (page < kHeaderPages || page >= PageCount()) Damaged();
  return file_.ReadAt(uint64_t{page} * kPageSize, buffer, size);
}

TPageIndex::TChunkHeader TPageIndex::ReadChunkHeader(uint32_t page, uint8_t kind) {
  char raw[kChunkHeaderSize];
  if (ReadRaw(page, raw, sizeof raw) != sizeof raw) Damaged();
  TChunkHeader header{static_cast<uint8_t>(raw[0]), static_cast<uint8_t>(raw[1]),
                      DecodeFixed32(raw + 4)};
  bool kindOk = kind == kAnyUsedChunk ? header.kind != kChunkFree : header.kind == kind;
  if (!kindOk || (header.pageCount != kSmallChunkPages && header.pageCount != kLargeChunkPages) ||
      uint64_t{page} + header.pageCount > PageCount()) {
    Damaged();
  }
  return header;
}

uint32_t TPageIndex::ReadChunk(uint32_t page, uint8_t kind, char* data, size_t& bytes) {
  char raw[kLargeChunkPages * kPageSize];
  size_t got = ReadRaw(page, raw, sizeof raw);
  if (got < kChunkHeaderSize) Damaged();
  uint8_t pageCount = static_cast<uint8_t>(raw[1]);
  if (static_cast<uint8_t>(raw[0]) != kind ||
      (pageCount != kSmallChunkPages && pageCount != kLargeChunkPages) ||
      got < size_t{pageCount} * kPageSize || uint64_t{page} + pageCount > PageCount()) {
    Damaged();
  }
  bytes = ChunkDataSize(pageCount);
  std::memcpy(data, raw + kChunkHeaderSize, bytes);
  return DecodeFixed32(raw + 4);
}

size_t TPageIndex::ReadChain(uint32_t first, uint8_t kind, char* data, size_t size) {
  char chunk[kLargeChunkData];
  size_t done = 0;
  uint64_t chunks = 0;
  for (uint32_t page = first; page != 0 && done < size;) {
    if (++chunks > MaxChainLength()) Damaged();
    size_t bytes = 0;
    uint32_t next = ReadChunk(page, kind, chunk, bytes);
    size_t take = std::min(bytes, size - done);
    std::memcpy(data + done, chunk, take);
    done += take;
    page = next;
  }
  return done;
}

void TPageIndex::WriteNext(uint32_t page, uint32_t next) {
  char raw[4];
  EncodeFixed32(raw, next);
  file_.WriteAt(uint64_t{page} * kPageSize + 4, raw, sizeof raw);
}

void TPageIndex::LoadFreeList() {
  if (freeLoaded_) return;
  free_.clear();
  freeSmall_.clear();
  freeLarge_.clear();
  uint32_t previous = 0;
  for (uint32_t page = freeHead_; page != 0;) {
    if (free_.size() >= MaxChainLength() || free_.count(page) != 0) Damaged();  // a loop
    TChunkHeader header = ReadChunkHeader(page, kChunkFree);
    free_[page] = TFreeLinks{previous, header.next};
    (header.pageCount == kSmallChunkPages ? freeSmall_ : freeLarge_).push_back(page);
    previous = page;
    page = header.next;
  }
  if (previous != freeTail_) Damaged();
  freeLoaded_ = true;
}

uint32_t TPageIndex::AllocChunk(uint8_t pageCount) {
  LoadFreeList();
  std::deque<uint32_t>& sized = pageCount == kSmallChunkPages ? freeSmall_ : freeLarge_;
  if (sized.empty()) {
    uint64_t page = PageCount();
    if (page + pageCount > kMaxPages) throw EQuenterra("PageIndex: Index file is full.");
    return static_cast<uint32_t>(page);
  }
  uint32_t page = sized.front();
  sized.pop_front();
  TFreeLinks links = free_.at(page);
  free_.erase(page);
  if (links.previous == 0) {
    freeHead_ = links.next;
  } else {
    WriteNext(links.previous, links.next);
    free_.at(links.previous).next = links.next;
  }
  if (links.next == 0) {
    freeTail_ = links.previous;
  } else {
    free_.at(links.next).previous = links.previous;
  }
  return page;
}

uint32_t TPageIndex::WriteChunk(uint8_t kind, uint8_t pageCount, const char* data,
                                uint32_t previous) {
  if (previous != 0 && (previous < kHeaderPages || previous >= PageCount())) Damaged();
  uint32_t page = AllocChunk(pageCount);
  if (previous != 0) WriteNext(previous, page);
  RewriteChunk(page, kind, pageCount, data);
  return page;
}

void TPageIndex::RewriteChunk(uint32_t page, uint8_t kind, uint8_t pageCount, const char* data) {
  char raw[kLargeChunkPages * kPageSize];
  raw[0] = static_cast<char>(kind);
  raw[1] = static_cast<char>(pageCount);
  EncodeFixed16(raw + 2, 0);
  EncodeFixed32(raw + 4, 0);
  std::memcpy(raw + kChunkHeaderSize, data, ChunkDataSize(pageCount));
  file_.WriteAt(uint64_t{page} * kPageSize, raw, size_t{pageCount} * kPageSize);
}

void TPageIndex::AppendFree(uint32_t page, uint8_t pageCount) {
  if (freeTail_ == 0) {
    freeHead_ = page;
  } else {
    free_.at(freeTail_).next = page;
  }
  free_[page] = TFreeLinks{freeTail_, 0};
  (pageCount == kSmallChunkPages ? freeSmall_ : freeLarge_).push_back(page);
  freeTail_ = page;
  char kind = static_cast<char>(kChunkFree);
  file_.WriteAt(uint64_t{page} * kPageSize, &kind, 1);
}

void TPageIndex::FreeChain(uint32_t first) {
  LoadFreeList();
  // Check the whole chain before changing anything: a damaged one must not corrupt the list.
  std::vector<std::pair<uint32_t, uint8_t>> chunks;
  std::unordered_set<uint32_t> seen;
  for (uint32_t page = first; page != 0;) {
    if (!seen.insert(page).second || free_.count(page) != 0) Damaged();  // a loop
    TChunkHeader header = ReadChunkHeader(page, kAnyUsedChunk);
    chunks.emplace_back(page, header.pageCount);
    page = header.next;
  }
  if (chunks.empty()) return;
  if (freeTail_ != 0) WriteNext(freeTail_, first);
  for (const auto& [page, pageCount] : chunks) AppendFree(page, pageCount);
}

TChunkStream::TChunkStream(TPageIndex& index, TMode mode, uint8_t kind, uint32_t first)
    : index_(index), mode_(mode), kind_(kind), first_(mode == TMode::kRead ? first : 0) {
  next_ = first_;
}

void TChunkStream::NotSupported() { throw EQuenterra("TChunkStream: Operation not supported."); }

bool TChunkStream::LoadNext() {
  if (next_ == 0) return false;
  if (++chunksRead_ > index_.MaxChainLength()) {
    throw EQuenterra("PageIndex: Index file is damaged.");
  }
  current_ = next_;
  next_ = index_.ReadChunk(current_, kind_, buffer_, valid_);
  offset_ = 0;
  return true;
}

size_t TChunkStream::Read(void* buffer, size_t count) {
  if (mode_ != TMode::kRead) NotSupported();
  char* out = static_cast<char*>(buffer);
  size_t done = 0;
  while (done < count) {
    if (offset_ == valid_ && !LoadNext()) break;
    size_t take = std::min(count - done, valid_ - offset_);
    std::memcpy(out + done, buffer_ + offset_, take);
    offset_ += take;
    done += take;
  }
  return done;
}

void TChunkStream::Write(const void* buffer, size_t count) {
  if (mode_ != TMode::kWrite || finished_) NotSupported();
  const char* in = static_cast<const char*>(buffer);
  while (count > 0) {
    size_t take = std::min(count, kLargeChunkData - offset_);
    std::memcpy(buffer_ + offset_, in, take);
    offset_ += take;
    in += take;
    count -= take;
    if (offset_ == kLargeChunkData) {
      current_ = index_.WriteChunk(kind_, kLargeChunkPages, buffer_, current_);
      if (first_ == 0) first_ = current_;
      offset_ = 0;
    }
  }
}

int64_t TChunkStream::Seek(int64_t offset, TSeekOrigin origin) {
  if (offset != 0 || origin != TSeekOrigin::kBegin) NotSupported();
  if (mode_ == TMode::kRead) {
    next_ = first_;
    current_ = 0;
    offset_ = valid_ = 0;
    chunksRead_ = 0;
  } else {
    if (first_ != 0) index_.FreeChain(first_);
    first_ = current_ = 0;
    offset_ = 0;
    finished_ = false;
  }
  return 0;
}

void TChunkStream::SetSize(int64_t) { NotSupported(); }

uint32_t TChunkStream::Finish() {
  if (mode_ != TMode::kWrite || finished_) NotSupported();
  if (offset_ > 0 || first_ == 0) {
    uint8_t pageCount = offset_ <= kSmallChunkData ? kSmallChunkPages : kLargeChunkPages;
    std::memset(buffer_ + offset_, 0, kLargeChunkData - offset_);
    current_ = index_.WriteChunk(kind_, pageCount, buffer_, current_);
    if (first_ == 0) first_ = current_;
    offset_ = 0;
  }
  finished_ = true;
  return first_;
}

}  // namespace quenterra
