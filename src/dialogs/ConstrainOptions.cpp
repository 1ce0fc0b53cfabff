#include "dialogs/ConstrainOptions.h"

#include "dialogs/RebuildConfirm.h"
#include "platform/Messages.h"

namespace quenterra {

namespace {

struct TFieldName {
  const char* name;  // as messages name the field
  const char* kind;  // the kind word before the name
};

constexpr TFieldName kFieldNames[kSpecialFieldCount] = {
    {"0 or more", "wildcard charecter"}, {"0 or 1", "wildcard charecter"},
    {"exactly 1", "wildcard charecter"}, {"tag search separator", ""},
    {"unordered word separator", ""},    {"subsequent word separator", ""},
};

// The field at an index of TConstrainOptions::special.
TSpecialField FieldAt(size_t index) { return static_cast<TSpecialField>(index); }

bool IsWildcard(size_t field) { return FieldAt(field) <= TSpecialField::kWC1; }

TConstrainError MissingField(size_t field) {
  std::string name = kFieldNames[field].name;
  std::string text = IsWildcard(field) ? "Must specify a " + name + " wildcard charecter!"
                                       : "Must specify a " + name + "!";
  return TConstrainError{text, FieldAt(field)};
}

TConstrainError EqualFields(size_t first, size_t second) {
  const TFieldName& a = kFieldNames[first];
  const TFieldName& b = kFieldNames[second];
  return TConstrainError{std::string("The ") + a.kind + " " + a.name + " is equal to the " +
                             b.kind + " " + b.name + "!",
                         FieldAt(first)};
}

std::string OneChar(char c) { return std::string(1, c); }

char FirstChar(const std::string& field) { return field.empty() ? '\0' : field[0]; }

TCharSet SetOf(const std::string& chars) {
  TCharSet set;
  set.AddAll(chars);
  return set;
}

}  // namespace

TConstrainOptions TConstrainOptions::FromSettings(const ZuzadovUdirev& config) {
  TConstrainOptions dialog;
  dialog.special = {OneChar(config.WildCard0orMore),  OneChar(config.WildCard0or1),
                    OneChar(config.WildCardExactly1), OneChar(config.TagSearchSeparator),
                    OneChar(config.TagUnorderedChar), OneChar(config.TagSubsequentChar)};
  for (std::string& field : dialog.special)
    if (field[0] == '\0') field.clear();
  dialog.NonWordChars = config.NonWordChars;
  dialog.EqualChars = config.EqualChars;
  dialog.SkippingChars = config.SkippingChars;
  dialog.UseEqualChars = config.UseEqualChars;
  dialog.UseSkippingChars = config.UseSkippingChars;
  dialog.UseStoplist = config.UseStoplist;
  dialog.SkipNormalTags = config.SkipNormalTags;
  dialog.ignoreCase = config.ignoreCase;
  return dialog;
}

TConstrainOptions TConstrainOptions::Defaults() {
  TConstrainOptions dialog = FromSettings(ZuzadovUdirev{});
  dialog.EqualChars.clear();
  dialog.UseEqualChars = false;
  dialog.UseSkippingChars = false;
  return dialog;
}

std::optional<TConstrainError> TConstrainOptions::ValidateSpecialChars() const {
  const auto& fields = special;
  for (size_t i = 0; i + 1 < kSpecialFieldCount; ++i) {
    if (fields[i].empty()) return MissingField(i);
    for (size_t j = i + 1; j < kSpecialFieldCount; ++j) {
      if (fields[j].empty()) return MissingField(j);
      if (fields[i][0] == fields[j][0]) return EqualFields(i, j);
    }
  }
  return std::nullopt;
}

TCharSet TConstrainOptions::DelimiterSet() const {
  TCharSet set;
  set.AddRange(0, 32);
  set.AddAll(NonWordChars);
  for (const std::string& field : special) set.Add(static_cast<unsigned char>(FirstChar(field)));
  return set;
}

bool TConstrainOptions::RebuildNeeded(const ZuzadovUdirev& config) const {
  if (SkipNormalTags != config.SkipNormalTags || ignoreCase != config.ignoreCase ||
      UseSkippingChars != config.UseSkippingChars)
    return true;
  if (UseSkippingChars && SetOf(SkippingChars) != SetOf(config.SkippingChars)) return true;
  return DelimiterSet() != BuildDelimiterSet(config);
}

void TConstrainOptions::Store(const std::optional<std::vector<TCharSet>>& equalGroups,
                              ZuzadovUdirev& config) const {
  const TConstrainOptions& dialog = *this;
  config.WildCard0orMore = FirstChar(dialog.Special(TSpecialField::kWC0orMore));
  config.WildCard0or1 = FirstChar(dialog.Special(TSpecialField::kWC0or1));
  config.WildCardExactly1 = FirstChar(dialog.Special(TSpecialField::kWC1));
  config.TagSearchSeparator = FirstChar(dialog.Special(TSpecialField::kSearchSep));
  config.TagUnorderedChar = FirstChar(dialog.Special(TSpecialField::kUnordered));
  config.TagSubsequentChar = FirstChar(dialog.Special(TSpecialField::kSubsequent));
  config.NonWordChars = dialog.NonWordChars;
  config.EqualChars = dialog.EqualChars;
  if (equalGroups) config.EqualGroups = *equalGroups;
  config.SkippingChars = dialog.SkippingChars;
  config.UseEqualChars = dialog.UseEqualChars;
  config.UseSkippingChars = dialog.UseSkippingChars;
  config.UseStoplist = dialog.UseStoplist;
  config.SkipNormalTags = dialog.SkipNormalTags;
  config.ignoreCase = dialog.ignoreCase;
}

TConstrainOkResult TConstrainOptions::Accept(ZuzadovUdirev& config, int corpusFileCount) const {
  TConstrainOkResult result;
  if (std::optional<TConstrainError> error = ValidateSpecialChars()) {
    MsgError(error->message);
    result.focus = error->field;
    return result;
  }
  std::optional<std::vector<TCharSet>> groups(std::in_place);
  if (!ParseEqualChars(EqualChars, *groups)) {
    MsgError("Wrong syntax in equal charecters.");
    groups.reset();
  }
  bool rebuild = RebuildNeeded(config);
  if (rebuild && !ConfirmRebuild(corpusFileCount)) return result;
  Store(groups, config);
  result.accepted = true;
  result.rebuild = rebuild;
  return result;
}

}  // namespace quenterra
