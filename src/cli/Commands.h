// The commands of quenterra-cli. Each takes the arguments after its name and the session (the
// global options and the settings they put into effect) and returns the exit status; failures
// of the core propagate as exceptions to main, which prints their message.
#pragma once

#include <string>
#include <vector>

#include "cli/GlobalOptions.h"
#include "config/ProgramSettings.h"

namespace quenterra::cli {

// What every command works with: the run's global options and the current settings, which the
// options have put into effect. main owns the one session of a run.
struct TCliSession {
  TGlobalOptions options;
  TProgramSettings settings = TProgramSettings::Defaults();
};

struct TCommand {
  const char* name;
  const char* synopsis;  // one line for --help
  int (*run)(const TArgs& args, TCliSession& session);
};

int RunTokens(const TArgs& args, TCliSession& session);
int RunIndex(const TArgs& args, TCliSession& session);
int RunExtract(const TArgs& args, TCliSession& session);
int RunNGrams(const TArgs& args, TCliSession& session);
int RunFullExtract(const TArgs& args, TCliSession& session);
int RunConcordance(const TArgs& args, TCliSession& session);
int RunCollocates(const TArgs& args, TCliSession& session);
int RunWordList(const TArgs& args, TCliSession& session);
int RunKeyness(const TArgs& args, TCliSession& session);
int RunConfig(const TArgs& args, TCliSession& session);
int RunWorkspace(const TArgs& args, TCliSession& session);

}  // namespace quenterra::cli
