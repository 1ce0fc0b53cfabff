#include "cli/ListCommand.h"

#include <cstdio>
#include <iostream>

#include "cli/CommandCorpus.h"
#include "cli/Console.h"
#include "engine/NGrams.h"

namespace quenterra::cli {

namespace {

// The command's settings and checks, in the order the run needs them. A stop list in use whose
// file could not be read (the message is out) would give a list computed on less than asked.
bool Ready(TListCommand& command, TProgramSettings& settings) {
  command.apply(settings);
  if (settings.config.UseStoplist && settings.stopList.LoadFailed()) return false;
  return !command.prepare || command.prepare(settings);
}

}  // namespace

int RunListCommand(TListCommand& command, TCliSession& session) {
  if (command.help) {
    std::fputs(command.usage.c_str(), stdout);
    return 0;
  }
  const bool workspace = session.options.workspaceFile.has_value();
  InstallConsoleFrontEnd(session.options.assumeYes);
  if (!workspace && command.files.empty()) CommandUsage(command.name, "no FILE given");
  std::unique_ptr<TCorpus> corpus;
  if (workspace &&
      !(corpus = OpenCommandCorpus(session, command.files, command.name, command.contents)))
    return 1;
  if (!Ready(command, session.settings)) return 1;
  if (!workspace &&
      !(corpus = OpenCommandCorpus(session, command.files, command.name, command.contents)))
    return 1;
  if (corpus->Index() == nullptr) {
    PrintMessage(command.name + ": the corpus has no index");
    return 1;
  }
  if (corpus->Index()->GetStats(RunKinds(session.settings.config)).frequency == 0) {
    PrintMessage(command.name + ": the corpus holds no words to count");
    return 1;
  }
  TListResult result = command.compute(*corpus, session.settings);
  if (result.print) return result.print() ? 0 : 1;
  if (result.list == nullptr) return 1;
  if (result.askedMethod != TScoreMethod::kNone && result.shownMethod == TScoreMethod::kNone) {
    PrintMessage(command.name + ": " + ScoreLongName(result.askedMethod) +
                 " scores two words only: the list shows no score");
  }
  PrintList(*result.list, command.list, result.shownMethod, result.caption);
  return 0;
}

}  // namespace quenterra::cli
