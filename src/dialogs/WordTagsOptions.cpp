#include "dialogs/WordTagsOptions.h"

#include "dialogs/RebuildConfirm.h"
#include "dialogs/TypedText.h"
#include "platform/Messages.h"
#include "platform/Text.h"

namespace quenterra {

namespace {

std::string Trim(std::string_view s) { return std::string(TrimControls(s)); }

TChar FieldChar(const std::string& field, TChar stored, const TCharCoding& coding) {
  return field.empty() ? stored : coding.First(field);
}

}  // namespace

TWordTagsOptions TWordTagsOptions::FromSettings(const ZuzadovUdirev& config,
                                                const TCharCoding& coding) {
  TWordTagsOptions dialog;
  dialog.coding = coding;
  dialog.Embedded = config.WordTag == 1;
  dialog.Outside = config.WordTag == 2;
  dialog.Delimiter = coding.Encode(config.wTagDelimiter);
  dialog.TagStop = coding.Encode(config.wTagStop);
  dialog.Before = config.wTagBefore;
  dialog.TagStartRows = config.wTagStarts;
  if (dialog.TagStartRows.size() < kMinTagStartRows) dialog.TagStartRows.resize(kMinTagStartRows);
  dialog.MetaRows = MetaTagRows(config.MetaTags);
  return dialog;
}

void TWordTagsOptions::SetEmbedded(bool on) {
  Embedded = on;
  if (on) Outside = false;
}

void TWordTagsOptions::SetOutside(bool on) {
  Outside = on;
  if (on) Embedded = false;
}

std::vector<std::string> TWordTagsOptions::TagStarts() const {
  std::vector<std::string> starts;
  for (const std::string& row : TagStartRows)
    if (std::string start = Trim(row); !start.empty()) starts.push_back(std::move(start));
  return starts;
}

bool TWordTagsOptions::RebuildNeeded(const ZuzadovUdirev& config) const {
  uint8_t mode = Mode();
  if (mode != config.WordTag) return true;
  if (mode == 1) return FieldChar(Delimiter, config.wTagDelimiter, coding) != config.wTagDelimiter;
  if (mode == 2)
    return FieldChar(TagStop, config.wTagStop, coding) != config.wTagStop ||
           TagStarts() != config.wTagStarts;
  return false;
}

TWordTagsOk TWordTagsOptions::CheckOk(const ZuzadovUdirev& config, int corpusFileCount) const {
  if (RebuildNeeded(config) && !ConfirmRebuild(corpusFileCount))
    return TWordTagsOk::kRebuildRefused;
  if (Outside && TagStarts().empty()) return TWordTagsOk::kNoTagStart;
  return TWordTagsOk::kAccepted;
}

bool TWordTagsOptions::Store(ZuzadovUdirev& config) const {
  const TWordTagsOptions& dialog = *this;
  config.MetaTags = MetaTagsFromRows(dialog.MetaRows);
  bool rebuild = RebuildNeeded(config);
  config.WordTag = dialog.Mode();
  config.wTagDelimiter = FieldChar(dialog.Delimiter, config.wTagDelimiter, coding);
  if (config.WordTag == 1) {
    const std::string delimiter = coding.Encode(config.wTagDelimiter);
    size_t at = config.NonWordChars.find(delimiter);
    if (at != std::string::npos) config.NonWordChars.erase(at, delimiter.size());
  }
  config.wTagStop = FieldChar(dialog.TagStop, config.wTagStop, coding);
  config.wTagBefore = dialog.Before;
  config.wTagStarts = dialog.TagStarts();
  return rebuild;
}

// ---- The meta-tag editor ----

TMetaTagEditCheck CheckMetaTagEdit(const std::vector<TMetaTagRow>& rows, int editedRow,
                                   std::string& name, std::string& contents,
                                   const TLangTables& tables) {
  name = Trim(name);
  contents = Trim(contents);
  if (name.empty()) return TMetaTagEditCheck::kEmptyName;
  if (contents.empty()) return TMetaTagEditCheck::kEmptyContents;
  std::string folded = tables.FoldString(name);
  for (size_t i = 0; i < rows.size(); ++i) {
    if (static_cast<int>(i) == editedRow) continue;
    if (tables.FoldString(Trim(rows[i].name)) == folded) {
      MsgError("Duplicated meta-tag name.");
      return TMetaTagEditCheck::kDuplicate;
    }
  }
  return TMetaTagEditCheck::kOk;
}

void AddMetaTagRow(std::vector<TMetaTagRow>& rows, TMetaTagRow row) {
  if (rows.size() == 1 && rows[0].name.empty())
    rows[0] = std::move(row);
  else
    rows.push_back(std::move(row));
}

bool RemoveMetaTagRow(std::vector<TMetaTagRow>& rows, int index, const TLangTables& tables) {
  if (index < 0 || static_cast<size_t>(index) >= rows.size()) return false;
  if (rows.size() == 1 && rows[0].name.empty()) return false;
  const std::string& name = rows[static_cast<size_t>(index)].name;
  if (!MsgAsk("Remove \"" + ShownText(name, tables) + "\" ?")) return false;
  if (rows.size() == 1)
    rows[0] = TMetaTagRow{};
  else
    rows.erase(rows.begin() + index);
  return true;
}

}  // namespace quenterra
