#include "dialogs/TypedText.h"

#include <gtest/gtest.h>

#include "support/SettingsTest.h"

namespace quenterra {
namespace {

using TypedTextTest = test::TSettingsTest;

TEST_F(TypedTextTest, TypedTextMustFitTheCorpusEncoding) {
  const TLangTables& tables = settings_.tables;  // code page 1252
  EXPECT_EQ(EncodeTyped("caf\u00E9 \u20AC", tables), std::optional<std::string>("caf\xE9 \x80"));
  EXPECT_EQ(EncodeTyped("\u03A9", tables), std::nullopt);
  EXPECT_EQ(EncodeTyped("\u0101", tables), std::nullopt);  // no best fit to 'a' either
  EXPECT_EQ(ShownText("caf\xE9", tables), "caf\u00E9");
  EXPECT_TRUE(TypedTextFits("\u00E9", true, tables));
  EXPECT_TRUE(TypedTextFits("", true, tables));
  EXPECT_FALSE(TypedTextFits("ab", true, tables));
  EXPECT_TRUE(TypedTextFits("ab", false, tables));
  EXPECT_EQ(UnencodableMessage("a\u03A9b", tables),
            "The character \"\u03A9\" cannot be written in code page 1252.");
  EXPECT_EQ(UnencodableMessage("ab", tables), "");
}

}  // namespace
}  // namespace quenterra
