// Growable, sortable arrays of numbers with binary search: TDWordsList holds unsigned 32-bit
// values (corpus positions, file starts, token ids), TQWordsList signed 64-bit values (packed
// keys such as word-tag pairs). Either may carry a parallel array of 32-bit data values (a count
// or a reference per entry) that moves with its item when the list sorts or inserts.
//
// Stream format (data values are never stored): u32 count, then count items, little-endian,
// 4 bytes each (TDWordsList) or 8 bytes each (TQWordsList).
#pragma once

#include <cstdint>
#include <memory>
#include <utility>

#include "platform/ByteStream.h"

namespace quenterra {

template <typename Item, const char* kClassName>
class TWordsList {
 public:
  static constexpr int kGrowStep = 8192;  // entries; lists of positions get long

  explicit TWordsList(int capacity = 0);
  TWordsList(const TWordsList& other);
  TWordsList& operator=(const TWordsList& other);
  TWordsList(TWordsList&& other) noexcept { Swap(other); }
  TWordsList& operator=(TWordsList&& other) noexcept {
    TWordsList moved(std::move(other));
    Swap(moved);
    return *this;
  }
  void Swap(TWordsList& other) noexcept;

  int Count() const { return count_; }
  int Capacity() const { return capacity_; }
  bool Sorted() const { return sorted_; }
  bool HasData() const { return data_ != nullptr; }
  bool KeepSorted() const { return keepSorted_; }

  // Reallocates both arrays to n entries, keeping the first min(old, n).
  void SetCapacity(int n);
  // Grows to hold n entries (capacity rounded up to the grow step), then count = n. New entries
  // are not initialised: callers fill them through Items().
  void SetCount(int n);
  // On: a zero-filled data array of the capacity; off: the data array is released.
  void SetHasData(bool on);
  // Count 0, sorted; a capacity grown past one step is cut back to one step.
  void Clear();

  // Checked access; an index outside 0..Count()-1 throws "<class>: List index out of bounds.".
  Item GetItem(int index) const;
  void PutItem(int index, Item value);
  uint32_t GetData(int index) const;        // 0 when the list has no data array
  void PutData(int index, uint32_t value);  // switches the data array on first

  // The item array itself: Count() contiguous values, valid until the list is resized.
  Item* Items() { return items_.get(); }
  const Item* Items() const { return items_.get(); }

  // Switching it on sorts an unsorted list; Add then inserts in order.
  void SetKeepSorted(bool on);
  // Sorted ascending, each data value moving with its item.
  void Sort();
  // Requires a sorted list (else throws "<class>: Can't use binary search on unsorted list.").
  // index receives the first entry not below value (the insertion point); returns whether that
  // entry equals value.
  bool Find(Item value, int& index) const;
  // The first entry equal to value, or -1 (linear when unsorted, binary when sorted).
  int IndexOf(Item value) const;
  // Appends value, or inserts it after its equals when keep sorted is on; its data value is 0.
  // Returns the new entry's index.
  int Add(Item value);
  int AddWithData(Item value, uint32_t data);

  void LoadFromStream(TByteStream& stream);
  void SaveToStream(TByteStream& stream) const;

 private:
  void Grow(int n);
  void CheckIndex(int index) const;
  [[noreturn]] static void Fail(const char* what);

  std::unique_ptr<Item[]> items_;     // capacity_ entries, count_ in use
  std::unique_ptr<uint32_t[]> data_;  // parallel to items_, or null
  int capacity_ = 0;
  int count_ = 0;
  bool sorted_ = true;       // the items are known to be ascending
  bool keepSorted_ = false;  // Add inserts in order
};

inline constexpr char kDWordsListName[] = "TDWordsList";
inline constexpr char kQWordsListName[] = "TQWordsList";

using TDWordsList = TWordsList<uint32_t, kDWordsListName>;
using TQWordsList = TWordsList<int64_t, kQWordsListName>;

extern template class TWordsList<uint32_t, kDWordsListName>;
extern template class TWordsList<int64_t, kQWordsListName>;

}  // namespace quenterra
