#include "dialogs/TypedText.h"

#include <gtest/gtest.h>

#include "support/ErrorOf.h"
#include "support/SettingsTest.h"

namespace quenterra {
namespace {

using TypedTextTest = test::TSettingsTest;

TEST_F(TypedTextTest, TypedTextMustFitTheCorpusEncoding) {
  UseCodePage();
  const TLangTables& tables = settings_.tables;
  EXPECT_EQ(EncodeTyped("caf\u00E9 \u20AC", tables), "caf\xE9 \x80");
  EXPECT_THROW(EncodeTyped("\u0101", tables), EUnencodable);  // no best fit to 'a' either
  EXPECT_EQ(test::ErrorOf([&] { EncodeTyped("a\u03A9b", tables); }),
            "The character \"\u03A9\" cannot be written in code page 1252.");
  EXPECT_EQ(ShownText("caf\xE9", tables), "caf\u00E9");
  EXPECT_TRUE(TypedTextFits("\u00E9", true, tables));
  EXPECT_TRUE(TypedTextFits("", true, tables));
  EXPECT_FALSE(TypedTextFits("ab", true, tables));
  EXPECT_FALSE(TypedTextFits("\u03A9", false, tables));
  EXPECT_TRUE(TypedTextFits("ab", false, tables));
}

// A UTF-8 corpus holds every character, and one character may take several bytes.
TEST_F(TypedTextTest, Utf8CorpusHoldsEveryCharacter) {
  EXPECT_EQ(EncodeTyped("\u03A9\u4E2D", settings_.tables), "\u03A9\u4E2D");
  EXPECT_TRUE(TypedTextFits("\u4E2D", true, settings_.tables));
  EXPECT_FALSE(TypedTextFits("\u03A9\u4E2D", true, settings_.tables));
}

}  // namespace
}  // namespace quenterra
