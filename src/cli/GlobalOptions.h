// The options every command of quenterra-cli takes, before or after the command name: where the
// settings come from (--config FILE, --no-config), overrides of single settings by their INI key
// (--set KEY=VALUE), and a stop-list file (--stoplist FILE).
#pragma once

#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "cli/Commands.h"

namespace quenterra::cli {

struct TGlobalOptions {
  std::optional<std::string> configFile;                    // --config FILE
  bool noConfig = false;                                    // --no-config
  std::vector<std::pair<std::string, std::string>> sets;  // --set KEY=VALUE, in order
  std::optional<std::string> stopListFile;                 // --stoplist FILE
};

// The help text of the global options, for --help.
extern const char kGlobalOptionsHelp[];

// Takes the global options out of `args` wherever they stand before a "--" (which is kept for
// the command). Throws EUsage for a missing argument, a malformed --set or --config together
// with --no-config.
TGlobalOptions ExtractGlobalOptions(TArgs& args);

// Puts the options into effect: reads the settings (the default settings file when present,
// the --config file, or none), applies the --set overrides and loads the --stoplist file, which
// also switches UseStoplist on. Returns false after printing the reason when the settings or the
// stop list cannot be read; throws EUsage for an unknown setting.
bool ApplyGlobalOptions(const TGlobalOptions& options);

// Sets one setting by its INI key (looked up in every section, letter case ignored) through the
// settings reader, so encodings and limits apply as for the file. Throws EUsage for a key the
// settings file does not hold.
void SetSetting(const std::string& key, const std::string& value);

}  // namespace quenterra::cli
