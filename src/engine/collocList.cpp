#include "engine/collocList.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdlib>
#include <numeric>
#include <utility>

#include "corpus/TextIndex.h"
#include "engine/RadixSort.h"
#include "engine/collocSortKeys.h"
#include "platform/Errors.h"

namespace quenterra {

namespace {

int CompareIds(const int32_t* a, const int32_t* b, int count) {
  for (int i = 0; i < count; ++i) {
    if (a[i] != b[i]) return a[i] < b[i] ? -1 : 1;
  }
  return 0;
}

bool Passes(const TCollocItem& item, int32_t minCount, bool useScore, double minScore) {
  return item.count >= minCount && (!useScore || ScorePasses(item.score, minScore));
}

const char* TokenText(const TTextIndex& index, int32_t id) {
  return index.GetToken(static_cast<uint32_t>(id)).text;
}

}  // namespace

TCollocationList::TCollocationList(const TTextIndex& index, const TLangTables& tables,
                                   int wordCount)
    : TCollocationList(index, tables, wordCount, TScoreMethod::kNone) {
  hashed_ = true;
  slots_.resize(kFirstSlots);
}

TCollocationList::TCollocationList(const TTextIndex& index, const TLangTables& tables,
                                   int wordCount, TScoreMethod scoreMethod)
    : index_(index),
      tables_(tables),
      wordCount_(wordCount),
      scoreMethod_(ValidScoreMethod(scoreMethod)) {
  if (wordCount < 1) throw EQuenterra("TCollocationList: Invalid word count.");
  // Packed ids run from 0 (for -1) to TokenCount(); the leading 1 bit needs the 64th.
  const int bits = std::bit_width(uint64_t{index.TokenCount()});
  if (wordCount * bits <= 63) keyBits_ = bits;
}

TCollocationList::~TCollocationList() = default;

uint32_t TCollocationList::HashValue(const int32_t* words, const int32_t* tags, int wordCount) {
  uint32_t sum = 0;  // unsigned: the sum wraps
  for (int i = 0; i < wordCount; ++i) sum += static_cast<uint32_t>(words[i]);
  if (tags != nullptr) {
    for (int i = 0; i < wordCount; ++i) sum += static_cast<uint32_t>(tags[i]);
  }
  // Negating the most negative sum needs 64 bits; 2^31 is a multiple of 65536 anyway.
  const int64_t value = static_cast<int32_t>(sum);
  return static_cast<uint32_t>(std::llabs(value) % kBucketCount);
}

// ---- Counting ----

uint64_t TCollocationList::PackKey(const int32_t* words, const int32_t* tags) const {
  if (keyBits_ == 0 || tags != nullptr) return 0;
  const int64_t top = index_.TokenCount();
  uint64_t key = 1;
  for (int i = 0; i < wordCount_; ++i) {
    const int64_t value = int64_t{words[i]} + 1;
    if (value < 0 || value > top) return 0;
    key = key << keyBits_ | static_cast<uint64_t>(value);
  }
  return key;
}

// A packed key is hashed whole; any other by FNV-1a over its ids.
uint64_t TCollocationList::KeyHash(const int32_t* words, const int32_t* tags,
                                   uint64_t packed) const {
  if (packed != 0) {
    const uint64_t hash = packed * 0x9E3779B97F4A7C15ull;
    return hash ^ (hash >> 29);
  }
  uint64_t hash = 14695981039346656037ull;
  for (int i = 0; i < wordCount_; ++i)
    hash = (hash ^ static_cast<uint32_t>(words[i])) * 1099511628211ull;
  if (tags != nullptr) {
    for (int i = 0; i < wordCount_; ++i)
      hash = (hash ^ static_cast<uint32_t>(tags[i])) * 1099511628211ull;
  }
  hash *= 0x9E3779B97F4A7C15ull;
  return hash ^ (hash >> 29);
}

bool TCollocationList::SameKey(const TCollocItem& item, const int32_t* words,
                               const int32_t* tags) const {
  if ((item.tags == nullptr) != (tags == nullptr)) return false;
  // Keys are a few ids: a loop beats a call to memcmp.
  for (int i = 0; i < wordCount_; ++i) {
    if (item.words[i] != words[i]) return false;
  }
  for (int i = 0; tags != nullptr && i < wordCount_; ++i) {
    if (item.tags[i] != tags[i]) return false;
  }
  return true;
}

size_t TCollocationList::Probe(const int32_t* words, const int32_t* tags, uint64_t hash,
                               uint64_t packed) const {
  const size_t mask = slots_.size() - 1;
  const auto low = static_cast<uint32_t>(hash);
  size_t i = static_cast<size_t>(hash >> 32) & mask;
  if (packed != 0) {
    while (slots_[i].item != kNoItem && slots_[i].key != packed) i = (i + 1) & mask;
    return i;
  }
  for (;; i = (i + 1) & mask) {
    const TSlot& slot = slots_[i];
    if (slot.item == kNoItem) return i;
    if (slot.hash == low && SameKey(items_[slot.item], words, tags)) return i;
  }
}

const TCollocItem* TCollocationList::Find(const int32_t* words, const int32_t* tags) const {
  RequireHash();
  const uint64_t packed = PackKey(words, tags);
  const TSlot& slot = slots_[Probe(words, tags, KeyHash(words, tags, packed), packed)];
  return slot.item == kNoItem ? nullptr : &items_[slot.item];
}

void TCollocationList::RequireHash() const {
  if (!Hashed()) throw EQuenterra("TCollocationList: The list has no hash.");
}

// Refiles the slots themselves: a packed key is hashed again without reading its item.
void TCollocationList::GrowHash() {
  THugeVector<TSlot> old(slots_.size() * 2);
  old.swap(slots_);
  const size_t mask = slots_.size() - 1;
  for (const TSlot& slot : old) {
    if (slot.item == kNoItem) continue;
    const TCollocItem& item = items_[slot.item];
    const uint64_t hash =
        slot.key != 0 ? KeyHash(nullptr, nullptr, slot.key) : KeyHash(item.words, item.tags, 0);
    size_t i = static_cast<size_t>(hash >> 32) & mask;
    while (slots_[i].item != kNoItem) i = (i + 1) & mask;
    slots_[i] = slot;
  }
}

// Files every hashed item in slots_ (which holds no item).
void TCollocationList::Rehash() {
  const size_t mask = slots_.size() - 1;
  for (size_t item = 0; item < items_.size(); ++item) {
    if (!items_[item].hashed) continue;
    const uint64_t packed = PackKey(items_[item].words, items_[item].tags);
    const uint64_t hash = KeyHash(items_[item].words, items_[item].tags, packed);
    size_t i = static_cast<size_t>(hash >> 32) & mask;
    while (slots_[i].item != kNoItem) i = (i + 1) & mask;
    slots_[i] = TSlot{packed, static_cast<uint32_t>(hash), static_cast<uint32_t>(item)};
  }
}

const int32_t* TCollocationList::StoreIds(const int32_t* ids) {
  const auto n = static_cast<size_t>(wordCount_);
  if (idBlockUsed_ + n > kIdBlock) {
    idBlocks_.push_back(std::make_unique_for_overwrite<int32_t[]>(std::max(kIdBlock, n)));
    idBlockUsed_ = 0;
  }
  int32_t* at = idBlocks_.back().get() + idBlockUsed_;
  std::copy_n(ids, n, at);
  idBlockUsed_ += n;
  return at;
}

TCollocItem TCollocationList::NewItem(const int32_t* words, const int32_t* tags) {
  TCollocItem item;
  item.words = StoreIds(words);
  if (tags != nullptr) item.tags = StoreIds(tags);
  return item;
}

void TCollocationList::Add(const int32_t* words, const int32_t* tags, int32_t position) {
  RequireHash();
  const uint64_t packed = PackKey(words, tags);
  const uint64_t hash = KeyHash(words, tags, packed);
  const size_t at = Probe(words, tags, hash, packed);
  if (slots_[at].item != kNoItem) {
    ++items_[slots_[at].item].count;
    return;
  }
  Insert(at, words, tags, position, hash, packed);
}

// In three passes over each block of keys: hash them all and fetch their slots; probe them in
// order, filing new items at once (a key met twice is found the second time) and fetching the
// found items; count the found ones.
void TCollocationList::AddBatch(const int32_t* words, const int32_t* tags, const int32_t* positions,
                                size_t count) {
  RequireHash();
  constexpr size_t kBlock = 32;
  uint64_t packed[kBlock], hashes[kBlock];
  uint32_t found[kBlock];
  const auto n = static_cast<size_t>(wordCount_);
  for (size_t first = 0; first < count; first += kBlock) {
    const size_t keys = std::min(kBlock, count - first);
    auto wordsOf = [&](size_t key) { return words + (first + key) * n; };
    auto tagsOf = [&](size_t key) { return tags != nullptr ? tags + (first + key) * n : nullptr; };
    for (size_t key = 0; key < keys; ++key) {
      packed[key] = PackKey(wordsOf(key), tagsOf(key));
      hashes[key] = KeyHash(wordsOf(key), tagsOf(key), packed[key]);
      __builtin_prefetch(&slots_[static_cast<size_t>(hashes[key] >> 32) & (slots_.size() - 1)]);
    }
    size_t foundCount = 0;
    for (size_t key = 0; key < keys; ++key) {
      const size_t at = Probe(wordsOf(key), tagsOf(key), hashes[key], packed[key]);
      const uint32_t item = slots_[at].item;
      if (item == kNoItem) {
        Insert(at, wordsOf(key), tagsOf(key), positions[first + key], hashes[key], packed[key]);
      } else {
        __builtin_prefetch(&items_[item].count, 1);
        found[foundCount++] = item;
      }
    }
    for (size_t i = 0; i < foundCount; ++i) ++items_[found[i]].count;
  }
}

TCountBatch::TCountBatch(TCollocationList& list, bool withTags)
    : list_(list),
      withTags_(withTags),
      wordCount_(static_cast<size_t>(list.WordCount())),
      words_(kKeys * wordCount_),
      tags_(withTags ? kKeys * wordCount_ : 0),
      positions_(kKeys) {}

void TCountBatch::Flush() {
  if (count_ == 0) return;
  list_.AddBatch(words_.data(), withTags_ ? tags_.data() : nullptr, positions_.data(), count_);
  count_ = 0;
}

void TCollocationList::Insert(size_t at, const int32_t* words, const int32_t* tags,
                              int32_t position, uint64_t hash, uint64_t packed) {
  if (items_.size() >= kNoItem - 1) throw EQuenterra("TCollocationList: Too many items.");
  TCollocItem item = NewItem(words, tags);
  item.count = 1;
  item.position = position;
  item.hashed = true;
  items_.push_back(item);
  slots_[at] = TSlot{packed, static_cast<uint32_t>(hash), static_cast<uint32_t>(items_.size() - 1)};
  if (2 * items_.size() > slots_.size()) GrowHash();
}

void TCollocationList::ReserveItems(size_t count, size_t keys) {
  items_.reserve(count);
  const size_t slots = std::bit_ceil(std::max(2 * keys, size_t{1}));  // at most half full
  if (!Hashed() || slots <= slots_.size()) return;
  slots_.assign(slots, TSlot{});
  Rehash();
}

uint32_t TCollocationList::FindExtra(const int32_t* words, const int32_t* tags) const {
  const TCollocItem* item = Find(words, tags);
  return item != nullptr ? item->extra : 0;
}

int32_t TCollocationList::FindAndCount(const int32_t* words, const int32_t* tags) {
  TCollocItem* item = const_cast<TCollocItem*>(Find(words, tags));
  return item != nullptr ? ++item->count : -1;
}

void TCollocationList::Append(const int32_t* words, const int32_t* tags, double score,
                              int32_t count) {
  TCollocItem item = NewItem(words, tags);
  item.score = score;
  item.count = count;
  items_.push_back(item);
}

const TCollocItem& TCollocationList::Item(int i) const {
  if (i < 0 || i >= Count()) throw EQuenterra("TCollocationList: List index out of bounds.");
  return items_[static_cast<size_t>(i)];
}

TCollocItem& TCollocationList::Item(int i) {
  return const_cast<TCollocItem&>(std::as_const(*this).Item(i));
}

void TCollocationList::ReleaseHash() {
  hashed_ = false;
  THugeVector<TSlot>().swap(slots_);
}

// ---- Ordering ----

void TCollocationList::Sort(TCollocSortKey key1, TCollocSortKey key2) {
  if (key1 == TCollocSortKey::kNone)
    throw EQuenterra("csNone is not allowed in CompareCollocReccords");
  sortKey1_ = key1;
  sortKey2_ = key2;
  if (key1 == TCollocSortKey::kScore && key2 == TCollocSortKey::kFreq) {
    SortByScoreAndFreq();
    return;
  }
  // The keys are read out of the items once (engine/collocSortKeys.h).
  const TSortColumn first(*this, key1), second(*this, key2);
  std::vector<uint32_t> order(items_.size());
  std::iota(order.begin(), order.end(), 0u);
  std::stable_sort(order.begin(), order.end(), [&](uint32_t a, uint32_t b) {
    const int order = first.Compare(a, b);
    if (order != 0 || key2 == TCollocSortKey::kNone) return order < 0;
    return second.Compare(a, b) < 0;
  });
  Reorder(order);
}

// The order every new list window starts in: score descending, scores within the tolerance
// equal, then count descending, then as they were. Where the scores fall into classes of equal
// ones (each class spans no more than the tolerance), radix sorts give that order in a few linear
// passes; otherwise the stable sort with the tolerance decides, over compact records.
void TCollocationList::SortByScoreAndFreq() {
  if (RadixSortByScoreAndFreq()) return;
  struct TRecord {
    double score;
    int32_t count;
    uint32_t item;
  };
  std::vector<TRecord> records(items_.size());
  for (size_t i = 0; i < items_.size(); ++i)
    records[i] = TRecord{items_[i].score, items_[i].count, static_cast<uint32_t>(i)};
  std::stable_sort(records.begin(), records.end(), [](const TRecord& a, const TRecord& b) {
    const int order = CompareScores(a.score, b.score);
    return order != 0 ? order < 0 : b.count < a.count;
  });
  std::vector<uint32_t> order(records.size());
  for (size_t i = 0; i < records.size(); ++i) order[i] = records[i].item;
  Reorder(order);
}

namespace {

constexpr uint64_t kSignBit = uint64_t{1} << 63;

// Unsigned keys that sort ascending as the values sort descending.
uint64_t DescendingKey(double score) {
  const auto bits = std::bit_cast<uint64_t>(score == 0 ? 0.0 : score);  // -0 ranks as 0
  const uint64_t ascending = (bits & kSignBit) != 0 ? ~bits : bits | kSignBit;
  return ~ascending;
}

double ScoreOfKey(uint64_t key) {
  const uint64_t ascending = ~key;
  return std::bit_cast<double>((ascending & kSignBit) != 0 ? ascending & ~kSignBit : ~ascending);
}

uint32_t DescendingKey(int32_t count) { return static_cast<uint32_t>(INT32_MAX - count); }

}  // namespace

// One radix sort of the exact scores puts the scores that the tolerance makes equal in runs (each
// spanning no more than the tolerance); each run is then sorted by count, then by the items'
// order. Where the scores fall into no such runs (a NaN, or a chain of close scores longer than
// the tolerance, on which the comparison is no consistent order) nothing is changed.
bool TCollocationList::RadixSortByScoreAndFreq() {
  struct TSortRecord {
    uint64_t key;  // DescendingKey of the score
    uint32_t item;
    int32_t count;
  };
  std::vector<uint32_t> order;
  {
    std::vector<TSortRecord> records(items_.size());
    for (size_t i = 0; i < items_.size(); ++i) {
      const TCollocItem& item = items_[i];
      if (std::isnan(item.score)) return false;
      records[i] = TSortRecord{DescendingKey(item.score), static_cast<uint32_t>(i), item.count};
    }
    StableRadixSort(records, [](const TSortRecord& r) { return r.key; });
    const auto sortRun = [&records](size_t first, size_t end) {
      if (end - first < 2) return;
      std::sort(records.begin() + static_cast<ptrdiff_t>(first),
                records.begin() + static_cast<ptrdiff_t>(end),
                [](const TSortRecord& a, const TSortRecord& b) {
                  return a.count != b.count ? a.count > b.count : a.item < b.item;
                });
    };
    size_t run = 0;                  // where the current run starts
    double first = 0, previous = 0;  // the run's first score; the score before
    for (size_t i = 0; i < records.size(); ++i) {
      const double score = ScoreOfKey(records[i].key);
      if (i > 0 && CompareScores(first, score) != 0) {
        if (CompareScores(previous, score) == 0) return false;
        sortRun(run, i);
        run = i;
      }
      if (i == run) first = score;
      previous = score;
    }
    sortRun(run, records.size());
    order.resize(records.size());
    for (size_t i = 0; i < records.size(); ++i) order[i] = records[i].item;
  }
  Reorder(order);
  return true;
}

// Copies the items in their new order, asking for each some items ahead of its copy: the reads
// are scattered over a large list, the writes run straight.
void TCollocationList::Reorder(const std::vector<uint32_t>& order) {
  constexpr size_t kAhead = 16;
  THugeVector<TCollocItem> sorted;
  sorted.reserve(order.size());
  for (size_t i = 0; i < order.size(); ++i) {
    if (i + kAhead < order.size()) __builtin_prefetch(&items_[order[i + kAhead]]);
    sorted.push_back(items_[order[i]]);
  }
  items_ = std::move(sorted);
  if (!Hashed()) return;
  std::fill(slots_.begin(), slots_.end(), TSlot{});
  Rehash();
}

// The same as sorting by kFreq and cutting the tail: the kept items by count descending, equal
// counts in their order. Counts are mostly small: one counting pass over them places every kept
// item, with no records to sort; a list with a count far above its size is sorted by radix.
void TCollocationList::DropRare(int32_t minimum) {
  size_t kept = 0;
  int64_t smallest = INT32_MAX, largest = INT32_MIN;
  for (const TCollocItem& item : items_) {
    if (item.count < minimum) continue;
    ++kept;
    smallest = std::min<int64_t>(smallest, item.count);
    largest = std::max<int64_t>(largest, item.count);
  }
  if (kept > 0 && largest - smallest >= static_cast<int64_t>(std::max(kept, size_t{1} << 16))) {
    DropRareByRadix(minimum);
    return;
  }
  // starts[largest - count]: where the items of that count go.
  std::vector<uint32_t> starts(kept > 0 ? static_cast<size_t>(largest - smallest) + 2 : 1, 0);
  const auto slot = [&](int32_t count) { return static_cast<size_t>(largest - count); };
  for (const TCollocItem& item : items_) {
    if (item.count >= minimum) ++starts[slot(item.count) + 1];
  }
  for (size_t i = 1; i < starts.size(); ++i) starts[i] += starts[i - 1];
  std::vector<uint32_t> order(kept);
  for (size_t i = 0; i < items_.size(); ++i) {
    if (items_[i].count >= minimum)
      order[starts[slot(items_[i].count)]++] = static_cast<uint32_t>(i);
  }
  Reorder(order);
  sortKey1_ = TCollocSortKey::kFreq;
  sortKey2_ = TCollocSortKey::kNone;
}

void TCollocationList::DropRareByRadix(int32_t minimum) {
  std::vector<uint64_t> records;  // the count's DescendingKey above the item's index
  records.reserve(items_.size());
  for (size_t i = 0; i < items_.size(); ++i) {
    const int32_t count = items_[i].count;
    if (count >= minimum) records.push_back(uint64_t{DescendingKey(count)} << 32 | i);
  }
  StableRadixSort(records, [](uint64_t record) { return record >> 32; });
  std::vector<uint32_t> order(records.size());
  for (size_t i = 0; i < records.size(); ++i) order[i] = static_cast<uint32_t>(records[i]);
  Reorder(order);
  sortKey1_ = TCollocSortKey::kFreq;
  sortKey2_ = TCollocSortKey::kNone;
}

void TCollocationList::Filter(int32_t minCount, bool useScore, double minScore) {
  if (Hashed()) {
    FilterHashed(minCount, useScore, minScore);
    return;
  }
  std::erase_if(
      items_, [&](const TCollocItem& item) { return !Passes(item, minCount, useScore, minScore); });
}

int TCollocationList::CompareKeys(const TCollocItem& a, const TCollocItem& b, int wordCount) {
  const int order = CompareIds(a.words, b.words, wordCount);
  if (order != 0 || b.tags == nullptr) return order;
  if (a.tags == nullptr) return -1;  // an untagged item sorts before every tagged key
  return CompareIds(a.tags, b.tags, wordCount);
}

// The kept hashed items go by bucket, each bucket's in descending key order; the items appended
// past the hash follow in their order.
void TCollocationList::FilterHashed(int32_t minCount, bool useScore, double minScore) {
  struct TKept {
    uint32_t bucket;
    uint32_t item;
  };
  std::vector<TKept> hashed;
  std::vector<uint32_t> appended;
  for (size_t i = 0; i < items_.size(); ++i) {
    const TCollocItem& item = items_[i];
    if (!Passes(item, minCount, useScore, minScore)) continue;
    if (item.hashed) {
      hashed.push_back({HashValue(item.words, item.tags, wordCount_), static_cast<uint32_t>(i)});
    } else {
      appended.push_back(static_cast<uint32_t>(i));
    }
  }
  std::sort(hashed.begin(), hashed.end(), [&](const TKept& a, const TKept& b) {
    if (a.bucket != b.bucket) return a.bucket < b.bucket;
    return CompareKeys(items_[b.item], items_[a.item], wordCount_) < 0;
  });
  std::vector<uint32_t> order;
  order.reserve(hashed.size() + appended.size());
  for (const TKept& kept : hashed) order.push_back(kept.item);
  order.insert(order.end(), appended.begin(), appended.end());
  Reorder(order);
}

// ---- Texts ----

std::string TCollocationList::CollocationText(int i) const {
  std::string text;
  AppendCollocationText(i, text);
  return text;
}

void TCollocationList::AppendCollocationText(int i, std::string& out) const {
  const TCollocItem& item = Item(i);
  for (int j = 0; j < wordCount_ && item.words[j] >= 0; ++j) {
    if (j > 0) out += ' ';
    const TIndexToken& word = index_.GetToken(static_cast<uint32_t>(item.words[j]));
    out.append(word.text, word.length);
    if (item.tags != nullptr && item.tags[j] >= 0) {
      out += ' ';
      out += tables_.UpperString(TokenText(index_, item.tags[j]));
    }
  }
}

std::string TCollocationList::TagText(int i) const {
  const TCollocItem& item = Item(i);
  std::string text;
  if (item.tags == nullptr) return text;
  for (int j = 0; j < wordCount_; ++j) {
    if (j > 0) text += ' ';
    if (item.tags[j] >= 0) text += TokenText(index_, item.tags[j]);
  }
  return text;
}

}  // namespace quenterra
