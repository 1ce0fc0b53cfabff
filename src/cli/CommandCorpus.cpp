#include "cli/CommandCorpus.h"

#include <iostream>

#include "cli/Commands.h"
#include "cli/Console.h"
#include "cli/GlobalOptions.h"
#include "config/Workspace.h"

namespace quenterra::cli {

namespace {

constexpr char kTemporaryIndexLine[] =
    "the --set options split the corpus otherwise than the workspace's settings: "
    "indexing it in temporary files for this run ('workspace save-settings' makes them its own)";

}  // namespace

bool OpenWorkspaceWithOverrides(TCliSession& session, TCorpus& corpus,
                                const std::string& fileName) {
  bool overridesRead = true;
  TOpenWorkspaceOptions options;
  options.settingsRead = [&] {
    overridesRead = ApplySettingOverrides(session.options, session.settings);
  };
  options.indexingTemporarily = [] { PrintMessage(kTemporaryIndexLine); };
  options.requireAllFiles = true;
  bool opened = OpenWorkspace(corpus, session.settings, fileName, options);
  return opened && overridesRead;
}

std::unique_ptr<TCorpus> OpenCommandCorpus(TCliSession& session,
                                           const std::vector<std::string>& files,
                                           const std::string& command, TIndexContents contents) {
  const TGlobalOptions& options = session.options;
  if (options.workspaceFile && !files.empty()) {
    throw EUsage{command +
                 ": FILE arguments and --workspace exclude each other (see "
                 "'quenterra-cli workspace add')"};
  }
  if (!options.workspaceFile && files.empty()) {
    throw EUsage{command + ": no FILE given (see 'quenterra-cli " + command + " --help')"};
  }
  InstallConsoleFrontEnd(options.assumeYes);
  auto corpus = std::make_unique<TCorpus>(session.settings.config, session.settings.tables);
  corpus->IndexFiles().SetTemporaryContents(contents);
  if (options.workspaceFile) {
    if (!OpenWorkspaceWithOverrides(session, *corpus, *options.workspaceFile)) return nullptr;
    return corpus;
  }
  // Every file named must take part: a run over part of the corpus would mislead.
  if (!corpus->LoadCorpusFiles(files, false, TOnUnopenedFile::kStop).failed.empty()) return nullptr;
  return corpus;
}

}  // namespace quenterra::cli
