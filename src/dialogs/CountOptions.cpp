#include "dialogs/CountOptions.h"

#include <algorithm>
#include <charconv>

#include "engine/Scores.h"

namespace quenterra {

namespace {

constexpr uint8_t kItemMethods[kCountMethodItemCount] = {smTScore, smMutualInfo, smLogLikelihood};

}  // namespace

uint8_t CountMethodOfItem(int item) {
  return item >= 0 && item < kCountMethodItemCount ? kItemMethods[item] : uint8_t{smNone};
}

int CountItemOfMethod(uint8_t method) {
  if (method == smMutualInfo) return 1;
  if (method == smLogLikelihood) return 2;
  return 0;
}

TCountOptions TCountOptions::FromSettings(const ZuzadovUdirev& config) {
  TCountOptions dialog;
  dialog.item_ = CountItemOfMethod(config.Last_Method_Selected);
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
  config.Last_Method_Selected = CountMethodOfItem(item_);
  config.Min_Word_Freq = frequency_;
}

bool FrequencyEditAccepts(char c) {
  const auto code = static_cast<unsigned char>(c);
  return code <= 32 || (c >= '0' && c <= '9');
}

}  // namespace quenterra
