// The commands of quenterra-cli. Each takes the arguments after its name and returns the exit
// status; failures of the core propagate as exceptions to main, which prints their message.
#pragma once

#include <string>
#include <vector>

namespace quenterra::cli {

using TArgs = std::vector<std::string>;

struct TCommand {
  const char* name;
  const char* synopsis;  // one line for --help
  int (*run)(const TArgs& args);
};

int RunTokens(const TArgs& args);
int RunIndex(const TArgs& args);
int RunExtract(const TArgs& args);
int RunNGrams(const TArgs& args);
int RunFullExtract(const TArgs& args);
int RunConfig(const TArgs& args);
int RunWorkspace(const TArgs& args);

// Thrown for bad command-line usage: main prints the text and exits with status 2.
struct EUsage {
  std::string message;
};

}  // namespace quenterra::cli
