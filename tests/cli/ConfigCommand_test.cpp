// Runs the built quenterra-cli on settings files in a temporary folder.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>

#include "config/IniFile.h"
#include "support/TempDir.h"

namespace quenterra {
namespace {

class CliConfigTest : public ::testing::Test {
 protected:
  struct TRun {
    int status;
    std::string out, err;
  };

  // Runs the CLI with `args` (shell words) in the C locale, with the per-user settings folder
  // inside the temporary folder.
  TRun Run(const std::string& args) {
    std::string command = "env LC_ALL=C XDG_CONFIG_HOME='" + temp_.File("xdg") + "' '" +
                          QUENTERRA_CLI + "' " + args + " >'" + temp_.File("out") + "' 2>'" +
                          temp_.File("err") + "'";
    int raw = std::system(command.c_str());
    return TRun{WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, temp_.Read("out"), temp_.Read("err")};
  }

  static std::string Key(const std::string& text, const char* section, const char* key) {
    return TIniFile::Parse(text).ReadString(section, key, "<missing>");
  }

  test::TTempDir temp_;
};

TEST_F(CliConfigTest, PrintsTheDefaultsWithoutASettingsFile) {
  TRun run = Run("--no-config config");
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_TRUE(run.out.starts_with("[GeneralConfiguration]\nCorpusPath=\n"));
  EXPECT_EQ(Key(run.out, "ExtractConfiguration", "SpanRange"), "2");
  EXPECT_EQ(Key(run.out, "FullExtractConfiguration", "IFMin_T_Score"), "0.5");
  EXPECT_EQ(Run("config").out, run.out);  // no file anywhere: the same
}

TEST_F(CliConfigTest, ReadsTheUserFileOrTheNamedOne) {
  std::filesystem::create_directories(temp_.Path() / "xdg" / "quenterra");
  temp_.Write("xdg/quenterra/QUENTERRA.INI", "[ExtractConfiguration]\nMin_Word_Freq=9\n");
  temp_.Write("mine.ini", "[extractconfiguration]\nSPANRANGE=40\n");
  EXPECT_EQ(Key(Run("config").out, "ExtractConfiguration", "Min_Word_Freq"), "9");
  TRun named = Run("config --config '" + temp_.File("mine.ini") + "'");
  ASSERT_EQ(named.status, 0) << named.err;
  EXPECT_EQ(Key(named.out, "ExtractConfiguration", "SpanRange"), "12");
  EXPECT_EQ(Key(named.out, "ExtractConfiguration", "Min_Word_Freq"), "2");

  TRun missing = Run("--config '" + temp_.File("none.ini") + "' config");
  EXPECT_EQ(missing.status, 1);
  EXPECT_NE(missing.err.find("Could not read from configuration file "), std::string::npos);
}

TEST_F(CliConfigTest, SetOverridesByKeyThroughTheReader) {
  TRun run = Run("--no-config --set spanrange=1 config --set IFMin_T_Score=0.25 "
                 "--set=TagStart='  [' --set WordTag=0x102");
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(Key(run.out, "ExtractConfiguration", "SpanRange"), "2");  // clamped
  EXPECT_EQ(Key(run.out, "FullExtractConfiguration", "IFMin_T_Score"), "0.25");
  EXPECT_EQ(Key(run.out, "Tag Settings", "TagStart"), "[");
  EXPECT_EQ(Key(run.out, "Word Tag Settings", "WordTag"), "2");

  TRun unknown = Run("--set NoSuchKey=1 config");
  EXPECT_EQ(unknown.status, 2);
  EXPECT_NE(unknown.err.find("unknown setting 'NoSuchKey'"), std::string::npos);
  EXPECT_EQ(Run("--set novalue config").status, 2);
  EXPECT_EQ(Run("--no-config --config x config").status, 2);
}

TEST_F(CliConfigTest, StopListFileIsLoadedAndSwitchedOn) {
  std::string words = temp_.Write("stop.txt", "the\r\nof\r\n");
  TRun run = Run("--no-config --stoplist '" + words + "' config");
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(Key(run.out, "ExtractConfiguration", "UseStoplist"), "1");
  EXPECT_EQ(Key(run.out, "FrequencyConfiguration", "StopListFileName"), words);
  EXPECT_EQ(Run("--stoplist '" + temp_.File("none.txt") + "' config").status, 1);
}

TEST_F(CliConfigTest, ItsOutputReadsBackToTheSameSettings) {
  TRun first = Run("--no-config --set ignoreCase=0 --set EqualChars='a=b' --set Max_Span=5 config");
  ASSERT_EQ(first.status, 0) << first.err;
  temp_.Write("round.ini", first.out);
  TRun second = Run("--config '" + temp_.File("round.ini") + "' config");
  EXPECT_EQ(second.out, first.out);
}

TEST_F(CliConfigTest, AStandardIniParserReadsEverySection) {
  if (std::system("python3 -c 'import configparser' >/dev/null 2>&1") != 0)
    GTEST_SKIP() << "python3 is not installed";
  temp_.Write("in.ini",
              "[ExtractHistory]\nWordPhraseCount=2\nWordPhrase0=post + office%\n"
              "WordPhrase1=[x]=y; z # w\nBatchCount=1\nBatch0=\xE4rger\n[StopList]\n"
              "WordCount=1\nWord0=%(the)s\n");
  TRun run = Run("--config '" + temp_.File("in.ini") + "' --set TagSearchSeparator='=' config");
  ASSERT_EQ(run.status, 0) << run.err;
  temp_.Write("out.ini", run.out);
  // configparser is strict about duplicate sections and keys; the values must match ours.
  temp_.Write("check.py",
              "import configparser, sys\n"
              "sys.stdout.reconfigure(encoding='latin-1', newline='\\n')\n"
              "cp = configparser.ConfigParser(interpolation=None)\n"
              "cp.optionxform = str\n"
              "cp.read(sys.argv[1], encoding='latin-1')\n"
              "for s in cp.sections():\n"
              "    print('[%s]' % s)\n"
              "    for k, v in cp[s].items(): print('%s=%s' % (k, v))\n");
  std::string command = "python3 '" + temp_.File("check.py") + "' '" + temp_.File("out.ini") +
                        "' > '" + temp_.File("py.out") + "'";
  ASSERT_EQ(std::system(command.c_str()), 0);
  std::string ours;  // the same listing from our own text, without the blank lines
  for (size_t start = 0; start < run.out.size();) {
    size_t end = run.out.find('\n', start);
    if (end > start) ours += run.out.substr(start, end - start) + "\n";
    start = end + 1;
  }
  EXPECT_EQ(temp_.Read("py.out"), ours);
}

}  // namespace
}  // namespace quenterra
