#include "dialogs/NormalTagsOptions.h"

#include <string_view>

#include "dialogs/RebuildConfirm.h"
#include "platform/Text.h"

namespace quenterra {

namespace {

char TrimmedChar(const std::string& field) {
  std::string_view trimmed = TrimControls(field);
  return trimmed.empty() ? '\0' : trimmed.front();
}

}  // namespace

TNormalTagsOptions TNormalTagsOptions::FromSettings(const ZuzadovUdirev& config) {
  return TNormalTagsOptions{std::string(1, config.TagStart), std::string(1, config.TagStop)};
}

bool TNormalTagsOptions::OkEnabled() const {
  return !TrimControls(TagStart).empty() && !TrimControls(TagStop).empty();
}

bool TNormalTagsOptions::Changed(const ZuzadovUdirev& config) const {
  return TrimmedChar(TagStart) != config.TagStart || TrimmedChar(TagStop) != config.TagStop;
}

TNormalTagsOk TNormalTagsOptions::Accept(ZuzadovUdirev& config, int corpusFileCount) const {
  if (!OkEnabled() || !Changed(config)) return TNormalTagsOk::kUnchanged;
  if (!ConfirmRebuild(corpusFileCount)) return TNormalTagsOk::kRebuildRefused;
  config.TagStart = TrimmedChar(TagStart);
  config.TagStop = TrimmedChar(TagStop);
  return TNormalTagsOk::kChanged;
}

}  // namespace quenterra
