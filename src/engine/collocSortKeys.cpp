#include "engine/collocSortKeys.h"

#include <algorithm>
#include <string>
#include <utility>

#include "corpus/TextIndex.h"
#include "engine/collocList.h"

namespace quenterra {

namespace {

// The ranks, by token id, of the texts of the tokens a list uses as words and as tags; 0 for a
// token it does not use. Words and tags meet at the same places of two texts, so both are ranked
// in one order; tags show upper-cased in collocation texts.
struct TRanks {
  std::vector<uint32_t> word, tag;

  TRanks(const TCollocationList& list, bool upperTags) {
    const size_t tokens = list.Index().TokenCount();
    word.assign(tokens, 0);
    tag.assign(tokens, 0);
    upperTags_ = upperTags;
  }
  static void Use(std::vector<uint32_t>& ranks, int32_t id) {
    if (id >= 0 && static_cast<size_t>(id) < ranks.size()) ranks[static_cast<size_t>(id)] = 1;
  }
  static uint32_t Of(const std::vector<uint32_t>& ranks, int32_t id) {
    return id >= 0 && static_cast<size_t>(id) < ranks.size() ? ranks[static_cast<size_t>(id)] : 0;
  }
  // Ranks every used token from 1 in byte order of its text; equal texts share a rank.
  void Rank(const TCollocationList& list) {
    std::vector<std::pair<std::string, std::pair<bool, uint32_t>>> texts;
    for (uint32_t id = 0; id < word.size(); ++id) {
      const char* text = list.Index().GetToken(id).text;
      if (word[id] != 0) texts.push_back({text, {false, id}});
      if (tag[id] != 0)
        texts.push_back({upperTags_ ? list.Tables().UpperString(text) : text, {true, id}});
    }
    std::sort(texts.begin(), texts.end());
    uint32_t rank = 0;
    for (size_t i = 0; i < texts.size(); ++i) {
      if (i == 0 || texts[i].first != texts[i - 1].first) ++rank;
      const auto [isTag, id] = texts[i].second;
      (isTag ? tag : word)[id] = rank;
    }
  }

 private:
  bool upperTags_ = false;
};

TTextKeys EmptyKeys(const TCollocationList& list, int stride) {
  TTextKeys keys;
  keys.stride = stride;
  keys.ranks.assign(static_cast<size_t>(list.Count()) * static_cast<size_t>(stride), 0);
  return keys;
}

}  // namespace

void TTextKeys::Pack() {
  uint32_t top = 0;
  for (uint32_t rank : ranks) top = std::max(top, rank);
  int bits = 0;
  while (bits < 32 && (top >> bits) != 0) ++bits;
  if (stride == 0 || bits * stride > 64) return;
  const size_t count = ranks.size() / static_cast<size_t>(stride);
  packed.resize(count);
  for (size_t i = 0; i < count; ++i) {
    uint64_t key = 0;
    for (int k = 0; k < stride; ++k)
      key = (key << bits) | ranks[i * static_cast<size_t>(stride) + static_cast<size_t>(k)];
    packed[i] = key;
  }
  ranks.clear();
  ranks.shrink_to_fit();
}

TTextKeys CollocationTextKeys(const TCollocationList& list) {
  const int width = list.WordCount();
  TRanks ranks(list, true);
  for (int i = 0; i < list.Count(); ++i) {
    const TCollocItem& item = list.Item(i);
    for (int j = 0; j < width && item.words[j] >= 0; ++j) {
      TRanks::Use(ranks.word, item.words[j]);
      if (item.tags != nullptr) TRanks::Use(ranks.tag, item.tags[j]);
    }
  }
  ranks.Rank(list);
  TTextKeys keys = EmptyKeys(list, 2 * width);
  for (int i = 0; i < list.Count(); ++i) {
    const TCollocItem& item = list.Item(i);
    uint32_t* out = keys.ranks.data() + static_cast<size_t>(i) * static_cast<size_t>(keys.stride);
    for (int j = 0; j < width && item.words[j] >= 0; ++j) {
      *out++ = TRanks::Of(ranks.word, item.words[j]);
      if (item.tags != nullptr && item.tags[j] >= 0) *out++ = TRanks::Of(ranks.tag, item.tags[j]);
    }
  }
  keys.Pack();
  return keys;
}

TTextKeys TagTextKeys(const TCollocationList& list) {
  const int width = list.WordCount();
  TRanks ranks(list, false);
  for (int i = 0; i < list.Count(); ++i) {
    const TCollocItem& item = list.Item(i);
    for (int j = 0; item.tags != nullptr && j < width; ++j) TRanks::Use(ranks.tag, item.tags[j]);
  }
  ranks.Rank(list);
  TTextKeys keys = EmptyKeys(list, width);
  for (int i = 0; i < list.Count(); ++i) {
    const TCollocItem& item = list.Item(i);
    uint32_t* out = keys.ranks.data() + static_cast<size_t>(i) * static_cast<size_t>(width);
    for (int j = 0; item.tags != nullptr && j < width; ++j)
      out[j] = TRanks::Of(ranks.tag, item.tags[j]);
  }
  keys.Pack();
  return keys;
}

TSortColumn::TSortColumn(const TCollocationList& list, TCollocSortKey key) : key_(key) {
  const size_t count = static_cast<size_t>(list.Count());
  switch (key) {
    case TCollocSortKey::kFreq:
      numbers_.resize(count);
      for (size_t i = 0; i < count; ++i) numbers_[i] = list.Item(static_cast<int>(i)).count;
      break;
    case TCollocSortKey::kPosition:
    case TCollocSortKey::kRevPos:
      numbers_.resize(count);
      for (size_t i = 0; i < count; ++i) numbers_[i] = list.Item(static_cast<int>(i)).position;
      break;
    case TCollocSortKey::kScore:
      scores_.resize(count);
      for (size_t i = 0; i < count; ++i) scores_[i] = list.Item(static_cast<int>(i)).score;
      break;
    case TCollocSortKey::kAlpha:
      texts_ = CollocationTextKeys(list);
      break;
    case TCollocSortKey::kPOSTag:
      texts_ = TagTextKeys(list);
      break;
    default:
      break;
  }
}

int TSortColumn::Compare(uint32_t a, uint32_t b) const {
  auto order = [](auto x, auto y) { return x < y ? -1 : (y < x ? 1 : 0); };
  switch (key_) {
    case TCollocSortKey::kFreq:  // descending
    case TCollocSortKey::kRevPos:
      return order(numbers_[b], numbers_[a]);
    case TCollocSortKey::kPosition:
      return order(numbers_[a], numbers_[b]);
    case TCollocSortKey::kScore:
      return CompareScores(scores_[a], scores_[b]);
    case TCollocSortKey::kAlpha:
    case TCollocSortKey::kPOSTag:
      return texts_.Compare(a, b);
    default:
      return 0;
  }
}

}  // namespace quenterra
