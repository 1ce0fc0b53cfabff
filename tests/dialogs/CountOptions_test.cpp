#include "dialogs/CountOptions.h"

#include <gtest/gtest.h>

#include "engine/Scores.h"

namespace quenterra {
namespace {

TEST(CountOptionsTest, OpensOnTheStoredMethodAndStoresTheSelectedOne) {
  ZuzadovUdirev config;
  for (auto [stored, item, back] :
       {std::tuple{1, 0, 1}, {2, 1, 2}, {4, 2, 4}, {3, 0, 1}, {0, 0, 1}, {200, 0, 1}}) {
    config.Last_Method_Selected = static_cast<uint8_t>(stored);
    TCountOptions dialog = TCountOptions::FromSettings(config);
    EXPECT_EQ(dialog.MethodItem(), item) << stored;
    dialog.Store(config);
    EXPECT_EQ(config.Last_Method_Selected, back) << stored;
  }
  TCountOptions dialog = TCountOptions::FromSettings(config);
  dialog.SelectMethod(-1);  // none selected
  dialog.Store(config);
  EXPECT_EQ(config.Last_Method_Selected, static_cast<uint8_t>(TScoreMethod::kNone));
}

TEST(CountOptionsTest, FrequencyStaysInTheUpDownsRange) {
  ZuzadovUdirev config;
  config.Min_Word_Freq = 70000;  // a damaged setting
  TCountOptions dialog = TCountOptions::FromSettings(config);
  EXPECT_EQ(dialog.Frequency(), 32767);
  dialog.SetFrequencyText("15");
  dialog.SetFrequencyText("x");  // not a number: the position stays
  EXPECT_EQ(dialog.FrequencyText(), "15");
  dialog.SetFrequencyText("0");
  EXPECT_EQ(dialog.Frequency(), 1);
  dialog.SetFrequencyText("99999999999999999999");
  EXPECT_EQ(dialog.Frequency(), 32767);
  dialog.SelectMethod(1);
  dialog.Default();  // frequency 2, the method kept
  dialog.Store(config);
  EXPECT_EQ(config.Min_Word_Freq, 2);
  EXPECT_EQ(config.Last_Method_Selected, static_cast<uint8_t>(TScoreMethod::kMutualInfo));

  for (char c : {'0', '9', ' ', '\b', '\r'}) EXPECT_TRUE(FrequencyEditAccepts(c)) << int(c);
  for (char c : {'a', '-', '.', ',', '+', '\x7f', '\xe9'})
    EXPECT_FALSE(FrequencyEditAccepts(c)) << int(c);
}

}  // namespace
}  // namespace quenterra
