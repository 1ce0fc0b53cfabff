#include "corpus/TextIndex.h"

#include <algorithm>
#include <array>
#include <cstring>

#include "platform/Coding.h"
#include "platform/Errors.h"

namespace quenterra {

namespace {
constexpr size_t kMaxTokenLength = 255;
constexpr size_t kTokenRecordFixed = 1 + 2 + 12;  // kind, length, frequency, first, last
// Texts are short: a loop beats a call to memcmp.
bool SameBytes(const char* a, const char* b, size_t n) {
  for (size_t i = 0; i < n; ++i) {
    if (a[i] != b[i]) return false;
  }
  return true;
}

}  // namespace

uint32_t* TTextIndex::TBufferPool::Take() {
  const size_t block = used_ / kBlockBuffers;
  if (block == blocks_.size())
    blocks_.push_back(AllocateHuge(kBlockBuffers * kLargeBuffer * sizeof(uint32_t)));
  auto* buffers = reinterpret_cast<uint32_t*>(blocks_[block].get());
  return buffers + used_++ % kBlockBuffers * kLargeBuffer;
}

const char* TTextIndex::TTextStore::Add(std::string_view text) {
  if (used_ + text.size() + 1 > kBlockSize) {
    blocks_.push_back(std::make_unique_for_overwrite<char[]>(kBlockSize));
    used_ = 0;
  }
  char* at = blocks_.back().get() + used_;
  std::memcpy(at, text.data(), text.size());
  at[text.size()] = '\0';
  used_ += text.size() + 1;
  return at;
}

TTextIndex::TTextIndex(const std::string& pageFileName, const TProgressCallback& progress,
                       TIndexFileMode mode, bool tagBefore, bool countPairs,
                       const std::string& seqFileName, TIndexContents contents)
    : page_(pageFileName, mode),
      seq_(seqFileName, mode),
      countPairs_(countPairs),
      tagBefore_(tagBefore),
      contents_(mode == TIndexFileMode::kTemporary ? contents : TIndexContents::kFull),
      pairs_(kFirstPairs, TPairCount()) {
  if (mode != TIndexFileMode::kOpen) {
    modified_ = true;
    pairsCurrent_ = countPairs_;
    return;
  }
  ReadTokenTable(progress);
  if (countPairs_ && page_.PairTableRoot() > 0) {
    ReadPairTable();
    pairsCurrent_ = true;
  }
}

TTextIndex::~TTextIndex() = default;

void TTextIndex::RequireOccurrences() const {
  if (contents_ != TIndexContents::kFull)
    throw EQuenterra("TextIndex: The index holds no occurrence lists.");
}

void TTextIndex::Damaged() { throw EQuenterra("TextIndex: Index file is damaged."); }

uint32_t TTextIndex::Lookup(std::string_view text, uint8_t kind, uint32_t hash) const {
  return table_.Find(hash, [&](uint32_t id) {
    const TIndexToken& token = tokens_[id];
    return token.length == text.size() && token.kind == kind &&
           SameBytes(token.text, text.data(), text.size());
  });
}

TIndexToken& TTextIndex::NewToken(std::string_view text, uint8_t kind, uint32_t hash) {
  if (tokens_.size() >= INT32_MAX) throw EQuenterra("TextIndex: Too many tokens.");
  TIndexToken& token = tokens_.Append();
  if (text.size() < TIndexToken::kInlineText) {
    std::memcpy(token.inlineText, text.data(), text.size());
    token.inlineText[text.size()] = '\0';
    token.text = token.inlineText;
  } else {
    token.text = texts_.Add(text);
  }
  token.length = static_cast<uint8_t>(text.size());
  token.kind = kind;
  table_.Insert(hash, token.id);
  return token;
}

const TIndexToken& TTextIndex::GetToken(uint32_t id) const {
  if (id >= tokens_.size()) throw EQuenterra("TextIndex: Token index out of bounds.");
  return tokens_[id];
}

const TIndexToken* TTextIndex::FindToken(std::string_view text, uint8_t kind) const {
  if (text.empty() || text.size() > kMaxTokenLength || text.find('\0') != text.npos) {
    return nullptr;
  }
  const uint32_t id = Lookup(text, kind, TTokenTable::Hash(text, kind));
  return id == TTokenTable::kNone ? nullptr : &tokens_[id];
}

void TTextIndex::BeginModification() {
  // The stored tables no longer describe the index; both are written anew at the next commit.
  if (page_.TokenTableRoot() > 0) page_.FreeChain(static_cast<uint32_t>(page_.TokenTableRoot()));
  if (page_.PairTableRoot() > 0) page_.FreeChain(static_cast<uint32_t>(page_.PairTableRoot()));
  page_.SetTokenTableRoot(0);
  page_.SetPairTableRoot(-1);
  modified_ = true;
}

uint32_t TTextIndex::AddToken(const char* text, uint8_t kind, int64_t sourceOffset,
                              uint32_t fileNumber) {
  if (text == nullptr) throw EQuenterra("TextIndex: Invalid token.");
  const std::string_view view(text, strnlen(text, kMaxTokenLength + 1));
  return Add(view, kind, sourceOffset, fileNumber, TTokenTable::Hash(view, kind));
}

// Adding a token waits for memory three times: for its slot, for the entry the slot names and
// for the entry's position buffer (and, with word tags, once more for a pair count). While one
// token is added, the slot of the token kSlotAhead
// places on, the entry of the one kEntryAhead places on and the buffer of the one kBufferAhead
// places on are fetched, so that the waits overlap the work.
void TTextIndex::AddTokens(std::span<const TTokenRef> tokens) {
  constexpr size_t kSlotAhead = 16;
  constexpr size_t kEntryAhead = 8;
  constexpr size_t kBufferAhead = 4;  // and the pair count the token likely ends
  const size_t n = tokens.size();
  std::vector<uint32_t>& hashes = batchHashes_;
  hashes.resize(n);
  const auto slotAt = [&](size_t i) {
    hashes[i] = TTokenTable::Hash(tokens[i].text, tokens[i].kind);
    table_.Prefetch(hashes[i]);
  };
  const auto entryAt = [&](size_t i) {
    const uint32_t id = table_.Candidate(hashes[i]);
    if (id < tokens_.size()) PrefetchLine(&tokens_[id]);
  };
  const auto bufferAt = [&](size_t i) {
    const uint32_t id = table_.Candidate(hashes[i]);
    if (id >= tokens_.size()) return;
    const TIndexToken& token = tokens_[id];
    if (token.buffer != nullptr) PrefetchLine(token.buffer + token.count);
    if (i > 0 && countPairs_ && pairsCurrent_)
      PrefetchPair(tokens[i - 1], tokens[i], hashes[i - 1], id);
  };
  for (size_t i = 0; i < std::min(n, kSlotAhead); ++i) slotAt(i);
  for (size_t i = 0; i < std::min(n, kEntryAhead); ++i) entryAt(i);
  for (size_t i = 0; i < std::min(n, kBufferAhead); ++i) bufferAt(i);
  for (size_t i = 0; i < n; ++i) {
    if (i + kSlotAhead < n) slotAt(i + kSlotAhead);
    if (i + kEntryAhead < n) entryAt(i + kEntryAhead);
    if (i + kBufferAhead < n) bufferAt(i + kBufferAhead);
    const TTokenRef& token = tokens[i];
    Add(token.text, token.kind, token.sourceOffset, token.fileNumber, hashes[i]);
  }
}

uint32_t TTextIndex::Add(std::string_view text, uint8_t kind, int64_t sourceOffset,
                         uint32_t fileNumber, uint32_t hash) {
  if (kind == 0 || kind > 7 || text.empty() || text.size() > kMaxTokenLength) {
    throw EQuenterra("TextIndex: Invalid token.");
  }
  if (!modified_) BeginModification();
  const uint32_t id = Lookup(text, kind, hash);
  TIndexToken& token = id != TTokenTable::kNone ? tokens_[id] : NewToken(text, kind, hash);
  uint32_t position = static_cast<uint32_t>(seq_.Count());
  seq_.Add(token.id, fileNumber, static_cast<uint32_t>(sourceOffset));
  if (contents_ == TIndexContents::kFull) {
    AddOccurrence(token, position);
  } else {
    ++token.frequency;
  }
  if (countPairs_ && pairsCurrent_) PairingStep(fileNumber, token);
  return token.id;
}

void TTextIndex::AddOccurrence(TIndexToken& token, uint32_t position) {
  uint32_t f = token.frequency;
  if (f == 0) {
    token.first = position;
  } else if (f == 1) {
    token.last = position;
  } else {
    if (token.buffer == nullptr) {
      if (f == 2) {
        token.buffer = buffers_.Take();
        token.buffer[0] = token.first;
        token.buffer[1] = token.last;
        token.capacity = kSmallBuffer;
        token.count = 2;
        token.first = token.last = 0;
      } else {
        ContinueChain(token);
      }
    }
    if (token.count == token.capacity) {
      if (token.capacity == kSmallBuffer) {
        token.capacity = kLargeBuffer;  // the array always has room for 62
      } else {
        WriteBuffer(token);
      }
    }
    token.buffer[token.count++] = position;
  }
  token.frequency = f + 1;
}

// A token whose list is already on file (the index was opened or committed) gets a buffer
// again. When the last chunk is full, the buffer starts a new chunk after it; otherwise it
// starts as a copy of the last chunk and later overwrites that chunk, so the chain never needs
// the predecessor of its last chunk.
void TTextIndex::ContinueChain(TIndexToken& token) {
  TPageIndex::TChunkHeader last = page_.ReadChunkHeader(token.last, kChunkOccurrences);
  uint32_t lastCapacity = static_cast<uint32_t>(ChunkDataSize(last.pageCount) / 4);
  uint32_t inLast = token.frequency;
  if (last.next != 0) Damaged();
  if (token.first != token.last) {
    // Only a list's first chunk can be a 1-page one; all others hold 62.
    TPageIndex::TChunkHeader first = page_.ReadChunkHeader(token.first, kChunkOccurrences);
    uint32_t firstCapacity = static_cast<uint32_t>(ChunkDataSize(first.pageCount) / 4);
    if (last.pageCount != kLargeChunkPages || token.frequency <= firstCapacity) Damaged();
    inLast = (token.frequency - firstCapacity - 1) % kLargeBuffer + 1;
  }
  if (inLast > lastCapacity) Damaged();
  token.buffer = buffers_.Take();
  if (inLast == lastCapacity) {
    token.capacity = kLargeBuffer;
    token.count = 0;
    return;
  }
  char data[kLargeChunkData];
  size_t bytes = 0;
  page_.ReadChunk(token.last, kChunkOccurrences, data, bytes);
  for (uint32_t i = 0; i < inLast; ++i) token.buffer[i] = DecodeFixed32(data + 4 * i);
  token.capacity = static_cast<uint8_t>(lastCapacity);
  token.count = static_cast<uint8_t>(inLast);
  token.replacesLast = true;
}

void TTextIndex::WriteBuffer(TIndexToken& token) {
  uint8_t pageCount = token.capacity == kSmallBuffer ? kSmallChunkPages : kLargeChunkPages;
  char data[kLargeChunkData] = {};
  for (uint32_t i = 0; i < token.count; ++i) EncodeFixed32(data + 4 * i, token.buffer[i]);
  if (!token.replacesLast) {
    uint32_t page = page_.WriteChunk(kChunkOccurrences, pageCount, data, token.last);
    if (token.first == 0) token.first = page;
    token.last = page;
  } else if (page_.ReadChunkHeader(token.last, kChunkOccurrences).pageCount == pageCount) {
    page_.RewriteChunk(token.last, kChunkOccurrences, pageCount, data);
  } else {
    // A short list outgrew its only, 1-page chunk.
    uint32_t page = page_.WriteChunk(kChunkOccurrences, pageCount, data, 0);
    page_.FreeChain(token.last);
    token.first = token.last = page;
  }
  token.replacesLast = false;
  token.count = 0;
}

void TTextIndex::Commit() {
  if (!modified_) return;
  for (uint32_t id = 0; id < tokens_.size(); ++id) {
    TIndexToken& token = tokens_[id];
    if (token.buffer == nullptr) continue;
    WriteBuffer(token);
    token.buffer = nullptr;
    token.capacity = 0;
  }
  buffers_.ReleaseAll();
  WriteTokenTable();
  if (countPairs_ && pairsCurrent_) WritePairTable();
  seq_.Commit();
  page_.WriteHeader();
  modified_ = false;
}

void TTextIndex::CopyFilesTo(const std::string& seqFileName, const std::string& pageFileName) {
  RequireOccurrences();
  Commit();
  seq_.CopyTo(seqFileName);
  page_.CopyTo(pageFileName);
}

void TTextIndex::WriteTokenTable() {
  TChunkStream stream(page_, TChunkStream::TMode::kWrite, kChunkTokenTable);
  stream.WriteU32(static_cast<uint32_t>(tokens_.size()));
  char record[kTokenRecordFixed + kMaxTokenLength];
  for (uint32_t id = 0; id < tokens_.size(); ++id) {
    const TIndexToken& token = tokens_[id];
    record[0] = static_cast<char>(token.kind);
    EncodeFixed16(record + 1, token.length);
    std::memcpy(record + 3, token.text, token.length);
    char* tail = record + 3 + token.length;
    EncodeFixed32(tail, token.frequency);
    EncodeFixed32(tail + 4, token.first);
    EncodeFixed32(tail + 8, token.last);
    stream.Write(record, kTokenRecordFixed + token.length);
  }
  page_.SetTokenTableRoot(static_cast<int32_t>(stream.Finish()));
}

void TTextIndex::ReadTokenTable(const TProgressCallback& progress) {
  int32_t root = page_.TokenTableRoot();
  if (root > 0) {
    TChunkStream stream(page_, TChunkStream::TMode::kRead, kChunkTokenTable,
                        static_cast<uint32_t>(root));
    try {
      uint32_t count = stream.ReadU32();
      if (count > page_.PageCount() * kPageSize / kTokenRecordFixed) Damaged();
      if (progress) progress(true, count);
      for (uint32_t id = 0; id < count; ++id) {
        ReadTokenRecord(stream, id);
        if (progress) progress(false, id);
      }
    } catch (const EFileError&) {
      Damaged();  // the chain ended inside the table
    }
  }
  int64_t total = 0;
  for (uint32_t id = 0; id < tokens_.size(); ++id) total += tokens_[id].frequency;
  if (total != seq_.Count()) Damaged();
}

void TTextIndex::ReadTokenRecord(TByteStream& stream, uint32_t id) {
  char head[3];
  stream.ReadExact(head, sizeof head);
  uint8_t kind = static_cast<uint8_t>(head[0]);
  uint16_t length = DecodeFixed16(head + 1);
  if (kind == 0 || kind > 7 || length == 0 || length > kMaxTokenLength) Damaged();
  char text[kMaxTokenLength + 1];
  stream.ReadExact(text, length);
  text[length] = '\0';
  if (std::memchr(text, '\0', length) != nullptr) Damaged();
  char tail[12];
  stream.ReadExact(tail, sizeof tail);
  uint32_t frequency = DecodeFixed32(tail);
  uint32_t first = DecodeFixed32(tail + 4);
  uint32_t last = DecodeFixed32(tail + 8);
  uint32_t positions = static_cast<uint32_t>(seq_.Count());
  bool inPlace = frequency <= 2;
  if ((inPlace && frequency >= 1 && first >= positions) ||
      (frequency == 2 && (last >= positions || last <= first)) ||
      (!inPlace && (first < kHeaderPages || last < kHeaderPages))) {
    Damaged();
  }
  const std::string_view view(text, length);
  const uint32_t hash = TTokenTable::Hash(view, kind);
  if (Lookup(view, kind, hash) != TTokenTable::kNone) Damaged();  // the same token twice
  TIndexToken& token = NewToken(view, kind, hash);
  if (token.id != id) Damaged();
  token.frequency = frequency;
  token.first = first;
  token.last = last;
}

// Positions on file come first: the chain holds frequency - count of them (with a copied last
// chunk the buffer repeats that chunk's, and the prefix skips it); the buffer holds the rest.
void TTextIndex::AppendOccurrences(const TIndexToken& token, TDWordsList& list) {
  uint32_t f = token.frequency;
  if (f == 0) return;
  int at = list.Count();
  if (int64_t{at} + f > INT32_MAX) throw EQuenterra("TextIndex: Too many positions.");
  list.SetCount(at + static_cast<int>(f));
  uint32_t* items = list.Items() + at;
  if (f <= 2) {
    items[0] = token.first;
    if (f == 2) items[1] = token.last;
    return;
  }
  uint32_t onFile = f - token.count;
  if (onFile > 0) {
    char* bytes = reinterpret_cast<char*>(items);
    size_t size = size_t{onFile} * 4;
    if (page_.ReadChain(token.first, kChunkOccurrences, bytes, size) != size) Damaged();
    for (uint32_t i = 0; i < onFile; ++i) items[i] = DecodeFixed32(bytes + 4 * i);
  }
  if (token.count > 0) std::copy_n(token.buffer, token.count, items + onFile);
  uint32_t end = static_cast<uint32_t>(seq_.Count());
  for (uint32_t i = 0; i < f; ++i) {
    if (items[i] >= end || (i > 0 && items[i] <= items[i - 1])) Damaged();
  }
}

uint32_t TTextIndex::TokenAt(int32_t position) {
  uint32_t id = seq_.TokenAt(position);
  if (id >= tokens_.size()) Damaged();
  return id;
}

uint8_t TTextIndex::KindAt(int32_t position) { return tokens_[TokenAt(position)].kind; }

}  // namespace quenterra
