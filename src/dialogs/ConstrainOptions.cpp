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

}  // namespace

TConstrainOptions TConstrainOptions::FromSettings(const ZuzadovUdirev& config,
                                                  const TCharCoding& coding) {
  TConstrainOptions dialog;
  dialog.coding = coding;
  const TChar special[] = {config.WildCard0orMore,  config.WildCard0or1,
                           config.WildCardExactly1, config.TagSearchSeparator,
                           config.TagUnorderedChar, config.TagSubsequentChar};
  for (size_t i = 0; i < kSpecialFieldCount; ++i)
    dialog.special[i] = special[i] == 0 ? std::string() : coding.Encode(special[i]);
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

TConstrainOptions TConstrainOptions::Defaults(const TCharCoding& coding) {
  TConstrainOptions dialog = FromSettings(ZuzadovUdirev{}, coding);
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
      if (coding.First(fields[i]) == coding.First(fields[j])) return EqualFields(i, j);
    }
  }
  return std::nullopt;
}

TCharSet TConstrainOptions::DelimiterSet() const {
  TCharSet set = CharSetOf(NonWordChars, coding);
  set.AddRange(0, 32);
  for (const std::string& field : special) set.Add(coding.First(field));
  return set;
}

bool TConstrainOptions::RebuildNeeded(const ZuzadovUdirev& config) const {
  if (SkipNormalTags != config.SkipNormalTags || ignoreCase != config.ignoreCase ||
      UseSkippingChars != config.UseSkippingChars)
    return true;
  if (UseSkippingChars &&
      CharSetOf(SkippingChars, coding) != CharSetOf(config.SkippingChars, coding))
    return true;
  return DelimiterSet() != BuildDelimiterSet(config, coding);
}

void TConstrainOptions::Store(const std::optional<std::vector<TCharSet>>& equalGroups,
                              ZuzadovUdirev& config) const {
  const TConstrainOptions& dialog = *this;
  config.WildCard0orMore = coding.First(dialog.Special(TSpecialField::kWC0orMore));
  config.WildCard0or1 = coding.First(dialog.Special(TSpecialField::kWC0or1));
  config.WildCardExactly1 = coding.First(dialog.Special(TSpecialField::kWC1));
  config.TagSearchSeparator = coding.First(dialog.Special(TSpecialField::kSearchSep));
  config.TagUnorderedChar = coding.First(dialog.Special(TSpecialField::kUnordered));
  config.TagSubsequentChar = coding.First(dialog.Special(TSpecialField::kSubsequent));
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
  if (!ParseEqualChars(EqualChars, coding, *groups)) {
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
