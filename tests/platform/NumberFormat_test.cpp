#include "platform/NumberFormat.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "support/EnvScope.h"

namespace quenterra {
namespace {

class NumberFormatTest : public ::testing::Test {
 protected:
  void TearDown() override { SetNumberFormat(userFormat_); }
  const TNumberFormat userFormat_ = NumberFormat();
};

TEST_F(NumberFormatTest, CountsGroupThousandsTakeNounsAndByteSizesKeepTheirPeriod) {
  SetNumberFormat({',', '.'});
  EXPECT_EQ(FormatCount(0), "0");
  EXPECT_EQ(FormatCount(999), "999");
  EXPECT_EQ(FormatCount(12345), "12,345");
  EXPECT_EQ(FormatCount(-1234567), "-1,234,567");
  EXPECT_EQ(FormatCount(INT64_MIN), "-9,223,372,036,854,775,808");
  SetNumberFormat({'.', ','});
  EXPECT_EQ(FormatCount(1234567, "word"), "1.234.567 words");
  EXPECT_EQ(FormatCount(1, "type"), "1 type");
  EXPECT_EQ(FormatCount(0, "file"), "0 files");
  EXPECT_EQ(FormatCount(-1, "file"), "-1 files");
  // The byte size keeps its period whatever the user's decimal separator.
  EXPECT_EQ(FormatByteSize(0), "0 bytes");
  EXPECT_EQ(FormatByteSize(1), "1 byte");
  EXPECT_EQ(FormatByteSize(1023), "1023 bytes");
  EXPECT_EQ(FormatByteSize(1024), "1.00 kbytes");
  EXPECT_EQ(FormatByteSize(1536), "1.50 kbytes");
  EXPECT_EQ(FormatByteSize(1048575), "1024.00 kbytes");
  EXPECT_EQ(FormatByteSize(1048576), "1.00 mbytes");
  EXPECT_EQ(FormatByteSize(int64_t{5} << 40), "5242880.00 mbytes");
  EXPECT_EQ(FormatByteSize(-1), "");
}

TEST_F(NumberFormatTest, FloatsUseTheDecimalSeparatorBothWays) {
  SetNumberFormat({'.', ','});
  EXPECT_EQ(FormatFloat(0.5), "0,5");
  EXPECT_EQ(FormatFloat(1.0), "1");
  EXPECT_EQ(FormatFloat(std::nan("")), "0");
  double value = 0;
  EXPECT_TRUE(ParseFloat(" -2,25 ", value));
  EXPECT_DOUBLE_EQ(value, -2.25);
  EXPECT_TRUE(ParseFloat("+1,5E3", value));
  EXPECT_DOUBLE_EQ(value, 1500);
  EXPECT_TRUE(ParseFloat(",5", value));
  EXPECT_DOUBLE_EQ(value, 0.5);
  EXPECT_TRUE(ParseFloat("1.5", value));  // as another locale writes it
  EXPECT_DOUBLE_EQ(value, 1.5);
  for (const char* bad :
       {"", ",", "1,5,5", "1.5,5", "1e", "e5", "inf", "nan", "1e999", "0x10", "1 2"})
    EXPECT_FALSE(ParseFloat(bad, value)) << bad;
  for (double x : {0.1, 1.0 / 3, 1e-7, 123456789.125, -0.0, std::numeric_limits<double>::max()}) {
    ASSERT_TRUE(ParseFloat(FormatFloat(x), value)) << x;
    EXPECT_EQ(value, x);
  }
}

TEST_F(NumberFormatTest, TheCLocaleGivesCommaAndPoint) {
  test::TEnvScope locale("LC_ALL", "C");
  EXPECT_EQ(LocaleNumberFormat(), (TNumberFormat{',', '.'}));
}

}  // namespace
}  // namespace quenterra
