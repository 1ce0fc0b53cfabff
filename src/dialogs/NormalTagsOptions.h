// The rules of the normal-tag settings dialog: the characters that open and close mark-up tags
// such as '<p class=x>'.
#pragma once

#include <string>

#include "settings/Settings.h"

namespace quenterra {

// "OK" is enabled only while both fields, trimmed, are non-empty.
bool NormalTagsOkEnabled(const std::string& tagStart, const std::string& tagStop);

// Whether the trimmed fields name other characters than the stored TagStart and TagStop.
bool NormalTagsChanged(const std::string& tagStart, const std::string& tagStop,
                       const ZuzadovUdirev& config);

enum class TNormalTagsOk {
  Unchanged,       // closes; nothing stored, no rebuild
  Changed,         // closes; both characters stored, the index must be rebuilt
  RebuildRefused,  // the rebuild question was answered No: the dialog stays open
};

// The OK button and the accepted close: asks the rebuild question when a character changed and
// stores both characters into Config() when accepted.
TNormalTagsOk AcceptNormalTags(const std::string& tagStart, const std::string& tagStop,
                               int corpusFileCount);

}  // namespace quenterra
