// The rules of the part-of-speech tag settings dialog: the word-tag mode (none, embedded in the
// word behind a delimiter, or outside the word between a start string and a stop character), its
// characters, and the meta-tag table. The dialog binds its controls to a TWordTagsOptions.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "settings/Settings.h"
#include "patterns/eMetaT.h"

namespace quenterra {

struct TWordTagsOptions {
  static constexpr size_t kMinTagStartRows = 4;  // the start-string grid's rows at first

  bool Embedded = false;                  // "Embedded in Word": mode 1
  bool Outside = false;                   // "Outside Word": mode 2
  std::string Delimiter;                  // one character, or empty
  std::string TagStop;                    // one character, or empty
  bool Before = false;                    // "Before Word"
  std::vector<std::string> TagStartRows;  // the grid's rows, blank ones included
  std::vector<TMetaTagRow> MetaRows;      // the meta-tag table

  bool operator==(const TWordTagsOptions&) const = default;

  static TWordTagsOptions FromConfig(const ZuzadovUdirev& config);
  uint8_t Mode() const { return Embedded ? 1 : Outside ? 2 : 0; }
  // The two check boxes exclude each other: ticking one clears the other.
  void SetEmbedded(bool on);
  void SetOutside(bool on);
  // The grid rows that are not blank, trimmed, top to bottom.
  std::vector<std::string> TagStarts() const;
};

// Whether accepting changes how the corpus splits into tokens: another mode; in mode 1 another
// delimiter; in mode 2 another stop character or other start strings. "Before Word" and the
// meta-tags never do.
bool WordTagsRebuildNeeded(const TWordTagsOptions& dialog, const ZuzadovUdirev& config);

enum class TWordTagsOk {
  Accepted,
  RebuildRefused,  // the rebuild question was answered No
  NoTagStart,      // mode 2 without a start string: focus the grid and beep
};

// The OK button: the rebuild question when needed, then the start-string check.
TWordTagsOk CheckWordTagsOk(const TWordTagsOptions& dialog, int corpusFileCount);

// After an accepted close: stores the meta-tags, then the mode, characters and start strings (in
// mode 1 the delimiter's first occurrence leaves NonWordChars). Returns whether the index must be
// rebuilt. An empty character field keeps the stored character.
bool StoreWordTags(const TWordTagsOptions& dialog, ZuzadovUdirev& config);

}  // namespace quenterra
