#include "support/RunCli.h"

#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>

namespace quenterra::test {
namespace {

std::string Quote(const std::string& text) { return "'" + text + "'"; }

}  // namespace

TCliRun TCliTest::Run(const std::string& args, const std::string& locale) const {
  const std::string command =
      "cd " + Quote(data_.Path().string()) + " && env LC_ALL=" + Quote(locale) +
      " TMPDIR=" + Quote(tmp_.Path().string()) + " XDG_CONFIG_HOME=" + Quote(data_.File("xdg")) +
      " " + Quote(QUENTERRA_CLI) + " " + args + " </dev/null >" + Quote(io_.File("out")) + " 2>" +
      Quote(io_.File("err"));
  const int raw = std::system(command.c_str());
  return TCliRun{WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, io_.Read("out"), io_.Read("err")};
}

std::string TCliTest::File(const std::string& name, const std::string& text) const {
  return Quote(data_.Write(name, text));
}

bool TCliTest::TempIsEmpty() const { return std::filesystem::is_empty(tmp_.Path()); }

}  // namespace quenterra::test
