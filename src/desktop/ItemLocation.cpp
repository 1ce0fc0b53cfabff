#include "desktop/ItemLocation.h"

#include "engine/collocExtract.h"

namespace quenterra {

namespace {

// The item's words and tags up to its first empty place.
struct TItemWords {
  std::vector<int32_t> words;
  std::vector<int32_t> tags;  // empty for a list without tags
};

TItemWords WordsOf(const TCollocationList& list, int item) {
  const TCollocItem& entry = list.Item(item);
  TItemWords words;
  for (int i = 0; i < list.WordCount() && entry.words[static_cast<size_t>(i)] >= 0; ++i) {
    words.words.push_back(entry.words[static_cast<size_t>(i)]);
    if (entry.tags) words.tags.push_back(entry.tags[static_cast<size_t>(i)]);
  }
  return words;
}

size_t RarestWord(const TTextIndex& index, const std::vector<int32_t>& words) {
  size_t rarest = 0;
  for (size_t i = 1; i < words.size(); ++i) {
    const auto id = static_cast<uint32_t>(words[i]);
    if (index.GetToken(id).frequency <
        index.GetToken(static_cast<uint32_t>(words[rarest])).frequency)
      rarest = i;
  }
  return rarest;
}

bool Matches(TTextIndex& index, const TItemWords& item, size_t i, int32_t position,
             const TItemSearch& search) {
  if (position < 0 || index.TokenAt(position) != static_cast<uint32_t>(item.words[i])) return false;
  if (item.tags.empty()) return true;
  return TagOf(index, position, index.FileOf(position), search.tagBefore) == item.tags[i];
}

// The positions of the item's words when the word `anchor` stands at `at`; empty when the
// tokens around it are not the item's.
std::vector<int32_t> PlaceAround(TTextIndex& index, const TItemWords& item, size_t anchor,
                                 int32_t at, const TItemSearch& search) {
  std::vector<int32_t> places(item.words.size(), -1);
  places[anchor] = at;
  if (!Matches(index, item, anchor, at, search)) return {};
  for (size_t i = anchor; i > 0; --i) {
    places[i - 1] = index.PrevPosition(places[i], search.kinds);
    if (!Matches(index, item, i - 1, places[i - 1], search)) return {};
  }
  for (size_t i = anchor + 1; i < places.size(); ++i) {
    places[i] = index.NextPosition(places[i - 1], search.kinds);
    if (!Matches(index, item, i, places[i], search)) return {};
  }
  return places;
}

TItemLocation LocationOf(TTextIndex& index, const TItemWords& item,
                         const std::vector<int32_t>& places) {
  TItemLocation location;
  location.file = index.FileOf(places.front());
  location.position = places.front();
  for (size_t i = 0; i < places.size(); ++i) {
    const int64_t begin = index.FileOffsetAt(places[i]);
    const uint8_t length = index.GetToken(static_cast<uint32_t>(item.words[i])).length;
    location.words.push_back({begin, begin + length});
  }
  return location;
}

}  // namespace

std::optional<TItemLocation> LocateItem(TTextIndex& index, const TCollocationList& list, int item,
                                        const TItemSearch& search) {
  const TItemWords words = WordsOf(list, item);
  if (words.words.empty()) return std::nullopt;
  for (int32_t id : words.words) {
    if (id < 0 || static_cast<uint32_t>(id) >= index.TokenCount()) return std::nullopt;
  }
  const size_t anchor = RarestWord(index, words.words);
  const TDWordsList occurrences = index.TokenPositions(static_cast<uint32_t>(words.words[anchor]));
  for (int i = 0; i < occurrences.Count(); ++i) {
    const auto at = static_cast<int32_t>(occurrences.Items()[i]);
    if (at >= index.SequenceCount()) break;
    std::vector<int32_t> places = PlaceAround(index, words, anchor, at, search);
    if (!places.empty()) return LocationOf(index, words, places);
  }
  return std::nullopt;
}

}  // namespace quenterra
