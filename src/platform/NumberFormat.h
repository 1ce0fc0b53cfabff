// The user's number format: the thousands and decimal separators of the user's locale
// (LC_NUMERIC). Counts are shown with the thousands separator ("12,345"); floats in the settings
// file are written and read with the decimal separator.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace quenterra {

struct TNumberFormat {
  char thousandSeparator = ',';
  char decimalSeparator = '.';
  bool operator==(const TNumberFormat&) const = default;
};

// The separators in force. Taken from the user's locale (LC_ALL / LC_NUMERIC / LANG) at first use
// without touching the process locale; the C and POSIX locales give ',' and '.'. A separator that
// is not a single byte in the locale falls back to ',' (thousands, a space when the locale uses a
// multi-byte space) and '.' (decimal).
const TNumberFormat& NumberFormat();
// Replaces the separators in force (tests, or a front-end that knows better).
void SetNumberFormat(const TNumberFormat& format);
// The separators that the user's locale gives, as NumberFormat() takes them at first use.
TNumberFormat LocaleNumberFormat();

// A count with the thousands separator every three digits: 12345 gives "12,345".
std::string FormatCount(int64_t value);
// The count, a space and the noun, plural unless the count reads "1": "12,345 words", "1 type".
std::string FormatCount(int64_t value, std::string_view noun);
// A size in bytes: "512 bytes", "1 byte", from 1024 "1.50 kbytes", from 1048576 "2.00 mbytes"
// (always two decimals and a period, whatever the locale). A negative size gives "".
std::string FormatByteSize(int64_t size);

// The shortest decimal text that reads back as exactly `value`, with the decimal separator
// ("0,5" when it is ','). Infinities and NaN give "0".
std::string FormatFloat(double value);
// Reads a float written with the decimal separator, a period or a comma (floats are written
// without grouping, so either is a decimal point): an optional sign, digits with at most one
// separator, an optional exponent; spaces around it are allowed. Rejects everything else,
// including infinities, NaN and values out of range. Returns whether `value` was set.
bool ParseFloat(std::string_view text, double& value);

}  // namespace quenterra
