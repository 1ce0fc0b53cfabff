#include "config/FontValue.h"

#include <gtest/gtest.h>

namespace quenterra {
namespace {

TEST(FontValue, FieldsParseLeniently) {
  TFontChoice font;
  ParseFontValue("Courier New,10,3,-2147483640,0", font);
  EXPECT_EQ(font, (TFontChoice{"Courier New", 10, 3, TFontChoice::kWindowText, 0}));
  ParseFontValue("Courier New", font);
  EXPECT_EQ(font, (TFontChoice{"Courier New", 0, 0, 0, 0}));
  ParseFontValue("Arial;12 259:x,7", font);  // style keeps 8 bits; bad number counts as 0
  EXPECT_EQ(font, (TFontChoice{"Arial", 12, 3, 0, 7}));
  ParseFontValue("Arial, 10", font);  // the space ends an empty size field
  EXPECT_EQ(font.size, 0);
  EXPECT_EQ(font.style, 10);
  ParseFontValue(std::string(40, 'n') + ",$0A", font);  // a face name keeps 31 characters
  EXPECT_EQ(font, (TFontChoice{std::string(31, 'n'), 10, 0, 0, 0}));
  TFontChoice unchanged = TFontChoice::DefaultSystemFont();
  ParseFontValue("", unchanged);
  EXPECT_EQ(unchanged, TFontChoice::DefaultSystemFont());
}

TEST(FontValue, KeysRoundTrip) {
  TIniFile ini;
  WriteFontKey(ini, "Fonts", "Normal", TFontChoice{"Arial", 10, 1, 255, 0});
  EXPECT_EQ(ini.Text(), "[Fonts]\nNormal=Arial,10,1,255,0\n");
  TFontChoice font = TFontChoice::StockSystemFont();
  ReadFontKey(TIniFile::Parse(ini.Text()), "fonts", "normal", font);
  EXPECT_EQ(font, (TFontChoice{"Arial", 10, 1, 255, 0}));
  ReadFontKey(ini, "Fonts", "Missing", font);  // a missing key leaves the font alone
  EXPECT_EQ(font.name, "Arial");
}

}  // namespace
}  // namespace quenterra
