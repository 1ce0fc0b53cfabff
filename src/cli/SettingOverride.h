// One setting given on the command line (--set KEY=VALUE): found by its key in the settings file,
// in whatever section it lives, letter case ignored, and put into effect through the settings
// reader. Unlike the file, which reads leniently (an unreadable number takes the default, an
// out-of-range one is clamped), the command line refuses a value that would not be read as
// written or that the setting's dialog would not allow, naming what the setting takes.
//
// Besides the keys the settings file holds, the command line reaches:
//   - every entry of a counted list, as K followed by its number ("wTagStarts0", "Word12"; the
//     list grows to hold it) and its length as K followed by "Count";
//   - the switches that the settings file does not store, UseSkippingChars and UseEqualChars.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "config/ProgramSettings.h"

namespace quenterra::cli {

// Sets one setting. `value` is in the corpus encoding. Throws EUsage for an unknown key or a
// value the setting does not take.
void SetSetting(TProgramSettings& settings, const std::string& key, const std::string& value);

// A number as the number fields of the dialogs take it: an optional '-', digits and at most one
// decimal point ('.', ',' or the locale's separator), no exponent, no infinity. Empty otherwise.
std::optional<double> PlainNumber(std::string_view text);

}  // namespace quenterra::cli
