#include "engine/collocList.h"

#include <algorithm>
#include <cstdlib>
#include <numeric>
#include <utility>

#include "corpus/TextIndex.h"
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
  buckets_ = std::make_unique<TBucket[]>(kBucketCount);
}

TCollocationList::TCollocationList(const TTextIndex& index, const TLangTables& tables,
                                   int wordCount, TScoreMethod scoreMethod)
    : index_(index),
      tables_(tables),
      wordCount_(wordCount),
      scoreMethod_(ValidScoreMethod(scoreMethod)) {
  if (wordCount < 1) throw EQuenterra("TCollocationList: Invalid word count.");
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

int TCollocationList::CompareKey(const TCollocItem& item, const int32_t* words, const int32_t* tags,
                                 int wordCount) {
  const int order = CompareIds(item.words.get(), words, wordCount);
  if (order != 0 || tags == nullptr) return order;
  if (item.tags == nullptr) return -1;  // an untagged item sorts before every tagged key
  return CompareIds(item.tags.get(), tags, wordCount);
}

int TCollocationList::CompareEntry(const TBucketEntry& entry, const int32_t* words,
                                   const int32_t* tags) const {
  if (entry.first != words[0]) return entry.first < words[0] ? -1 : 1;
  return CompareKey(items_[entry.item], words, tags, wordCount_);
}

size_t TCollocationList::Search(const TBucket& bucket, const int32_t* words, const int32_t* tags,
                                bool& hit) const {
  hit = false;
  size_t low = 0, high = bucket.size();
  while (low < high) {
    const size_t middle = low + (high - low) / 2;
    const int order = CompareEntry(bucket[middle], words, tags);
    if (order >= 0) {
      hit = hit || order == 0;
      high = middle;
    } else {
      low = middle + 1;
    }
  }
  return low;
}

const TCollocItem* TCollocationList::Find(const int32_t* words, const int32_t* tags) const {
  RequireHash();
  const TBucket& bucket = buckets_[HashValue(words, tags, wordCount_)];
  bool hit = false;
  const size_t at = Search(bucket, words, tags, hit);
  return hit ? &items_[bucket[at].item] : nullptr;
}

void TCollocationList::RequireHash() const {
  if (!Hashed()) throw EQuenterra("TCollocationList: The list has no hash.");
}

TCollocItem TCollocationList::NewItem(const int32_t* words, const int32_t* tags) const {
  TCollocItem item;
  item.words = std::make_unique<int32_t[]>(wordCount_);
  std::copy_n(words, wordCount_, item.words.get());
  if (tags != nullptr) {
    item.tags = std::make_unique<int32_t[]>(wordCount_);
    std::copy_n(tags, wordCount_, item.tags.get());
  }
  return item;
}

void TCollocationList::Add(const int32_t* words, const int32_t* tags, int32_t position) {
  RequireHash();
  TBucket& bucket = buckets_[HashValue(words, tags, wordCount_)];
  bool hit = false;
  const size_t at = Search(bucket, words, tags, hit);
  if (hit) {
    ++items_[bucket[at].item].count;
    return;
  }
  TCollocItem item = NewItem(words, tags);
  item.count = 1;
  item.position = position;
  items_.push_back(std::move(item));
  bucket.insert(bucket.begin() + static_cast<std::ptrdiff_t>(at),
                TBucketEntry{words[0], static_cast<uint32_t>(items_.size() - 1)});
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
  items_.push_back(std::move(item));
}

const TCollocItem& TCollocationList::Item(int i) const {
  if (i < 0 || i >= Count()) throw EQuenterra("TCollocationList: List index out of bounds.");
  return items_[static_cast<size_t>(i)];
}

TCollocItem& TCollocationList::Item(int i) {
  return const_cast<TCollocItem&>(std::as_const(*this).Item(i));
}

void TCollocationList::ReleaseHash() { buckets_.reset(); }

// ---- Ordering ----

void TCollocationList::Sort(TCollocSortKey key1, TCollocSortKey key2) {
  if (key1 == TCollocSortKey::kNone)
    throw EQuenterra("csNone is not allowed in CompareCollocReccords");
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
  sortKey1_ = key1;
  sortKey2_ = key2;
}

void TCollocationList::Reorder(const std::vector<uint32_t>& order) {
  std::vector<TCollocItem> sorted;
  sorted.reserve(order.size());
  for (uint32_t old : order) sorted.push_back(std::move(items_[old]));
  items_ = std::move(sorted);
  if (!Hashed()) return;
  std::vector<uint32_t> newIndex(order.size());
  for (uint32_t i = 0; i < order.size(); ++i) newIndex[order[i]] = i;
  for (uint32_t b = 0; b < kBucketCount; ++b) {
    for (TBucketEntry& entry : buckets_[b]) entry.item = newIndex[entry.item];
  }
}

void TCollocationList::RemoveFromHash(uint32_t itemIndex) {
  const TCollocItem& item = items_[itemIndex];
  TBucket& bucket = buckets_[HashValue(item.words.get(), item.tags.get(), wordCount_)];
  auto at = std::find_if(bucket.begin(), bucket.end(),
                         [&](const TBucketEntry& entry) { return entry.item == itemIndex; });
  if (at != bucket.end()) bucket.erase(at);
}

void TCollocationList::DropRare(int32_t minimum) {
  Sort(TCollocSortKey::kFreq, TCollocSortKey::kNone);
  while (!items_.empty() && items_.back().count < minimum) {
    if (Hashed()) RemoveFromHash(static_cast<uint32_t>(items_.size() - 1));
    items_.pop_back();
  }
}

void TCollocationList::Filter(int32_t minCount, bool useScore, double minScore) {
  if (Hashed()) {
    FilterHashed(minCount, useScore, minScore);
    return;
  }
  std::erase_if(
      items_, [&](const TCollocItem& item) { return !Passes(item, minCount, useScore, minScore); });
}

void TCollocationList::FilterHashed(int32_t minCount, bool useScore, double minScore) {
  std::vector<TCollocItem> kept;
  std::vector<bool> inHash(items_.size());
  for (uint32_t b = 0; b < kBucketCount; ++b) {
    TBucket& bucket = buckets_[b];
    for (const TBucketEntry& entry : bucket) inHash[entry.item] = true;
    std::erase_if(bucket, [&](const TBucketEntry& entry) {
      return !Passes(items_[entry.item], minCount, useScore, minScore);
    });
    if (bucket.empty()) {
      TBucket().swap(bucket);  // frees its storage
      continue;
    }
    for (auto entry = bucket.rbegin(); entry != bucket.rend(); ++entry) {
      kept.push_back(std::move(items_[entry->item]));
      entry->item = static_cast<uint32_t>(kept.size() - 1);
    }
  }
  // Items appended past the hash are no bucket's: they keep their order after the others.
  for (size_t i = 0; i < items_.size(); ++i) {
    if (!inHash[i] && Passes(items_[i], minCount, useScore, minScore))
      kept.push_back(std::move(items_[i]));
  }
  items_ = std::move(kept);
}

// ---- Texts ----

std::string TCollocationList::CollocationText(int i) const {
  const TCollocItem& item = Item(i);
  std::string text;
  for (int j = 0; j < wordCount_ && item.words[j] >= 0; ++j) {
    if (j > 0) text += ' ';
    text += TokenText(index_, item.words[j]);
    if (item.tags != nullptr && item.tags[j] >= 0) {
      text += ' ';
      text += tables_.UpperString(TokenText(index_, item.tags[j]));
    }
  }
  return text;
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
