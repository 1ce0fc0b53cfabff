#include "dialogs/CountOptions.h"

#include <algorithm>
#include <charconv>

#include "engine/Scores.h"

namespace quenterra {

namespace {

constexpr TScoreMethod kItemMethods[kCountMethodItemCount] = {
    TScoreMethod::kTScore, TScoreMethod::kMutualInfo, TScoreMethod::kLogLikelihood};

}  // namespace

TScoreMethod CountMethodOfItem(int item) {
  return item >= 0 && item < kCountMethodItemCount ? kItemMethods[item] : TScoreMethod::kNone;
}

int CountItemOfMethod(TScoreMethod method) {
  if (method == TScoreMethod::kMutualInfo) return 1;
  if (method == TScoreMethod::kLogLikelihood) return 2;
  return 0;
}

TCountOptions TCountOptions::FromSettings(const ZuzadovUdirev& config) {
  TCountOptions dialog;
  dialog.item_ = CountItemOfMethod(ValidScoreMethod(config.Last_Method_Selected));
  dialog.SetFrequency(config.Min_Word_Freq);
  return dialog;
}

void TCountOptions::SetFrequency(int64_t value) {
  frequency_ =
      static_cast<int32_t>(std::clamp<int64_t>(value, kMinFrequencyLow, kMinFrequencyHigh));
}

void TCountOptions::SetFrequencyText(const std::string& text) {
  const size_t first = text.find_first_not_of(' ');
  if (first == std::string::npos) return;
  const size_t last = text.find_last_not_of(' ');
  int64_t value = 0;
  const char* begin = text.data() + first;
  const char* end = text.data() + last + 1;
  const auto [stop, error] = std::from_chars(begin, end, value);
  if (error == std::errc::result_out_of_range) {
    SetFrequency(begin[0] == '-' ? INT64_MIN : INT64_MAX);
  } else if (error == std::errc() && stop == end) {
    SetFrequency(value);
  }
}

void TCountOptions::Store(ZuzadovUdirev& config) const {
  config.Last_Method_Selected = static_cast<uint8_t>(CountMethodOfItem(item_));
  config.Min_Word_Freq = frequency_;
}

bool FrequencyEditAccepts(char c) {
  const auto code = static_cast<unsigned char>(c);
  return code <= 32 || (c >= '0' && c <= '9');
}

}  // namespace quenterra
