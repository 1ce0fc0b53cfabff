#include "corpus/SeqIndex.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "platform/Coding.h"
#include "platform/Errors.h"

namespace quenterra {

TSeqIndex::TSeqIndex(const std::string& fileName, TIndexFileMode mode) : file_(fileName, mode) {
  if (mode != TIndexFileMode::kOpen) WriteEmptyHeader();
  ReadHeader();
}

void TSeqIndex::Damaged() const { throw EQuenterra("SeqIndex: Index file is damaged."); }

void TSeqIndex::WriteEmptyHeader() {
  char header[kSeqHeaderFixedSize] = {};
  std::memcpy(header, kSeqMagic, sizeof kSeqMagic);
  EncodeFixed16(header + 4, kSeqMajorVersion);
  EncodeFixed16(header + 6, kSeqMinorVersion);
  EncodeFixed32(header + 8, kSeqDataOffset);
  file_.SetSize(kSeqDataOffset);
  file_.WriteAt(0, header, sizeof header);
}

void TSeqIndex::ReadHeader() {
  char header[kSeqHeaderFixedSize];
  size_t got = file_.ReadAt(0, header, sizeof header);
  if (got < 4 || std::memcmp(header, kSeqMagic, 4) != 0) {
    throw EQuenterra("SeqIndex: Invalid file type.");
  }
  if (got < 8 || DecodeFixed16(header + 4) != kSeqMajorVersion ||
      DecodeFixed16(header + 6) != kSeqMinorVersion) {
    throw EQuenterra("SeqIndex: Invalid version.");
  }
  if (got < sizeof header) Damaged();
  dataOffset_ = DecodeFixed32(header + 8);
  count_ = DecodeFixed32(header + 12);
  uint32_t files = DecodeFixed32(header + 20);
  if (dataOffset_ != kSeqDataOffset || files > kMaxIndexFiles || count_ > INT32_MAX ||
      file_.Size() < uint64_t{dataOffset_} + uint64_t{count_} * kSeqEntrySize ||
      (count_ > 0 && files == 0)) {
    Damaged();
  }
  std::vector<char> table(size_t{files} * 4);
  if (file_.ReadAt(kSeqHeaderFixedSize, table.data(), table.size()) != table.size()) Damaged();
  fileStarts_.SetCount(static_cast<int>(files));
  uint32_t previous = 0;
  for (uint32_t i = 0; i < files; ++i) {
    uint32_t start = DecodeFixed32(table.data() + 4 * i);
    // The first file starts at 0; later ones follow in order and never pass the end.
    if ((i == 0 && start != 0) || start < previous || start > count_) Damaged();
    fileStarts_.Items()[i] = previous = start;
  }
  cacheClean_ = true;
  cacheFirst_ = cacheCount_ = 0;
}

void TSeqIndex::CheckPosition(int32_t position) const {
  if (position < 0 || static_cast<uint32_t>(position) >= count_) {
    throw EQuenterra("SeqIndex: Position out of bounds.");
  }
}

void TSeqIndex::WriteBack() {
  if (cacheClean_) return;
  file_.WriteAt(dataOffset_ + uint64_t{kSeqEntrySize} * static_cast<uint32_t>(cacheFirst_),
                cache_.data(), static_cast<size_t>(cacheCount_) * kSeqEntrySize);
  cacheClean_ = true;
}

void TSeqIndex::Reach(int32_t position) {
  WriteBack();
  int32_t first = position / kSeqCacheEntries * kSeqCacheEntries;
  int32_t count = std::min<int32_t>(kSeqCacheEntries, static_cast<int32_t>(count_) - first);
  size_t bytes = static_cast<size_t>(count) * kSeqEntrySize;
  if (file_.ReadAt(dataOffset_ + uint64_t{kSeqEntrySize} * static_cast<uint32_t>(first),
                   cache_.data(), bytes) != bytes) {
    Damaged();
  }
  cacheFirst_ = first;
  cacheCount_ = count;
}

void TSeqIndex::Add(uint32_t tokenId, uint32_t fileNumber, uint32_t sourceOffset) {
  if (count_ >= INT32_MAX) throw EQuenterra("SeqIndex: Too many positions.");
  int32_t end = static_cast<int32_t>(count_);
  if (cacheFirst_ + cacheCount_ != end || cacheCount_ == kSeqCacheEntries) {
    if (end % kSeqCacheEntries == 0) {
      // A new block: nothing of it is on file to load.
      WriteBack();
      cacheFirst_ = end;
      cacheCount_ = 0;
    } else {
      Reach(end);
    }
  }
  while (static_cast<uint32_t>(fileStarts_.Count()) <= fileNumber) {
    if (static_cast<uint32_t>(fileStarts_.Count()) >= kMaxIndexFiles) {
      throw EQuenterra("SeqIndex: Max files limit reached.");
    }
    fileStarts_.Add(count_);
  }
  char* entry = cache_.data() + static_cast<size_t>(cacheCount_) * kSeqEntrySize;
  EncodeFixed32(entry, tokenId);
  EncodeFixed32(entry + 4, sourceOffset);
  ++cacheCount_;
  ++count_;
  cacheClean_ = false;
}

uint32_t TSeqIndex::TokenAt(int32_t position) {
  CheckPosition(position);
  if (position >= cacheFirst_ && position < cacheFirst_ + cacheCount_) {
    return DecodeFixed32(cache_.data() +
                         static_cast<size_t>(position - cacheFirst_) * kSeqEntrySize);
  }
  // Every entry outside the cache is on file: read it in place.
  const uint64_t offset = dataOffset_ + uint64_t{kSeqEntrySize} * static_cast<uint32_t>(position);
  const char* entry = file_.View(offset, 4);
  if (entry == nullptr) Damaged();
  return DecodeFixed32(entry);
}

uint32_t TSeqIndex::SourceOffsetAt(int32_t position) {
  CheckPosition(position);
  Reach(position);
  return DecodeFixed32(cache_.data() + static_cast<size_t>(position - cacheFirst_) * kSeqEntrySize +
                       4);
}

int32_t TSeqIndex::FileOf(int32_t position) const {
  CheckPosition(position);
  const uint32_t* begin = fileStarts_.Items();
  const uint32_t* end = begin + fileStarts_.Count();
  return static_cast<int32_t>(std::upper_bound(begin, end, static_cast<uint32_t>(position)) -
                              begin) -
         1;
}

std::pair<int32_t, int32_t> TSeqIndex::GetFileRange(int32_t fileNumber) const {
  if (fileNumber < 0) throw EQuenterra("SeqIndex: File index out of bounds.");
  int32_t files = FileCount();
  int32_t end = static_cast<int32_t>(count_);
  if (fileNumber >= files) return {end, end};
  int32_t first = static_cast<int32_t>(fileStarts_.Items()[fileNumber]);
  int32_t next =
      fileNumber + 1 < files ? static_cast<int32_t>(fileStarts_.Items()[fileNumber + 1]) : end;
  return {first, next};
}

void TSeqIndex::Commit() {
  WriteBack();
  char counts[8];
  EncodeFixed32(counts, count_);
  EncodeFixed32(counts + 4, 0);  // reserved
  file_.WriteAt(12, counts, sizeof counts);
  std::vector<char> table(4 + size_t{4} * static_cast<size_t>(fileStarts_.Count()));
  EncodeFixed32(table.data(), static_cast<uint32_t>(fileStarts_.Count()));
  for (int i = 0; i < fileStarts_.Count(); ++i) {
    EncodeFixed32(table.data() + 4 + 4 * i, fileStarts_.Items()[i]);
  }
  file_.WriteAt(20, table.data(), table.size());
  file_.Flush();
}

}  // namespace quenterra
