// The options every command of quenterra-cli takes, before or after the command name: where the
// settings come from (--config FILE, --no-config, --workspace FILE.qws, which also supplies the
// corpus), overrides of single settings by their INI key (--set KEY=VALUE), a stop-list file
// (--stoplist FILE), the answer to every question (--yes), and whether to wait for a workspace
// that another run is using (--no-wait).
#pragma once

#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "config/ProgramSettings.h"

namespace quenterra::cli {

using TArgs = std::vector<std::string>;

// Thrown for bad command-line usage: main prints the text and exits with status 2.
struct EUsage {
  std::string message;
};

struct TGlobalOptions {
  std::optional<std::string> configFile;                  // --config FILE
  bool noConfig = false;                                  // --no-config
  std::vector<std::pair<std::string, std::string>> sets;  // --set KEY=VALUE, in order
  std::optional<std::string> stopListFile;                // --stoplist FILE
  std::optional<std::string> workspaceFile;               // --workspace FILE.qws
  bool assumeYes = false;                                 // --yes
  bool noWait = false;                                    // --no-wait
};

// The help text of the global options, for --help.
extern const char kGlobalOptionsHelp[];

// Takes the global options out of `args` wherever they stand before a "--" (which is kept for
// the command). Throws EUsage for a missing argument, a malformed --set or --config together
// with --no-config.
TGlobalOptions ExtractGlobalOptions(TArgs& args);

// Puts the options into effect on `settings`: reads the settings (the default settings file when
// present, the --config file, the --workspace file, or none), then ApplySettingOverrides.
// Returns false after printing the reason when the settings or the stop list cannot be read;
// throws EUsage for an unknown setting.
bool ApplyGlobalOptions(const TGlobalOptions& options, TProgramSettings& settings);
// Applies the --set overrides and loads the --stoplist file, which also switches UseStoplist on;
// run again after a workspace's settings replaced them. Values and stop words are converted from
// the locale's character set to the corpus encoding (CorpusEncoding and Language are set first;
// file names stay as they are); throws EUnencodable for a character the encoding cannot hold.
// False when the stop list cannot be read.
bool ApplySettingOverrides(const TGlobalOptions& options, TProgramSettings& settings);

}  // namespace quenterra::cli
