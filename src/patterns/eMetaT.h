// Meta-tags: named groups of tag patterns that a Word/Tag pattern may name instead of a tag. The
// word-tag dialog edits them as a two-column table (name, contents) whose contents are the
// patterns separated by commas; these rules turn rows into meta-tags and back, and check the
// meta-tag editor's input.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "settings/Settings.h"

namespace quenterra {

// One row of the meta-tag table as the dialog shows it.
struct TMetaTagRow {
  std::string name;
  std::string contents;  // the patterns, comma-separated
  bool operator==(const TMetaTagRow&) const = default;
};

// The contents cut at every ',', each piece trimmed, empty pieces dropped: "nn, nns , ,np" gives
// nn, nns, np.
std::vector<std::string> SplitMetaTagContents(std::string_view contents);
// The patterns joined by `separator` (", " in the table; the settings file uses "," so that the
// text never grows past what was read). A meta-tag without patterns gives "," so that its row
// is kept.
std::string JoinMetaTagContents(const std::vector<std::string>& tags,
                                std::string_view separator = ", ");

// The meta-tags of the rows whose trimmed name and trimmed contents are both non-empty, in order.
std::vector<TMetaTag> MetaTagsFromRows(const std::vector<TMetaTagRow>& rows);
// The table of the meta-tags: one row each, or a single empty row when there is none.
std::vector<TMetaTagRow> MetaTagRows(const std::vector<TMetaTag>& tags);

// The first meta-tag named `name`, letter case ignored (the language's case table), or -1.
int FindMetaTag(const std::vector<TMetaTag>& tags, std::string_view name);

// Outcome of the meta-tag editor's OK.
enum class TMetaTagEditCheck {
  Ok,             // name and contents trimmed in place; the editor closes
  EmptyName,      // focus the name field and beep
  EmptyContents,  // focus the contents field and beep
  Duplicate,      // "Duplicated meta-tag name." was shown
};

// Checks the editor's fields against the table. editedRow is the row being edited, or -1 in add
// mode (then every row counts).
TMetaTagEditCheck CheckMetaTagEdit(const std::vector<TMetaTagRow>& rows, int editedRow,
                                   std::string& name, std::string& contents);

// "Add": the row goes into the table's only row when its name is empty, else after the last.
void AddMetaTagRow(std::vector<TMetaTagRow>& rows, TMetaTagRow row);
// "Remove": asks "Remove \"<name>\" ?"; on Yes removes the row, or clears the only row. Nothing
// (and no question) when the only row has an empty name or the index is out of range. Returns
// whether the table changed.
bool RemoveMetaTagRow(std::vector<TMetaTagRow>& rows, int index);

}  // namespace quenterra
