// The word-tag pair table of the text index: counting, storing, loading and recounting.
#include <algorithm>
#include <cstdlib>
#include <vector>

#include "corpus/TextIndex.h"
#include "platform/Coding.h"
#include "platform/Errors.h"

namespace quenterra {

namespace {

constexpr int kPairListStart = 4;  // entries; slot lists are short, most hold a few pairs

uint32_t PairSlot(int64_t wordId, int64_t tagId) {
  return static_cast<uint32_t>(std::llabs(wordId + tagId) % TTextIndex::kPairSlots);
}

int64_t PairKey(uint32_t wordId, uint32_t tagId) {
  return static_cast<int64_t>((uint64_t{tagId} << 32) | wordId);
}

}  // namespace

void TTextIndex::ResetPairing() { pairFile_ = pendingWord_ = pendingTag_ = -1; }

void TTextIndex::PairingStep(uint32_t fileNumber, const TIndexToken& token) {
  if (pairFile_ != fileNumber) {
    pairFile_ = fileNumber;
    pendingWord_ = pendingTag_ = -1;
  }
  if (token.kind == kKindWord) {
    if (tagBefore_ && pendingTag_ >= 0) {
      CountPair(token.id, static_cast<uint32_t>(pendingTag_));
      pendingTag_ = -1;
    } else {
      pendingWord_ = token.id;
    }
  } else if (token.kind == kKindWordTag) {
    if (!tagBefore_ && pendingWord_ >= 0) {
      CountPair(static_cast<uint32_t>(pendingWord_), token.id);
      pendingWord_ = -1;
    } else {
      pendingTag_ = token.id;
    }
  }
}

void TTextIndex::CountPair(uint32_t wordId, uint32_t tagId) {
  std::unique_ptr<TQWordsList>& list = pairs_[PairSlot(wordId, tagId)];
  if (!list) {
    list = std::make_unique<TQWordsList>(kPairListStart);
    list->SetHasData(true);
    list->SetKeepSorted(true);
  }
  int64_t key = PairKey(wordId, tagId);
  int index = 0;
  if (list->Find(key, index)) {
    list->PutData(index, list->GetData(index) + 1);
    return;
  }
  // Double by hand: the list's own growth step is sized for position lists.
  if (list->Count() == list->Capacity()) list->SetCapacity(list->Capacity() * 2);
  list->AddWithData(key, 1);
}

uint32_t TTextIndex::PairFreq(int32_t wordId, int32_t tagId) const {
  const TIndexToken& word = GetToken(static_cast<uint32_t>(wordId));
  if (tagId < 0 || !pairsCurrent_) return word.frequency;
  const std::unique_ptr<TQWordsList>& list = pairs_[PairSlot(wordId, tagId)];
  int index = 0;
  if (!list ||
      !list->Find(PairKey(static_cast<uint32_t>(wordId), static_cast<uint32_t>(tagId)), index)) {
    return 0;
  }
  return list->GetData(index);
}

void TTextIndex::RebuildPairTable(const TProgressCallback& progress) {
  pairs_.clear();
  pairs_.resize(kPairSlots);  // also for an index that was not counting pairs
  int32_t count = seq_.Count();
  if (progress) progress(true, count / 1024);
  ResetPairing();
  for (int32_t file = 0; file < seq_.FileCount(); ++file) {
    auto [begin, end] = seq_.GetFileRange(file);
    for (int32_t position = begin; position < end; ++position) {
      if (position % 1024 == 0 && progress) progress(false, position / 1024);
      PairingStep(static_cast<uint32_t>(file), tokens_[TokenAt(position)]);
    }
  }
  pairsCurrent_ = true;
}

void TTextIndex::WritePairTable() {
  // The whole table in one buffer: 65536 small writes would dominate the commit.
  size_t size = 4 + size_t{kPairSlots} * 4;
  for (const auto& list : pairs_) size += list ? static_cast<size_t>(list->Count()) * 12 : 0;
  std::vector<char> bytes(size);
  EncodeFixed32(bytes.data(), kPairSlots);
  char* at = bytes.data() + 4;
  for (const auto& list : pairs_) {
    uint32_t n = list ? static_cast<uint32_t>(list->Count()) : 0;
    EncodeFixed32(at, n);
    char* keys = at + 4;
    char* counts = keys + size_t{n} * 8;
    for (uint32_t i = 0; i < n; ++i) {
      EncodeFixed64(keys + 8 * i, static_cast<uint64_t>(list->Items()[i]));
      EncodeFixed32(counts + 4 * i, list->GetData(static_cast<int>(i)));
    }
    at = counts + size_t{n} * 4;
  }
  TChunkStream stream(page_, TChunkStream::TMode::kWrite, kChunkPairTable);
  stream.Write(bytes.data(), bytes.size());
  page_.SetPairTableRoot(static_cast<int32_t>(stream.Finish()));
}

void TTextIndex::ReadPairTable() {
  TChunkStream stream(page_, TChunkStream::TMode::kRead, kChunkPairTable,
                      static_cast<uint32_t>(page_.PairTableRoot()));
  try {
    if (stream.ReadU32() != kPairSlots) throw EQuenterra("TextIndex: POSHashTable size diffres.");
    // Each pair takes 12 bytes of the chain, and the chain lies inside the file.
    uint64_t maxPairs = page_.PageCount() * kPageSize / 12;
    std::vector<char> bytes;
    for (uint32_t slot = 0; slot < kPairSlots; ++slot) {
      uint32_t n = stream.ReadU32();
      if (n == 0) continue;
      if (n > maxPairs || n > INT32_MAX / 2) Damaged();
      bytes.resize(size_t{n} * 12);
      stream.ReadExact(bytes.data(), bytes.size());
      auto list = std::make_unique<TQWordsList>(static_cast<int>(n));
      list->SetHasData(true);
      list->SetCount(static_cast<int>(n));
      for (uint32_t i = 0; i < n; ++i) {
        int64_t key = static_cast<int64_t>(DecodeFixed64(bytes.data() + 8 * i));
        int64_t word = static_cast<int32_t>(static_cast<uint32_t>(key));
        int64_t tag = key >> 32;
        if ((i > 0 && key <= list->Items()[i - 1]) || PairSlot(word, tag) != slot) Damaged();
        list->Items()[i] = key;
        list->PutData(static_cast<int>(i), DecodeFixed32(bytes.data() + size_t{n} * 8 + 4 * i));
      }
      list->SetKeepSorted(true);
      pairs_[slot] = std::move(list);
    }
  } catch (const EFileError&) {
    Damaged();  // the chain ended inside the table
  }
}

}  // namespace quenterra
