// Several runs of quenterra-cli on one workspace at once, and runs killed at random moments.
// Seeded, so that a failure can be repeated; the moments are scaled to how long a run takes on
// this build.
#include <gtest/gtest.h>
#include <signal.h>

#include <chrono>
#include <filesystem>
#include <random>
#include <regex>
#include <string>
#include <thread>
#include <vector>

#include "support/FileDamage.h"
#include "support/RunCli.h"

namespace quenterra {
namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

// Words of a small vocabulary in which "the" is common.
std::string Text(int words, uint32_t seed) {
  std::mt19937 rng(seed);
  std::string text;
  for (int i = 0; i < words; ++i) {
    text += rng() % 4 == 0 ? "the" : "w" + std::to_string(rng() % 40 % (1 + rng() % 40));
    text += i % 12 == 11 ? '\n' : ' ';
  }
  return text;
}

std::string Join(const std::vector<std::string>& names) {
  std::string joined;
  for (const std::string& name : names) joined += " " + name;
  return joined;
}

class ConcurrencyTest : public test::TCliTest {
 protected:
  void Pause(int maxMs) { std::this_thread::sleep_for(std::chrono::milliseconds(rng_() % maxMs)); }
  // What a run over exactly these files gives, indexed apart from any workspace.
  std::string Expected(const std::string& command, const std::vector<std::string>& files) {
    return Run("--no-config " + command + " --" + Join(files)).out;
  }
  // The corpus files a workspace lists, in order.
  std::vector<std::string> Listed(const std::string& workspace) {
    std::string out = Run("workspace info --files " + workspace).out;
    std::vector<std::string> files;
    std::regex line("file [0-9]+: .*/([^/]+)\n");
    for (std::sregex_iterator it(out.begin(), out.end(), line), end; it != end; ++it)
      files.push_back((*it)[1]);
    return files;
  }
  // Temporary files of runs that never finished: TMPDIR, and TempNameBeside names anywhere.
  std::vector<std::string> Leftovers() {
    std::vector<std::string> found;
    if (!TempIsEmpty()) found.push_back("TMPDIR");
    std::regex temp(R"(.*\.tmp[0-9]+-[0-9]+$)");
    for (const auto& entry : fs::recursive_directory_iterator(Dir().Path())) {
      std::string name = entry.path().filename().string();
      if (std::regex_match(name, temp)) found.push_back(entry.path().string());
    }
    return found;
  }

  std::mt19937 rng_{7};
};

// Two writers, a writer and a reader, two creations of one name, two readers that both find the
// index damaged: every run ends well (or, for the second creation, says why not), no file added
// is lost and no list is wrong.
TEST_F(ConcurrencyTest, RunsOnOneWorkspaceTakeTurns) {
  std::vector<std::string> files;
  for (int i = 0; i < 20; ++i) {
    files.push_back("f" + std::to_string(i));
    File(files.back(), Text(400, static_cast<uint32_t>(i)));
  }
  ASSERT_EQ(Run("--no-config workspace create w.qws f0 f1").status, 0);
  std::vector<std::string> listed = {"f0", "f1"};
  const std::string extract = "extract the";
  for (int round = 0; round < 4; ++round) {
    SCOPED_TRACE("round " + std::to_string(round));
    std::string a = files[2 + 4 * round], b = files[3 + 4 * round], c = files[4 + 4 * round];
    test::TCliProcess first = Start("workspace add w.qws " + a);
    Pause(40);
    test::TCliProcess second = Start("workspace add w.qws " + b);
    EXPECT_EQ(first.Wait().status, 0);
    EXPECT_EQ(second.Wait().status, 0);
    std::vector<std::string> now = Listed("w.qws");
    listed.push_back(a);
    listed.push_back(b);
    EXPECT_EQ(now.size(), listed.size());
    EXPECT_TRUE(std::is_permutation(now.begin(), now.end(), listed.begin(), listed.end()));
    listed = now;

    std::string before = Expected(extract, listed);
    listed.push_back(c);
    std::string after = Expected(extract, listed);
    test::TCliProcess writer = Start("workspace add w.qws " + c);
    Pause(60);
    test::TCliProcess reader = Start("--workspace w.qws " + extract);
    EXPECT_EQ(writer.Wait().status, 0);
    test::TCliRun read = reader.Wait();
    EXPECT_EQ(read.status, 0);
    EXPECT_TRUE(read.out == before || read.out == after) << read.out.substr(0, 300);

    std::string name = "n" + std::to_string(round) + ".qws";
    test::TCliProcess create1 = Start("--no-config workspace create " + name + " f0");
    test::TCliProcess create2 = Start("--no-config workspace create " + name + " f1");
    test::TCliRun made1 = create1.Wait(), made2 = create2.Wait();
    EXPECT_EQ(made1.status + made2.status, 1);
    EXPECT_TRUE((made1.status ? made1 : made2)
                    .err.ends_with(name + " exists: use 'quenterra-cli workspace add'.\n"));

    test::FlipByte(Dir().File("w/SEQ_IDX.tmp"), 20000 + rng_() % 1000);
    test::TCliProcess reader1 = Start("--workspace w.qws " + extract);
    Pause(40);
    test::TCliProcess reader2 = Start("--workspace w.qws " + extract);
    test::TCliRun read1 = reader1.Wait(), read2 = reader2.Wait();
    EXPECT_EQ(read1.status + read2.status, 0);
    EXPECT_TRUE(read1.out == after && read2.out == after);
    std::string told =
        std::regex_replace(read1.err + read2.err, std::regex("quenterra-cli: waiting.*\n"), "");
    EXPECT_EQ(told, "quenterra-cli: Error loading the index.\n");  // mended once
  }
  EXPECT_TRUE(Leftovers().empty());
}

// Killed at any moment, a creation, an addition or a run without a workspace leaves nothing that
// the next run does not clear, and the next run is right.
TEST_F(ConcurrencyTest, RunsKilledAtRandomMomentsLeaveNothingBehind) {
  std::vector<std::string> files;
  for (int i = 0; i < 10; ++i) {
    files.push_back("k" + std::to_string(i));
    File(files.back(), Text(50000, static_cast<uint32_t>(100 + i)));
  }
  const std::vector<std::string> base = {files[0], files[1], files[2]};
  auto start = Clock::now();
  ASSERT_EQ(Run("--no-config workspace create a.qws" + Join(base)).status, 0);
  const int scaleMs = static_cast<int>(
      std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count() * 5 / 4 +
      1);
  auto killSomewhere = [&](const std::string& args) {
    test::TCliProcess run = Start(args);
    Pause(scaleMs);
    ::kill(run.Pid(), SIGKILL);
    return run.Wait().status;
  };

  for (int i = 0; i < 5; ++i) {
    SCOPED_TRACE("kill " + std::to_string(i));
    std::string name = "c" + std::to_string(i) + ".qws";
    killSomewhere("--no-config workspace create " + name + Join(base));
    bool made = fs::exists(Dir().File(name));  // killed once it had written the workspace file
    test::TCliRun again = Run("--no-config workspace create " + name + Join(base));
    EXPECT_EQ(again.status, made ? 1 : 0) << again.err;
    EXPECT_EQ(Run("--workspace " + name + " index").out, Expected("index", base));
    EXPECT_EQ(Leftovers(), std::vector<std::string>{});

    std::vector<std::string> before = Listed("a.qws");
    killSomewhere("workspace add a.qws " + files[3 + i]);
    std::vector<std::string> now = Listed("a.qws");
    before.push_back(files[3 + i]);
    EXPECT_TRUE(now.size() == before.size() - 1 || now == before);
    // Killed between putting the new index in place and recording it, the addition costs a
    // rebuild; never a wrong count.
    test::TCliRun next = Run("--workspace a.qws index");
    EXPECT_EQ(next.out, Expected("index", now));
    EXPECT_TRUE(next.err == "" || next.err == "Error loading the index.\n") << next.err;
    EXPECT_EQ(Leftovers(), std::vector<std::string>{});

    killSomewhere("--no-config index" + Join(files));
    EXPECT_TRUE(TempIsEmpty());
  }
}

}  // namespace
}  // namespace quenterra
