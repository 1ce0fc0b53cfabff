#include "config/ProgramSettings.h"

namespace quenterra {

TProgramSettings TProgramSettings::Defaults() {
  TProgramSettings settings;
  settings.global.Language = UserDefaultLanguage();
  settings.RebuildTables();
  return settings;
}

}  // namespace quenterra
