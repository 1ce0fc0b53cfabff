#include "dialogs/ExtractOptions.h"

#include <gtest/gtest.h>

#include "support/SettingsTest.h"

namespace quenterra {
namespace {

using Strings = std::vector<std::string>;

class ExtractOptionsTest : public test::TSettingsTest {
 protected:
  TExtractOptions Open(bool batch, TSearchKind kind) const {
    return TExtractOptions::FromSettings(settings_.config, settings_.history, batch, kind);
  }
  bool Ok(const TExtractOptions& dialog) const {
    return dialog.Ok(settings_.config, settings_.tables);
  }
  std::unique_ptr<TExtractRecords> Store(const TExtractOptions& dialog) {
    return dialog.Store(settings_.config, settings_.history, settings_.tables);
  }
};

// The grammar is ExtractPattern_test's; here its errors become messages.
TEST_F(ExtractOptionsTest, OkShowsTheErrorAndKeepsTheDialogOpen) {
  TExtractOptions dialog = Open(false, TSearchKind::kRegExp);
  dialog.Pattern = "(a";
  EXPECT_FALSE(Ok(dialog));
  dialog.Pattern = "colou?r";
  EXPECT_TRUE(Ok(dialog));
  dialog.Batch = true;
  dialog.Kind = TSearchKind::kWordPhrase;
  dialog.BatchLines = {"a b", "", "c +"};
  EXPECT_FALSE(Ok(dialog));
  settings_.config.NonWordChars += "\xAB";  // a delimiter of code page 1252
  dialog.BatchLines = {std::string{'a', '\xAB', 'b'}};
  EXPECT_FALSE(Ok(dialog));
  EXPECT_EQ(messages_->errors,
            (Strings{"Unmatched ( or \\(", "Incorrect use of \"+\" at the end of the extract term.",
                     "Invalid character in extract pattern: \"\u00AB\"."}));
}

TEST_F(ExtractOptionsTest, AcceptingUpdatesHistoriesAndSpan) {
  TExtractOptions dialog = Open(false, TSearchKind::kWordPhrase);
  EXPECT_EQ(dialog.Pattern, "");
  EXPECT_EQ(dialog.Span, 2);
  for (const char* pattern : {"p1", "p2", "p1"}) {
    dialog.Pattern = pattern;
    dialog.Span = 7;
    ASSERT_NE(Store(dialog), nullptr);
  }
  EXPECT_EQ(settings_.history.WordPhrase, (Strings{"p1", "p2"}));
  EXPECT_EQ(dialog.History(settings_.history), (Strings{"p1", "p2"}));
  EXPECT_EQ(settings_.config.SpanRange, 7);
  EXPECT_EQ(Open(false, TSearchKind::kWordPhrase).Pattern, "p1");

  dialog.SelectKind(TSearchKind::kWordTag, settings_.history);
  EXPECT_EQ(dialog.Pattern, "");  // the Word/Tag history is empty
  dialog.Batch = true;
  dialog.BatchLines = {"x", "", "y"};
  Store(dialog);
  TExtractOptions batch = Open(true, TSearchKind::kWordPhrase);
  EXPECT_EQ(batch.Kind, TSearchKind::kWordTag);
  EXPECT_EQ(batch.BatchLines, (Strings{"x", "", "y"}));
  EXPECT_EQ(batch.Span, 7);
  EXPECT_FALSE(TExtractOptions::WordTagEnabled(settings_.config));
}

}  // namespace
}  // namespace quenterra
