#include "dialogs/FEOptions.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>

#include "engine/Scores.h"
#include "platform/Messages.h"
#include "platform/NumberFormat.h"
#include "platform/Text.h"

namespace quenterra {

namespace {

constexpr const char* kInitialLabels[] = {"Minimum T-Score", "Minimum MI", "Minimum LL"};

bool IsDigit(char c) { return c >= '0' && c <= '9'; }
bool Passes(char c) { return static_cast<unsigned char>(c) <= 32; }

std::string Trimmed(const std::string& text) { return std::string(TrimSpaces(text)); }

std::string NotAFloat(const std::string& text) {
  return "'" + text + "' is not a valid floating point value.";
}

std::string NotAnInteger(const std::string& text) {
  return "'" + text + "' is not a valid integer value.";
}

// Reads span text: digits only, brought into [low, high]; false for other text.
bool SpanOfText(const std::string& text, int low, int high, int& span) {
  int32_t value = 0;
  if (!TFEOptions::ParseInteger(text, value)) return false;
  span = std::clamp<int>(value, low, high);
  return true;
}

}  // namespace

TFEOptions TFEOptions::FromSettings(bool ngramForm, TFullExtractOptions& stored,
                                    const ZuzadovUdirev& config) {
  TFEOptions dialog(ngramForm);
  if (ngramForm) {
    dialog.maxSpan_ = std::clamp(stored.Max_Span, kNGramSpanLow, kNGramSpanHigh);
  } else {
    if (stored.Min_Span >= stored.Max_Span) stored.Max_Span = stored.Min_Span + 1;
    dialog.minSpan_ = std::clamp(stored.Min_Span, kFEMinSpanLow, kFEMinSpanHigh);
    dialog.maxSpan_ = std::clamp(stored.Max_Span, kFEMaxSpanLow, kFEMaxSpanHigh);
  }
  dialog.tagsEnabled_ = config.WordTag != 0;
  dialog.usePOSTags_ = dialog.tagsEnabled_ && stored.UsePOSTags;
  dialog.initialValues_ = {stored.IFMin_T_Score, stored.IFMin_Mutual_Info, stored.IFMin_Likehood};
  dialog.costValue_ = stored.EFMin_Cost_Criteria;
  dialog.extendedMIValue_ = stored.EFMin_Mutual_Info;
  const TScoreMethod initial = ValidScoreMethod(stored.IF_Score_Method);
  dialog.initialMethod_ =
      initial == TScoreMethod::kTScore || initial == TScoreMethod::kLogLikelihood
          ? initial
          : TScoreMethod::kMutualInfo;
  dialog.initialText_ =
      FormatValue(dialog.initialValues_[static_cast<size_t>(InitialSlot(dialog.initialMethod_))]);
  dialog.extendedMethod_ = ValidScoreMethod(stored.EF_Score_Method) == TScoreMethod::kMutualInfo
                               ? TScoreMethod::kMutualInfo
                               : TScoreMethod::kCost;
  dialog.extendedText_ = dialog.extendedMethod_ == TScoreMethod::kCost
                             ? std::to_string(dialog.costValue_)
                             : FormatValue(dialog.extendedMIValue_);
  return dialog;
}

// ---- Spans ----

void TFEOptions::SetMinSpan(int value) {
  if (ngramForm_) return;
  minSpan_ = std::clamp(value, kFEMinSpanLow, kFEMinSpanHigh);
  if (minSpan_ >= 3 && initialMethod_ != TScoreMethod::kMutualInfo) {
    SelectInitialMethod(TScoreMethod::kMutualInfo);
  }
}

void TFEOptions::SetMaxSpan(int value) {
  maxSpan_ = std::clamp(value, MaxSpanLow(), MaxSpanHigh());
}

void TFEOptions::SetMinSpanText(const std::string& text) {
  int span = 0;
  if (SpanOfText(text, kFEMinSpanLow, kFEMinSpanHigh, span)) SetMinSpan(span);
}

void TFEOptions::SetMaxSpanText(const std::string& text) {
  int span = 0;
  if (SpanOfText(text, MaxSpanLow(), MaxSpanHigh(), span)) SetMaxSpan(span);
}

// ---- Filters ----

int TFEOptions::InitialSlot(TScoreMethod method) {
  if (method == TScoreMethod::kTScore) return 0;
  if (method == TScoreMethod::kLogLikelihood) return 2;
  return 1;
}

const char* TFEOptions::InitialLabel() const { return kInitialLabels[InitialSlot(initialMethod_)]; }

void TFEOptions::KeepInitialText() {
  double value = 0;
  if (ParseValue(initialText_, value))
    initialValues_[static_cast<size_t>(InitialSlot(initialMethod_))] = value;
}

void TFEOptions::KeepExtendedText() {
  if (extendedMethod_ == TScoreMethod::kCost) {
    int32_t value = 0;
    if (ParseInteger(extendedText_, value)) costValue_ = value;
  } else {
    double value = 0;
    if (ParseValue(extendedText_, value)) extendedMIValue_ = value;
  }
}

void TFEOptions::SelectInitialMethod(TScoreMethod method) {
  if (method != TScoreMethod::kTScore && method != TScoreMethod::kMutualInfo &&
      method != TScoreMethod::kLogLikelihood)
    return;
  KeepInitialText();
  initialMethod_ = method;
  initialText_ = FormatValue(initialValues_[static_cast<size_t>(InitialSlot(method))]);
}

void TFEOptions::SelectExtendedMethod(TScoreMethod method) {
  if (method != TScoreMethod::kCost && method != TScoreMethod::kMutualInfo) return;
  KeepExtendedText();
  extendedMethod_ = method;
  extendedText_ =
      method == TScoreMethod::kCost ? std::to_string(costValue_) : FormatValue(extendedMIValue_);
}

void TFEOptions::ExtendedArrow(bool up) {
  if (extendedMethod_ != TScoreMethod::kCost) {
    extendedText_ = StepTenth(extendedText_, up);
    return;
  }
  int32_t value = 0;
  if (!ParseInteger(extendedText_, value)) value = 0;
  const int64_t next = int64_t{value} + (up ? 1 : -1);
  extendedText_ = std::to_string(std::clamp<int64_t>(next, 1, INT32_MAX));
}

// ---- Editing ----

bool TFEOptions::SpanEditAccepts(char c) { return Passes(c) || IsDigit(c); }

bool TFEOptions::NumberEditAccepts(const std::string& text, size_t at, char c) {
  if (Passes(c) || IsDigit(c)) return true;
  if (c == '-') return at == 0 && text.find('-') == std::string::npos;
  const char separator = NumberFormat().decimalSeparator;
  if (c == '.' || c == separator) {
    return text.find('.') == std::string::npos && text.find(separator) == std::string::npos;
  }
  return false;
}

bool TFEOptions::ExtendedEditAccepts(size_t at, char c) const {
  if (extendedMethod_ == TScoreMethod::kCost) return Passes(c) || IsDigit(c);
  return NumberEditAccepts(extendedText_, at, c);
}

// ---- Numbers ----

std::string TFEOptions::FormatValue(double value) {
  char text[64];
  std::snprintf(text, sizeof text, "%.4f", value);
  std::string result = text;
  if (result.size() > 1 && result[0] == '-' &&
      result.find_first_not_of("-0.") == std::string::npos) {
    result.erase(0, 1);  // -0.00001 shows as 0.0000, not -0.0000
  }
  std::replace(result.begin(), result.end(), '.', NumberFormat().decimalSeparator);
  return result;
}

bool TFEOptions::ParseValue(const std::string& text, double& value) {
  std::string number = Trimmed(text);
  std::replace(number.begin(), number.end(), '.', NumberFormat().decimalSeparator);
  return !number.empty() && ParseFloat(number, value);
}

bool TFEOptions::ParseInteger(const std::string& text, int32_t& value) {
  const std::string number = Trimmed(text);
  const char* end = number.data() + number.size();
  const auto [stop, error] = std::from_chars(number.data(), end, value);
  return !number.empty() && error == std::errc() && stop == end;
}

std::string TFEOptions::StepTenth(const std::string& text, bool up) {
  double value = 0;
  if (!ParseValue(text, value)) value = 0;
  const double tenths = std::trunc(value * 10) + (up ? 1 : -1);
  return FormatValue(tenths / 10);
}

// ---- OK ----

TFEOkResult TFEOptions::Accept(TFullExtractOptions& options) {
  if (!ngramForm_ && maxSpan_ <= minSpan_) {
    MsgStop(kSpanOrderWarningTitle, kSpanOrderWarning);
    return TFEOkResult::kSpanOrder;
  }
  if (!ngramForm_) {
    double initial = 0, extendedMI = 0;
    int32_t cost = 0;
    if (!ParseValue(initialText_, initial)) {
      MsgError(NotAFloat(initialText_));
      return TFEOkResult::kNotANumber;
    }
    const bool costShown = extendedMethod_ == TScoreMethod::kCost;
    if (costShown ? !ParseInteger(extendedText_, cost) : !ParseValue(extendedText_, extendedMI)) {
      MsgError(costShown ? NotAnInteger(extendedText_) : NotAFloat(extendedText_));
      return TFEOkResult::kNotANumber;
    }
    initialValues_[static_cast<size_t>(InitialSlot(initialMethod_))] = initial;
    if (costShown) {
      costValue_ = cost;
    } else {
      extendedMIValue_ = extendedMI;
    }
  }
  options.UsePOSTags = tagsEnabled_ && usePOSTags_;
  options.Max_Span = maxSpan_;
  if (ngramForm_) return TFEOkResult::kAccepted;
  options.Min_Span = minSpan_;
  options.IF_Score_Method = static_cast<uint8_t>(initialMethod_);
  options.IFMin_T_Score = initialValues_[0];
  options.IFMin_Mutual_Info = initialValues_[1];
  options.IFMin_Likehood = initialValues_[2];
  options.EF_Score_Method = static_cast<uint8_t>(extendedMethod_);
  options.EFMin_Cost_Criteria = costValue_;
  options.EFMin_Mutual_Info = extendedMIValue_;
  return TFEOkResult::kAccepted;
}

}  // namespace quenterra
