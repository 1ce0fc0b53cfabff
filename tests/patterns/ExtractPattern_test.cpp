#include "patterns/ExtractPattern.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "settings/Settings.h"
#include "support/ErrorOf.h"
#include "support/StoredSettingsTest.h"

namespace quenterra {
namespace {

using Strings = std::vector<std::string>;
using test::ErrorOf;

class ExtractSyntaxTest : public test::TStoredSettingsTest {
 protected:
  // "order: term term ..." with Word/Tag terms as word&tag.
  static std::string Describe(const TExtractRecord& record) {
    std::string text = std::to_string(record.Order()) + ":";
    for (int i = 0; i < record.TermCount(); ++i) {
      const TExtractTerm& term = record.Term(i);
      text += " " + term.Text() + (record.Kind() == kWordTag ? "&" + term.Tag() : "");
    }
    return text;
  }
  static std::string Parse(uint8_t kind, const std::string& line) {
    TExtractRecords records(kind, line);
    std::string error = ErrorOf([&] { AddExtractPattern(kind, records, line); });
    if (error != "(no exception)") return error;
    return records.RecordCount() == 0 ? "(nothing)" : Describe(records.Record(0));
  }
};

TEST_F(ExtractSyntaxTest, SeparatorsFixTheOrderOfALine) {
  EXPECT_EQ(Parse(kWordPhrase, "post office"), "0: post office");
  EXPECT_EQ(Parse(kWordPhrase, "  post   office  "), "0: post office");
  EXPECT_EQ(Parse(kWordPhrase, "post + office%"), "1: post office%");
  EXPECT_EQ(Parse(kWordPhrase, "post+office%"), "1: post office%");
  EXPECT_EQ(Parse(kWordPhrase, "post > office? > box"), "2: post office? box");
  EXPECT_EQ(Parse(kWordPhrase, "   "), "(nothing)");
  const std::string kMixed =
      "Incorrect syntax. \"+\", \">\" or \" \" can't be used in a combination.";
  EXPECT_EQ(Parse(kWordPhrase, "post + office > box"), kMixed);
  EXPECT_EQ(Parse(kWordPhrase, "post office + box"), kMixed);
  EXPECT_EQ(Parse(kWordPhrase, "post +"), "Incorrect use of \"+\" at the end of the extract term.");
  EXPECT_EQ(Parse(kWordPhrase, "post >  "),
            "Incorrect use of \">\" at the end of the extract term.");
}

TEST_F(ExtractSyntaxTest, CharactersEachKindRefuses) {
  EXPECT_EQ(Parse(kWordPhrase, "post.office"), "Invalid character in extract pattern: \".\".");
  EXPECT_EQ(Parse(kWordPhrase, "a&b"), "Invalid character in extract pattern: \"&\".");
  EXPECT_EQ(Parse(kWordTag, "a,b&nn"), "Invalid character in extract pattern: \",\".");
  EXPECT_EQ(Parse(kWordPhrase, "a\tb"), "Invalid character in extract pattern: \"\t\".");
  // Regular expressions keep '+' and '>' inside a term and end a term only at a space.
  EXPECT_EQ(Parse(kRegExp, "a+b.c"), "0: a+b.c");
  EXPECT_EQ(Parse(kRegExp, "a b"), "0: a b");
  EXPECT_EQ(Parse(kRegExp, "a + b"), "1: a b");
  EXPECT_EQ(Parse(kRegExp, "(a"), "Unmatched ( or \\(");
  // Other separator characters: '+' becomes an ordinary delimiter again.
  Config().TagUnorderedChar = '~';
  EXPECT_EQ(Parse(kWordPhrase, "a ~ b"), "1: a b");
  EXPECT_EQ(Parse(kWordPhrase, "a + b"), "Invalid character in extract pattern: \"+\".");
}

TEST_F(ExtractSyntaxTest, WordTagTermsSplitAtTheTagSeparator) {
  EXPECT_EQ(Parse(kWordTag, "run%&vbn + computer + &nn"), "1: run%&vbn computer&* *&nn");
  EXPECT_EQ(Parse(kWordTag, "computer&"), "0: computer&");
  EXPECT_EQ(Parse(kWordTag, "a&b&c"), "0: a&b&c");  // the first separator splits
  EXPECT_EQ(Parse(kWordPhrase, "computer"), "0: computer");

  Config().MetaTags = {{"Noun", {"NN", "nns"}}};
  TExtractTerm meta("dog", false, "noun");
  EXPECT_TRUE(meta.HasTagList());
  EXPECT_EQ(meta.TagList(), (Strings{"nn", "nns"}));  // folded: ignoreCase is on
  EXPECT_FALSE(meta.MatchesUntagged());
  EXPECT_FALSE(TExtractTerm("dog", false, "nn").HasTagList());
  EXPECT_TRUE(TExtractTerm("dog", false, "*").MatchesUntagged());
  // Other wildcard characters reach the index as its own.
  Config().WildCard0orMore = '@';
  TExtractTerm custom("po@", false, "@");
  EXPECT_EQ(custom.WordPattern(), "po*");
  EXPECT_TRUE(custom.MatchesUntagged());
  EXPECT_FALSE(TExtractTerm("dog", false, "*").MatchesUntagged());
}

TEST_F(ExtractSyntaxTest, CaseIsFoldedButTheLineKeptAsTyped) {
  TExtractRecords records(kWordPhrase, "");
  AddExtractPattern(kWordPhrase, records, " Post Office ");
  EXPECT_EQ(records.Record(0).Text(), " Post Office ");
  EXPECT_EQ(Describe(records.Record(0)), "0: post office");
  Config().ignoreCase = false;
  EXPECT_EQ(Parse(kWordPhrase, "Post"), "0: Post");
}

TEST_F(ExtractSyntaxTest, BuildReportsTheFirstErrorAndRejectsTheWholeBatch) {
  TExtractDialogState dialog;
  dialog.Pattern = "   ";
  EXPECT_EQ(BuildExtractRecords(dialog), nullptr);
  dialog.Batch = true;
  dialog.BatchLines = {"", "  ", ""};
  EXPECT_FALSE(ExtractDialogOk(dialog));
  dialog.BatchLines = {"a b", "", "c +", "d."};
  EXPECT_EQ(BuildExtractRecords(dialog), nullptr);
  EXPECT_EQ(messages_->errors, (Strings{"The pattern is empty.", "The pattern is empty.",
                                        "Incorrect use of \"+\" at the end of the extract term."}));

  dialog.BatchLines = {"a b", "", "c + d"};
  auto records = BuildExtractRecords(dialog);
  ASSERT_NE(records, nullptr);
  EXPECT_EQ(records->Caption(), "Batch collocation");
  EXPECT_EQ(records->RecordCount(), 2);
  dialog.Batch = false;
  dialog.Kind = kRegExp;
  dialog.Pattern = "colou?r";
  records = BuildExtractRecords(dialog);
  EXPECT_EQ(records->Caption(), "colou?r");
  EXPECT_EQ(records->Kind(), kRegExp);
}

TEST_F(ExtractSyntaxTest, AcceptingUpdatesHistoriesAndSpan) {
  TExtractDialogState dialog = TExtractDialogState::Open(false, kWordPhrase);
  EXPECT_EQ(dialog.Pattern, "");
  EXPECT_EQ(dialog.Span, 2);
  for (const char* pattern : {"p1", "p2", "p1"}) {
    dialog.Pattern = pattern;
    dialog.Span = 7;
    ASSERT_NE(AcceptExtractDialog(dialog), nullptr);
  }
  EXPECT_EQ(ExtractHistory().WordPhrase, (Strings{"p1", "p2"}));
  EXPECT_EQ(Config().SpanRange, 7);
  EXPECT_EQ(TExtractDialogState::Open(false, kWordPhrase).Pattern, "p1");

  dialog.SelectKind(kWordTag);
  EXPECT_EQ(dialog.Pattern, "");  // the Word/Tag history is empty
  dialog.Batch = true;
  dialog.BatchLines = {"x", "", "y"};
  AcceptExtractDialog(dialog);
  TExtractDialogState batch = TExtractDialogState::Open(true, kWordPhrase);
  EXPECT_EQ(batch.Kind, kWordTag);
  EXPECT_EQ(batch.BatchLines, (Strings{"x", "", "y"}));
  EXPECT_EQ(batch.Span, 7);
  EXPECT_FALSE(TExtractDialogState::WordTagEnabled());
}

TEST_F(ExtractSyntaxTest, ExamplesShowTheCurrentSpecialCharacters) {
  EXPECT_EQ(ExtractExamples(kWordTag), "e.g. \"computer&nn% + run%&vbn + *&nn1\"");
  Config().TagSearchSeparator = '_';
  Config().WildCard0or1 = '#';
  Config().WildCardExactly1 = '!';
  Config().WildCard0orMore = '@';
  EXPECT_EQ(ExtractExamples(kWordTag), "e.g. \"computer_nn# + run#_vbn + @_nn1\"");
  EXPECT_EQ(ExtractExamples(kWordPhrase),
            "e.g. \"colo#r table\", \"post + office!\", \"computer + program@\", "
            "\"post > office?\"");
}

}  // namespace
}  // namespace quenterra
