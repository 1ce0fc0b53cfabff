#include "patterns/ExtractPattern.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/ErrorOf.h"
#include "support/SettingsTest.h"

namespace quenterra {
namespace {

using Strings = std::vector<std::string>;
using test::ErrorOf;

class ExtractPatternTest : public test::TSettingsTest {
 protected:
  // "order: term term ..." with Word/Tag terms as word&tag.
  static std::string Describe(const TExtractRecord& record) {
    std::string text = std::to_string(static_cast<int>(record.Order())) + ":";
    for (int i = 0; i < record.TermCount(); ++i) {
      const TExtractTerm& term = record.Term(i);
      text += " " + term.Text() + (record.Kind() == TSearchKind::kWordTag ? "&" + term.Tag() : "");
    }
    return text;
  }
  std::string Parse(TSearchKind kind, const std::string& line) const {
    TExtractRecords records(kind, line);
    std::string error = ErrorOf(
        [&] { AddExtractPattern(kind, records, line, settings_.config, settings_.tables); });
    if (error != "(no exception)") return error;
    return records.RecordCount() == 0 ? "(nothing)" : Describe(records.Record(0));
  }
  TExtractTerm Term(const char* text, const char* tag) const {
    return TExtractTerm(text, false, tag, settings_.config, settings_.tables);
  }
  ZuzadovUdirev& config_ = settings_.config;
};

TEST_F(ExtractPatternTest, SeparatorsFixTheOrderOfALine) {
  EXPECT_EQ(Parse(TSearchKind::kWordPhrase, "  post   office  "), "0: post office");
  EXPECT_EQ(Parse(TSearchKind::kWordPhrase, "post+office%"), "1: post office%");
  EXPECT_EQ(Parse(TSearchKind::kWordPhrase, "post > office? > box"), "2: post office? box");
  EXPECT_EQ(Parse(TSearchKind::kWordPhrase, "   "), "(nothing)");
  const std::string kMixed =
      "Incorrect syntax. \"+\", \">\" or \" \" can't be used in a combination.";
  EXPECT_EQ(Parse(TSearchKind::kWordPhrase, "post + office > box"), kMixed);
  EXPECT_EQ(Parse(TSearchKind::kWordPhrase, "post office + box"), kMixed);
  EXPECT_EQ(Parse(TSearchKind::kWordPhrase, "post +"),
            "Incorrect use of \"+\" at the end of the extract term.");
  EXPECT_EQ(Parse(TSearchKind::kWordPhrase, "post >  "),
            "Incorrect use of \">\" at the end of the extract term.");
  // A term missing before a separator is refused the same way, not run as an empty term.
  EXPECT_EQ(Parse(TSearchKind::kWordPhrase, "+ post"),
            "Incorrect use of \"+\" at the end of the extract term.");
  EXPECT_EQ(Parse(TSearchKind::kWordPhrase, "post + + office"),
            "Incorrect use of \"+\" at the end of the extract term.");
  EXPECT_EQ(Parse(TSearchKind::kWordTag, "a & b"),
            "Incorrect use of \"&\" at the end of the extract term.");
}

// In UTF-8 the special characters may be any code point, and a refused character is named
// whole.
TEST_F(ExtractPatternTest, Utf8LinesSplitAtCharacters) {
  settings_.global.Encoding = TCorpusEncoding::kUtf8;
  config_.TagUnorderedChar = U'\u00B1';    // ±
  config_.WildCard0or1 = U'\u00BF';        // ¿
  config_.TagSearchSeparator = U'\u00A7';  // §
  settings_.RebuildTables();
  EXPECT_EQ(Parse(TSearchKind::kWordPhrase, "\u00C9COLE \u00B1 caf\u00BF"),
            "1: \u00E9cole caf\u00BF");
  EXPECT_EQ(Parse(TSearchKind::kWordPhrase, "a \u00B1"),
            "Incorrect use of \"\u00B1\" at the end of the extract term.");
  EXPECT_EQ(Term("caf\u00BF", "").WordPattern(), "caf%");
  EXPECT_EQ(Parse(TSearchKind::kWordTag, "chien\u00A7nom"), "0: chien&nom");
  config_.NonWordChars += "\u2014";
  EXPECT_EQ(Parse(TSearchKind::kWordPhrase, "a\u2014b"),
            "Invalid character in extract pattern: \"\u2014\".");
}

TEST_F(ExtractPatternTest, CharactersEachKindRefuses) {
  EXPECT_EQ(Parse(TSearchKind::kWordPhrase, "post.office"),
            "Invalid character in extract pattern: \".\".");
  EXPECT_EQ(Parse(TSearchKind::kWordPhrase, "a&b"), "Invalid character in extract pattern: \"&\".");
  EXPECT_EQ(Parse(TSearchKind::kWordTag, "a,b&nn"), "Invalid character in extract pattern: \",\".");
  EXPECT_EQ(Parse(TSearchKind::kWordPhrase, "a\tb"),
            "Invalid character in extract pattern: \"\t\".");
  // Regular expressions keep '+' and '>' inside a term and end a term only at a space.
  EXPECT_EQ(Parse(TSearchKind::kRegExp, "a+b.c"), "0: a+b.c");
  EXPECT_EQ(Parse(TSearchKind::kRegExp, "a + b"), "1: a b");
  EXPECT_EQ(Parse(TSearchKind::kRegExp, "(a"), "Unmatched ( or \\(");
  // Other separator characters: '+' becomes an ordinary delimiter again.
  config_.TagUnorderedChar = '~';
  EXPECT_EQ(Parse(TSearchKind::kWordPhrase, "a ~ b"), "1: a b");
  EXPECT_EQ(Parse(TSearchKind::kWordPhrase, "a + b"),
            "Invalid character in extract pattern: \"+\".");
}

TEST_F(ExtractPatternTest, WordTagTermsSplitAtTheTagSeparatorAndMayNameMetaTags) {
  EXPECT_EQ(Parse(TSearchKind::kWordTag, "run%&vbn + computer + &nn"),
            "1: run%&vbn computer&* *&nn");
  EXPECT_EQ(Parse(TSearchKind::kWordTag, "a&b&c"), "0: a&b&c");  // the first separator splits

  config_.MetaTags = {{"Noun", {"NN", "nns"}}, {"noun", {"x"}}, {"\xC9t\xE9", {"v"}}};
  EXPECT_EQ(FindMetaTag(config_.MetaTags, "NOUN", settings_.tables), 0);
  EXPECT_EQ(FindMetaTag(config_.MetaTags, "\xE9T\xC9", settings_.tables), 2);
  EXPECT_EQ(FindMetaTag(config_.MetaTags, "adj", settings_.tables), -1);
  TExtractTerm meta = Term("dog", "noun");
  EXPECT_TRUE(meta.HasTagList());
  EXPECT_EQ(meta.TagList(), (Strings{"nn", "nns"}));  // folded: ignoreCase is on
  EXPECT_FALSE(meta.MatchesUntagged());
  EXPECT_FALSE(Term("dog", "nn").HasTagList());
  EXPECT_TRUE(Term("dog", "*").MatchesUntagged());
  // Other wildcard characters reach the index as its own.
  config_.WildCard0orMore = '@';
  TExtractTerm custom = Term("po@", "@");
  EXPECT_EQ(custom.WordPattern(), "po*");
  EXPECT_TRUE(custom.MatchesUntagged());
  EXPECT_FALSE(Term("dog", "*").MatchesUntagged());
}

TEST_F(ExtractPatternTest, CaseIsFoldedButTheLineKeptAsTyped) {
  settings_.global.Encoding = TCorpusEncoding::kCodePage;  // the bytes below are code page 1252
  settings_.RebuildTables();
  TExtractRecords records(TSearchKind::kWordPhrase, "");
  AddExtractPattern(TSearchKind::kWordPhrase, records, " Post \xC9t\xE9 ", config_,
                    settings_.tables);
  EXPECT_EQ(records.Record(0).Text(), " Post \xC9t\xE9 ");
  EXPECT_EQ(Describe(records.Record(0)), "0: post \xE9t\xE9");
  config_.ignoreCase = false;
  settings_.RebuildTables();
  EXPECT_EQ(Parse(TSearchKind::kWordPhrase, "Post"), "0: Post");
}

TEST_F(ExtractPatternTest, ARegularExpressionKeepsItsCaseAndFoldsThroughItsTables) {
  // Lower-casing the source would turn \W into \w and \D into \d.
  EXPECT_EQ(Parse(TSearchKind::kRegExp, "\\ba\\W\\w+\\Wof\\b \\D+"), "0: \\ba\\W\\w+\\Wof\\b \\D+");
  TExtractTerm digits("\\D+", true, "", config_, settings_.tables);
  EXPECT_TRUE(digits.RegExp()->MatchesWhole("post"));
  EXPECT_FALSE(digits.RegExp()->MatchesWhole("1961"));
  TExtractTerm upper("P[A-Z]ST", true, "", config_, settings_.tables);
  EXPECT_TRUE(upper.RegExp()->MatchesWhole("post"));  // ignoreCase: the tables fold both sides
}

TEST_F(ExtractPatternTest, ARequestIsCaptionedByItsPatternAndAnyFaultyLineRejectsIt) {
  auto parse = [&](TSearchKind kind, bool batch, const Strings& lines) {
    return ParseExtractRequest(kind, batch, lines, config_, settings_.tables);
  };
  EXPECT_EQ(ErrorOf([&] { parse(TSearchKind::kWordPhrase, false, {"   "}); }),
            kEmptyPatternMessage);
  EXPECT_EQ(ErrorOf([&] {
              parse(TSearchKind::kWordPhrase, true, {"", "  ", ""});
            }),
            kEmptyPatternMessage);
  EXPECT_EQ(ErrorOf([&] {
              parse(TSearchKind::kWordPhrase, true, {"a b", "", "c +", "d."});
            }),
            "Incorrect use of \"+\" at the end of the extract term.");
  std::unique_ptr<TExtractRecords> records = parse(TSearchKind::kRegExp, false, {"colou?r"});
  EXPECT_EQ(records->Caption(), "colou?r");
  EXPECT_EQ(records->Kind(), TSearchKind::kRegExp);
  records = parse(TSearchKind::kWordPhrase, true, {"a b", "", "c + d"});
  EXPECT_EQ(records->Caption(), "Batch collocation");
  EXPECT_EQ(records->RecordCount(), 2);
}

TEST_F(ExtractPatternTest, ExamplesShowTheCurrentSpecialCharacters) {
  EXPECT_EQ(ExtractExamples(TSearchKind::kWordTag, config_, TCharCoding()),
            "e.g. \"computer&nn% + run%&vbn + *&nn1\"");
  config_.TagSearchSeparator = '_';
  config_.WildCard0or1 = '#';
  config_.WildCardExactly1 = '!';
  config_.WildCard0orMore = '@';
  EXPECT_EQ(ExtractExamples(TSearchKind::kWordTag, config_, TCharCoding()),
            "e.g. \"computer_nn# + run#_vbn + @_nn1\"");
  EXPECT_EQ(ExtractExamples(TSearchKind::kWordPhrase, config_, TCharCoding()),
            "e.g. \"colo#r table\", \"post + office!\", \"computer + program@\", "
            "\"post > office?\"");
}

}  // namespace
}  // namespace quenterra
