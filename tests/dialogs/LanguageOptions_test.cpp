#include "dialogs/LanguageOptions.h"

#include <gtest/gtest.h>

namespace quenterra {
namespace {

using Strings = std::vector<std::string>;

TEST(LanguageOptionsTest, SortedListCurrentLanguageSelectedSerbianByNameAndTheFontKept) {
  TGlobalSettings global;
  const Strings installed = {"Serbian", "German (Standard)", "english (Canadian)",
                             "English (United States)"};
  TLanguageOptions dialog = TLanguageOptions::FromSettings(global, installed);
  EXPECT_EQ(dialog.Entries(), (Strings{"english (Canadian)", "English (United States)",
                                       "German (Standard)", "Serbian"}));
  EXPECT_EQ(dialog.Selected(), 1);
  global.Language = 0x0411;  // Japanese, not installed here: the first entry
  EXPECT_EQ(TLanguageOptions::FromSettings(global, installed).Selected(), 0);

  global.Language = 0x0409;
  dialog.Select(3);
  dialog.Select(9);  // out of range: ignored
  TFontChoice font{"Arial", 10, TFontChoice::kBold};
  dialog.SetFont(font);
  EXPECT_TRUE(dialog.Accept(global));
  EXPECT_EQ(global.Language, 0x0C1Au);  // "Serbian" is 0C1A, never 081A
  EXPECT_EQ(global.SystemFont, font);
  EXPECT_FALSE(dialog.Accept(global));  // the same language again: no change
  EXPECT_EQ(dialog.CodePageCaption(), "Code page 1251");
  dialog.SetEncoding(TCorpusEncoding::kCodePage);  // the encoding alone is a change too
  EXPECT_TRUE(dialog.Accept(global));
  EXPECT_EQ(global.Encoding, TCorpusEncoding::kCodePage);

  TLanguageOptions empty = TLanguageOptions::FromSettings(global, {});
  EXPECT_EQ(empty.Selected(), -1);
  EXPECT_FALSE(empty.Accept(global));
  EXPECT_EQ(global.Language, 0x0C1Au);
}

}  // namespace
}  // namespace quenterra
