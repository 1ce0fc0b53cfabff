// quenterra-cli: the headless front-end over the core, for scripted, reproducible runs.
#include <cstring>
#include <iostream>
#include <span>

#include "cli/Commands.h"
#include "cli/Console.h"
#include "corpus/LangTables.h"
#include "platform/Errors.h"

namespace quenterra::cli {
namespace {

const TCommand kCommands[] = {
    {"tokens", "tokens FILE...      print every token: file, source offset, kind, text", RunTokens},
};

void PrintHelp(std::ostream& out) {
  out << "Usage: quenterra-cli COMMAND [OPTIONS] ARGS...\n\nCommands:\n";
  for (const TCommand& command : kCommands) out << "  " << command.synopsis << '\n';
  out << "\nRun 'quenterra-cli COMMAND --help' for the options of a command.\n";
}

int Main(std::span<char*> argv) {
  if (argv.size() < 2 || std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0) {
    PrintHelp(argv.size() < 2 ? std::cerr : std::cout);
    return argv.size() < 2 ? 2 : 0;
  }
  for (const TCommand& command : kCommands) {
    if (std::strcmp(argv[1], command.name) != 0) continue;
    TArgs args(argv.begin() + 2, argv.end());
    return command.run(args);
  }
  std::cerr << "quenterra-cli: unknown command '" << argv[1] << "'\n";
  PrintHelp(std::cerr);
  return 2;
}

}  // namespace
}  // namespace quenterra::cli

int main(int argc, char** argv) {
  using namespace quenterra;
  try {
    InitLanguage();
    return cli::Main(std::span<char*>(argv, static_cast<size_t>(argc)));
  } catch (const cli::EUsage& usage) {
    std::cerr << "quenterra-cli: " << usage.message << '\n';
    return 2;
  } catch (const EQuenterra& error) {
    std::cerr << error.what() << '\n';
    return 1;
  } catch (const std::bad_alloc&) {
    std::cerr << "Out of memory.\n";
    return 1;
  }
}
