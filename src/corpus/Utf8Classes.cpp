#include "corpus/Utf8Classes.h"

#include <algorithm>

#include "platform/CharType.h"
#include "platform/Unicode.h"

namespace quenterra {

TUtf8Classes::TUtf8Classes(bool turkic, bool noCase, const TCharCoding& coding,
                           const ZuzadovUdirev& config)
    : turkic_(turkic),
      noCase_(noCase),
      ignoreCase_(config.ignoreCase),
      coding_(coding),
      nonWord_(CharSetOf(config.NonWordChars, coding)) {
  if (!config.UseEqualChars) return;
  for (const TCharSet& group : config.EqualGroups) AddEqualGroup(group);
  std::stable_sort(equal_.begin(), equal_.end(),
                   [](const auto& a, const auto& b) { return a.first < b.first; });
  // A member of several groups belongs to the last, as each group overwrites the map.
  std::vector<std::pair<TChar, TChar>> unique;
  for (const auto& entry : equal_) {
    if (!unique.empty() && unique.back().first == entry.first)
      unique.back() = entry;
    else
      unique.push_back(entry);
  }
  equal_ = std::move(unique);
}

// The representative is the lowest member, folded with ignoreCase; members are looked up folded
// too, so that every case form of a member compares as the representative.
void TUtf8Classes::AddEqualGroup(const TCharSet& group) {
  const std::vector<TChar> members = group.Members();
  if (members.empty()) return;
  const TChar representative = ignoreCase_ ? Fold(members.front()) : members.front();
  for (TChar member : members)
    equal_.emplace_back(ignoreCase_ ? Fold(member) : member, representative);
}

TChar TUtf8Classes::Fold(TChar c) const { return noCase_ ? c : unicode::Fold(c, turkic_); }

TChar TUtf8Classes::Upper(TChar c) const { return unicode::Upper(c, turkic_); }

TChar TUtf8Classes::Translate(TChar c) const {
  const TChar folded = ignoreCase_ ? Fold(c) : c;
  if (equal_.empty()) return folded;
  auto at = std::lower_bound(equal_.begin(), equal_.end(), folded,
                             [](const auto& entry, TChar key) { return entry.first < key; });
  return at != equal_.end() && at->first == folded ? at->second : folded;
}

uint8_t TUtf8Classes::CharType(TChar c) const {
  // Every punctuation character that is not a delimiter belongs to words.
  if (nonWord_.Contains(c)) return kCtPunct;
  const uint8_t type = unicode::CharType(c);
  return (type & kCtPunct) != 0 ? static_cast<uint8_t>(kCtUpper | kCtLower) : type;
}

uint8_t TUtf8Classes::WordClass(TChar c) const {
  const uint8_t type = CharType(c);
  unsigned bits = 0;
  if ((type & (kCtUpper | kCtLower | kCtDigit)) != 0 || c == '_') bits |= kReWord;
  if ((type & (kCtSpace | kCtBlank)) != 0) bits |= kReSpace;
  if ((type & kCtDigit) != 0) bits |= kReDigit;
  return static_cast<uint8_t>(bits);
}

}  // namespace quenterra
