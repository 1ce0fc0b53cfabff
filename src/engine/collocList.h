// The collocation list: the one container of results. Extraction runs and n-gram counts count
// word sequences into it through a hash of 65536 buckets; the full extract also appends finished
// items. A list window sorts it by two keys and reads its items for display, saving and printing.
//
// Every item is a fixed-length sequence of WordCount word token ids (an id below 0 ends it
// early), optionally with one word-tag token id per word (-1 for a word without tag). Items are
// plain records; texts are built on demand from the text index.
//
// Counting probes one flat open-addressing table of (hash, item) slots; the items' ids live in
// blocks that the list owns, so counting allocates nothing per item. The order a hashed Filter
// leaves is that of 65536 buckets: by HashValue (the wrapping 32-bit sum of
// the word ids, and tag ids when the key has tags, negated when negative, modulo 65536), and
// within one bucket by key descending (words, then tags, element by element as signed 32-bit
// values). Saved lists and the command line's outputs depend on that order.
#pragma once

#include <algorithm>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "corpus/LangTables.h"
#include "engine/Scores.h"
#include "platform/HugeMemory.h"

namespace quenterra {

class TTextIndex;

enum class TCollocSortKey : uint8_t {
  kNone = 0,
  kFreq = 1,      // Count, descending
  kScore = 2,     // Score, descending; scores within kScoreTolerance are equal
  kAlpha = 3,     // collocation text, ascending, byte by byte
  kPosition = 4,  // Position, ascending
  kRevPos = 5,    // Position, descending
  kPOSTag = 6     // tag text, ascending, byte by byte
};

// One counted word sequence. Its ids live in the list's blocks, as long as the list.
// Members ordered for size (40 bytes): a large list's items are moved whole when it is sorted.
struct TCollocItem {
  const int32_t* words = nullptr;  // WordCount ids; an id < 0 ends the sequence early
  const int32_t* tags = nullptr;   // WordCount tag ids (-1 = none), or null
  double score = 0;                // under the list's ScoreMethod; 0 until computed
  int32_t count = 0;               // occurrences
  int32_t position = 0;            // of the search pattern in the sequence, first occurrence
  uint32_t extra = 0;              // the full extract's per-item word; 0 elsewhere
  bool hashed = false;             // counted through the hash (Add), not Appended
};

class TCollocationList {
 public:
  static constexpr uint32_t kBucketCount = 65536;

  // The list keeps references to the index, whose token texts and frequencies it reads, and to
  // the language tables, which upper-case tags and decode texts: both must outlive the list
  // (list windows are closed before the index is rebuilt or closed). wordCount is at least 1
  // (else throws "TCollocationList: Invalid word count."). Hashed, for counting; ScoreMethod kNone.
  TCollocationList(const TTextIndex& index, const TLangTables& tables, int wordCount);
  // Without hash, for appending finished items; a method outside 0..4 is taken as kNone.
  TCollocationList(const TTextIndex& index, const TLangTables& tables, int wordCount,
                   TScoreMethod scoreMethod);
  TCollocationList(const TCollocationList&) = delete;
  TCollocationList& operator=(const TCollocationList&) = delete;
  ~TCollocationList();

  // The bucket of a key (0 .. 65535), which orders a hashed Filter. words and tags (nullable) hold
  // wordCount ids.
  static uint32_t HashValue(const int32_t* words, const int32_t* tags, int wordCount);

  // Counting, on a hashed list only (else throws "TCollocationList: The list has no hash.").
  // words and tags (nullable) hold WordCount ids each; they are copied. Keys with and without
  // tags are not meant to share one list.
  //
  // Counts one occurrence: adds 1 to the matching item's Count (its Position stays that of the
  // first occurrence), or appends a new item with Count 1 and this position.
  void Add(const int32_t* words, const int32_t* tags, int32_t position);
  // Counts count keys as Add would, in their order: words (and tags, unless null) hold WordCount
  // ids per key side by side, positions one per key. For long counts (see TCountBatch): the
  // memory that a block of keys will read is asked for at once instead of waited for key by key.
  void AddBatch(const int32_t* words, const int32_t* tags, const int32_t* positions, size_t count);
  // The matching item's Extra; 0 when there is none.
  uint32_t FindExtra(const int32_t* words, const int32_t* tags) const;
  // Adds 1 to the matching item's Count and returns the new Count; -1 when there is none.
  int32_t FindAndCount(const int32_t* words, const int32_t* tags);

  // Makes room for count items at once, so that a count that knows its bound does not move
  // (and touch again) every item each time the list doubles, and sizes the hash for the keys
  // expected, so that it is not refiled each time it doubles (nor larger than they need). Hints:
  // the list and its hash grow past them.
  void ReserveItems(size_t count, size_t keys);

  // Appends an item (Position 0) without touching the hash.
  void Append(const int32_t* words, const int32_t* tags, double score, int32_t count);

  int Count() const { return static_cast<int>(items_.size()); }
  int WordCount() const { return wordCount_; }
  // Throws "TCollocationList: List index out of bounds." for i outside 0 .. Count() - 1. A
  // reference lives until the next call that adds, removes or reorders items.
  const TCollocItem& Item(int i) const;
  TCollocItem& Item(int i);

  // Sorts by key1, equal items by key2 (unless kNone), and remembers both keys. Items equal
  // under both keys keep their order (the sort is stable). Throws "csNone is not allowed in
  // CompareCollocReccords" when key1 is kNone; unknown keys compare every item equal.
  void Sort(TCollocSortKey key1, TCollocSortKey key2);
  TCollocSortKey SortKey1() const { return sortKey1_; }
  TCollocSortKey SortKey2() const { return sortKey2_; }

  // Frees the hash (not the items); counting calls are refused from then on.
  void ReleaseHash();
  bool Hashed() const { return hashed_; }

  // Deletes the items whose Count is below minimum, then sorts by kFreq alone.
  void DropRare(int32_t minimum);
  // Keeps the items whose Count is at least minCount and, with useScore, whose Score passes
  // minScore (ScorePasses). Without hash the kept items keep their order. With hash the order
  // is rebuilt bucket by bucket in index order, each bucket's items last to first (descending
  // key order); items appended past the hash follow in their order.
  void Filter(int32_t minCount, bool useScore, double minScore);

  // Sets ScoreMethod and computes every item's score (see engine/Scores.h); corpusWords is
  // the corpus word count of the run's kind set. A list of 3 or more words asked for anything
  // but Mutual Information ends with kNone. kNone and kCost keep the stored scores.
  void ComputeScores(TScoreMethod method, int64_t corpusWords);
  TScoreMethod ScoreMethod() const { return scoreMethod_; }

  // The item's words joined by single spaces up to the first negative id; each word with a
  // tag is followed by a space and the tag upper-cased ("take NN place NN").
  std::string CollocationText(int i) const;
  // The same, appended to out.
  void AppendCollocationText(int i, std::string& out) const;
  // The texts of the WordCount tags (empty for -1) joined by single spaces, in their stored
  // case; empty for an item without tags.
  std::string TagText(int i) const;

  const TTextIndex& Index() const { return index_; }
  const TLangTables& Tables() const { return tables_; }

 private:
  // A key of a few small ids is packed whole into the slot, so that a probe compares it there
  // without reading the item and its ids (two cache misses per count on a large list).
  struct TSlot {
    uint64_t key = 0;         // the packed key (PackKey); 0 when the key does not pack
    uint32_t hash = 0;        // low half of the key's hash
    uint32_t item = kNoItem;  // index in items_; kNoItem: an empty slot
  };
  static constexpr uint32_t kNoItem = UINT32_MAX;
  static constexpr size_t kFirstSlots = 1024;
  static constexpr size_t kIdBlock = 1 << 16;  // ids per block of the store

  // The key's ids (plus one) side by side below a leading 1 bit; 0 for a key with tags or an id
  // outside the index's range, or when WordCount ids do not fit.
  uint64_t PackKey(const int32_t* words, const int32_t* tags) const;
  // Spread over 64 bits: the probe starts from the high half. packed is PackKey's.
  uint64_t KeyHash(const int32_t* words, const int32_t* tags, uint64_t packed) const;
  bool SameKey(const TCollocItem& item, const int32_t* words, const int32_t* tags) const;
  // The slot of the key: the matching item's, or the empty one where it would go.
  size_t Probe(const int32_t* words, const int32_t* tags, uint64_t hash, uint64_t packed) const;
  // The matching item, or null.
  const TCollocItem* Find(const int32_t* words, const int32_t* tags) const;
  void RequireHash() const;
  // Files a new item for the key in the empty slot at, which Probe gave.
  void Insert(size_t at, const int32_t* words, const int32_t* tags, int32_t position, uint64_t hash,
              uint64_t packed);
  void GrowHash();
  const int32_t* StoreIds(const int32_t* ids);
  TCollocItem NewItem(const int32_t* words, const int32_t* tags);
  // Puts the items in the given order (order[new] = old; items not named are dropped), keeping
  // the hash valid.
  void Reorder(const std::vector<uint32_t>& order);
  void SortByScoreAndFreq();
  void DropRareByRadix(int32_t minimum);
  // The same order by one radix sort of the scores and a sort of each run of equal ones; false
  // (and nothing changed) where the scores fall into no such runs.
  bool RadixSortByScoreAndFreq();
  void Rehash();
  void FilterHashed(int32_t minCount, bool useScore, double minScore);
  static int CompareKeys(const TCollocItem& a, const TCollocItem& b, int wordCount);

  const TTextIndex& index_;
  const TLangTables& tables_;
  int wordCount_;
  int keyBits_ = 0;                 // bits per packed id; 0: keys are never packed
  THugeVector<TCollocItem> items_;  // in display order
  bool hashed_ = false;             // counting: slots_ is valid
  THugeVector<TSlot> slots_;        // a power of two, at most half full, while hashed
  std::vector<std::unique_ptr<int32_t[]>> idBlocks_;  // the items' ids
  size_t idBlockUsed_ = kIdBlock;                     // ids used in the last block
  TCollocSortKey sortKey1_ = TCollocSortKey::kNone;   // of the last sort
  TCollocSortKey sortKey2_ = TCollocSortKey::kNone;
  TScoreMethod scoreMethod_ = TScoreMethod::kNone;  // of the stored scores
};

// Keys on their way into a hashed list: Add collects them and hands them to AddBatch a few hundred
// at a time. Counts are complete only after Flush.
class TCountBatch {
 public:
  // withTags: every key comes with tags (else tags are ignored).
  TCountBatch(TCollocationList& list, bool withTags);

  void Add(const int32_t* words, const int32_t* tags, int32_t position) {
    const size_t at = count_ * wordCount_;
    std::copy_n(words, wordCount_, &words_[at]);
    if (withTags_) std::copy_n(tags, wordCount_, &tags_[at]);
    positions_[count_] = position;
    if (++count_ == kKeys) Flush();
  }
  void Flush();

 private:
  static constexpr size_t kKeys = 256;

  TCollocationList& list_;
  const bool withTags_;
  const size_t wordCount_;
  size_t count_ = 0;                               // keys waiting
  std::vector<int32_t> words_, tags_, positions_;  // room for kKeys keys, side by side
};

}  // namespace quenterra
