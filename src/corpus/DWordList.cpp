#include "corpus/DWordList.h"

#include <algorithm>
#include <cstring>
#include <numeric>
#include <string>
#include <vector>

#include "platform/Coding.h"
#include "platform/Errors.h"

namespace quenterra {

namespace {

template <typename Item>
void EncodeItem(char* dst, Item value) {
  if constexpr (sizeof(Item) == 4) {
    EncodeFixed32(dst, static_cast<uint32_t>(value));
  } else {
    EncodeFixed64(dst, static_cast<uint64_t>(value));
  }
}

template <typename Item>
Item DecodeItem(const char* src) {
  if constexpr (sizeof(Item) == 4) {
    return static_cast<Item>(DecodeFixed32(src));
  } else {
    return static_cast<Item>(DecodeFixed64(src));
  }
}

// Entries read per step while loading, so that a damaged count cannot make us allocate more
// than the stream actually holds.
constexpr int kLoadStep = 1 << 16;

}  // namespace

template <typename Item, const char* kClassName>
TWordsList<Item, kClassName>::TWordsList(int capacity) {
  SetCapacity(std::max(capacity, 0));
}

template <typename Item, const char* kClassName>
TWordsList<Item, kClassName>::TWordsList(const TWordsList& other)
    : sorted_(other.sorted_), keepSorted_(other.keepSorted_) {
  SetCapacity(other.capacity_);
  count_ = other.count_;
  std::copy_n(other.items_.get(), count_, items_.get());
  if (other.data_) {
    SetHasData(true);
    std::copy_n(other.data_.get(), count_, data_.get());
  }
}

template <typename Item, const char* kClassName>
TWordsList<Item, kClassName>& TWordsList<Item, kClassName>::operator=(const TWordsList& other) {
  if (this != &other) *this = TWordsList(other);
  return *this;
}

template <typename Item, const char* kClassName>
void TWordsList<Item, kClassName>::Swap(TWordsList& other) noexcept {
  std::swap(items_, other.items_);
  std::swap(data_, other.data_);
  std::swap(capacity_, other.capacity_);
  std::swap(count_, other.count_);
  std::swap(sorted_, other.sorted_);
  std::swap(keepSorted_, other.keepSorted_);
}

template <typename Item, const char* kClassName>
void TWordsList<Item, kClassName>::Fail(const char* what) {
  throw EQuenterra(std::string(kClassName) + ": " + what);
}

template <typename Item, const char* kClassName>
void TWordsList<Item, kClassName>::CheckIndex(int index) const {
  if (index < 0 || index >= count_) Fail("List index out of bounds.");
}

template <typename Item, const char* kClassName>
void TWordsList<Item, kClassName>::SetCapacity(int n) {
  auto items = std::make_unique_for_overwrite<Item[]>(static_cast<size_t>(n));
  int kept = std::min(count_, n);
  std::copy_n(items_.get(), kept, items.get());
  items_ = std::move(items);
  if (data_) {
    auto data = std::make_unique<uint32_t[]>(static_cast<size_t>(n));
    std::copy_n(data_.get(), kept, data.get());
    data_ = std::move(data);
  }
  capacity_ = n;
  count_ = kept;
}

template <typename Item, const char* kClassName>
void TWordsList<Item, kClassName>::Grow(int n) {
  if (n <= capacity_) return;
  int64_t rounded = (int64_t{n} + kGrowStep - 1) / kGrowStep * kGrowStep;
  SetCapacity(static_cast<int>(std::min<int64_t>(rounded, INT32_MAX)));
}

template <typename Item, const char* kClassName>
void TWordsList<Item, kClassName>::SetCount(int n) {
  if (n < 0) Fail("List index out of bounds.");
  Grow(n);
  count_ = n;
}

template <typename Item, const char* kClassName>
void TWordsList<Item, kClassName>::SetHasData(bool on) {
  if (on && !data_) {
    data_ = std::make_unique<uint32_t[]>(static_cast<size_t>(capacity_));
  } else if (!on) {
    data_.reset();
  }
}

template <typename Item, const char* kClassName>
void TWordsList<Item, kClassName>::Clear() {
  count_ = 0;
  if (capacity_ > kGrowStep) SetCapacity(kGrowStep);
  sorted_ = true;
}

template <typename Item, const char* kClassName>
Item TWordsList<Item, kClassName>::GetItem(int index) const {
  CheckIndex(index);
  return items_[index];
}

template <typename Item, const char* kClassName>
void TWordsList<Item, kClassName>::PutItem(int index, Item value) {
  CheckIndex(index);
  items_[index] = value;
}

template <typename Item, const char* kClassName>
uint32_t TWordsList<Item, kClassName>::GetData(int index) const {
  CheckIndex(index);
  return data_ ? data_[index] : 0;
}

template <typename Item, const char* kClassName>
void TWordsList<Item, kClassName>::PutData(int index, uint32_t value) {
  SetHasData(true);
  CheckIndex(index);
  data_[index] = value;
}

template <typename Item, const char* kClassName>
void TWordsList<Item, kClassName>::SetKeepSorted(bool on) {
  keepSorted_ = on;
  if (on) Sort();
}

template <typename Item, const char* kClassName>
void TWordsList<Item, kClassName>::Sort() {
  if (sorted_) return;
  if (!data_) {
    std::sort(items_.get(), items_.get() + count_);
  } else {
    // Sort a permutation, then apply it to both arrays, so data values follow their items.
    std::vector<int> order(static_cast<size_t>(count_));
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(),
                     [this](int a, int b) { return items_[a] < items_[b]; });
    std::vector<Item> items(order.size());
    std::vector<uint32_t> data(order.size());
    for (size_t i = 0; i < order.size(); ++i) {
      items[i] = items_[order[i]];
      data[i] = data_[order[i]];
    }
    std::copy(items.begin(), items.end(), items_.get());
    std::copy(data.begin(), data.end(), data_.get());
  }
  sorted_ = true;
}

template <typename Item, const char* kClassName>
bool TWordsList<Item, kClassName>::Find(Item value, int& index) const {
  if (!sorted_) Fail("Can't use binary search on unsorted list.");
  const Item* begin = items_.get();
  const Item* end = begin + count_;
  const Item* at = std::lower_bound(begin, end, value);
  index = static_cast<int>(at - begin);
  return at != end && *at == value;
}

template <typename Item, const char* kClassName>
int TWordsList<Item, kClassName>::IndexOf(Item value) const {
  if (sorted_) {
    int index = 0;
    return Find(value, index) ? index : -1;
  }
  const Item* begin = items_.get();
  const Item* end = begin + count_;
  const Item* at = std::find(begin, end, value);
  return at == end ? -1 : static_cast<int>(at - begin);
}

template <typename Item, const char* kClassName>
int TWordsList<Item, kClassName>::Add(Item value) {
  int index = count_;
  if (keepSorted_) {
    // After its equals: the first entry above value.
    index = static_cast<int>(std::upper_bound(items_.get(), items_.get() + count_, value) -
                             items_.get());
  } else if (sorted_ && count_ > 0 && value < items_[count_ - 1]) {
    sorted_ = false;
  }
  Grow(count_ + 1);
  std::copy_backward(items_.get() + index, items_.get() + count_, items_.get() + count_ + 1);
  items_[index] = value;
  if (data_) {
    std::copy_backward(data_.get() + index, data_.get() + count_, data_.get() + count_ + 1);
    data_[index] = 0;
  }
  ++count_;
  return index;
}

template <typename Item, const char* kClassName>
int TWordsList<Item, kClassName>::AddWithData(Item value, uint32_t data) {
  int index = Add(value);
  PutData(index, data);
  return index;
}

template <typename Item, const char* kClassName>
void TWordsList<Item, kClassName>::LoadFromStream(TByteStream& stream) {
  Clear();
  uint32_t total = stream.ReadU32();
  if (total > INT32_MAX) Fail("List index out of bounds.");
  std::vector<char> bytes;
  for (uint32_t done = 0; done < total;) {
    int step = static_cast<int>(std::min<uint32_t>(total - done, kLoadStep));
    bytes.resize(static_cast<size_t>(step) * sizeof(Item));
    stream.ReadExact(bytes.data(), bytes.size());
    SetCount(count_ + step);
    for (int i = 0; i < step; ++i) {
      items_[done + static_cast<uint32_t>(i)] = DecodeItem<Item>(bytes.data() + i * sizeof(Item));
    }
    done += static_cast<uint32_t>(step);
  }
  sorted_ = true;  // lists are saved sorted
}

template <typename Item, const char* kClassName>
void TWordsList<Item, kClassName>::SaveToStream(TByteStream& stream) const {
  stream.WriteU32(static_cast<uint32_t>(count_));
  std::vector<char> bytes(static_cast<size_t>(std::min(count_, kLoadStep)) * sizeof(Item));
  for (int done = 0; done < count_;) {
    int step = std::min(count_ - done, kLoadStep);
    for (int i = 0; i < step; ++i) EncodeItem(bytes.data() + i * sizeof(Item), items_[done + i]);
    stream.Write(bytes.data(), static_cast<size_t>(step) * sizeof(Item));
    done += step;
  }
}

template class TWordsList<uint32_t, kDWordsListName>;
template class TWordsList<int64_t, kQWordsListName>;

}  // namespace quenterra
