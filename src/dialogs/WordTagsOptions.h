// The rules of the part-of-speech tag settings dialog: the word-tag mode (none, embedded in the
// word behind a delimiter, or outside the word between a start string and a stop character), its
// characters, and the meta-tag table with its editor. The dialog binds its controls to a
// TWordTagsOptions.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "corpus/LangTables.h"
#include "settings/MetaTags.h"
#include "settings/Settings.h"

namespace quenterra {

enum class TWordTagsOk {
  kAccepted,
  kRebuildRefused,  // the rebuild question was answered No
  kNoTagStart,      // mode 2 without a start string: focus the grid and beep
};

struct TWordTagsOptions {
  static constexpr size_t kMinTagStartRows = 4;  // the start-string grid's rows at first

  bool Embedded = false;                  // "Embedded in Word": mode 1
  bool Outside = false;                   // "Outside Word": mode 2
  std::string Delimiter;                  // one character, or empty
  std::string TagStop;                    // one character, or empty
  bool Before = false;                    // "Before Word"
  std::vector<std::string> TagStartRows;  // the grid's rows, blank ones included
  std::vector<TMetaTagRow> MetaRows;      // the meta-tag table
  TCharCoding coding;                     // how the fields' characters are read

  bool operator==(const TWordTagsOptions&) const = default;

  // The fields of the settings; coding is the corpus encoding's (TLangTables::Coding).
  static TWordTagsOptions FromSettings(const ZuzadovUdirev& config, const TCharCoding& coding);
  uint8_t Mode() const { return Embedded ? 1 : Outside ? 2 : 0; }
  // The two check boxes exclude each other: ticking one clears the other.
  void SetEmbedded(bool on);
  void SetOutside(bool on);
  // The grid rows that are not blank, trimmed, top to bottom.
  std::vector<std::string> TagStarts() const;

  // Whether accepting changes how the corpus splits into tokens: another mode; in mode 1 another
  // delimiter; in mode 2 another stop character or other start strings. "Before Word" and the
  // meta-tags never do.
  bool RebuildNeeded(const ZuzadovUdirev& config) const;
  // The OK button: the rebuild question when needed, then the start-string check.
  TWordTagsOk CheckOk(const ZuzadovUdirev& config, int corpusFileCount) const;
  // After an accepted close: stores the meta-tags, then the mode, characters and start strings
  // (in mode 1 the delimiter's first occurrence leaves NonWordChars). Returns whether the index
  // must be rebuilt. An empty character field keeps the stored character.
  bool Store(ZuzadovUdirev& config) const;
};

// The meta-tag editor, a dialog of the word-tag dialog.
// Outcome of the meta-tag editor's OK.
enum class TMetaTagEditCheck {
  kOk,             // name and contents trimmed in place; the editor closes
  kEmptyName,      // focus the name field and beep
  kEmptyContents,  // focus the contents field and beep
  kDuplicate,      // "Duplicated meta-tag name." was shown
};

// Checks the editor's fields against the table, names compared with letter case ignored (the
// tables' case table). editedRow is the row being edited, or -1 in add mode (then every row
// counts).
TMetaTagEditCheck CheckMetaTagEdit(const std::vector<TMetaTagRow>& rows, int editedRow,
                                   std::string& name, std::string& contents,
                                   const TLangTables& tables);

// "Add": the row goes into the table's only row when its name is empty, else after the last.
void AddMetaTagRow(std::vector<TMetaTagRow>& rows, TMetaTagRow row);
// "Remove": asks "Remove \"<name>\" ?" (the name decoded by the tables); on Yes removes the row,
// or clears the only row. Nothing (and no question) when the only row has an empty name or the
// index is out of range. Returns whether the table changed.
bool RemoveMetaTagRow(std::vector<TMetaTagRow>& rows, int index, const TLangTables& tables);

}  // namespace quenterra
