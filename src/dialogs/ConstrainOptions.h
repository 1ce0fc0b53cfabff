// The rules of the constrain options dialog: the special characters of the search syntax, the
// splitter's character settings and three switches. The dialog binds its fields to a
// TConstrainOptions; validation, the rebuild decision and storing live here.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/CharCoding.h"
#include "platform/CharSet.h"
#include "settings/Settings.h"

namespace quenterra {

// The one-character fields, in the order they are validated.
enum class TSpecialField : uint8_t {
  kWC0orMore,
  kWC0or1,
  kWC1,
  kSearchSep,
  kUnordered,
  kSubsequent,
};
inline constexpr size_t kSpecialFieldCount = 6;

// A refused OK: the message shown and the field that takes the focus.
struct TConstrainError {
  std::string message;
  TSpecialField field;
};

struct TConstrainOkResult {
  bool accepted = false;               // the dialog closes
  std::optional<TSpecialField> focus;  // refused: the field to focus, if any
  bool rebuild = false;                // accepted: the index must be rebuilt
};

// What the dialog's fields hold.
struct TConstrainOptions {
  std::array<std::string, kSpecialFieldCount> special;  // one character each, or empty
  std::string NonWordChars;                             // delimiters field
  std::string EqualChars;                               // as typed
  std::string SkippingChars;                            // skipped-characters field
  bool UseEqualChars = false;
  bool UseSkippingChars = false;
  bool UseStoplist = false;
  bool SkipNormalTags = true;
  bool ignoreCase = true;
  TCharCoding coding;  // how the fields' characters are read

  bool operator==(const TConstrainOptions&) const = default;

  std::string& Special(TSpecialField field) { return special[static_cast<size_t>(field)]; }
  const std::string& Special(TSpecialField field) const {
    return special[static_cast<size_t>(field)];
  }

  // The fields filled from the settings; coding is the corpus encoding's (TLangTables::Coding).
  static TConstrainOptions FromSettings(const ZuzadovUdirev& config, const TCharCoding& coding);
  // What "Default" puts into the fields: the factory settings, both switches off, no equal
  // characters.
  static TConstrainOptions Defaults(const TCharCoding& coding);

  // The six fields must be non-empty and pairwise different ("Must specify a 0 or more wildcard
  // charecter!", "The wildcard charecter 0 or 1 is equal to the wildcard charecter exactly 1!").
  std::optional<TConstrainError> ValidateSpecialChars() const;
  // Characters 0..32, the delimiters field and the six one-character fields.
  TCharSet DelimiterSet() const;
  // Whether accepting changes how the corpus splits into tokens, against config: skip normal
  // tags, ignore case or the skipping switch changed; skipping on with another set of skipped
  // characters; another delimiter set than BuildDelimiterSet(config). Equal characters and the
  // stop-list switch never do.
  bool RebuildNeeded(const ZuzadovUdirev& config) const;

  // The OK button: validates (showing any message), parses the equal characters (a syntax error
  // shows "Wrong syntax in equal charecters." and keeps the old groups, but does not refuse), asks
  // the rebuild question when needed (No refuses), and on acceptance stores the values into
  // config. Nothing is changed when refused.
  TConstrainOkResult Accept(ZuzadovUdirev& config, int corpusFileCount) const;
  // Copies every field into the settings; the equal groups become `equalGroups` when given.
  void Store(const std::optional<std::vector<TCharSet>>& equalGroups, ZuzadovUdirev& config) const;
};

}  // namespace quenterra
