#include "regexp/RegExp3.h"

#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "settings/Settings.h"
#include "corpus/LangTables.h"
#include "support/ErrorOf.h"
#include "support/StoredSettingsTest.h"

namespace quenterra {
namespace {

using test::ErrorOf;
using RegExp3Test = test::TStoredSettingsTest;

void Rebuild() {
  BuildCaseTable();
  RebuildCharTables();
}

bool Whole(const char* pattern, std::string_view text) {
  return TRegExp(pattern).MatchesWhole(text);
}

TEST_F(RegExp3Test, WholeWordNeedsTheFirstMatchToCoverTheText) {
  EXPECT_TRUE(Whole("[a-z]+ing", "walking"));
  EXPECT_FALSE(Whole("ing", "walking"));   // a match inside the word
  EXPECT_FALSE(Whole("walk", "walking"));  // a prefix
  EXPECT_TRUE(Whole("(un|re)[a-z]*ed", "unwanted"));
  EXPECT_FALSE(Whole("(un|re)[a-z]*ed", "needed"));
  EXPECT_FALSE(Whole("[a-z]|[a-z]+", "abc"));  // a longer match would cover it; not tried
  EXPECT_TRUE(Whole("[a-z]+|[a-z]", "abc"));
  EXPECT_FALSE(Whole("a*", ""));  // an empty match never counts
  EXPECT_FALSE(Whole("", ""));
  EXPECT_TRUE(Whole("^abc$", "ABC"));  // ignoreCase folds pattern and text
}

// MatchesWhole takes a shortcut (one attempt at the first byte); it must agree with the rule
// written in terms of Search.
TEST_F(RegExp3Test, WholeWordAgreesWithTheFirstMatchOfASearch) {
  const char* const patterns[] = {"a+",   "[a-z]*s",  "(a|ab)*", "\\w+\\>", "\\bb",
                                  "b*",   "(.)\\1",   ".*e$",    "x?y?",    "[^s]+s?",
                                  "\\<.", "(ab|a)c?", "\\Bb.*",  "a{2,3}",  "(a*)*b"};
  const char* const texts[] = {"",   "a",   "aa",  "ab",   "abab", "bab",  "aab", "bases",
                               "xy", "abc", "see", "abba", "s",    "aaaa", "ba"};
  for (const char* pattern : patterns) {
    TRegExp re(pattern);
    for (const char* text : texts) {
      std::optional<TRegExp::TMatch> first = re.Search(text);
      bool whole = first && first->start == 0 && first->end == static_cast<int>(strlen(text));
      EXPECT_EQ(re.MatchesWhole(text), whole) << pattern << " / " << text;
    }
  }
}

// Every message the engine raises, with patterns that raise it.
const std::pair<const char*, std::vector<const char*>> kCompileErrors[] = {
    {"Unmatched ( or \\(", {"(", "((a)", "a|(b"}},
    {"Unmatched [ or [^", {"[a", "[", "[^", "[]", "[[:alpha:]", "[[:"}},
    {"Invalid character class name", {"[[:foo:]]", "[[:ALPHA:]]"}},
    {"Trailing backslash", {"a\\", "\\"}},
    {"Invalid back reference", {"\\1", "(a)\\2"}},
    {"Invalid range end", {"[z-a]", "[a-", "[[:alpha:]-z]", "[\xFF-\x01]"}},
    {"Regular expression too big", {"(ab){1000}{1000}", "a{1000}{1000}{1000}", "(a|b){32767}"}},
};

TEST_F(RegExp3Test, CompileErrorsCarryTheEngineMessages) {
  for (const auto& [message, patterns] : kCompileErrors)
    for (const char* pattern : patterns)
      EXPECT_EQ(ErrorOf([&] { TRegExp re(pattern); }), message) << pattern;
}

// Whatever the bytes, a pattern compiles or raises one of the engine's messages, and a search
// with it ends.
TEST_F(RegExp3Test, RandomPatternsCompileOrRaiseAKnownMessage) {
  std::set<std::string> known;
  for (const auto& entry : kCompileErrors) known.insert(entry.first);
  const std::string alphabet = "ab()[]{}|*+?^$.\\-:,0129wbB<>`'";
  std::mt19937 random(42);
  int compiled = 0;
  for (int n = 0; n < 3000; ++n) {
    std::string pattern(1 + random() % 12, ' ');
    for (char& c : pattern)
      c = random() % 8 == 0 ? static_cast<char>(random() % 256)
                            : alphabet[random() % alphabet.size()];
    try {
      TRegExp re(pattern);
      re.Search("ab(a]|ba{1,2}b:w");
      ++compiled;
    } catch (const ERegExp& e) {
      EXPECT_TRUE(known.count(e.what())) << e.what() << " for '" << pattern << "'";
    }
  }
  EXPECT_GT(compiled, 500);
}

TEST_F(RegExp3Test, APatternKeepsTheTablesOfItsCompilation) {
  TRegExp folded("x");
  folded = TRegExp("ABC");
  Config().ignoreCase = false;
  Rebuild();
  TRegExp exact("ABC");
  EXPECT_TRUE(folded.MatchesWhole("abc"));
  EXPECT_FALSE(exact.MatchesWhole("abc"));
  EXPECT_TRUE(exact.MatchesWhole("ABC"));
  EXPECT_TRUE(Whole("[[:upper:]]+", "ABC"));
  EXPECT_FALSE(Whole("[[:upper:]]+", "abc"));
}

TEST_F(RegExp3Test, DelimitersAreNoWordCharacters) {
  Config().NonWordChars += "'-";
  Rebuild();
  EXPECT_EQ(TRegExp("\\w+").Search("don't")->end, 3);
  EXPECT_EQ(TRegExp("\\w+").Search("well-known")->end, 4);
  EXPECT_TRUE(Whole("[[:punct:]]", "-"));
  Config().NonWordChars.clear();
  Rebuild();
  EXPECT_TRUE(Whole("\\w+", "a.b,c"));  // every punctuation byte is a letter now
  EXPECT_TRUE(Whole("[[:alpha:]]+", "a.b"));
}

TEST_F(RegExp3Test, EqualCharactersCompareAsOne) {
  TCharSet group;
  group.Add('a');
  group.Add(0xE4);  // a with diaeresis in code page 1252
  Config().UseEqualChars = true;
  Config().EqualGroups = {group};
  Rebuild();
  for (const char* text : {"a", "A", "\xE4", "\xC4"}) {
    EXPECT_TRUE(Whole("a", text)) << text;
    EXPECT_TRUE(Whole("\xC4", text)) << text;
    EXPECT_TRUE(Whole("[a-c]", text)) << text;
  }
  EXPECT_TRUE(Whole("(.)\\1", "a\xC4"));
}

TEST_F(RegExp3Test, LimitsEndInNoMatchNeverInACrash) {
  // Backtracking without end ends at the step budget.
  EXPECT_FALSE(TRegExp("(a|aa)*b").Search(std::string(40, 'a')));
  EXPECT_FALSE(TRegExp("((a*)*)*b").Search(std::string(30, 'a')));
  // Every iteration of a group loop leaves failure points; more than 2000 is no match.
  EXPECT_TRUE(TRegExp("(a|b)*c").Search(std::string(500, 'a') + "c"));
  EXPECT_FALSE(TRegExp("(a|b)*c").Search(std::string(5000, 'a') + "c"));
  // A repeated single test keeps one failure point however long its run.
  EXPECT_EQ(TRegExp("[ab]*c").Search(std::string(100000, 'a') + "c")->end, 100001);
  // Large repetitions either compile into a bounded program or are refused.
  EXPECT_FALSE(TRegExp("a{1000}{1000}").Search(std::string(5000, 'a')));
  EXPECT_TRUE(TRegExp("a{2}{30000}").MatchesWhole(std::string(60000, 'a')));
  const std::string haystack = std::string(1 << 20, 'x') + "needle";
  EXPECT_EQ(TRegExp("ne+dle").Search(haystack)->start, 1 << 20);
  EXPECT_FALSE(TRegExp("(x|y)*z").Search(haystack));
}

}  // namespace
}  // namespace quenterra
