// The rules of the normal-tag settings dialog: the characters that open and close mark-up tags
// such as '<p class=x>'.
#pragma once

#include <string>

#include "settings/Settings.h"

namespace quenterra {

enum class TNormalTagsOk {
  kUnchanged,       // closes; nothing stored, no rebuild
  kChanged,         // closes; both characters stored, the index must be rebuilt
  kRebuildRefused,  // the rebuild question was answered No: the dialog stays open
};

struct TNormalTagsOptions {
  std::string TagStart;  // the fields as typed
  std::string TagStop;

  static TNormalTagsOptions FromSettings(const ZuzadovUdirev& config);
  // "OK" is enabled only while both fields, trimmed, are non-empty.
  bool OkEnabled() const;
  // Whether the trimmed fields name other characters than the stored TagStart and TagStop.
  bool Changed(const ZuzadovUdirev& config) const;
  // The OK button and the accepted close: asks the rebuild question when a character changed
  // and stores both characters into config when accepted.
  TNormalTagsOk Accept(ZuzadovUdirev& config, int corpusFileCount) const;
};

}  // namespace quenterra
