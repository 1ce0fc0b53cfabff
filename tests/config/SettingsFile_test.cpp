#include "config/SettingsFile.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>

#include <filesystem>

#include "settings/ExtractHistory.h"
#include "settings/Settings.h"
#include "corpus/LangTables.h"
#include "engine/StopList.h"
#include "platform/NumberFormat.h"
#include "support/StoredSettingsTest.h"
#include "support/TempDir.h"

namespace quenterra {
namespace {

class SettingsFileTest : public test::TStoredSettingsTest {
 protected:
  void SetUp() override {
    TStoredSettingsTest::SetUp();
    SetNumberFormat({'.', ','});  // floats must follow the user's separator
  }
  void TearDown() override {
    SetNumberFormat({});
    TStoredSettingsTest::TearDown();
  }

  // A language of the table other than the default, or the default when there is none.
  static uint32_t OtherLanguage() {
    for (const TLanguage& language : LanguageTable())
      if (language.id != UserDefaultLanguage() && CodePageOf(language.id) != 0) return language.id;
    return UserDefaultLanguage();
  }

  // Every stored setting away from its default.
  static void SetEverything() {
    ZuzadovUdirev& c = Config();
    c.NonWordChars = ".,;[]";
    c.SkippingChars = "-'";
    c.EqualChars = "a=b; c=d=e";
    ASSERT_TRUE(ParseEqualChars());
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
    c.NormalFont = TFontSpec{"Courier New", 11, 3, 0x123456, 0};
    c.HiliteFont = TFontSpec{"Arial", 9, 4, -5, 2};
    c.QuenterraFont = TFontSpec{"Times", 12, 8, 7, 238};
    c.TagStart = '[';
    c.TagStop = '#';
    c.WordTag = 2;
    c.wTagBefore = true;
    c.wTagDelimiter = '/';
    c.wTagStarts = {"<w", "<c"};
    c.wTagStop = ']';
    c.MetaTags = {{"Noun", {"nn", "nns"}}, {"Verb", {"vb*"}}, {"None", {}}};
    FullExtractOptions() = TFullExtractOptions{1, 2.25, 0.1, 3.84, 2, 10, 1e-7, true, 3, 5};
    TGlobalSettings& g = GlobalSettings();
    g.CorpusFont = TFontSpec{"Mono", 14, 1, 0xFF, 0};
    g.SystemFont = TFontSpec{"Sans", 7, 2, 0, 1};
    g.ConcordancePath = "/c/";
    g.FreqPath = "/f/";
    g.CorpusFreqPath = "/c f/";
    ExtractHistory() =
        TExtractHistory{{"post + office", "colo%r"}, {"\\ba\\W"}, {"dog&nn%"}, {"a", "b + c"}, 2};
    StopList().Words() = {"the", "of", "and"};
    ApplyLanguage(OtherLanguage());
  }

  test::TTempDir temp_;
};

TEST_F(SettingsFileTest, EverySettingRoundTrips) {
  SetEverything();
  ZuzadovUdirev config = Config();
  TFullExtractOptions full = FullExtractOptions();
  TGlobalSettings global = GlobalSettings();
  TExtractHistory history = ExtractHistory();
  uint32_t language = CurrentLanguage();
  std::string name = temp_.File("QUENTERRA.INI");
  ASSERT_TRUE(WriteSettings(name));

  ResetSettings();
  ApplyLanguage(UserDefaultLanguage());
  ASSERT_TRUE(ReadSettings(name));
  EXPECT_EQ(Config(), config);
  EXPECT_EQ(FullExtractOptions(), full);
  global.CorpusPath.clear();  // written for the record, never read
  global.StopListPath.clear();
  EXPECT_EQ(GlobalSettings(), global);
  EXPECT_EQ(ExtractHistory(), history);
  EXPECT_EQ(StopList().Words(), (std::vector<std::string>{"the", "of", "and"}));
  EXPECT_TRUE(StopList().Active());
  EXPECT_EQ(CurrentLanguage(), language);
  EXPECT_TRUE(messages_->errors.empty());
}

TEST_F(SettingsFileTest, TheFileHoldsTheSectionsAndKeysInOrder) {
  StopList().Words() = {"the"};
  TIniFile ini;
  WriteSettingsTo(ini);
  EXPECT_EQ(ini.SectionNames(), (std::vector<std::string>{
                                    "GeneralConfiguration", "Tag Settings", "ExtractConfiguration",
                                    "ExtractHistory", "FullExtractConfiguration",
                                    "Word Tag Settings", "FrequencyConfiguration", "StopList"}));
  EXPECT_EQ(ini.KeyNames("GeneralConfiguration"),
            (std::vector<std::string>{"CorpusPath", "StopListPath", "ConcordancePath", "FreqPath",
                                      "CorpusFreqPath", "CorpusFont", "SystemFont", "Language"}));
  EXPECT_EQ(
      ini.KeyNames("Word Tag Settings"),
      (std::vector<std::string>{"WordTag", "wTagDelimiter", "wTagBefore", "wTagStop",
                                "wTagStartsCount", "MetaTagNamesCount", "MetaTagStringsCount"}));
  std::string text = ini.Text();
  EXPECT_NE(text.find("\n[ExtractConfiguration]\nNonWordChars=.,;:!#$^&()[]{}<>+=/\\|`~\"\n"
                      "SkippingChars=-=\nEqualChars=\nWildCard0orMore=*\nWildCard0or1=%\n"
                      "WildCardExactly1=?\nWildCardMatchWords=\nMatchWordsLo=0\nMatchWordsHi=0\n"
                      "TagSearchSeparator=&\nTagUnorderedChar=+\nTagSubsequentChar=>\n"
                      "SpanRange=2\nSkipNormalTags=1\nignoreCase=1\nUseStoplist=0\n"
                      "Min_Word_Freq=2\nLast_Method_Selected=2\nNormalFont=System,10,0,"),
            std::string::npos);
  EXPECT_NE(text.find("[ExtractHistory]\nWordPhraseCount=0\nRegExpCount=0\nWordTagCount=0\n"
                      "BatchCount=0\nLastBatchSyntax=0\n"),
            std::string::npos);
  EXPECT_NE(text.find("[FullExtractConfiguration]\nUsePOSTags=0\nIF_Score_Method=4\n"
                      "IFMin_T_Score=0,5\nIFMin_Mutual_Info=0,5\nIFMin_Likehood=1\n"
                      "EF_Score_Method=3\nEFMin_Cost_Criteria=3\nEFMin_Mutual_Info=0,5\n"
                      "Min_Span=2\nMax_Span=7\n"),
            std::string::npos);
  EXPECT_NE(text.find("[Tag Settings]\nTagStart=<\nTagStop=>\n"), std::string::npos);
  EXPECT_NE(text.find("[FrequencyConfiguration]\nStopListFileName=\n\n[StopList]\nWordCount=1\n"
                      "Word0=the\n"),
            std::string::npos);
}

TEST_F(SettingsFileTest, AMissingFileGivesTheDefaults) {
  SetEverything();
  Config().UseSkippingChars = true;  // not stored: survives
  ASSERT_TRUE(ReadSettings(temp_.File("none.ini")));
  ZuzadovUdirev expected;
  expected.UseSkippingChars = true;
  EXPECT_EQ(Config(), expected);
  EXPECT_EQ(FullExtractOptions(), TFullExtractOptions{});
  EXPECT_EQ(ExtractHistory(), TExtractHistory{});
  EXPECT_TRUE(StopList().Words().empty());
  EXPECT_EQ(CurrentLanguage(), UserDefaultLanguage());
  EXPECT_TRUE(messages_->errors.empty());
}

TEST_F(SettingsFileTest, OutOfRangeAndEmptyValuesTakeTheirFallbacks) {
  ReadSettingsFrom(TIniFile::Parse(
      "[Tag Settings]\nTagStart= \x01  [\nTagStop=\x01>\n"
      "[ExtractConfiguration]\nSpanRange=40\nWildCard0orMore=\nLast_Method_Selected=258\n"
      "[ExtractHistory]\nLastBatchSyntax=3\n"
      "[Word Tag Settings]\nwTagDelimiter=\nwTagStop=  \nWordTag=0x101\n"
      "[GeneralConfiguration]\nLanguage=12345\n"));
  EXPECT_EQ(Config().TagStart, '[');
  EXPECT_EQ(Config().TagStop, '\x01');  // only spaces are stripped from TagStop
  EXPECT_EQ(Config().SpanRange, 12);
  EXPECT_EQ(Config().WildCard0orMore, '\0');
  EXPECT_EQ(Config().Last_Method_Selected, 2);  // kept in 8 bits
  EXPECT_EQ(ExtractHistory().LastBatchSyntax, 0);
  EXPECT_EQ(Config().wTagDelimiter, '_');
  EXPECT_EQ(Config().wTagStop, '>');
  EXPECT_EQ(Config().WordTag, 1);
  EXPECT_EQ(CurrentLanguage(), UserDefaultLanguage());

  ReadSettingsFrom(
      TIniFile::Parse("[Tag Settings]\nTagStart=\nTagStop=\n[ExtractConfiguration]\nSpanRange=1\n"
                      "[ExtractHistory]\nLastBatchSyntax=-1\n"));
  EXPECT_EQ(Config().TagStart, '<');
  EXPECT_EQ(Config().TagStop, '>');
  EXPECT_EQ(Config().SpanRange, 2);
  EXPECT_EQ(ExtractHistory().LastBatchSyntax, 0);
}

TEST_F(SettingsFileTest, FontsResetBeforeReadingAndQuenterraFontFollowsHiliteFont) {
  Config().NormalFont = TFontSpec{"Old", 1, 1, 1, 1};
  ReadSettingsFrom(
      TIniFile::Parse("[ExtractConfiguration]\nHiliteFont=Arial,10,1,255,0\nQuenterraFont=\n"));
  EXPECT_EQ(Config().NormalFont, TFontSpec::StockSystemFont());
  EXPECT_EQ(Config().HiliteFont, (TFontSpec{"Arial", 10, 1, 255, 0}));
  EXPECT_EQ(Config().QuenterraFont, (TFontSpec{"Arial", 10, 1, TFontSpec::kRed, 0}));
  EXPECT_EQ(GlobalSettings().SystemFont, TFontSpec::DefaultSystemFont());
}

TEST_F(SettingsFileTest, EqualCharsParse) {
  std::vector<TCharSet> groups;
  ASSERT_TRUE(ParseEqualChars("a=b; c=d=e", groups));
  ASSERT_EQ(groups.size(), 2u);
  TCharSet ab, cde;
  ab.AddAll("ab");
  cde.AddAll("cde");
  EXPECT_EQ(groups[0], ab);
  EXPECT_EQ(groups[1], cde);
  ASSERT_TRUE(ParseEqualChars("x=y=;", groups));  // a trailing '=' is accepted
  EXPECT_EQ(groups.size(), 1u);
  ASSERT_TRUE(ParseEqualChars("\xE4=a", groups));  // bytes above 127 are above "A"
  for (const char* bad : {"a=b;;", "1=2", "a-b", ";", "a==b", "a=b;=c"}) {
    std::vector<TCharSet> kept = {ab};
    EXPECT_FALSE(ParseEqualChars(bad, kept)) << bad;
    EXPECT_EQ(kept, std::vector<TCharSet>{ab}) << bad;
  }
  ASSERT_TRUE(ParseEqualChars("   ", groups));
  EXPECT_TRUE(groups.empty());

  Config().EqualGroups = {ab};
  ReadSettingsFrom(TIniFile::Parse("[ExtractConfiguration]\nEqualChars=a=b;;\n"));
  EXPECT_EQ(Config().EqualChars, "a=b;;");
  EXPECT_EQ(Config().EqualGroups, std::vector<TCharSet>{ab});  // the previous groups stay
}

TEST_F(SettingsFileTest, MetaTagRowsStayAlignedWhenAnEntryIsEmpty) {
  ReadSettingsFrom(TIniFile::Parse(
      "[Word Tag Settings]\nMetaTagNamesCount=3\nMetaTagNames0=A\nMetaTagNames1=\n"
      "MetaTagNames2=C\nMetaTagStringsCount=3\nMetaTagStrings0=x, y\nMetaTagStrings1=lost\n"
      "MetaTagStrings2=z\nwTagStartsCount=2\nwTagStarts0=<w\nwTagStarts1=\n"));
  EXPECT_EQ(Config().MetaTags, (std::vector<TMetaTag>{{"A", {"x", "y"}}, {"C", {"z"}}}));
  EXPECT_EQ(Config().wTagStarts, std::vector<std::string>{"<w"});
}

TEST_F(SettingsFileTest, UnreadableFileReportsAndKeepsWhatWasRead) {
  std::filesystem::create_directory(temp_.File("dir.ini"));
  EXPECT_FALSE(ReadSettings(temp_.File("dir.ini")));
  EXPECT_EQ(messages_->errors, std::vector<std::string>{"Could not read from configuration file " +
                                                        temp_.File("dir.ini") + "!"});
}

TEST_F(SettingsFileTest, StopListFileIsNamedNotCopied) {
  std::string words = temp_.Write("stop.txt", "alpha\r\nbeta\r\n");
  StopList().SetFileName(words);
  ASSERT_TRUE(StopList().LoadFromFile());
  TIniFile ini;
  WriteSettingsTo(ini);
  EXPECT_FALSE(ini.SectionExists("StopList"));
  EXPECT_EQ(ini.ReadString("FrequencyConfiguration", "StopListFileName", ""), words);
  StopList() = TStopList{};
  ReadSettingsFrom(ini);
  EXPECT_EQ(StopList().Words(), (std::vector<std::string>{"alpha", "beta"}));

  std::filesystem::remove(words);
  ReadSettingsFrom(ini);  // the list's own error box, no settings error
  EXPECT_TRUE(StopList().Words().empty());
  EXPECT_EQ(messages_->errors,
            std::vector<std::string>{"Unable to load stop-list words from file \r\n" + words});
}

TEST_F(SettingsFileTest, AFailedWriteReportsAndLeavesTheOldFile) {
  std::string name = temp_.File("QUENTERRA.INI");
  ASSERT_TRUE(WriteSettings(name));
  std::string before = temp_.Read("QUENTERRA.INI");
  ExtractHistory().Batch.assign(3000, std::string(500, 'x'));  // ~1.5 MB to write

  // Let writes fail part-way, as on a full disk.
  struct rlimit old {};
  getrlimit(RLIMIT_FSIZE, &old);
  struct rlimit small = old;
  small.rlim_cur = 64 * 1024;
  auto oldHandler = signal(SIGXFSZ, SIG_IGN);
  setrlimit(RLIMIT_FSIZE, &small);
  bool written = WriteSettings(name);
  setrlimit(RLIMIT_FSIZE, &old);
  signal(SIGXFSZ, oldHandler);

  EXPECT_FALSE(written);
  EXPECT_EQ(messages_->errors,
            std::vector<std::string>{"Could not write to configuration file " + name + "!"});
  EXPECT_EQ(temp_.Read("QUENTERRA.INI"), before);
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(temp_.Path()), {}), 1);
}

TEST_F(SettingsFileTest, SingleKeysAreWrittenIntoTheExistingFile) {
  std::string name = temp_.File("QUENTERRA.INI");
  EXPECT_FALSE(ReadSaveOnExit(name));
  EXPECT_EQ(ReadWorkspacePath(name), "");
  ASSERT_TRUE(WriteSettings(name));
  ASSERT_TRUE(WriteSaveOnExit(name, true));
  ASSERT_TRUE(WriteWorkspacePath(name, "/work/spaces/"));
  EXPECT_TRUE(ReadSaveOnExit(name));
  EXPECT_EQ(ReadWorkspacePath(name), "/work/spaces/");
  TIniFile ini = TIniFile::Load(name);
  EXPECT_EQ(ini.KeyNames("GeneralConfiguration").back(), "WorkspacePath");
  EXPECT_TRUE(ini.SectionExists("Word Tag Settings"));  // the rest of the file stays
  EXPECT_FALSE(WriteSaveOnExit(temp_.File("no/such/dir.ini"), true));
}

TEST_F(SettingsFileTest, ReadAndWritePaths) {
  TConfigLocations where{(temp_.Path() / "prog").string() + "/",
                         (temp_.Path() / "home" / "quenterra").string() + "/"};
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
  TConfigLocations nowhere{where.programDir + "none/", temp_.File("blocker") + "/sub/"};
  EXPECT_EQ(ConfigWritePath(nowhere), "");
}

TEST(ExtractHistory, PatternsMoveToTheFrontAndTheOldestDropOut) {
  TExtractHistory history;
  for (int i = 0; i < 101; ++i) history.AddPattern(kWordPhrase, "p" + std::to_string(i));
  ASSERT_EQ(history.WordPhrase.size(), 100u);
  EXPECT_EQ(history.WordPhrase.front(), "p100");
  EXPECT_EQ(history.WordPhrase.back(), "p1");  // p0 pushed out
  history.AddPattern(kWordPhrase, "p50");
  EXPECT_EQ(history.WordPhrase.size(), 100u);
  EXPECT_EQ(history.WordPhrase[0], "p50");
  EXPECT_EQ(history.WordPhrase[1], "p100");
  EXPECT_EQ(std::count(history.WordPhrase.begin(), history.WordPhrase.end(), "p50"), 1);
  history.AddPattern(kRegExp, "colou?r");
  EXPECT_EQ(history.RegExp, std::vector<std::string>{"colou?r"});
  history.SetBatch(kWordTag, {"a", "b"});
  EXPECT_EQ(history.LastBatchSyntax, kWordTag);
}

}  // namespace
}  // namespace quenterra
