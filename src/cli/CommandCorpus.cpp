#include "cli/CommandCorpus.h"

#include "cli/Commands.h"
#include "cli/Console.h"
#include "cli/GlobalOptions.h"
#include "config/Workspace.h"

namespace quenterra::cli {

bool OpenWorkspaceWithOverrides(TCorpus& corpus, const std::string& fileName) {
  bool overridesRead = true;
  bool opened = OpenWorkspace(corpus, fileName, [&overridesRead] {
    overridesRead = ApplySettingOverrides(CurrentGlobalOptions());
  });
  return opened && overridesRead;
}

std::unique_ptr<TCorpus> OpenCommandCorpus(const std::vector<std::string>& files,
                                           const std::string& command) {
  const TGlobalOptions& options = CurrentGlobalOptions();
  if (options.workspaceFile && !files.empty()) {
    throw EUsage{command +
                 ": FILE arguments and --workspace exclude each other (see "
                 "'quenterra-cli workspace add')"};
  }
  if (!options.workspaceFile && files.empty()) {
    throw EUsage{command + ": no FILE given (see 'quenterra-cli " + command + " --help')"};
  }
  InstallConsoleFrontEnd(options.assumeYes);
  auto corpus = std::make_unique<TCorpus>();
  if (options.workspaceFile) {
    if (!OpenWorkspaceWithOverrides(*corpus, *options.workspaceFile)) return nullptr;
    return corpus;
  }
  // Every file named must take part: a run over part of the corpus would mislead.
  if (!corpus->LoadCorpusFiles(files, false).failed.empty()) return nullptr;
  return corpus;
}

}  // namespace quenterra::cli
