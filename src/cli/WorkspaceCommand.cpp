// `quenterra-cli workspace create|add|info FILE.qws ...`: workspaces made, grown and inspected
// from the command line with the same code as the File menu's workspace commands.
#include <cstdio>
#include <string>
#include <vector>

#include "cli/CommandCorpus.h"
#include "cli/Commands.h"
#include "cli/Console.h"
#include "cli/GlobalOptions.h"
#include "config/Workspace.h"
#include "platform/Files.h"

namespace quenterra::cli {

namespace {

constexpr char kUsage[] =
    "Usage: quenterra-cli workspace create FILE.qws CORPUS...\n"
    "       quenterra-cli workspace add FILE.qws CORPUS...\n"
    "       quenterra-cli workspace info [--files] FILE.qws\n"
    "\n"
    "create  indexes the CORPUS files once with the settings in force (settings file, --set)\n"
    "        and saves them as a new workspace: FILE.qws holds the settings and the list of\n"
    "        corpus files, the directory FILE/ beside it the index. Fails, writing nothing,\n"
    "        when FILE.qws exists or a CORPUS file cannot be loaded.\n"
    "add     opens the workspace, indexes the CORPUS files into its index and saves it. Files\n"
    "        that cannot be loaded are reported and left out (exit status 1).\n"
    "info    opens the workspace as the program does (rebuilding an unusable index) and\n"
    "        prints its title, where its index comes from, the number of files and the\n"
    "        corpus information; --files also lists the corpus files.\n"
    "\n"
    "Every command uses the workspace's settings with the --set options on top. Any other\n"
    "command works on a saved workspace with the global option --workspace FILE.qws.\n";

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
  if (!needsCorpus && parsed.action != "info") {
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
              corpus.WorkspaceDir().c_str());
  std::printf("%s\n", corpus.StatusHint().c_str());
  std::printf("%s\n", corpus.UpdateCorpusInfo().c_str());
  if (!listFiles) return;
  for (int i = 0; i < corpus.FileCount(); ++i) {
    std::printf("file %d: %s\n", i, corpus.File(i).name.c_str());
  }
}

int Create(const TWorkspaceArgs& args, TCliSession& session) {
  if (FileExists(args.file)) {
    std::fprintf(stderr, "%s exists: use 'quenterra-cli workspace add'.\n", args.file.c_str());
    return 1;
  }
  TCorpus corpus(session.settings.config, session.settings.tables);
  if (!corpus.LoadCorpusFiles(args.corpus, false).failed.empty()) return 1;
  // The Save As road: the temporary index moves into the workspace's directory.
  if (!SaveWorkspaceAs(corpus, session.settings, args.file, "")) return 1;
  PrintInfo(corpus, false);
  return 0;
}

int Add(const TWorkspaceArgs& args, TCliSession& session) {
  TCorpus corpus(session.settings.config, session.settings.tables);
  if (!OpenWorkspaceWithOverrides(session, corpus, args.file)) return 1;
  bool complete = corpus.LoadCorpusFiles(args.corpus, false).failed.empty();
  if (!SaveWorkspace(corpus, session.settings)) return 1;
  PrintInfo(corpus, false);
  return complete ? 0 : 1;
}

int Info(const TWorkspaceArgs& args, TCliSession& session) {
  TCorpus corpus(session.settings.config, session.settings.tables);
  if (!OpenWorkspaceWithOverrides(session, corpus, args.file)) return 1;
  PrintInfo(corpus, args.listFiles);
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
                                         : Info(parsed, session);
  return std::fflush(stdout) == 0 ? status : 1;
}

}  // namespace quenterra::cli
