#include "config/SettingsFile.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>

#include "platform/CodePages.h"
#include "support/SettingsTest.h"
#include "support/TempDir.h"

namespace quenterra {
namespace {

class SettingsFileTest : public test::TSettingsTest {
 protected:
  // A language of the table other than US English and the user's, when the system has one.
  static uint32_t OtherLanguage() {
    for (const TLanguage& language : LanguageTable())
      if (language.id != TGlobalSettings::kEnglishUS && language.id != UserDefaultLanguage() &&
          CodePageOf(language.id) != 0)
        return language.id;
    return UserDefaultLanguage();
  }

  // Every stored setting away from its default.
  static void SetEverything(TProgramSettings& s) {
    ZuzadovUdirev& c = s.config;
    c.NonWordChars = ".,;[]";
    c.SkippingChars = "-'";
    c.EqualChars = "a=b; c=d=e";
    ASSERT_TRUE(ParseEqualChars(c.EqualChars, TCharCoding(), c.EqualGroups));
    c.WildCard0orMore = '@';
    c.WildCard0or1 = '^';
    c.WildCardExactly1 = '|';
    c.TagSearchSeparator = '=';  // a value that is itself '='
    c.TagUnorderedChar = ';';
    c.TagSubsequentChar = '#';
    c.SpanRange = 7;
    c.Min_Word_Freq = 5;
    c.Last_Method_Selected = 3;
    c.ignoreCase = false;
    c.UseStoplist = true;
    c.SkipNormalTags = false;
    c.NormalFont = TFontChoice{"Courier New", 11, 3, 0x123456, 0};
    c.HiliteFont = TFontChoice{"Arial", 9, 4, -5, 2};
    c.QuenterraFont = TFontChoice{"Times", 12, 8, 7, 238};
    c.TagStart = '[';
    c.TagStop = '#';
    c.WordTag = 2;
    c.wTagBefore = true;
    c.wTagDelimiter = '/';
    c.wTagStarts = {"<w", "<c"};
    c.wTagStop = ']';
    c.MetaTags = {{"Noun", {"nn", "nns"}}, {"Verb", {"vb*"}}, {"None", {}}};
    s.fullExtract = TFullExtractOptions{1, 2.25, 0.1, 3.84, 2, 10, 1e-7, true, 3, 5};
    s.global = TGlobalSettings{OtherLanguage(),
                               TCorpusEncoding::kCodePage,
                               TFontChoice{"Mono", 14, 1, 0xFF, 0},
                               TFontChoice{"Sans", 7, 2, 0, 1},
                               "/c/",
                               "/f/",
                               "/c f/",
                               "/corpus/",
                               "/stop/"};
    s.history =
        TExtractHistory{{"post + office", "colo%r"}, {"\\ba\\W"}, {"dog&nn%"}, {"a", "b + c"}, 2};
    s.stopList.SetWords({"the", "of", "and"});
    s.RebuildTables();
  }

  test::TTempDir temp_;
};

TEST_F(SettingsFileTest, EverySettingRoundTripsAndAMissingFileGivesTheDefaults) {
  SetEverything(settings_);
  std::string name = temp_.File("QUENTERRA.INI");
  ASSERT_TRUE(WriteSettings(name, settings_));
  TProgramSettings back = test::EnglishSettings();
  ASSERT_TRUE(ReadSettings(name, back));
  EXPECT_EQ(back.config, settings_.config);
  EXPECT_EQ(back.fullExtract, settings_.fullExtract);
  TGlobalSettings global = settings_.global;
  global.CorpusPath.clear();  // written for the record, never read
  global.StopListPath.clear();
  EXPECT_EQ(back.global, global);
  EXPECT_EQ(back.history, settings_.history);
  EXPECT_EQ(back.stopList.Words(), (std::vector<std::string>{"the", "of", "and"}));
  EXPECT_TRUE(back.stopList.Active());
  EXPECT_EQ(back.tables.Language(), settings_.global.Language);  // rebuilt for the language read

  back.config.UseSkippingChars = true;  // not stored: survives
  ASSERT_TRUE(ReadSettings(temp_.File("none.ini"), back));
  ZuzadovUdirev expected;
  expected.UseSkippingChars = true;
  EXPECT_EQ(back.config, expected);
  EXPECT_EQ(back.fullExtract, TFullExtractOptions{});
  EXPECT_EQ(back.history, TExtractHistory{});
  EXPECT_TRUE(back.stopList.Words().empty());
  EXPECT_EQ(back.tables.Language(), UserDefaultLanguage());
  EXPECT_TRUE(messages_->errors.empty());

  std::filesystem::create_directory(temp_.File("dir.ini"));
  EXPECT_FALSE(ReadSettings(temp_.File("dir.ini"), back));
  EXPECT_EQ(messages_->errors, std::vector<std::string>{"Could not read from configuration file " +
                                                        temp_.File("dir.ini") + "!"});
}

// A file with a Language but no CorpusEncoding was written before the encoding could be chosen
// and keeps the code page; a file with neither takes UTF-8. Character keys are read and written
// in the encoding (in UTF-8, a byte that is no UTF-8 as the code page reads it), and a
// byte-order mark before the first section is no part of it.
TEST_F(SettingsFileTest, TheEncodingKeyDecidesHowTextsReadAndOldFilesKeepTheCodePage) {
  auto encoding = [&](const std::string& text) {
    ReadSettingsFrom(TIniFile::Parse(text), settings_);
    return settings_.global.Encoding;
  };
  constexpr TCorpusEncoding kUtf8 = TCorpusEncoding::kUtf8;
  constexpr TCorpusEncoding kCodePage = TCorpusEncoding::kCodePage;
  EXPECT_EQ(encoding("[GeneralConfiguration]\nLanguage=1033\n"), kCodePage);
  EXPECT_EQ(encoding(""), kUtf8);
  EXPECT_EQ(encoding("[GeneralConfiguration]\nLanguage=1033\nCorpusEncoding=utf8\n"), kUtf8);
  EXPECT_EQ(encoding("[GeneralConfiguration]\nCorpusEncoding=latin1\n"), kCodePage);
  EXPECT_EQ(settings_.tables.Encoding(), kCodePage);  // the tables follow

  const ZuzadovUdirev& c = settings_.config;
  ReadSettingsFrom(
      TIniFile::Parse("\xEF\xBB\xBF[GeneralConfiguration]\nCorpusEncoding=UTF-8\n"
                      "[Tag Settings]\nTagStart=\u00AB\n"
                      "[ExtractConfiguration]\nWildCard0or1=\u00BFx\nEqualChars=\u00E9=e\n"
                      "[Word Tag Settings]\nwTagDelimiter=\xB7\n"),
      settings_);
  EXPECT_EQ(c.TagStart, U'\u00AB');
  EXPECT_EQ(c.WildCard0or1, U'\u00BF');
  EXPECT_EQ(c.wTagDelimiter, U'\u00B7');  // code page 1252 reads the byte
  ASSERT_EQ(c.EqualGroups.size(), 1u);
  EXPECT_EQ(c.EqualGroups[0].Members(), (std::vector<TChar>{'e', 0xE9}));
  TIniFile file;
  WriteSettingsTo(file, settings_);
  EXPECT_EQ(file.ReadString("Tag Settings", "TagStart", ""), "\u00AB");
  EXPECT_EQ(file.ReadString("Word Tag Settings", "wTagDelimiter", ""), "\u00B7");
  EXPECT_EQ(file.ReadString("GeneralConfiguration", "CorpusEncoding", ""), "UTF-8");
  settings_.global.Encoding = kCodePage;
  WriteSettingsTo(file, settings_);
  EXPECT_EQ(file.ReadString("Tag Settings", "TagStart", ""), "\xAB");
  EXPECT_EQ(file.ReadString("GeneralConfiguration", "CorpusEncoding", ""), "CodePage");
}

TEST_F(SettingsFileTest, OutOfRangeAndEmptyValuesTakeTheirFallbacks) {
  settings_.config.NormalFont = TFontChoice{"Old", 1, 1, 1, 1};
  ReadSettingsFrom(
      TIniFile::Parse("[Tag Settings]\nTagStart= \x01  [\nTagStop=\x01>\n"
                      "[ExtractConfiguration]\nSpanRange=40\nWildCard0orMore=\n"
                      "Last_Method_Selected=258\nHiliteFont=Arial,10,1,255,0\nQuenterraFont=\n"
                      "[ExtractHistory]\nLastBatchSyntax=3\n"
                      "[Word Tag Settings]\nwTagDelimiter=\nwTagStop=  \nWordTag=0x101\n"
                      "MetaTagNamesCount=3\nMetaTagNames0=A\nMetaTagNames1=\nMetaTagNames2=C\n"
                      "MetaTagStringsCount=3\nMetaTagStrings0=x, y\nMetaTagStrings1=lost\n"
                      "MetaTagStrings2=z\nwTagStartsCount=2\nwTagStarts0=<w\nwTagStarts1=\n"
                      "[GeneralConfiguration]\nLanguage=12345\n"),
      settings_);
  const ZuzadovUdirev& c = settings_.config;
  EXPECT_EQ(c.TagStart, '[');
  EXPECT_EQ(c.TagStop, '\x01');  // only spaces are stripped from TagStop
  EXPECT_EQ(c.SpanRange, 12);
  EXPECT_EQ(c.WildCard0orMore, '\0');
  EXPECT_EQ(c.Last_Method_Selected, 2);  // kept in 8 bits
  EXPECT_EQ(settings_.history.LastBatchSyntax, 0);
  EXPECT_EQ(c.wTagDelimiter, '_');
  EXPECT_EQ(c.wTagStop, '>');
  EXPECT_EQ(c.WordTag, 1);
  // Row i pairs entry i of both lists: an empty name drops its row without shifting the rest.
  EXPECT_EQ(c.MetaTags, (std::vector<TMetaTag>{{"A", {"x", "y"}}, {"C", {"z"}}}));
  EXPECT_EQ(c.wTagStarts, std::vector<std::string>{"<w"});
  EXPECT_EQ(settings_.global.Language, UserDefaultLanguage());
  // The fonts start again from their defaults; an unreadable QuenterraFont follows HiliteFont.
  EXPECT_EQ(c.NormalFont, TFontChoice::StockSystemFont());
  EXPECT_EQ(c.HiliteFont, (TFontChoice{"Arial", 10, 1, 255, 0}));
  EXPECT_EQ(c.QuenterraFont, (TFontChoice{"Arial", 10, 1, TFontChoice::kRed, 0}));
  EXPECT_EQ(settings_.global.SystemFont, TFontChoice::DefaultSystemFont());

  ReadSettingsFrom(
      TIniFile::Parse("[Tag Settings]\nTagStart=\nTagStop=\n[ExtractConfiguration]\nSpanRange=1\n"
                      "[ExtractHistory]\nLastBatchSyntax=-1\n"),
      settings_);
  EXPECT_EQ(c.TagStart, '<');
  EXPECT_EQ(c.TagStop, '>');
  EXPECT_EQ(c.SpanRange, 2);
  EXPECT_EQ(settings_.history.LastBatchSyntax, 0);
}

TEST_F(SettingsFileTest, EqualCharsParseOrKeepThePreviousGroups) {
  TCharSet ab, cde;
  ab = CharSetOf("ab", TCharCoding());
  cde = CharSetOf("cde", TCharCoding());
  std::vector<TCharSet> groups;
  ASSERT_TRUE(ParseEqualChars("a=b; c=d=e", TCharCoding(), groups));
  EXPECT_EQ(groups, (std::vector<TCharSet>{ab, cde}));
  EXPECT_TRUE(ParseEqualChars("x=y=;", TCharCoding(), groups));   // a trailing '=' is accepted
  EXPECT_TRUE(ParseEqualChars("\xE4=a", TCharCoding(), groups));  // bytes above 127 are above "A"
  ASSERT_TRUE(ParseEqualChars("   ", TCharCoding(), groups));
  EXPECT_TRUE(groups.empty());
  for (const char* bad : {"a=b;;", "1=2", "a-b", ";", "a==b", "a=b;=c"}) {
    settings_.config.EqualGroups = {ab};
    ReadSettingsFrom(TIniFile::Parse(std::string("[ExtractConfiguration]\nEqualChars=") + bad),
                     settings_);
    EXPECT_EQ(settings_.config.EqualChars, bad);
    EXPECT_EQ(settings_.config.EqualGroups, std::vector<TCharSet>{ab}) << bad;
  }
}

TEST_F(SettingsFileTest, StopWordsAreStoredOnlyWhenTheListHasNoFileOfItsOwn) {
  // Without a file: the section is replaced whole, stale keys and all.
  TIniFile ini = TIniFile::Parse("[StopList]\nWordCount=5\nWord0=stale\nWord4=stale\n");
  settings_.stopList.SetWords({"a", "b"});
  WriteSettingsTo(ini, settings_);
  EXPECT_EQ(ini.KeyNames("StopList"), (std::vector<std::string>{"WordCount", "Word0", "Word1"}));
  TProgramSettings back = test::EnglishSettings();
  ReadSettingsFrom(ini, back);
  EXPECT_EQ(back.stopList.Words(), (std::vector<std::string>{"a", "b"}));
  EXPECT_TRUE(back.stopList.Active());

  // With a file: only its name is stored, and the words are read from it again.
  std::string words = temp_.Write("stop.txt", "alpha\r\nbeta\r\n");
  settings_.stopList.SetFileName(words);
  ASSERT_TRUE(settings_.stopList.LoadFromFile());
  TIniFile named;
  WriteSettingsTo(named, settings_);
  EXPECT_FALSE(named.SectionExists("StopList"));
  EXPECT_EQ(named.ReadString("FrequencyConfiguration", "StopListFileName", ""), words);
  ReadSettingsFrom(named, back);
  EXPECT_EQ(back.stopList.Words(), (std::vector<std::string>{"alpha", "beta"}));

  std::filesystem::remove(words);
  ReadSettingsFrom(named, back);  // the list's own error box, no settings error
  EXPECT_TRUE(back.stopList.Words().empty());
  EXPECT_EQ(messages_->errors,
            std::vector<std::string>{"Unable to load stop-list words from file \r\n" + words});
}

TEST_F(SettingsFileTest, AFailedWriteReportsAndLeavesTheOldFile) {
  std::string name = temp_.File("QUENTERRA.INI");
  ASSERT_TRUE(WriteSettings(name, settings_));
  std::string before = temp_.Read("QUENTERRA.INI");
  settings_.history.Batch.assign(3000, std::string(500, 'x'));  // ~1.5 MB to write

  // A child whose writes fail part-way, as on a full disk; the exit status says what it saw.
  pid_t pid = ::fork();
  ASSERT_GE(pid, 0);
  if (pid == 0) {
    struct rlimit small {};
    getrlimit(RLIMIT_FSIZE, &small);
    small.rlim_cur = 64 * 1024;
    signal(SIGXFSZ, SIG_IGN);
    setrlimit(RLIMIT_FSIZE, &small);
    bool written = WriteSettings(name, settings_);
    bool reported = messages_->errors ==
                    std::vector<std::string>{"Could not write to configuration file " + name + "!"};
    _exit(written ? 1 : reported ? 0 : 2);
  }
  int status = 0;
  ::waitpid(pid, &status, 0);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0) << "1: written anyway, 2: not reported";
  EXPECT_EQ(temp_.Read("QUENTERRA.INI"), before);
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(temp_.Path()), {}), 1);
  EXPECT_FALSE(WriteSettings("", settings_));  // no writable place: silently not saved
  EXPECT_TRUE(messages_->errors.empty());
}

TEST_F(SettingsFileTest, LocationsAndSingleKeys) {
  TConfigLocations where{temp_.File("prog") + "/", temp_.File("home/quenterra") + "/"};
  std::filesystem::create_directory(temp_.Path() / "prog");
  std::string local = where.programDir + "QUENTERRA.INI";
  std::string user = where.configDir + "QUENTERRA.INI";
  EXPECT_EQ(ConfigReadPath(where), user);
  EXPECT_EQ(ConfigWritePath(where), user);  // creates the folder and an empty file
  EXPECT_TRUE(std::filesystem::is_regular_file(user));
  temp_.Write("prog/QUENTERRA.INI", "");
  EXPECT_EQ(ConfigReadPath(where), local);
  EXPECT_EQ(ConfigWritePath(where), local);
  temp_.Write("blocker", "");
  EXPECT_EQ(ConfigWritePath({where.programDir + "none/", temp_.File("blocker") + "/sub/"}), "");

  // SaveOnExit and WorkspacePath go into the file as it is, after the rest.
  EXPECT_FALSE(ReadSaveOnExit(user));
  EXPECT_EQ(ReadWorkspacePath(temp_.File("none.ini")), "");
  ASSERT_TRUE(WriteSettings(user, settings_));
  ASSERT_TRUE(WriteSaveOnExit(user, true));
  ASSERT_TRUE(WriteWorkspacePath(user, "/work/spaces/"));
  EXPECT_TRUE(ReadSaveOnExit(user));
  EXPECT_EQ(ReadWorkspacePath(user), "/work/spaces/");
  TIniFile ini = TIniFile::Load(user);
  EXPECT_EQ(ini.KeyNames("GeneralConfiguration").back(), "WorkspacePath");
  EXPECT_TRUE(ini.SectionExists("Word Tag Settings"));
  EXPECT_FALSE(WriteSaveOnExit(temp_.File("no/such/dir.ini"), true));
}

TEST(ExtractHistory, PatternsMoveToTheFrontAndTheOldestDropOut) {
  TExtractHistory history;
  for (int i = 0; i < 101; ++i)
    history.AddPattern(TSearchKind::kWordPhrase, "p" + std::to_string(i));
  ASSERT_EQ(history.WordPhrase.size(), 100u);
  EXPECT_EQ(history.WordPhrase.back(), "p1");  // p0 pushed out
  history.AddPattern(TSearchKind::kWordPhrase, "p50");
  ASSERT_EQ(history.WordPhrase.size(), 100u);
  EXPECT_EQ(history.WordPhrase[0], "p50");
  EXPECT_EQ(history.WordPhrase[1], "p100");
  EXPECT_EQ(std::count(history.WordPhrase.begin(), history.WordPhrase.end(), "p50"), 1);
  history.AddPattern(TSearchKind::kRegExp, "colou?r");
  EXPECT_EQ(history.RegExp, std::vector<std::string>{"colou?r"});
}

}  // namespace
}  // namespace quenterra
