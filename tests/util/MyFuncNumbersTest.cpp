#include <cfloat>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <limits>
#include <random>
#include <string>
#include <utility>

#if defined(__x86_64__) || defined(__i386__)
#include <xmmintrin.h>
#endif
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

using IntCase = std::pair<const char*, int32_t>;

TEST(StrToIntOr0, ReadsDecimalAndEveryHexPrefix) {
  for (const IntCase& c : {IntCase{"42", 42}, {"  42", 42}, {"+7", 7}, {"-7", -7}, {"007", 7},
                           {"000000000000000000000000000012", 12}, {"$1F", 31}, {"x1F", 31},
                           {"X1f", 31}, {"0x1f", 31}, {"0X1F", 31}, {"-$10", -16}, {"+$10", 16},
                           {"  $a", 10}}) {
    ExpectInt(c.first, c.second);
  }
}

TEST(StrToIntOr0, LimitsAndOnePast) {
  const int32_t min = std::numeric_limits<int32_t>::min();
  for (const IntCase& c : {IntCase{"2147483647", 2147483647}, {"-2147483648", min},
                           {"0002147483647", 2147483647}, {"$7FFFFFFF", 2147483647},
                           {"$80000000", min}, {"$FFFFFFFF", -1}, {"-$FFFFFFFF", 1},
                           {"-$80000000", min}, {"$00000000000FFFFFFFF", -1}}) {
    ExpectInt(c.first, c.second);
  }
  // The last two would wrap a 64-bit accumulator.
  for (const char* text : {"2147483648", "-2147483649", "$100000000", "$FFFFFFFFF",
                           "99999999999999999999999", "18446744073709551617"}) {
    ExpectIntRejected(text);
  }
}

TEST(StrToIntOr0, RejectsAnythingAroundTheNumber) {
  // "\t7": only 0x20 counts as a blank.
  for (const char* text : {"", "42 ", "- 7", "--7", "+-7", "\t7", "1.5", "1e3", "12a", "+", "   ",
                           "$", "0x", "-$", "$1G", "$ 1", "$-1", "0x1F ", "00x1F", "h1F"}) {
    ExpectIntRejected(text);
  }
  ExpectIntRejected(std::string("7\0", 2));
}

// --- StrToFloatOr0 -----------------------------------------------------------

TEST(StrToFloatOr0, ReadsTheDecimalForms) {
  using FloatCase = std::pair<const char*, double>;
  for (const FloatCase& c :
       {FloatCase{"1.5", 1.5}, {".5", 0.5}, {"5.", 5.0}, {"-2.5e-3", -0.0025}, {"1E3", 1000.0},
        {"1e+3", 1000.0}, {"  1.5", 1.5}, {"+1.5", 1.5}, {"0.1", 0.1}, {"123.456", 123.456},
        {"0001.2500", 1.25}, {"1e-5", 1e-5}, {"-12345678901234567890", -12345678901234567890.0}}) {
    ExpectFloat(c.first, c.second);
  }
}

TEST(StrToFloatOr0, RejectsAnythingAroundTheNumber) {
  for (const char* text : {"1,5", "1.5 ", "\t1.5", "$10", "0x10", "1e", "1e+", "1.5.2", "--1",
                           "- 1", "1 e5", "inf", "nan"}) {
    ExpectFloatRejected(text);
  }
  ExpectFloatRejected(std::string("1\0", 2));
  // Texts without a mantissa digit pass or fail, but read as 0 either way.
  for (const char* text : {"", "e", "e5", ".", "+.", "-.e3", "+", "-", "   ", "0e999999"}) {
    ExpectFloat(text, 0.0);
  }
}

TEST(StrToFloatOr0, RangeLimitsAndOnePast) {
  ExpectFloat("1.7976931348623157e308", DBL_MAX);
  ExpectFloat("-1.7976931348623157e308", -DBL_MAX);
  ExpectFloat("1.7976931348623158e308", DBL_MAX);  // below DBL_MAX plus half an ulp
  ExpectFloat("2.2250738585072014e-308", DBL_MIN);
  ExpectFloat("4.9406564584124654e-324", std::numeric_limits<double>::denorm_min());
  // Beyond the range reads as 0, not as an infinity; huge exponent texts
  // must not overflow on the way.
  for (const char* text : {"1.7976931348623159e308", "1e309", "1e400", "-1e400", "1e5000",
                           "1e99999999999", "1e99999999999999999999999999999"}) {
    ExpectFloatRejected(text);
  }
  for (const char* text : {"1e-400", "1e-5000", "1e-99999999999", "0.0e99999999999"}) {
    ExpectFloat(text, 0.0);
  }
}

TEST(StrToFloatOr0, UsesDigitsBeyondThePrecisionOfADouble) {
  // Long mantissas shift the exponent rather than overflow the accumulator.
  ExpectFloat("1" + std::string(400, '0') + "e-400", 1.0);
  ExpectFloat("0." + std::string(400, '0') + "1e401", 1.0);
  ExpectFloat(std::string(300, '9'), 1e300);
  // 2^53 + 1 lies halfway between two doubles: the even one is taken.
  ExpectFloat("9007199254740993", 9007199254740992.0);
  ExpectFloat("0.30000000000000004", 0.30000000000000004);
  ExpectFloat("2.2250738585072011e-308", 2.2250738585072011e-308);
}

// Seventeen digits name a double uniquely; rounding first to extended and
// then to double could still err next to a tie, but must not err often.
TEST(StrToFloatOr0, ReadsSeventeenDigitTextsBackToTheSameDouble) {
  std::mt19937_64 random(20261208);
  int misses = 0;
  for (int i = 0; i < 20000; ++i) {
    uint64_t bits = random();
    double value;
    std::memcpy(&value, &bits, sizeof value);
    if (!std::isfinite(value) || std::fabs(value) < DBL_MIN) continue;
    char text[64];
    std::snprintf(text, sizeof text, "%.17g", value);
    double back = StrToFloatOr0(text);
    ASSERT_LE(std::fabs(back - value), std::fabs(value) * DBL_EPSILON) << text;
    if (back != value) ++misses;
  }
  EXPECT_LE(misses, 2);
}

// --- FormatInt and FormatHex -------------------------------------------------

TEST(FormatInt, WritesTheWholeRange) {
  EXPECT_EQ(FormatInt(0), "0");
  EXPECT_EQ(FormatInt(-7), "-7");
  EXPECT_EQ(FormatInt(2147483647), "2147483647");
  EXPECT_EQ(FormatInt(std::numeric_limits<int32_t>::min()), "-2147483648");
}

TEST(FormatHex, WritesTheUpperCaseUnsignedPatternPaddedUpTo32Digits) {
  EXPECT_EQ(FormatHex(10, 1) + FormatHex(11, 1) + FormatHex(15, 1), "ABF");
  EXPECT_EQ(FormatHex(16, 1), "10");
  EXPECT_EQ(FormatHex(0, 1), "0");
  EXPECT_EQ(FormatHex(-1, 1), "FFFFFFFF");
  EXPECT_EQ(FormatHex(std::numeric_limits<int32_t>::min(), 1), "80000000");
  EXPECT_EQ(FormatHex(0xB, 4), "000B");
  EXPECT_EQ(FormatHex(0x12345, 2), "12345");
  EXPECT_EQ(FormatHex(0, -5), "0");
  EXPECT_EQ(FormatHex(1, 32), std::string(31, '0') + "1");
  EXPECT_EQ(FormatHex(1, 33), "1");
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

struct RoundCase {
  int32_t places, mode;
  double value, expected;
};

void ExpectRounds(std::initializer_list<RoundCase> cases) {
  for (const RoundCase& c : cases) {
    EXPECT_EQ(RoundTo(c.places, c.mode, c.value), c.expected)
        << "RoundTo(" << c.places << ", " << c.mode << ", " << c.value << ")";
  }
}

TEST(RoundTo, RoundsHalfAwayFromZeroOnTheMagnitude) {
  ExpectRounds({{3, 2, 1.23449, 1.234}, {3, 2, 100.0005, 100.001}, {0, 2, 2.5, 3.0},
                {0, 2, -2.5, -3.0}, {2, 2, -1.005, -1.0} /* stored as -1.00499999... */,
                {0, 7, 2.5, 3.0}, {0, -1, 2.4, 2.0}, {1, 2, 0.25, 0.3}, {3, 2, 0.0, 0.0}});
}

TEST(RoundTo, WorksAtExtendedPrecision) {
  // 1.2345 is stored just below itself; times 1000 at double precision the
  // product would round to 1234.5 and the result to 1.235.
  ExpectRounds({{3, 2, 1.2345, 1.234}, {3, 2, -1.2345, -1.234},
                {1, 2, 0.45, 0.5} /* stored as 0.450000000000000011 */,
                {3, 2, DBL_MAX, DBL_MAX} /* the product stays finite */, {13, 2, 1e300, 1e300}});
}

TEST(RoundTo, CutsOrRoundsUpByTheMode) {
  ExpectRounds({{3, 0, 1.2349, 1.234}, {3, 0, -1.2349, -1.234}, {0, 1, 2.05, 2.0},
                {0, 1, 2.15, 3.0}, {0, 1, -2.15, -3.0}, {2, 1, 1.001, 1.0}, {2, 1, 1.0011, 1.01}});
}

TEST(RoundTo, PlacesOutsideOneToThirteenMeanWholeNumbers) {
  ExpectRounds({{14, 2, 2.5, 3.0}, {-1, 2, 2.5, 3.0}, {std::numeric_limits<int32_t>::min(), 2, 2.5, 3.0},
                {13, 0, 0.12345678901234567, 0.1234567890123}});
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

// The SSE rounding mode belongs to the thread too, and a DLL may change it:
// the numbers read must stay those of round-to-nearest.
TEST(StrToFloatOr0, HoldsWhenSseWasLeftRoundingTowardZero) {
  // The last two take the 128-bit division: 19 digits, and a quotient
  // whose last dropped bits lie close to a halfway point.
  const char* const texts[] = {"0.1",   "1234.5678", "-0.3", "9007199254740995",
                               "2.675", "1.234567890123456789", "-7.999999999999999999"};
  constexpr int kTexts = 7;
  double nearest[kTexts];
  for (int i = 0; i < kTexts; ++i) nearest[i] = StrToFloatOr0(texts[i]);
  const unsigned int original = _mm_getcsr();
  _mm_setcsr((original & ~_MM_ROUND_MASK) | _MM_ROUND_TOWARD_ZERO);
  double read[kTexts];
  for (int i = 0; i < kTexts; ++i) read[i] = StrToFloatOr0(texts[i]);
  _mm_setcsr(original);
  for (int i = 0; i < kTexts; ++i) EXPECT_EQ(read[i], nearest[i]) << texts[i];
  EXPECT_EQ(nearest[6], -8.0);
  EXPECT_EQ(nearest[0], 0.1);
  EXPECT_EQ(nearest[3], 9007199254740996.0);
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
  RotatePointDeg(x, y, 1, 0, 0, 0, 30);
  EXPECT_NEAR(x, std::sqrt(3.0) / 2, 1e-16);
  EXPECT_NEAR(y, 0.5, 1e-16);
  RotatePoint(x, y, 3, 1, 1, 1, 3.14159265358979323846);
  EXPECT_NEAR(x, -1.0, 1e-15);
  EXPECT_NEAR(y, 1.0, 1e-15);
}

// Regression: MinGW's x87 FCOS kept only four digits of cos 90°, so the
// Windows build placed turned pictures differently from the native one.
TEST(RotatePoint, KeepsEveryDigitNearQuarterTurns) {
  const double quarterTurn = 1.5707963267948966;  // the double nearest π/2
  EXPECT_EQ(static_cast<double>(ExtendedCos(quarterTurn)), 6.123233995736766e-17);
  EXPECT_EQ(static_cast<double>(ExtendedSin(2 * quarterTurn)), 1.2246467991473532e-16);
  EXPECT_EQ(static_cast<double>(ExtendedCos(3 * quarterTurn)), -1.8369701987210297e-16);
  EXPECT_EQ(FormatReal(10 * static_cast<double>(ExtendedCos(quarterTurn))),
            "6.12323399573677E-16");
  double x = 0, y = 0;
  RotatePointDeg(x, y, -50, 0, 0, 0, 90);
  EXPECT_EQ(FormatReal(x), "-3.06161699786838E-15");
  EXPECT_EQ(y, -50.0);
}

}  // namespace
}  // namespace zumorika
