#include "platform/NumberFormat.h"

#include <langinfo.h>
#include <locale.h>

#include <charconv>
#include <cmath>
#include <mutex>
#include <optional>

namespace quenterra {

namespace {

std::optional<TNumberFormat>& Current() {
  static std::optional<TNumberFormat> format;
  return format;
}

std::mutex& FormatMutex() {
  static std::mutex mutex;
  return mutex;
}

bool IsBlank(char c) { return c == ' ' || c == '\t'; }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// Scans the digits at text[pos...]; returns how many there were.
size_t SkipDigits(std::string_view text, size_t& pos) {
  size_t start = pos;
  while (pos < text.size() && IsDigit(text[pos])) ++pos;
  return pos - start;
}

// The text with the decimal separator replaced by '.', when it has the shape of a float.
// A period and a comma are decimal points too, whatever the locale: a float is never written with
// grouping, so a file or a value written under one locale reads the same under any other.
std::optional<std::string> NormalizeFloat(std::string_view text, char decimal) {
  size_t pos = 0;
  std::string out;
  if (pos < text.size() && (text[pos] == '+' || text[pos] == '-')) {
    if (text[pos] == '-') out += '-';
    ++pos;
  }
  size_t start = pos;
  size_t digits = SkipDigits(text, pos);
  out.append(text.substr(start, pos - start));
  if (pos < text.size() && (text[pos] == decimal || text[pos] == '.' || text[pos] == ',')) {
    out += '.';
    start = ++pos;
    digits += SkipDigits(text, pos);
    out.append(text.substr(start, pos - start));
  }
  if (digits == 0) return std::nullopt;
  if (pos < text.size() && (text[pos] == 'e' || text[pos] == 'E')) {
    out += 'e';
    ++pos;
    if (pos < text.size() && (text[pos] == '+' || text[pos] == '-')) out += text[pos++];
    start = pos;
    if (SkipDigits(text, pos) == 0) return std::nullopt;
    out.append(text.substr(start, pos - start));
  }
  if (pos != text.size()) return std::nullopt;
  return out;
}

}  // namespace

TNumberFormat LocaleNumberFormat() {
  TNumberFormat format;
  locale_t locale = newlocale(LC_NUMERIC_MASK, "", static_cast<locale_t>(nullptr));
  if (locale == static_cast<locale_t>(nullptr)) return format;
  std::string_view decimal = nl_langinfo_l(RADIXCHAR, locale);
  std::string_view thousands = nl_langinfo_l(THOUSEP, locale);
  if (decimal.size() == 1) format.decimalSeparator = decimal[0];
  if (thousands.size() == 1)
    format.thousandSeparator = thousands[0];
  else if (thousands.size() > 1)
    format.thousandSeparator = ' ';  // a no-break space of some kind
  if (format.thousandSeparator == format.decimalSeparator)
    format.thousandSeparator = format.decimalSeparator == ',' ? '.' : ',';
  freelocale(locale);
  return format;
}

const TNumberFormat& NumberFormat() {
  std::lock_guard lock(FormatMutex());
  if (!Current()) Current() = LocaleNumberFormat();
  return *Current();
}

void SetNumberFormat(const TNumberFormat& format) {
  std::lock_guard lock(FormatMutex());
  Current() = format;
}

std::string FormatCount(int64_t value) {
  // Work on the magnitude as unsigned so that INT64_MIN formats too.
  uint64_t magnitude = value < 0 ? 0 - static_cast<uint64_t>(value) : static_cast<uint64_t>(value);
  std::string digits = std::to_string(magnitude);
  char separator = NumberFormat().thousandSeparator;
  std::string out = value < 0 ? "-" : "";
  for (size_t i = 0; i < digits.size(); ++i) {
    if (i > 0 && (digits.size() - i) % 3 == 0) out += separator;
    out += digits[i];
  }
  return out;
}

std::string FormatCount(int64_t value, std::string_view noun) {
  std::string text = FormatCount(value);
  bool one = text == "1";
  text += ' ';
  text += noun;
  if (!one) text += 's';
  return text;
}

std::string FormatByteSize(int64_t size) {
  if (size < 0) return "";
  std::string number;
  std::string unit = "byte";
  if (size < 1024) {
    number = std::to_string(size);
  } else {
    bool mega = size >= 1048576;
    char text[64];
    // to_chars, not printf: the decimal point must not follow the process locale.
    auto [end, error] = std::to_chars(text, text + sizeof text,
                                      static_cast<double>(size) / (mega ? 1048576.0 : 1024.0),
                                      std::chars_format::fixed, 2);
    number.assign(text, error == std::errc() ? end : text);
    unit = mega ? "mbyte" : "kbyte";
  }
  bool one = number == "1";
  return number + ' ' + unit + (one ? "" : "s");
}

std::string FormatFloat(double value) {
  if (!std::isfinite(value)) return "0";
  char buffer[64];
  auto [end, error] = std::to_chars(buffer, buffer + sizeof buffer, value);
  std::string text(buffer, error == std::errc() ? end : buffer);
  char decimal = NumberFormat().decimalSeparator;
  for (char& c : text)
    if (c == '.') c = decimal;
  return text;
}

bool ParseFloat(std::string_view text, double& value) {
  while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
  std::optional<std::string> normal = NormalizeFloat(text, NumberFormat().decimalSeparator);
  if (!normal) return false;
  double result = 0;
  const char* first = normal->data();
  const char* last = first + normal->size();
  auto [end, error] = std::from_chars(first, last, result);
  if (error != std::errc() || end != last || !std::isfinite(result)) return false;
  value = result;
  return true;
}

}  // namespace quenterra
