// `quenterra-cli workspace create|add|info|save-settings FILE.qws ...`: workspaces made, grown,
// inspected and given new settings from the command line with the same code as the File menu's
// workspace commands.
#include <cstdio>
#include <string>
#include <vector>

#include "cli/CommandCorpus.h"
#include "cli/Commands.h"
#include "cli/Console.h"
#include "cli/GlobalOptions.h"
#include "config/Workspace.h"
#include "corpus/IndexState.h"
#include "platform/Files.h"

namespace quenterra::cli {

namespace {

constexpr char kUsage[] =
    "Usage: quenterra-cli workspace create FILE.qws CORPUS...\n"
    "       quenterra-cli workspace add FILE.qws CORPUS...\n"
    "       quenterra-cli workspace info [--files] FILE.qws\n"
    "       quenterra-cli [--set KEY=VALUE...] [--stoplist FILE] workspace save-settings FILE.qws\n"
    "\n"
    "create         indexes the CORPUS files once with the settings in force (settings file,\n"
    "               --set) and saves them as a new workspace: FILE.qws holds the settings and\n"
    "               the list of corpus files, the directory FILE/ beside it the index. Fails,\n"
    "               writing nothing, when FILE.qws exists or a CORPUS file cannot be loaded.\n"
    "add            opens the workspace, indexes the CORPUS files into its index and saves\n"
    "               the longer list. Files that cannot be loaded are reported and left out\n"
    "               (exit status 1).\n"
    "info           opens the workspace as the program does (rebuilding an unusable index)\n"
    "               and prints its title, where its index comes from, the number of files and\n"
    "               the corpus information; --files also lists the corpus files.\n"
    "save-settings  makes the --set and --stoplist options the workspace's own settings and,\n"
    "               when they split text otherwise, rebuilds its index once.\n"
    "\n"
    "Corpus files inside the folder of FILE.qws are stored relative to it, so the workspace\n"
    "and its corpus can be moved together. Every command but save-settings takes --set and\n"
    "--stoplist for its own run only: they never change the stored settings or index (add\n"
    "refuses those that split text otherwise). A workspace whose corpus files cannot all be\n"
    "opened is reported (exit status 1) and its index left as it is. Any other command works\n"
    "on a saved workspace with the global option --workspace FILE.qws.\n";

struct TWorkspaceArgs {
  std::string action;
  std::string file;
  std::vector<std::string> corpus;
  bool listFiles = false;
};

TWorkspaceArgs ParseArgs(const TArgs& args, const TGlobalOptions& global) {
  TWorkspaceArgs parsed;
  bool more = true;
  std::vector<std::string> positional;
  for (const std::string& arg : args) {
    if (more && arg == "--") {
      more = false;
    } else if (more && arg == "--files") {
      parsed.listFiles = true;
    } else if (more && arg.size() > 1 && arg[0] == '-') {
      throw EUsage{"workspace: unknown option '" + arg +
                   "' (see 'quenterra-cli workspace --help')"};
    } else {
      positional.push_back(arg);
    }
  }
  if (positional.size() < 2) throw EUsage{"workspace: needs an action and FILE.qws (see --help)"};
  parsed.action = positional[0];
  parsed.file = positional[1];
  parsed.corpus.assign(positional.begin() + 2, positional.end());
  bool needsCorpus = parsed.action == "create" || parsed.action == "add";
  if (!needsCorpus && parsed.action != "info" && parsed.action != "save-settings") {
    throw EUsage{"workspace: unknown action '" + parsed.action + "'"};
  }
  if (needsCorpus == parsed.corpus.empty()) {
    throw EUsage{"workspace " + parsed.action +
                 (needsCorpus ? ": no CORPUS file given" : ": takes only FILE.qws")};
  }
  if (!IsWorkspaceFileName(parsed.file)) {
    throw EUsage{"workspace: '" + parsed.file + "' does not end in .qws"};
  }
  if (global.workspaceFile) {
    throw EUsage{"workspace: names its FILE.qws itself; --workspace is for the other commands"};
  }
  return parsed;
}

void PrintInfo(TCorpus& corpus, bool listFiles) {
  bool stored = corpus.LastIndexSource() == TIndexSourceKind::kStored;
  std::printf("%s\n", WorkspaceTitle(corpus.WorkspaceFile()).c_str());
  std::printf("workspace: %s\n", corpus.WorkspaceFile().c_str());
  std::printf("index: %s in %s\n",
              corpus.Index() == nullptr ? "none"
              : stored                  ? "stored"
                                        : "built",
              corpus.TemporaryIndex() ? "temporary files" : corpus.WorkspaceDir().c_str());
  std::printf("%s\n", corpus.StatusHint().c_str());
  std::printf("%s\n", corpus.UpdateCorpusInfo().c_str());
  if (!listFiles) return;
  for (int i = 0; i < corpus.FileCount(); ++i) {
    std::printf("file %d: %s\n", i, corpus.File(i).name.c_str());
  }
}

int Create(const TWorkspaceArgs& args, TCliSession& session) {
  TCorpus corpus(session.settings.config, session.settings.tables);
  TCreateResult result = CreateWorkspace(corpus, session.settings, args.file, args.corpus);
  if (result == TCreateResult::kExists) {
    PrintMessage(args.file + " exists: use 'quenterra-cli workspace add'.");
  }
  if (result != TCreateResult::kCreated) return 1;
  PrintInfo(corpus, false);
  return 0;
}

int Add(const TWorkspaceArgs& args, TCliSession& session) {
  // Held from before the workspace is read until it is saved, so no other run's change is lost.
  TFileLock lock = LockWorkspaceFile(args.file, TLockMode::kExclusive);
  TCorpus corpus(session.settings.config, session.settings.tables);
  TOpenWorkspaceOptions options;
  bool overridesRead = true;
  options.settingsRead = [&] {
    std::string own = TokenisationFingerprint(session.settings.config, session.settings.tables);
    overridesRead = ApplySettingOverrides(session.options, session.settings);
    if (TokenisationFingerprint(session.settings.config, session.settings.tables) != own) {
      throw EUsage{
          "workspace add: the --set options split text otherwise than the workspace's "
          "settings; make them its own first with 'workspace save-settings'"};
    }
  };
  options.requireAllFiles = true;
  if (!OpenWorkspace(corpus, session.settings, args.file, options) || !overridesRead) return 1;
  bool complete = corpus.LoadCorpusFiles(args.corpus, false).failed.empty();
  // The workspace's own settings stay; only the list of files grows.
  if (!SaveWorkspaceFileList(corpus)) return 1;
  PrintInfo(corpus, false);
  return complete ? 0 : 1;
}

int Info(const TWorkspaceArgs& args, TCliSession& session) {
  TCorpus corpus(session.settings.config, session.settings.tables);
  if (!OpenWorkspaceWithOverrides(session, corpus, args.file)) return 1;
  PrintInfo(corpus, args.listFiles);
  return 0;
}

int SaveSettings(const TWorkspaceArgs& args, TCliSession& session) {
  TFileLock lock = LockWorkspaceFile(args.file, TLockMode::kExclusive);
  TCorpus corpus(session.settings.config, session.settings.tables);
  TOpenWorkspaceOptions options;
  bool overridesRead = true;
  options.settingsRead = [&] {
    overridesRead = ApplySettingOverrides(session.options, session.settings);
  };
  options.oneOffSettings = false;  // they become the workspace's: its index is built for them
  options.requireAllFiles = true;
  if (!OpenWorkspace(corpus, session.settings, args.file, options) || !overridesRead) return 1;
  if (!SaveWorkspace(corpus, session.settings)) return 1;
  PrintInfo(corpus, false);
  return 0;
}

}  // namespace

int RunWorkspace(const TArgs& args, TCliSession& session) {
  if (!args.empty() && (args[0] == "--help" || args[0] == "-h")) {
    std::fputs(kUsage, stdout);
    return 0;
  }
  TWorkspaceArgs parsed = ParseArgs(args, session.options);
  InstallConsoleFrontEnd(session.options.assumeYes);
  int status = parsed.action == "create" ? Create(parsed, session)
               : parsed.action == "add"  ? Add(parsed, session)
               : parsed.action == "info" ? Info(parsed, session)
                                         : SaveSettings(parsed, session);
  FlushOutput();
  return status;
}

}  // namespace quenterra::cli
