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

bool NormalTagsOkEnabled(const std::string& tagStart, const std::string& tagStop) {
  return !TrimControls(tagStart).empty() && !TrimControls(tagStop).empty();
}

bool NormalTagsChanged(const std::string& tagStart, const std::string& tagStop,
                       const ZuzadovUdirev& config) {
  return TrimmedChar(tagStart) != config.TagStart || TrimmedChar(tagStop) != config.TagStop;
}

TNormalTagsOk AcceptNormalTags(const std::string& tagStart, const std::string& tagStop,
                               int corpusFileCount) {
  ZuzadovUdirev& config = Config();
  if (!NormalTagsOkEnabled(tagStart, tagStop) || !NormalTagsChanged(tagStart, tagStop, config))
    return TNormalTagsOk::Unchanged;
  if (!ConfirmRebuild(corpusFileCount)) return TNormalTagsOk::RebuildRefused;
  config.TagStart = TrimmedChar(tagStart);
  config.TagStop = TrimmedChar(tagStop);
  return TNormalTagsOk::Changed;
}

}  // namespace quenterra
