#include "settings/MetaTags.h"

#include "platform/Text.h"

namespace quenterra {

namespace {

std::string Trim(std::string_view s) { return std::string(TrimControls(s)); }

}  // namespace

std::vector<std::string> SplitMetaTagContents(std::string_view contents) {
  std::vector<std::string> tags;
  for (;;) {
    size_t comma = contents.find(',');
    std::string piece = Trim(contents.substr(0, comma));
    if (!piece.empty()) tags.push_back(std::move(piece));
    if (comma == std::string_view::npos) return tags;
    contents.remove_prefix(comma + 1);
  }
}

std::string JoinMetaTagContents(const std::vector<std::string>& tags, std::string_view separator) {
  if (tags.empty()) return ",";
  std::string text;
  for (const std::string& tag : tags) {
    if (!text.empty()) text += separator;
    text += tag;
  }
  return text;
}

std::vector<TMetaTag> MetaTagsFromRows(const std::vector<TMetaTagRow>& rows) {
  std::vector<TMetaTag> tags;
  for (const TMetaTagRow& row : rows) {
    std::string name = Trim(row.name);
    std::string contents = Trim(row.contents);
    if (name.empty() || contents.empty()) continue;
    tags.push_back(TMetaTag{std::move(name), SplitMetaTagContents(contents)});
  }
  return tags;
}

std::vector<TMetaTagRow> MetaTagRows(const std::vector<TMetaTag>& tags) {
  std::vector<TMetaTagRow> rows;
  for (const TMetaTag& tag : tags)
    rows.push_back(TMetaTagRow{tag.name, JoinMetaTagContents(tag.tags)});
  if (rows.empty()) rows.emplace_back();
  return rows;
}

}  // namespace quenterra
