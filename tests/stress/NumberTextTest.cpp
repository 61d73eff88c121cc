// Number texts that random search reaches slowly: the edges of int32 and of
// the double range, halfway cases, and the 18-digit pre-rounding of
// FormatReal. Each is checked against the slow models the fuzz targets use.
#include <gtest/gtest.h>

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <string>

#include "NumberReference.h"
#include "util/MyFunc.h"

namespace zumorika {
namespace {

void ExpectIntAgrees(const std::string& text) {
  EXPECT_EQ(StrToIntOr0(text), reference::StrToInt(text)) << "text [" << text << "]";
}

void ExpectRealAgrees(const std::string& text) {
  double expected = 0;
  double got = StrToFloatOr0(text);
  EXPECT_TRUE(reference::AcceptableReal(text, got, &expected))
      << "text [" << text << "] gave " << got << ", expected " << expected;
}

void ExpectFormatAgrees(double value) {
  auto acceptable = reference::AcceptableRealTexts(value);
  std::string got = FormatReal(value);
  EXPECT_NE(std::find(acceptable.begin(), acceptable.end(), got), acceptable.end())
      << "value " << value << " gave " << got << ", expected " << acceptable[0];
}

// --- Integer edges -----------------------------------------------------------------

TEST(NumberTextEdges, HexPatternsAtTheSignBoundaryNegateWithoutOverflow) {
  EXPECT_EQ(StrToIntOr0("-$80000000"), INT32_MIN);
  EXPECT_EQ(StrToIntOr0("$80000000"), INT32_MIN);
  EXPECT_EQ(StrToIntOr0("-$FFFFFFFF"), 1);
  EXPECT_EQ(StrToIntOr0("-0x7FFFFFFF"), -INT32_MAX);
  for (const char* text : {"$000000000001", "0x", "0x0", "-0", "+0x10", "-2147483649",
                           "00000000002147483647", " -2147483648", "2147483647 "})
    ExpectIntAgrees(text);
}

// --- Real edges --------------------------------------------------------------------

TEST(NumberTextEdges, DoubleRangeEdgesReadAsTheNearestDoubleOrZero) {
  EXPECT_EQ(StrToFloatOr0("1e400"), 0.0);
  EXPECT_EQ(StrToFloatOr0("-1e400"), 0.0);
  EXPECT_EQ(StrToFloatOr0("1.7976931348623157e308"), DBL_MAX);
  EXPECT_EQ(StrToFloatOr0("4.9406564584124654e-324"), 4.9406564584124654e-324);
  for (const char* text :
       {"2.2250738585072011e-308", "2.2250738585072012e-308", "2.4703282292062328e-324",
        "1e-400", "0.000000000000000000000000000001e30", "1e99999999999999999999",
        "123456789012345678901234567890", "9007199254740993", "0.1", "+.5e-0"})
    ExpectRealAgrees(text);
}

// --- FormatReal digits ---------------------------------------------------------------

TEST(NumberTextEdges, ExactTieAtTheSixteenthDigitRoundsUp) {
  // 617283945061728.5 is exact in binary; %.15g rounds the tie to even.
  EXPECT_EQ(FormatReal(617283945061728.5), "617283945061729");
  EXPECT_TRUE(reference::DoubleRoundingMatters(617283945061728.5));
}

TEST(NumberTextEdges, FormatAgreesWithTheDigitRulesAtRangeEdges) {
  for (double value : {DBL_MAX, DBL_MIN, DBL_TRUE_MIN, -DBL_TRUE_MIN, 1e15, 1e15 - 0.125,
                       999999999999999.4, 0.0001, 0.00009999999999999999, 1e-4 * (1 - 1e-16),
                       4.999999999999999, 0.1 + 0.2})
    ExpectFormatAgrees(value);
}

TEST(NumberTextEdges, FormattedTextReadsBackToTheSameTextBelowTheTopOfTheRange) {
  for (double value : {DBL_MIN, DBL_TRUE_MIN, 1.0 / 3, 2.0 / 3, 6.123233995736766e-16,
                       1.79769313486231e308}) {
    std::string text = FormatReal(value);
    EXPECT_EQ(FormatReal(StrToFloatOr0(text)), text) << value;
  }
}

}  // namespace
}  // namespace zumorika
