#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include "platform/IniFile.h"
#include "support/RunCli.h"

namespace quenterra {
namespace {

using CliConfigTest = test::TCliTest;

std::string Key(const std::string& text, const char* section, const char* key) {
  return TIniFile::Parse(text).ReadString(section, key, "<missing>");
}

TEST_F(CliConfigTest, ReadsTheUserFileOrTheNamedOne) {
  EXPECT_EQ(Run("config").out, Run("--no-config config").out);  // no file anywhere: the defaults
  std::filesystem::create_directories(Dir().Path() / "xdg" / "quenterra");
  File("xdg/quenterra/QUENTERRA.INI", "[ExtractConfiguration]\nMin_Word_Freq=9\n");
  EXPECT_EQ(Key(Run("config").out, "ExtractConfiguration", "Min_Word_Freq"), "9");
  test::TCliRun named =
      Run("config --config " + File("mine.ini", "[extractconfiguration]\nSPANRANGE=40\n"));
  ASSERT_EQ(named.status, 0) << named.err;
  EXPECT_EQ(Key(named.out, "ExtractConfiguration", "SpanRange"), "12");
  EXPECT_EQ(Key(named.out, "ExtractConfiguration", "Min_Word_Freq"), "2");

  test::TCliRun missing = Run("--config none.ini config");
  EXPECT_EQ(missing.status, 1);
  EXPECT_NE(missing.err.find("Could not read from configuration file "), std::string::npos);
  EXPECT_EQ(Run("--stoplist none.txt config").status, 1);
}

TEST_F(CliConfigTest, SetOverridesByKeyThroughTheReader) {
  test::TCliRun run =
      Run("--no-config --set spanrange=0xC config --set IFMin_T_Score=0,25 "
          "--set=TagStart='  [' --set WordTag=2 --set \"wTagStarts1=<w \" --set WordCount=1 "
          "--set Word0=the");
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(Key(run.out, "ExtractConfiguration", "SpanRange"), "12");
  EXPECT_EQ(Key(run.out, "FullExtractConfiguration", "IFMin_T_Score"), "0.25");
  EXPECT_EQ(Key(run.out, "Tag Settings", "TagStart"), "[");
  EXPECT_EQ(Key(run.out, "Word Tag Settings", "WordTag"), "2");
  // A counted list grows to hold the entry; the start string keeps its space.
  EXPECT_EQ(Key(run.out, "Word Tag Settings", "wTagStartsCount"), "1");
  EXPECT_EQ(Key(run.out, "Word Tag Settings", "wTagStarts0"), "<w ");
  EXPECT_EQ(Key(run.out, "StopList", "Word0"), "the");

  test::TCliRun unknown = Run("--set NoSuchKey=1 config");
  EXPECT_EQ(unknown.status, 2);
  EXPECT_NE(unknown.err.find("unknown setting 'NoSuchKey'"), std::string::npos);
  EXPECT_EQ(Run("--set novalue config").status, 2);
  EXPECT_EQ(Run("--no-config --config x config").status, 2);
}

// What the file would read otherwise than written, or clamp, is refused with what the key takes.
TEST_F(CliConfigTest, SetRefusesWhatTheFileWouldNotReadAsWritten) {
  const std::pair<const char*, const char*> refused[] = {
      {"WordTag=true", "WordTag takes a whole number from 0 to 2"},
      {"SpanRange=40", "SpanRange takes a whole number from 2 to 12"},
      {"Min_Word_Freq=-5", "from 1 to 32767"},
      {"Max_Span=1000", "from 2 to 12"},
      {"ignoreCase=yes", "0 (off) or 1 (on)"},
      {"IF_Score_Method=3", "takes 0, 1, 2 or 4"},
      {"IFMin_Mutual_Info=1e308", "a number"},
      {"EFMin_Mutual_Info=nan", "a number"},
      {"wTagDelimiter=ab", "one character"},
      {"EqualChars=a=b;;", "groups of letters"},
      {"CorpusEncoding=latin1", "UTF-8 or CodePage"},
      {"MatchWordsLo=3", "never reads it"},
  };
  for (const auto& [set, says] : refused) {
    test::TCliRun run = Run(std::string("--no-config --set '") + set + "' config");
    EXPECT_EQ(run.status, 2) << set;
    EXPECT_NE(run.err.find(says), std::string::npos) << run.err;
  }
  // Floats take a period or a comma under any locale.
  test::TCliRun comma =
      Run("--config " + File("de.ini", "[FullExtractConfiguration]\nIFMin_Mutual_Info=1,5\n") +
          " --set EFMin_Mutual_Info=2.5 config");
  EXPECT_EQ(Key(comma.out, "FullExtractConfiguration", "IFMin_Mutual_Info"), "1.5");
  EXPECT_EQ(Key(comma.out, "FullExtractConfiguration", "EFMin_Mutual_Info"), "2.5");
  // The switches the file does not store reach the splitter: '-' is skipped inside words.
  EXPECT_EQ(Run("--no-config --set UseSkippingChars=1 tokens " + File("a", "co-op\n")).out,
            "0\t255\t1\tcoop\n");
  // A file named on purpose must hold settings.
  test::TCliRun foreign = Run("--config " + File("notes.ini", "[Other]\nx=1\n") + " config");
  EXPECT_EQ(foreign.status, 1);
  EXPECT_NE(foreign.err.find("holds no section of a settings file."), std::string::npos);
}

TEST_F(CliConfigTest, AStandardIniParserReadsEverySection) {
  if (std::system("python3 -c 'import configparser' >/dev/null 2>&1") != 0)
    GTEST_SKIP() << "python3 is not installed";
  std::string in = File("in.ini",
                        "[ExtractHistory]\nWordPhraseCount=2\nWordPhrase0=post + office%\n"
                        "WordPhrase1=[x]=y; z # w\nBatchCount=1\nBatch0=\xE4rger\n[StopList]\n"
                        "WordCount=1\nWord0=%(the)s\n");
  test::TCliRun run = Run("--config " + in + " --set TagSearchSeparator='=' config");
  ASSERT_EQ(run.status, 0) << run.err;
  // configparser is strict about duplicate sections and keys; the values must match ours.
  const std::string script =
      "import configparser, sys\n"
      "sys.stdout.reconfigure(encoding='latin-1', newline='\\n')\n"
      "cp = configparser.ConfigParser(interpolation=None)\n"
      "cp.optionxform = str\n"
      "cp.read(sys.argv[1], encoding='latin-1')\n"
      "for s in cp.sections():\n"
      "    print('[%s]' % s)\n"
      "    for k, v in cp[s].items(): print('%s=%s' % (k, v))\n";
  File("check.py", script);
  std::string command = "cd '" + Dir().Path().string() + "' && python3 check.py " +
                        File("out.ini", run.out) + " > py.out";
  ASSERT_EQ(std::system(command.c_str()), 0);
  std::string ours;  // the same listing from our own text, without the blank lines
  for (size_t start = 0; start < run.out.size();) {
    size_t end = run.out.find('\n', start);
    if (end > start) ours += run.out.substr(start, end - start) + "\n";
    start = end + 1;
  }
  EXPECT_EQ(Dir().Read("py.out"), ours);
}

}  // namespace
}  // namespace quenterra
