// The rules of the counts dialog: the score method of extraction and n-gram lists, and the
// minimal word frequency. The dialog binds its radio group and its up-down edit to a
// TCountOptions and calls Store when closed with OK; Cancel writes nothing.
#pragma once

#include <cstdint>
#include <string>

#include "engine/Scores.h"
#include "settings/Settings.h"

namespace quenterra {

inline constexpr char kCountOptionsCaption[] = "Counts Options";
inline constexpr char kCountMethodsGroup[] = " Collocation Methods ";
inline constexpr const char* kCountMethodItems[] = {"T-Score", "Mutual Information",
                                                    "Log Likehood"};
inline constexpr int kCountMethodItemCount = 3;
inline constexpr char kFrequencyGroup[] = " Frequency Options ";
inline constexpr char kMinFrequencyLabel[] = "Minimal Word Frequency:";
inline constexpr int32_t kMinFrequencyLow = 1;  // the up-down's range
inline constexpr int32_t kMinFrequencyHigh = 32767;
inline constexpr int32_t kDefaultMinFrequency = 2;  // what "Default" sets

// The score method of a radio item (T-Score, Mutual Information, Log-likelihood for items 0, 1,
// 2; kNone for none) and back (Mutual Information the second item, Log-likelihood the third, any
// other method the first).
TScoreMethod CountMethodOfItem(int item);
int CountItemOfMethod(TScoreMethod method);

class TCountOptions {
 public:
  // The dialog as it opens: the item of Last_Method_Selected, the up-down at Min_Word_Freq
  // (brought into its range).
  static TCountOptions FromSettings(const ZuzadovUdirev& config);

  int MethodItem() const { return item_; }  // 0 .. 2, or -1 when none is selected
  void SelectMethod(int item) { item_ = item >= 0 && item < kCountMethodItemCount ? item : -1; }

  int32_t Frequency() const { return frequency_; }  // the up-down's position
  void SetFrequency(int64_t value);                 // brought into 1 .. 32767
  // Typed text moves the up-down when it reads as a number; other text leaves it.
  void SetFrequencyText(const std::string& text);
  // The frequency edit's text: the position without thousands separator.
  std::string FrequencyText() const { return std::to_string(frequency_); }

  // "Default": the frequency becomes 2, the method stays.
  void Default() { frequency_ = kDefaultMinFrequency; }
  // OK: Last_Method_Selected and Min_Word_Freq.
  void Store(ZuzadovUdirev& config) const;

 private:
  int item_ = 0;
  int32_t frequency_ = kDefaultMinFrequency;
};

// Whether the frequency edit takes a typed character: codes up to 32 (controls, space) and
// digits.
bool FrequencyEditAccepts(char c);

}  // namespace quenterra
