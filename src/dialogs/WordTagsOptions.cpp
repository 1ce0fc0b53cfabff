#include "dialogs/WordTagsOptions.h"

#include "dialogs/RebuildConfirm.h"
#include "platform/Text.h"

namespace quenterra {

namespace {

std::string Trim(std::string_view s) { return std::string(TrimControls(s)); }

char FieldChar(const std::string& field, char stored) { return field.empty() ? stored : field[0]; }

}  // namespace

TWordTagsOptions TWordTagsOptions::FromConfig(const ZuzadovUdirev& config) {
  TWordTagsOptions dialog;
  dialog.Embedded = config.WordTag == 1;
  dialog.Outside = config.WordTag == 2;
  dialog.Delimiter = std::string(1, config.wTagDelimiter);
  dialog.TagStop = std::string(1, config.wTagStop);
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

bool WordTagsRebuildNeeded(const TWordTagsOptions& dialog, const ZuzadovUdirev& config) {
  uint8_t mode = dialog.Mode();
  if (mode != config.WordTag) return true;
  if (mode == 1) return FieldChar(dialog.Delimiter, config.wTagDelimiter) != config.wTagDelimiter;
  if (mode == 2)
    return FieldChar(dialog.TagStop, config.wTagStop) != config.wTagStop ||
           dialog.TagStarts() != config.wTagStarts;
  return false;
}

TWordTagsOk CheckWordTagsOk(const TWordTagsOptions& dialog, int corpusFileCount) {
  if (WordTagsRebuildNeeded(dialog, Config()) && !ConfirmRebuild(corpusFileCount))
    return TWordTagsOk::RebuildRefused;
  if (dialog.Outside && dialog.TagStarts().empty()) return TWordTagsOk::NoTagStart;
  return TWordTagsOk::Accepted;
}

bool StoreWordTags(const TWordTagsOptions& dialog, ZuzadovUdirev& config) {
  config.MetaTags = MetaTagsFromRows(dialog.MetaRows);
  bool rebuild = WordTagsRebuildNeeded(dialog, config);
  config.WordTag = dialog.Mode();
  config.wTagDelimiter = FieldChar(dialog.Delimiter, config.wTagDelimiter);
  if (config.WordTag == 1) {
    size_t at = config.NonWordChars.find(config.wTagDelimiter);
    if (at != std::string::npos) config.NonWordChars.erase(at, 1);
  }
  config.wTagStop = FieldChar(dialog.TagStop, config.wTagStop);
  config.wTagBefore = dialog.Before;
  config.wTagStarts = dialog.TagStarts();
  return rebuild;
}

}  // namespace quenterra
