#include "patterns/eMetaT.h"

#include "corpus/LangTables.h"
#include "platform/Messages.h"
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
  for (const TMetaTag& tag : tags) rows.push_back(TMetaTagRow{tag.name, JoinMetaTagContents(tag.tags)});
  if (rows.empty()) rows.emplace_back();
  return rows;
}

int FindMetaTag(const std::vector<TMetaTag>& tags, std::string_view name) {
  std::string folded = FoldString(name);
  for (size_t i = 0; i < tags.size(); ++i)
    if (FoldString(tags[i].name) == folded) return static_cast<int>(i);
  return -1;
}

TMetaTagEditCheck CheckMetaTagEdit(const std::vector<TMetaTagRow>& rows, int editedRow,
                                   std::string& name, std::string& contents) {
  name = Trim(name);
  contents = Trim(contents);
  if (name.empty()) return TMetaTagEditCheck::EmptyName;
  if (contents.empty()) return TMetaTagEditCheck::EmptyContents;
  std::string folded = FoldString(name);
  for (size_t i = 0; i < rows.size(); ++i) {
    if (static_cast<int>(i) == editedRow) continue;
    if (FoldString(Trim(rows[i].name)) == folded) {
      MsgError("Duplicated meta-tag name.");
      return TMetaTagEditCheck::Duplicate;
    }
  }
  return TMetaTagEditCheck::Ok;
}

void AddMetaTagRow(std::vector<TMetaTagRow>& rows, TMetaTagRow row) {
  if (rows.size() == 1 && rows[0].name.empty())
    rows[0] = std::move(row);
  else
    rows.push_back(std::move(row));
}

bool RemoveMetaTagRow(std::vector<TMetaTagRow>& rows, int index) {
  if (index < 0 || static_cast<size_t>(index) >= rows.size()) return false;
  if (rows.size() == 1 && rows[0].name.empty()) return false;
  if (!MsgAsk("Remove \"" + rows[static_cast<size_t>(index)].name + "\" ?")) return false;
  if (rows.size() == 1)
    rows[0] = TMetaTagRow{};
  else
    rows.erase(rows.begin() + index);
  return true;
}

}  // namespace quenterra
