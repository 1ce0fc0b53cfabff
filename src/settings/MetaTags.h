// Meta-tags: named groups of tag patterns that a Word/Tag pattern may name instead of a tag. The
// word-tag dialog shows them as a two-column table (name, contents) whose contents are the
// patterns separated by commas, and the settings file stores the two columns as two lists; these
// rules turn rows into meta-tags and back.
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

}  // namespace quenterra
