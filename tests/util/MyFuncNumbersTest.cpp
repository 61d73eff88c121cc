#include <cfloat>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <limits>
#include <random>
#include <string>

#include <gtest/gtest.h>

#include "util/MyFunc.h"

namespace zumorika {
namespace {

// --- Helpers that show the offending text -----------------------------------

void ExpectInt(const std::string& text, int32_t expected) {
  EXPECT_EQ(StrToIntOr0(text), expected) << "text: \"" << text << "\"";
}

// Every case picked here would read as something other than 0 if accepted.
void ExpectIntRejected(const std::string& text) { ExpectInt(text, 0); }

void ExpectFloat(const std::string& text, double expected) {
  double got = StrToFloatOr0(text);
  EXPECT_EQ(got, expected) << "text: \"" << text << "\"";
  EXPECT_EQ(std::signbit(got), std::signbit(expected)) << "text: \"" << text << "\"";
}

void ExpectFloatRejected(const std::string& text) {
  EXPECT_EQ(StrToFloatOr0(text), 0.0) << "text: \"" << text << "\"";
}

void ExpectFormat(double value, const std::string& expected) {
  char exact[64];
  std::snprintf(exact, sizeof exact, "%a", value);
  EXPECT_EQ(FormatReal(value), expected) << "value " << exact;
}

// --- StrToIntOr0 -------------------------------------------------------------

TEST(StrToIntOr0, ReadsPlainDecimalWithSignAndLeadingBlanks) {
  ExpectInt("42", 42);
  ExpectInt("  42", 42);
  ExpectInt("+7", 7);
  ExpectInt("-7", -7);
  ExpectInt("007", 7);
  ExpectInt("0", 0);
  ExpectInt("-0", 0);
  ExpectInt("000000000000000000000000000012", 12);
}

TEST(StrToIntOr0, RejectsAnythingAroundTheNumber) {
  ExpectIntRejected("");
  ExpectIntRejected("42 ");
  ExpectIntRejected("- 7");
  ExpectIntRejected("--7");
  ExpectIntRejected("+-7");
  ExpectIntRejected("\t7");  // only 0x20 counts as a blank
  ExpectIntRejected("1.5");
  ExpectIntRejected("1e3");
  ExpectIntRejected("12a");
  ExpectIntRejected("+");
  ExpectIntRejected("   ");
  ExpectIntRejected(std::string("7\0", 2));
}

TEST(StrToIntOr0, DecimalLimitsAndOnePast) {
  ExpectInt("2147483647", 2147483647);
  ExpectIntRejected("2147483648");
  ExpectInt("-2147483648", std::numeric_limits<int32_t>::min());
  ExpectIntRejected("-2147483649");
  ExpectInt("0002147483647", 2147483647);
  ExpectIntRejected("99999999999999999999999");  // would wrap a 64-bit accumulator
  ExpectIntRejected("18446744073709551617");
}

TEST(StrToIntOr0, ReadsEveryHexPrefix) {
  ExpectInt("$1F", 31);
  ExpectInt("x1F", 31);
  ExpectInt("X1f", 31);
  ExpectInt("0x1f", 31);
  ExpectInt("0X1F", 31);
  ExpectInt("-$10", -16);
  ExpectInt("+$10", 16);
  ExpectInt("  $a", 10);
}

TEST(StrToIntOr0, HexLimitsAndOnePast) {
  ExpectInt("$7FFFFFFF", 2147483647);
  ExpectInt("$80000000", std::numeric_limits<int32_t>::min());
  ExpectInt("$FFFFFFFF", -1);
  ExpectInt("-$FFFFFFFF", 1);
  ExpectInt("-$80000000", std::numeric_limits<int32_t>::min());
  ExpectInt("$00000000000FFFFFFFF", -1);  // leading zeros are no digits
  ExpectIntRejected("$100000000");
  ExpectIntRejected("$FFFFFFFFF");
}

TEST(StrToIntOr0, RejectsBrokenHex) {
  ExpectIntRejected("$");
  ExpectIntRejected("0x");
  ExpectIntRejected("-$");
  ExpectIntRejected("$1G");
  ExpectIntRejected("$ 1");
  ExpectIntRejected("$-1");
  ExpectIntRejected("0x1F ");
  ExpectIntRejected("00x1F");
  ExpectIntRejected("h1F");
}

// --- StrToFloatOr0 -----------------------------------------------------------

TEST(StrToFloatOr0, ReadsTheDecimalForms) {
  ExpectFloat("1.5", 1.5);
  ExpectFloat(".5", 0.5);
  ExpectFloat("5.", 5.0);
  ExpectFloat("-2.5e-3", -0.0025);
  ExpectFloat("1E3", 1000.0);
  ExpectFloat("1e+3", 1000.0);
  ExpectFloat("  1.5", 1.5);
  ExpectFloat("+1.5", 1.5);
  ExpectFloat("0.1", 0.1);
  ExpectFloat("123.456", 123.456);
  ExpectFloat("0001.2500", 1.25);
  ExpectFloat("1e-5", 1e-5);
  ExpectFloat("-12345678901234567890", -12345678901234567890.0);
}

TEST(StrToFloatOr0, RejectsAnythingAroundTheNumber) {
  ExpectFloatRejected("1,5");
  ExpectFloatRejected("1.5 ");
  ExpectFloatRejected("\t1.5");
  ExpectFloatRejected("$10");
  ExpectFloatRejected("0x10");
  ExpectFloatRejected("1e");
  ExpectFloatRejected("1e+");
  ExpectFloatRejected("1.5.2");
  ExpectFloatRejected("--1");
  ExpectFloatRejected("- 1");
  ExpectFloatRejected("1 e5");
  ExpectFloatRejected("inf");
  ExpectFloatRejected("nan");
  ExpectFloatRejected(std::string("1\0", 2));
}

TEST(StrToFloatOr0, TextsWithoutMantissaDigitsReadAsZero) {
  ExpectFloat("", 0.0);
  ExpectFloat("e", 0.0);
  ExpectFloat("e5", 0.0);
  ExpectFloat(".", 0.0);
  ExpectFloat("+.", 0.0);
  ExpectFloat("-.e3", 0.0);
  ExpectFloat("+", 0.0);
  ExpectFloat("-", 0.0);
  ExpectFloat("   ", 0.0);
  ExpectFloat("0e999999", 0.0);
}

TEST(StrToFloatOr0, RangeLimitsAndOnePast) {
  ExpectFloat("1.7976931348623157e308", DBL_MAX);
  ExpectFloat("-1.7976931348623157e308", -DBL_MAX);
  // Below DBL_MAX plus half an ulp still rounds down to DBL_MAX.
  ExpectFloat("1.7976931348623158e308", DBL_MAX);
  // Beyond the range reads as 0, not as an infinity.
  ExpectFloatRejected("1.7976931348623159e308");
  ExpectFloatRejected("1e309");
  ExpectFloatRejected("1e400");
  ExpectFloatRejected("-1e400");
  ExpectFloatRejected("1e5000");  // beyond even the extended range
  ExpectFloat("2.2250738585072014e-308", DBL_MIN);
  ExpectFloat("4.9406564584124654e-324", std::numeric_limits<double>::denorm_min());
  ExpectFloat("1e-400", 0.0);
  ExpectFloat("1e-5000", 0.0);
}

TEST(StrToFloatOr0, HugeExponentTextsDoNotOverflow) {
  ExpectFloatRejected("1e99999999999");
  ExpectFloatRejected("1e99999999999999999999999999999");
  ExpectFloat("1e-99999999999", 0.0);
  ExpectFloat("1e-99999999999999999999999999999", 0.0);
  ExpectFloat("0.0e99999999999", 0.0);
}

TEST(StrToFloatOr0, UsesDigitsBeyondThePrecisionOfADouble) {
  // Long mantissas shift the exponent rather than overflow the accumulator.
  ExpectFloat("1" + std::string(400, '0') + "e-400", 1.0);
  ExpectFloat("0." + std::string(400, '0') + "1e401", 1.0);
  ExpectFloat(std::string(300, '9'), 1e300);
  // 2^53 + 1 lies halfway between two doubles; a digit far behind decides.
  ExpectFloat("9007199254740993", 9007199254740992.0);
  // Halfway cases at 17 digits that a double accumulator misreads.
  ExpectFloat("0.30000000000000004", 0.30000000000000004);
  ExpectFloat("2.2250738585072011e-308", 2.2250738585072011e-308);
}

TEST(StrToFloatOr0, ReadsSeventeenDigitTextsBackToTheSameDouble) {
  std::mt19937_64 random(20261208);
  std::uniform_real_distribution<double> mantissa(1.0, 10.0);
  std::uniform_int_distribution<int> exponent(-30, 30);
  int misses = 0;
  for (int i = 0; i < 20000; ++i) {
    double value = mantissa(random) * std::pow(10.0, exponent(random));
    char text[64];
    std::snprintf(text, sizeof text, "%.17g", value);
    double back = StrToFloatOr0(text);
    ASSERT_LE(std::fabs(back - value), std::fabs(value) * DBL_EPSILON) << text;
    if (back != value) ++misses;
  }
  // Rounding first to extended and then to double errs only at near-ties.
  EXPECT_LE(misses, 20);
}

// --- FormatInt and FormatHex -------------------------------------------------

TEST(FormatInt, WritesTheWholeRange) {
  EXPECT_EQ(FormatInt(0), "0");
  EXPECT_EQ(FormatInt(7), "7");
  EXPECT_EQ(FormatInt(-7), "-7");
  EXPECT_EQ(FormatInt(1000000), "1000000");
  EXPECT_EQ(FormatInt(2147483647), "2147483647");
  EXPECT_EQ(FormatInt(std::numeric_limits<int32_t>::min()), "-2147483648");
}

TEST(FormatHex, WritesUpperCaseUnsignedPattern) {
  EXPECT_EQ(FormatHex(10, 1), "A");
  EXPECT_EQ(FormatHex(11, 1), "B");
  EXPECT_EQ(FormatHex(15, 1), "F");
  EXPECT_EQ(FormatHex(16, 1), "10");
  EXPECT_EQ(FormatHex(0, 1), "0");
  EXPECT_EQ(FormatHex(-1, 1), "FFFFFFFF");
  EXPECT_EQ(FormatHex(std::numeric_limits<int32_t>::min(), 1), "80000000");
  EXPECT_EQ(FormatHex(0xABCDEF, 0), "ABCDEF");
}

TEST(FormatHex, PadsToTheRequestedDigitsUpTo32) {
  EXPECT_EQ(FormatHex(0xB, 4), "000B");
  EXPECT_EQ(FormatHex(0x12345, 2), "12345");
  EXPECT_EQ(FormatHex(0, 0), "0");
  EXPECT_EQ(FormatHex(0, -5), "0");
  EXPECT_EQ(FormatHex(1, 32), std::string(31, '0') + "1");
  EXPECT_EQ(FormatHex(1, 33), "1");
  EXPECT_EQ(FormatHex(1, std::numeric_limits<int32_t>::max()), "1");
}

// --- FormatReal --------------------------------------------------------------

TEST(FormatReal, WritesTheReferenceTable) {
  ExpectFormat(0.5, "0.5");
  ExpectFormat(100, "100");
  ExpectFormat(2.0, "2");
  ExpectFormat(-0.25, "-0.25");
  ExpectFormat(0.0001, "0.0001");
  ExpectFormat(0.00001, "1E-5");
  ExpectFormat(1.0 / 3.0, "0.333333333333333");
  ExpectFormat(2.0 / 3.0, "0.666666666666667");
  ExpectFormat(123456789012345.0, "123456789012345");
  ExpectFormat(1e15, "1E15");
  ExpectFormat(999999999999999.9, "1E15");
  ExpectFormat(123456789012345678.0, "1.23456789012346E17");
  ExpectFormat(4.999999999999999, "5");
  ExpectFormat(6.123233995736766e-16, "6.12323399573677E-16");
}

TEST(FormatReal, SpecialValues) {
  ExpectFormat(0.0, "0");
  ExpectFormat(-0.0, "0");
  ExpectFormat(std::numeric_limits<double>::infinity(), "INF");
  ExpectFormat(-std::numeric_limits<double>::infinity(), "-INF");
  ExpectFormat(std::numeric_limits<double>::quiet_NaN(), "NAN");
  ExpectFormat(-std::numeric_limits<double>::quiet_NaN(), "NAN");
}

TEST(FormatReal, NotationSwitchesAtTheExponentLimits) {
  ExpectFormat(0.000123, "0.000123");
  ExpectFormat(0.00009999, "9.999E-5");
  ExpectFormat(std::nextafter(0.0001, 0.0), "0.0001");  // rounding decides the notation
  ExpectFormat(-0.001, "-0.001");
  ExpectFormat(1.5e-5, "1.5E-5");
  ExpectFormat(100000000000000.0, "100000000000000");
  ExpectFormat(999999999999999.0, "999999999999999");
  ExpectFormat(1e16, "1E16");
  ExpectFormat(-1.25e100, "-1.25E100");
  ExpectFormat(1e-100, "1E-100");
  ExpectFormat(DBL_MAX, "1.79769313486232E308");
  ExpectFormat(DBL_MIN, "2.2250738585072E-308");
  ExpectFormat(std::numeric_limits<double>::denorm_min(), "4.94065645841247E-324");
}

TEST(FormatReal, KeepsFifteenDigitsByTheSixteenth) {
  ExpectFormat(0.1, "0.1");
  ExpectFormat(0.1 + 0.2, "0.3");
  ExpectFormat(1.0 - 1e-15, "0.999999999999999");
  ExpectFormat(1.0 - 4e-16, "1");  // a run of nines carries into a new digit
  ExpectFormat(123.456, "123.456");
  ExpectFormat(-1234.5678, "-1234.5678");
  ExpectFormat(9.5, "9.5");
  ExpectFormat(1.0000000000000002, "1");
  // Stored as 11052969386.40764999389...: at 18 digits the 16th digit
  // becomes 5 and carries, where a single rounding at 15 would cut.
  ExpectFormat(11052969386.40765, "11052969386.4077");
  ExpectFormat(4.573065473103795e19, "4.5730654731038E19");  // 45730654731037949952
}

TEST(FormatReal, RoundTripsThroughStrToFloatOr0) {
  std::mt19937_64 random(424242);
  std::uniform_real_distribution<double> logMagnitude(-8.0, 20.0);
  auto check = [](double value) {
    std::string text = FormatReal(value);
    std::string again = FormatReal(StrToFloatOr0(text));
    ASSERT_EQ(again, text) << "value " << value;
  };
  for (int i = 0; i < 20000; ++i) {
    uint64_t bits = random();
    double value;
    std::memcpy(&value, &bits, sizeof value);
    if (!std::isfinite(value)) continue;
    check(value);
    double ordinary = std::pow(10.0, logMagnitude(random));
    check(bits & 1 ? -ordinary : ordinary);
  }
  for (int e = -323; e <= 308; ++e) check(std::pow(10.0, e));
  // Texts that sit on the 16th-digit boundary.
  for (int i = 0; i < 2000; ++i) {
    char text[64];
    std::snprintf(text, sizeof text, "%llu5e%d",
                  static_cast<unsigned long long>(random() % 900000000000000ULL + 100000000000000ULL),
                  static_cast<int>(random() % 60) - 30);
    check(StrToFloatOr0(text));
  }
}

#if !defined(_WIN32)
// glibc's printf prints exact digits, so it can stand as a reference wherever
// its rounding and ours agree: they differ only when the 18-digit rounding
// leaves "500" at digits 16 to 18 (ours rounds that up, printf to even).
std::string ReferenceFormat(double value) {
  char wide[64];
  std::snprintf(wide, sizeof wide, "%.17e", std::fabs(value));
  std::string digits = std::string(1, wide[0]) + std::string(wide + 2, 17);
  if (digits.compare(15, 3, "500") == 0) return {};

  char g[64];
  std::snprintf(g, sizeof g, "%.15g", value);
  std::string text = g;
  size_t e = text.find('e');
  if (e == std::string::npos) return text;
  std::string mantissa = text.substr(0, e);
  int exponent = std::stoi(text.substr(e + 1));
  return mantissa + "E" + std::to_string(exponent);
}

TEST(FormatReal, AgreesWithPrintfWhereTheRoundingAgrees) {
  std::mt19937_64 random(7);
  std::uniform_real_distribution<double> logMagnitude(-10.0, 22.0);
  int compared = 0;
  for (int i = 0; i < 50000; ++i) {
    uint64_t bits = random();
    double values[2];
    std::memcpy(&values[0], &bits, sizeof(double));
    values[1] = std::pow(10.0, logMagnitude(random)) * (bits & 1 ? -1 : 1);
    for (double value : values) {
      if (!std::isfinite(value) || value == 0.0) continue;
      std::string reference = ReferenceFormat(value);
      if (reference.empty()) continue;
      ++compared;
      ASSERT_EQ(FormatReal(value), reference) << "value " << value;
    }
  }
  EXPECT_GT(compared, 99000);
}
#endif

// --- RoundTo -----------------------------------------------------------------

TEST(RoundTo, RoundsHalfAwayFromZeroOnTheMagnitude) {
  EXPECT_EQ(RoundTo(3, 2, 1.23449), 1.234);
  EXPECT_EQ(RoundTo(3, 2, 100.0005), 100.001);
  EXPECT_EQ(RoundTo(0, 2, 2.5), 3.0);
  EXPECT_EQ(RoundTo(0, 2, -2.5), -3.0);
  EXPECT_EQ(RoundTo(2, 2, -1.005), -1.0);  // -1.005 is stored as -1.00499999...
  EXPECT_EQ(RoundTo(0, 7, 2.5), 3.0);      // an unknown mode adds 0.5
  EXPECT_EQ(RoundTo(0, -1, 2.4), 2.0);
}

TEST(RoundTo, WorksAtExtendedPrecision) {
  // 1.2345 is stored just below itself; times 1000 at double precision the
  // product would round to 1234.5 and the result to 1.235.
  EXPECT_EQ(RoundTo(3, 2, 1.2345), 1.234);
  EXPECT_EQ(RoundTo(3, 2, -1.2345), -1.234);
  EXPECT_EQ(RoundTo(1, 2, 0.45), 0.5);  // 0.45 is stored as 0.450000000000000011...
}

TEST(RoundTo, CutsAndRoundsUpByTheMode) {
  EXPECT_EQ(RoundTo(3, 0, 1.2349), 1.234);
  EXPECT_EQ(RoundTo(3, 0, -1.2349), -1.234);
  EXPECT_EQ(RoundTo(0, 1, 2.05), 2.0);
  EXPECT_EQ(RoundTo(0, 1, 2.15), 3.0);
  EXPECT_EQ(RoundTo(0, 1, -2.15), -3.0);
  EXPECT_EQ(RoundTo(2, 1, 1.001), 1.0);
  EXPECT_EQ(RoundTo(2, 1, 1.0011), 1.01);
}

TEST(RoundTo, PlacesOutsideOneToThirteenMeanWholeNumbers) {
  EXPECT_EQ(RoundTo(14, 2, 2.5), 3.0);
  EXPECT_EQ(RoundTo(-1, 2, 2.5), 3.0);
  EXPECT_EQ(RoundTo(std::numeric_limits<int32_t>::min(), 2, 2.5), 3.0);
  EXPECT_EQ(RoundTo(13, 0, 0.12345678901234567), 0.1234567890123);
  EXPECT_EQ(RoundTo(1, 2, 0.25), 0.3);
}

TEST(RoundTo, PassesZeroAndHugeValuesThrough) {
  EXPECT_EQ(RoundTo(3, 2, 0.0), 0.0);
  EXPECT_EQ(RoundTo(13, 2, 1e300), 1e300);
  EXPECT_EQ(RoundTo(3, 2, DBL_MAX), DBL_MAX);  // the product stays finite at extended range
}

#if defined(__GNUC__) && (defined(__x86_64__) || defined(__i386__))
unsigned short FpuControlWord() {
  unsigned short word;
  __asm__ __volatile__("fnstcw %0" : "=m"(word));
  return word;
}

void SetFpuControlWord(unsigned short word) { __asm__ __volatile__("fldcw %0" : : "m"(word)); }

// A DLL loaded into the process may leave the x87 unit at 53-bit precision
// (as Windows starts its threads); extended results must not depend on it,
// and the caller's setting must come back unchanged.
TEST(RoundTo, HoldsWhenTheFpuWasLeftAtDoublePrecision) {
  const unsigned short original = FpuControlWord();
  const unsigned short doublePrecision = static_cast<unsigned short>((original & ~0x0300u) | 0x0200u);
  SetFpuControlWord(doublePrecision);
  double rounded = RoundTo(3, 2, 1.2345);
  double parsed = StrToFloatOr0("9007199254740993");
  double x, y;
  RotatePointDeg(x, y, 10, 0, 0, 0, 90);
  const unsigned short after = FpuControlWord();
  SetFpuControlWord(original);
  EXPECT_EQ(rounded, 1.234);
  EXPECT_EQ(parsed, 9007199254740992.0);
  EXPECT_EQ(y, 10.0);
  EXPECT_EQ(after, doublePrecision);
}
#endif

// --- Rotation ----------------------------------------------------------------

TEST(RotatePoint, TurnsCounterClockwiseAboutTheCentre) {
  double x = 0, y = 0;
  RotatePointDeg(x, y, 10, 0, 0, 0, 90);
  EXPECT_NEAR(x, 0.0, 1e-15);
  EXPECT_EQ(y, 10.0);
  RotatePointDeg(x, y, 10, 0, 0, 0, -90);
  EXPECT_NEAR(x, 0.0, 1e-15);
  EXPECT_EQ(y, -10.0);
  RotatePointDeg(x, y, 3, 1, 1, 1, 180);
  EXPECT_NEAR(x, -1.0, 1e-15);
  EXPECT_NEAR(y, 1.0, 1e-15);
  RotatePoint(x, y, 5, 7, 2, 3, 0.0);
  EXPECT_EQ(x, 5.0);
  EXPECT_EQ(y, 7.0);
}

TEST(RotatePoint, RadiansAndDegreesAgree) {
  const double angles[] = {30, 45, -135, 359.5, 720};
  for (double deg : angles) {
    double xd, yd, xr, yr;
    RotatePointDeg(xd, yd, 12.5, -3.25, 100, 200, deg);
    RotatePoint(xr, yr, 12.5, -3.25, 100, 200, deg / 180.0 * 3.14159265358979323846);
    EXPECT_NEAR(xd, xr, 1e-12) << deg;
    EXPECT_NEAR(yd, yr, 1e-12) << deg;
    // The distance to the centre is kept.
    EXPECT_NEAR(std::hypot(xd - 100, yd - 200), std::hypot(12.5 - 100, -3.25 - 200), 1e-12);
  }
  double x, y;
  RotatePointDeg(x, y, 1, 0, 0, 0, 30);
  EXPECT_NEAR(x, std::sqrt(3.0) / 2, 1e-16);
  EXPECT_NEAR(y, 0.5, 1e-16);
}

}  // namespace
}  // namespace zumorika
