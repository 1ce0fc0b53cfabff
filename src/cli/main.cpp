// quenterra-cli: the headless front-end over the core, for scripted, reproducible runs.
#include <csignal>
#include <iostream>
#include <span>

#include "cli/Commands.h"
#include "cli/Console.h"
#include "cli/GlobalOptions.h"
#include "platform/Errors.h"

namespace quenterra::cli {
namespace {

constexpr char kVersion[] = QUENTERRA_VERSION;

const TCommand kCommands[] = {
    {"tokens", "tokens FILE...      print every token: file, source offset, kind, text", RunTokens},
    {"config", "config              print the settings in effect as a settings file", RunConfig},
    {"index", "index [--stats] FILE...  build the text index and print words and types", RunIndex},
    {"extract", "extract [OPTIONS] PATTERN FILE...  count the collocations of a pattern",
     RunExtract},
    {"ngrams", "ngrams [--span N] [--pos-tags] [OPTIONS] FILE...  count the n-grams", RunNGrams},
    {"full-extract", "full-extract [OPTIONS] FILE...  find the word sequences that behave as units",
     RunFullExtract},
    {"concordance", "concordance [OPTIONS] PATTERN FILE...  the lines where a pattern matches",
     RunConcordance},
    {"collocates", "collocates [OPTIONS] PATTERN FILE...  the words around a pattern, by position",
     RunCollocates},
    {"wordlist", "wordlist [OPTIONS] FILE...  every word with its frequency and range",
     RunWordList},
    {"keyness", "keyness --reference REF.qws [OPTIONS] FILE...  keywords against a reference",
     RunKeyness},
    {"workspace",
     "workspace create|add|info|save-settings FILE.qws [CORPUS...]  manage a workspace",
     RunWorkspace},
};

void PrintHelp(std::ostream& out) {
  out << "Usage: quenterra-cli [GLOBAL OPTIONS] COMMAND [OPTIONS] ARGS...\n"
         "       quenterra-cli --help | --version\n\nCommands:\n";
  for (const TCommand& command : kCommands) out << "  " << command.synopsis << '\n';
  out << '\n'
      << kGlobalOptionsHelp
      << "\nThe settings come from QUENTERRA.INI beside the program, else from\n"
         "$XDG_CONFIG_HOME/quenterra/QUENTERRA.INI (default ~/.config/quenterra/); the defaults\n"
         "apply when there is none. With --workspace they come from the workspace.\n"
         "\nRun 'quenterra-cli COMMAND --help' for the options of a command.\n";
}

int Main(std::span<char*> argv) {
  TArgs args(argv.begin() + (argv.empty() ? 0 : 1), argv.end());
  TCliSession session;
  session.options = ExtractGlobalOptions(args);
  InstallConsoleMessages(session.options.assumeYes);
  InstallConsoleLockPolicy(!session.options.noWait);
  if (args.empty() || args[0] == "--help" || args[0] == "-h") {
    PrintHelp(args.empty() ? std::cerr : std::cout);
    if (!args.empty()) FlushOutput();
    return args.empty() ? 2 : 0;
  }
  if (args[0] == "--version") {
    std::cout << "quenterra-cli " << kVersion << '\n';
    FlushOutput();
    return 0;
  }
  for (const TCommand& command : kCommands) {
    if (args[0] != command.name) continue;
    if (!ApplyGlobalOptions(session.options, session.settings)) return 1;
    return command.run(TArgs(args.begin() + 1, args.end()), session);
  }
  PrintMessage("unknown command '" + args[0] + "'");
  PrintHelp(std::cerr);
  return 2;
}

}  // namespace
}  // namespace quenterra::cli

int main(int argc, char** argv) {
  using namespace quenterra;
  // A reader that goes away (`quenterra-cli tokens ... | head`) must end the run through a failed
  // write, which unwinds like any other failure, not by a signal.
  std::signal(SIGPIPE, SIG_IGN);
  // Likewise a file-size limit: the write fails (to the run, a full disk) and the run ends
  // cleanly, leaving what it stores as it was.
  std::signal(SIGXFSZ, SIG_IGN);
  try {
    return cli::Main(std::span<char*>(argv, static_cast<size_t>(argc)));
  } catch (const cli::EUsage& usage) {
    cli::PrintMessage(usage.message);
    return 2;
  } catch (const cli::EOutputClosed&) {
    return 0;
  } catch (const EQuenterra& error) {
    cli::PrintMessage(error.what());
    return 1;
  } catch (const std::bad_alloc&) {
    cli::PrintMessage("Out of memory.");
    return 1;
  }
}
