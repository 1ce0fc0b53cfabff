// The rules of the normal-tag settings dialog: the characters that open and close mark-up tags
// such as '<p class=x>'.
#pragma once

#include <string>

#include "platform/CharCoding.h"
#include "settings/Settings.h"

namespace quenterra {

enum class TNormalTagsOk {
  kUnchanged,       // closes; nothing stored, no rebuild
  kChanged,         // closes; both characters stored, the index must be rebuilt
  kRebuildRefused,  // the rebuild question was answered No: the dialog stays open
};

struct TNormalTagsOptions {
  std::string TagStart;  // the fields as typed, in the corpus encoding
  std::string TagStop;
  TCharCoding coding;  // how the fields' characters are read

  // The fields of the settings; coding is the corpus encoding's (TLangTables::Coding).
  static TNormalTagsOptions FromSettings(const ZuzadovUdirev& config, const TCharCoding& coding);
  // "OK" is enabled only while both fields, trimmed, are non-empty.
  bool OkEnabled() const;
  // Whether the trimmed fields name other characters than the stored TagStart and TagStop.
  bool Changed(const ZuzadovUdirev& config) const;
  // The OK button and the accepted close: asks the rebuild question when a character changed
  // and stores both characters into config when accepted.
  TNormalTagsOk Accept(ZuzadovUdirev& config, int corpusFileCount) const;
};

}  // namespace quenterra
