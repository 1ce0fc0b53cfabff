#include "dialogs/NormalTagsOptions.h"

#include <string_view>

#include "dialogs/RebuildConfirm.h"
#include "platform/Text.h"

namespace quenterra {

namespace {

TChar TrimmedChar(const std::string& field, const TCharCoding& coding) {
  return coding.First(TrimControls(field));
}

}  // namespace

TNormalTagsOptions TNormalTagsOptions::FromSettings(const ZuzadovUdirev& config,
                                                    const TCharCoding& coding) {
  return TNormalTagsOptions{coding.Encode(config.TagStart), coding.Encode(config.TagStop), coding};
}

bool TNormalTagsOptions::OkEnabled() const {
  return !TrimControls(TagStart).empty() && !TrimControls(TagStop).empty();
}

bool TNormalTagsOptions::Changed(const ZuzadovUdirev& config) const {
  return TrimmedChar(TagStart, coding) != config.TagStart ||
         TrimmedChar(TagStop, coding) != config.TagStop;
}

TNormalTagsOk TNormalTagsOptions::Accept(ZuzadovUdirev& config, int corpusFileCount) const {
  if (!OkEnabled() || !Changed(config)) return TNormalTagsOk::kUnchanged;
  if (!ConfirmRebuild(corpusFileCount)) return TNormalTagsOk::kRebuildRefused;
  config.TagStart = TrimmedChar(TagStart, coding);
  config.TagStop = TrimmedChar(TagStop, coding);
  return TNormalTagsOk::kChanged;
}

}  // namespace quenterra
