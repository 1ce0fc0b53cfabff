// The word-tag pair table of the text index: counting, storing, loading and recounting.
#include <algorithm>
#include <cstdlib>
#include <vector>

#include "corpus/TextIndex.h"
#include "platform/Coding.h"
#include "platform/Errors.h"

namespace quenterra {

namespace {

uint32_t PairSlot(int64_t wordId, int64_t tagId) {
  return static_cast<uint32_t>(std::llabs(wordId + tagId) % TTextIndex::kPairSlots);
}

int64_t PairKey(uint32_t wordId, uint32_t tagId) {
  return static_cast<int64_t>((uint64_t{tagId} << 32) | wordId);
}

size_t PairHome(int64_t key, size_t mask) {
  return static_cast<size_t>((static_cast<uint64_t>(key) * 0x9E3779B97F4A7C15ull) >> 32) & mask;
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

// A word followed by its tag (or, with tags before words, a tag followed by its word) is the
// usual pair; the ids are the tokens' likely ones, so a wrong guess only fetches a line in vain.
void TTextIndex::PrefetchPair(const TTokenRef& previous, const TTokenRef& token,
                              uint32_t previousHash, uint32_t id) const {
  const uint8_t firstKind = tagBefore_ ? kKindWordTag : kKindWord;
  const uint8_t secondKind = tagBefore_ ? kKindWord : kKindWordTag;
  if (previous.kind != firstKind || token.kind != secondKind) return;
  const uint32_t previousId = table_.Candidate(previousHash);
  if (previousId == TTokenTable::kNone) return;
  const int64_t key = tagBefore_ ? PairKey(id, previousId) : PairKey(previousId, id);
  PrefetchLine(&pairs_[PairHome(key, pairs_.size() - 1)]);
}

TTextIndex::TPairCount* TTextIndex::FindPair(int64_t key) {
  const size_t mask = pairs_.size() - 1;
  for (size_t i = PairHome(key, mask);; i = (i + 1) & mask) {
    if (pairs_[i].key == key || pairs_[i].key < 0) return &pairs_[i];
  }
}

const TTextIndex::TPairCount* TTextIndex::FindPair(int64_t key) const {
  return const_cast<TTextIndex*>(this)->FindPair(key);
}

void TTextIndex::CountPair(uint32_t wordId, uint32_t tagId) {
  const int64_t key = PairKey(wordId, tagId);
  TPairCount* entry = FindPair(key);
  if (entry->key < 0) {
    if (2 * (pairCount_ + 1) > pairs_.size()) {
      THugeVector<TPairCount> old(pairs_.size() * 2, TPairCount());
      old.swap(pairs_);
      for (const TPairCount& moved : old) {
        if (moved.key >= 0) *FindPair(moved.key) = moved;
      }
      entry = FindPair(key);
    }
    entry->key = key;
    ++pairCount_;
  }
  ++entry->count;
}

uint32_t TTextIndex::PairFreq(int32_t wordId, int32_t tagId) const {
  const TIndexToken& word = GetToken(static_cast<uint32_t>(wordId));
  if (tagId < 0 || !pairsCurrent_) return word.frequency;
  const TPairCount* entry =
      FindPair(PairKey(static_cast<uint32_t>(wordId), static_cast<uint32_t>(tagId)));
  return entry->key < 0 ? 0 : entry->count;
}

void TTextIndex::RebuildPairTable(const TProgressCallback& progress) {
  THugeVector<TPairCount>(kFirstPairs, TPairCount()).swap(pairs_);  // also when not counting
  pairCount_ = 0;
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
  // The file lists the pairs slot by slot, each slot's keys ascending: one sort of the entries
  // by (slot, key) gives that order.
  struct TRecord {
    uint32_t slot;
    int64_t key;
    uint32_t count;
  };
  std::vector<TRecord> records;
  records.reserve(pairCount_);
  for (const TPairCount& entry : pairs_) {
    if (entry.key < 0) continue;
    const int64_t word = static_cast<uint32_t>(entry.key);
    records.push_back({PairSlot(word, entry.key >> 32), entry.key, entry.count});
  }
  std::sort(records.begin(), records.end(), [](const TRecord& a, const TRecord& b) {
    return a.slot != b.slot ? a.slot < b.slot : a.key < b.key;
  });
  // The whole table in one buffer: 65536 small writes would dominate the commit.
  std::vector<char> bytes(4 + size_t{kPairSlots} * 4 + records.size() * 12);
  EncodeFixed32(bytes.data(), kPairSlots);
  char* at = bytes.data() + 4;
  size_t next = 0;
  for (uint32_t slot = 0; slot < kPairSlots; ++slot) {
    size_t end = next;
    while (end < records.size() && records[end].slot == slot) ++end;
    const size_t n = end - next;
    EncodeFixed32(at, static_cast<uint32_t>(n));
    char* keys = at + 4;
    char* counts = keys + n * 8;
    for (size_t i = 0; i < n; ++i) {
      EncodeFixed64(keys + 8 * i, static_cast<uint64_t>(records[next + i].key));
      EncodeFixed32(counts + 4 * i, records[next + i].count);
    }
    at = counts + n * 4;
    next = end;
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
      int64_t previous = -1;
      for (uint32_t i = 0; i < n; ++i) {
        int64_t key = static_cast<int64_t>(DecodeFixed64(bytes.data() + 8 * i));
        int64_t word = static_cast<int32_t>(static_cast<uint32_t>(key));
        int64_t tag = key >> 32;
        if (key <= previous || PairSlot(word, tag) != slot) Damaged();
        previous = key;
        const uint32_t count = DecodeFixed32(bytes.data() + size_t{n} * 8 + 4 * i);
        // Through CountPair, so that the table grows as it fills; then the stored count.
        CountPair(static_cast<uint32_t>(key), static_cast<uint32_t>(key >> 32));
        FindPair(key)->count = count;
      }
    }
  } catch (const EFileError&) {
    Damaged();  // the chain ended inside the table
  }
}

}  // namespace quenterra
