#include "cli/SettingOverride.h"

#include <algorithm>
#include <cctype>
#include <climits>

#include "cli/GlobalOptions.h"
#include "config/SettingsFile.h"
#include "platform/IniFile.h"
#include "platform/NumberFormat.h"
#include "platform/Text.h"

namespace quenterra::cli {

namespace {

enum class TValueKind : uint8_t {
  kText,         // any text
  kCharacter,    // one character, or none
  kInteger,      // a whole number from low to high
  kChoice,       // one of the numbers whose bits are set in `choices`
  kBoolean,      // 0 or 1
  kFloat,        // a plain number
  kEqualChars,   // groups such as a=b;c=d=e
  kLanguage,     // a language the program knows
  kEncoding,     // UTF-8 or CodePage
  kWrittenOnly,  // written to the file, never read back
  kUnstored,     // a switch the settings file does not hold (0 or 1)
};

struct TValueRule {
  const char* key;
  TValueKind kind;
  int64_t low = 0;
  int64_t high = 0;
  uint32_t choices = 0;
};

constexpr uint32_t kScoreChoices = 1u << 0 | 1u << 1 | 1u << 2 | 1u << 4;  // none, t, mi, ll

// The keys that take less than any text; the others (NonWordChars, fonts, paths) take any.
const TValueRule kRules[] = {
    {"TagStart", TValueKind::kCharacter},
    {"TagStop", TValueKind::kCharacter},
    {"WildCard0orMore", TValueKind::kCharacter},
    {"WildCard0or1", TValueKind::kCharacter},
    {"WildCardExactly1", TValueKind::kCharacter},
    {"TagSearchSeparator", TValueKind::kCharacter},
    {"TagUnorderedChar", TValueKind::kCharacter},
    {"TagSubsequentChar", TValueKind::kCharacter},
    {"wTagDelimiter", TValueKind::kCharacter},
    {"wTagStop", TValueKind::kCharacter},
    {"SpanRange", TValueKind::kInteger, 2, 12},
    {"Min_Word_Freq", TValueKind::kInteger, 1, 32767},
    {"Last_Method_Selected", TValueKind::kChoice, 0, 0, kScoreChoices},
    {"IF_Score_Method", TValueKind::kChoice, 0, 0, kScoreChoices},
    {"EF_Score_Method", TValueKind::kChoice, 0, 0, 1u << 2 | 1u << 3},
    {"EFMin_Cost_Criteria", TValueKind::kInteger, INT32_MIN, INT32_MAX},
    {"Min_Span", TValueKind::kInteger, 2, 11},
    {"Max_Span", TValueKind::kInteger, 2, 12},
    {"WordTag", TValueKind::kInteger, 0, 2},
    {"LastBatchSyntax", TValueKind::kInteger, 0, 2},
    {"SkipNormalTags", TValueKind::kBoolean},
    {"ignoreCase", TValueKind::kBoolean},
    {"UseStoplist", TValueKind::kBoolean},
    {"UsePOSTags", TValueKind::kBoolean},
    {"wTagBefore", TValueKind::kBoolean},
    {"IFMin_T_Score", TValueKind::kFloat},
    {"IFMin_Mutual_Info", TValueKind::kFloat},
    {"IFMin_Likehood", TValueKind::kFloat},
    {"EFMin_Mutual_Info", TValueKind::kFloat},
    {"EqualChars", TValueKind::kEqualChars},
    {"Language", TValueKind::kLanguage},
    {"CorpusEncoding", TValueKind::kEncoding},
    {"CorpusPath", TValueKind::kWrittenOnly},
    {"StopListPath", TValueKind::kWrittenOnly},
    {"WildCardMatchWords", TValueKind::kWrittenOnly},
    {"MatchWordsLo", TValueKind::kWrittenOnly},
    {"MatchWordsHi", TValueKind::kWrittenOnly},
    {"UseSkippingChars", TValueKind::kUnstored},
    {"UseEqualChars", TValueKind::kUnstored},
};

// The counted lists: their section and key.
const std::pair<const char*, const char*> kLists[] = {
    {"ExtractHistory", "WordPhrase"},        {"ExtractHistory", "RegExp"},
    {"ExtractHistory", "WordTag"},           {"ExtractHistory", "Batch"},
    {"Word Tag Settings", "wTagStarts"},     {"Word Tag Settings", "MetaTagNames"},
    {"Word Tag Settings", "MetaTagStrings"}, {"StopList", "Word"},
};
constexpr int64_t kMaxListEntries = 10000;

bool SameKey(std::string_view a, std::string_view b) {
  return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
    return std::tolower(static_cast<unsigned char>(x)) ==
           std::tolower(static_cast<unsigned char>(y));
  });
}

bool AllDigits(std::string_view text) {
  return !text.empty() &&
         std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

const TValueRule* RuleOf(std::string_view key) {
  for (const TValueRule& rule : kRules)
    if (SameKey(key, rule.key)) return &rule;
  return nullptr;
}

[[noreturn]] void Refuse(const std::string& key, const std::string& value,
                         const std::string& takes) {
  throw EUsage{"--set " + key + "=" + value + ": " + key + " takes " + takes};
}

std::string ChoiceText(uint32_t choices) {
  std::vector<std::string> values;
  for (int bit = 0; bit < 32; ++bit)
    if (choices & (1u << bit)) values.push_back(std::to_string(bit));
  std::string text;
  for (size_t i = 0; i < values.size(); ++i)
    text += (i == 0 ? "" : i + 1 == values.size() ? " or " : ", ") + values[i];
  return text;
}

std::string RangeText(const TValueRule& rule) {
  if (rule.low == INT32_MIN) return "a whole number";
  return "a whole number from " + std::to_string(rule.low) + " to " + std::to_string(rule.high);
}

bool Integer(const std::string& value, int64_t low, int64_t high) {
  int32_t number = 0;
  return ParseProfileInteger(TrimControls(value), number) && number >= low && number <= high;
}

bool Encoding(const std::string& value) {
  std::string name;
  for (char c : value)
    if (c != '-' && c != ' ')
      name += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return name == "utf8" || name == "codepage";
}

// Throws EUsage when the value is not one the rule takes.
void Check(const TValueRule& rule, const std::string& key, const std::string& value,
           const TProgramSettings& settings) {
  int32_t number = 0;
  std::vector<TCharSet> groups;
  switch (rule.kind) {
    case TValueKind::kText:
      return;
    case TValueKind::kCharacter:
      if (settings.tables.Coding().Length(TrimControls(value)) > 1)
        Refuse(key, value, "one character");
      return;
    case TValueKind::kInteger:
      if (!Integer(value, rule.low, rule.high)) Refuse(key, value, RangeText(rule));
      return;
    case TValueKind::kChoice:
      if (!Integer(value, 0, 31) || !ParseProfileInteger(TrimControls(value), number) ||
          !(rule.choices & (1u << number)))
        Refuse(key, value, ChoiceText(rule.choices));
      return;
    case TValueKind::kBoolean:
    case TValueKind::kUnstored:
      if (!Integer(value, 0, 1)) Refuse(key, value, "0 (off) or 1 (on)");
      return;
    case TValueKind::kFloat:
      if (!PlainNumber(value)) Refuse(key, value, "a number such as 0.5");
      return;
    case TValueKind::kEqualChars:
      if (!ParseEqualChars(value, settings.tables.Coding(), groups))
        Refuse(key, value, "groups of letters such as a=b;c=d=e");
      return;
    case TValueKind::kLanguage:
      if (!ParseProfileInteger(TrimControls(value), number) || number <= 0 ||
          StoredLanguage(static_cast<uint32_t>(number)) != static_cast<uint32_t>(number))
        Refuse(key, value, "the id of a language the program knows, such as 1033 (English)");
      return;
    case TValueKind::kEncoding:
      if (!Encoding(value)) Refuse(key, value, "UTF-8 or CodePage");
      return;
    case TValueKind::kWrittenOnly:
      throw EUsage{"--set " + key + ": the program writes " + key + " but never reads it"};
  }
}

// The list that `key` names an entry ("Word3") or the length ("WordCount") of; its section and
// key, and the entry's number (-1 for the length).
struct TListEntry {
  const char* section;
  const char* list;
  int64_t entry;
};

std::optional<TListEntry> ListEntryOf(std::string_view key) {
  for (const auto& [section, list] : kLists) {
    const size_t length = std::string_view(list).size();
    if (key.size() <= length || !SameKey(key.substr(0, length), list)) continue;
    const std::string_view rest = key.substr(length);
    if (SameKey(rest, "Count")) return TListEntry{section, list, -1};
    if (AllDigits(rest) && rest.size() <= 5 && std::stoll(std::string(rest)) < kMaxListEntries)
      return TListEntry{section, list, std::stoll(std::string(rest))};
  }
  return std::nullopt;
}

// Rewrites the counted list with the entry (or the length) set; its keys are renumbered.
void SetListEntry(TIniFile& file, const TListEntry& at, const std::string& key,
                  const std::string& value) {
  std::vector<std::string> entries = ReadCountedListEntries(file, at.section, at.list);
  if (!file.ValueExists(at.section, std::string(at.list) + "Count")) entries.clear();
  if (at.entry < 0) {
    if (!Integer(value, 0, kMaxListEntries)) {
      Refuse(key, value, "a whole number from 0 to " + std::to_string(kMaxListEntries));
    }
    int32_t count = 0;
    ParseProfileInteger(TrimControls(value), count);
    entries.resize(static_cast<size_t>(count));
  } else {
    entries.resize(std::max(entries.size(), static_cast<size_t>(at.entry) + 1));
    entries[static_cast<size_t>(at.entry)] = value;
  }
  for (const std::string& name : file.KeyNames(at.section)) {
    if (std::optional<TListEntry> old = ListEntryOf(name); old && old->list == at.list)
      file.DeleteKey(at.section, name);
  }
  WriteCountedList(file, at.section, at.list, entries);
}

void SetUnstored(TProgramSettings& settings, const std::string& key, const std::string& value) {
  const bool on = TrimControls(value) != "0";
  (SameKey(key, "UseSkippingChars") ? settings.config.UseSkippingChars
                                    : settings.config.UseEqualChars) = on;
  settings.RebuildTables();
}

}  // namespace

std::optional<double> PlainNumber(std::string_view text) {
  const char decimal = NumberFormat().decimalSeparator;
  size_t pos = text.starts_with('-') ? 1 : 0;
  bool digits = false, point = false;
  for (; pos < text.size(); ++pos) {
    const char c = text[pos];
    if (c >= '0' && c <= '9') {
      digits = true;
    } else if ((c == '.' || c == ',' || c == decimal) && !point) {
      point = true;
    } else {
      return std::nullopt;
    }
  }
  double value = 0;
  if (!digits || !ParseFloat(text, value)) return std::nullopt;
  return value;
}

void SetSetting(TProgramSettings& settings, const std::string& key, const std::string& value) {
  const TValueRule* rule = RuleOf(key);
  if (rule != nullptr) Check(*rule, key, value, settings);
  if (rule != nullptr && rule->kind == TValueKind::kUnstored) {
    SetUnstored(settings, key, value);
    return;
  }
  TIniFile effective;
  WriteSettingsTo(effective, settings);
  if (std::optional<TListEntry> entry = ListEntryOf(key)) {
    SetListEntry(effective, *entry, key, value);
    ReadSettingsFrom(effective, settings);
    return;
  }
  for (const std::string& section : effective.SectionNames()) {
    if (!effective.ValueExists(section, key)) continue;
    effective.WriteString(section, key, value);
    ReadSettingsFrom(effective, settings);
    return;
  }
  throw EUsage{"unknown setting '" + key + "' (see 'quenterra-cli config' for the keys)"};
}

}  // namespace quenterra::cli
