#include <iostream>

#include "cli/Commands.h"
#include "cli/Console.h"
#include "config/SettingsFile.h"
#include "platform/IniFile.h"

namespace quenterra::cli {

int RunConfig(const TArgs& args, TCliSession& session) {
  if (!args.empty() && (args[0] == "--help" || args[0] == "-h")) {
    std::cout << "Usage: quenterra-cli config [--config FILE | --no-config] [--set KEY=VALUE]...\n"
                 "Prints the settings in effect as the settings file would hold them.\n";
    return 0;
  }
  if (!args.empty()) throw EUsage{"config takes no arguments"};
  TIniFile effective;
  WriteSettingsTo(effective, session.settings);
  std::cout << effective.Text();
  FlushOutput();
  return 0;
}

}  // namespace quenterra::cli
