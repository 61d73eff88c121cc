// Reading numbers: StrToIntOr0 and StrToFloatOr0 of MyFunc.h. Plain
// decimals are read in integer arithmetic; any other text is formed at
// extended precision and rounded once.
#include <cmath>
#include <cstring>

#include "util/ExtendedPrecision.h"
#include "util/MyFunc.h"

namespace zumorika {

namespace {

using extended::ExtendedPrecisionScope;
using extended::PinValue;
using extended::Pow10L;

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

int HexDigitValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

// Both readers skip leading blanks (0x20 only, not tabs) and take one
// optional sign; returns the index after them.
size_t SkipBlanksAndSign(std::string_view text, bool& negative) {
  size_t i = 0;
  while (i < text.size() && text[i] == ' ') ++i;
  negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
    negative = text[i] == '-';
    ++i;
  }
  return i;
}

}  // namespace

// --- Reading numbers ---------------------------------------------------------

int32_t StrToIntOr0(std::string_view text) {
  const size_t n = text.size();
  bool negative = false;
  size_t i = SkipBlanksAndSign(text, negative);
  if (i >= n) return 0;

  bool hex = false;
  if (text[i] == '$' || text[i] == 'x' || text[i] == 'X') {
    hex = true;
    i += 1;
  } else if (text[i] == '0' && i + 1 < n && (text[i + 1] == 'x' || text[i + 1] == 'X')) {
    hex = true;
    i += 2;
  }

  if (hex) {
    if (i >= n) return 0;
    uint32_t pattern = 0;
    int significant = 0;
    for (; i < n; ++i) {
      int d = HexDigitValue(text[i]);
      if (d < 0) return 0;
      if (significant == 0 && d == 0) continue;
      if (++significant > 8) return 0;
      pattern = (pattern << 4) | static_cast<uint32_t>(d);
    }
    // Unsigned negation: "-$80000000" stays the pattern 80000000.
    if (negative) pattern = 0u - pattern;
    return static_cast<int32_t>(pattern);
  }

  uint64_t magnitude = 0;
  const uint64_t limit = negative ? 2147483648u : 2147483647u;
  for (; i < n; ++i) {
    if (!IsDigit(text[i])) return 0;
    magnitude = magnitude * 10 + static_cast<uint64_t>(text[i] - '0');
    if (magnitude > limit) return 0;
  }
  // The loop ran at least once: i < n held when it started.
  int64_t value = negative ? -static_cast<int64_t>(magnitude) : static_cast<int64_t>(magnitude);
  return static_cast<int32_t>(value);
}

namespace {

double ReadExtended(std::string_view text);

// n / d and its remainder, when the quotient fits in 64 bits.
inline uint64_t DivideWide(unsigned __int128 n, uint64_t d, uint64_t& remainder) {
#if defined(__x86_64__) && defined(__GNUC__)
  // One instruction; the library's general 128-bit division costs several
  // times as much.
  uint64_t quotient;
  __asm__("divq %4"
          : "=a"(quotient), "=d"(remainder)
          : "a"(static_cast<uint64_t>(n)), "d"(static_cast<uint64_t>(n >> 64)), "rm"(d));
  return quotient;
#else
  const uint64_t quotient = static_cast<uint64_t>(n / d);
  remainder = static_cast<uint64_t>(n - static_cast<unsigned __int128>(quotient) * d);
  return quotient;
#endif
}

// mantissa / 10^decimals (decimals 1 to 19) rounded once to a double, when
// that is also what rounding first to a 64-bit significand and then to a
// double gives: true unless the quotient lies within 2^-10 units in the last
// place of a point halfway between two doubles, or the mantissa is not exact
// in a double.
bool NearestDoubleQuotient(uint64_t mantissa, uint64_t divisor, int decimals, double& value) {
  using Wide = unsigned __int128;
  static constexpr double kInversePow10[20] = {
      1e0,  1e-1,  1e-2,  1e-3,  1e-4,  1e-5,  1e-6,  1e-7,  1e-8,  1e-9,
      1e-10, 1e-11, 1e-12, 1e-13, 1e-14, 1e-15, 1e-16, 1e-17, 1e-18, 1e-19};
  constexpr uint64_t kExactBelow = uint64_t{1} << 53;
  if (mantissa >= kExactBelow) return false;
  // A candidate within an ulp or so of the quotient; a multiplication, as a
  // division costs several times as long. The exact test below decides.
  const double quotient = static_cast<double>(mantissa) * kInversePow10[decimals];
  uint64_t bits;
  std::memcpy(&bits, &quotient, sizeof bits);
  const uint64_t significand = (bits & (kExactBelow / 2 - 1)) | (kExactBelow / 2);
  // quotient = significand x 2^-scale; a power of two sits at a change of
  // spacing, which the test below does not cover.
  const int scale = 1075 - static_cast<int>(bits >> 52);
  const int mantissaBits = 64 - __builtin_clzll(mantissa);
  if (significand == kExactBelow / 2 || scale <= 0 || scale + mantissaBits > 126) return false;
  // The exact remainder mantissa - quotient x divisor, scaled by 2^scale:
  // below divisor / 2 exactly when the candidate is the nearest double, and
  // divisor / 2 minus the gap to the nearest halfway point.
  const Wide scaled = static_cast<Wide>(mantissa) << scale;
  const Wide product = static_cast<Wide>(significand) * divisor;
  const bool below = scaled > product;  // the candidate lies below the quotient
  Wide remainder = below ? scaled - product : product - scaled;
  if (2 * remainder >= divisor) {
    // The multiplication missed by one unit in the last place: step towards
    // the quotient, staying inside the binade.
    if (remainder >= divisor) return false;
    const uint64_t stepped = below ? significand + 1 : significand - 1;
    if (stepped <= kExactBelow / 2 || stepped >= kExactBelow) return false;
    remainder = divisor - remainder;
    bits = below ? bits + 1 : bits - 1;
  }
  const Wide gap = static_cast<Wide>(divisor) - 2 * remainder;
  if ((gap << 10) <= divisor) return false;
  std::memcpy(&value, &bits, sizeof value);
  return true;
}

// v x 2^exponent rounded to the nearest double, ties to even, the rounding
// done in integer arithmetic: the SSE rounding mode belongs to the thread and
// a DLL may change it, and only round-to-nearest gives the values of the
// extended reading. v > 0, and the result must be a normal double.
double RoundedScaled(uint64_t v, int exponent) {
  constexpr int kSignificandBits = 53;
  const int bits = 64 - __builtin_clzll(v);
  if (bits > kSignificandBits) {
    const int drop = bits - kSignificandBits;
    const uint64_t half = uint64_t{1} << (drop - 1);
    const uint64_t dropped = v & ((half << 1) - 1);
    v >>= drop;
    exponent += drop;
    // v may reach 2^53 here, which a double still holds exactly.
    if (dropped > half || (dropped == half && (v & 1) != 0)) ++v;
  }
  const uint64_t powerBits = static_cast<uint64_t>(1023 + exponent) << 52;
  double power;
  std::memcpy(&power, &powerBits, sizeof power);
  // Both conversions are exact: v has at most 53 significant bits, and a
  // product with a power of two in the normal range is exact.
  return static_cast<double>(v) * power;
}

constexpr int kMaxPlainDigits = 19;

// mantissa / 10^decimals (decimals 0 to 19) as the extended reading rounds
// it: round-to-nearest-even to a 64-bit significand, then to a double. The
// same two roundings are done here exactly (or one, where it provably gives
// the same), so the result is the same bit for bit. Only the shortcut taken
// when `nearest` is true depends on the thread's rounding mode.
double PlainDecimalValue(uint64_t mantissa, int decimals, bool negative, bool nearest) {
  static constexpr uint64_t kPow10[kMaxPlainDigits + 1] = {
      1ull, 10ull, 100ull, 1000ull, 10000ull, 100000ull, 1000000ull, 10000000ull,
      100000000ull, 1000000000ull, 10000000000ull, 100000000000ull, 1000000000000ull,
      10000000000000ull, 100000000000000ull, 1000000000000000ull, 10000000000000000ull,
      100000000000000000ull, 1000000000000000000ull, 10000000000000000000ull};
  constexpr uint64_t kExactBelow = uint64_t{1} << 53;
  if (mantissa == 0) return 0.0;
  double value;
  if (decimals == 0) {
    value = RoundedScaled(mantissa, 0);  // exact in 64 bits; one rounding
  } else if (nearest && decimals <= 4 && mantissa < kExactBelow) {
    // Both operands are exact doubles, so one division under round-to-
    // nearest rounds the quotient once, correctly. The two roundings give the
    // same: with at most four decimals the quotient never comes within half
    // a 64-bit unit of a point halfway between two doubles unless it is
    // that point (its distance from one is a multiple of 1 / (5^d x 2^j)
    // with 5^d < 2^11), and rounding to 64 bits cannot cross such a point.
    value = static_cast<double>(mantissa) / static_cast<double>(kPow10[decimals]);
  } else if (NearestDoubleQuotient(mantissa, kPow10[decimals], decimals, value)) {
    // Far enough from a halfway point that the two roundings agree.
  } else {
    using Wide = unsigned __int128;
    const uint64_t divisor = kPow10[decimals];
    // Scale so that the integer quotient has exactly 64 bits.
    const int mantissaBits = 64 - __builtin_clzll(mantissa);
    const int divisorBits = 64 - __builtin_clzll(divisor);
    int shift = 64 - mantissaBits + divisorBits;
    if ((static_cast<Wide>(mantissa) << shift) >= (static_cast<Wide>(divisor) << 64)) --shift;
    const Wide scaled = static_cast<Wide>(mantissa) << shift;
    uint64_t remainder = 0;
    uint64_t quotient = DivideWide(scaled, divisor, remainder);
    // Round to nearest, ties to even, at the 64th bit.
    const uint64_t rest = divisor - remainder;
    if (remainder > rest || (remainder == rest && (quotient & 1) != 0)) {
      if (++quotient == 0) {
        quotient = uint64_t{1} << 63;
        --shift;
      }
    }
    value = RoundedScaled(quotient, -shift);
  }
  return negative ? -value : value;
}

// The reading of ReadExtended below, done without extended precision for
// the texts the host writes: at most 19 digits in all and no exponent part.
// Returns false for any other text, which then takes the full reading.
bool ReadPlainDecimal(std::string_view text, bool nearest, double& result) {
  bool negative = false;
  const char* const digitsStart = text.data() + SkipBlanksAndSign(text, negative);
  const char* const end = text.data() + text.size();
  // Digits with at most one point among them. Up to 19 digits in all,
  // leading zeros included, the mantissa cannot leave 64 bits; longer texts
  // take the full reading (a longer one wraps here, harmlessly, before it is
  // turned away).
  uint64_t mantissa = 0;
  const char* point = nullptr;
  for (const char* p = digitsStart; p < end; ++p) {
    const unsigned digit = static_cast<unsigned>(static_cast<unsigned char>(*p)) - '0';
    if (digit < 10) {
      mantissa = mantissa * 10 + digit;
    } else if (*p == '.' && point == nullptr) {
      point = p;
    } else {
      return false;
    }
  }
  const std::ptrdiff_t digits = (end - digitsStart) - (point ? 1 : 0);
  if (digits == 0 || digits > kMaxPlainDigits) return false;
  const int decimals = point ? static_cast<int>(end - point - 1) : 0;
  result = PlainDecimalValue(mantissa, decimals, negative, nearest);
  return true;
}

}  // namespace

double StrToFloatOr0(std::string_view text) { return StrToFloatOr0(text, false); }

double StrToFloatOr0(std::string_view text, bool roundsToNearest) {
  double plain;
  if (ReadPlainDecimal(text, roundsToNearest, plain)) return plain;
  return ReadExtended(text);
}


namespace {

// Any number text: the mantissa from all its significant digits and the
// decimal scaling at extended precision, then rounded once to a double.
double ReadExtended(std::string_view text) {
  // Past this many significant digits the rest lies far below the last bit
  // of the extended mantissa; such digits only move the decimal exponent.
  constexpr int kMaxMantissaDigits = 40;
  // Exponent texts are clamped here so that "1e99999999999" cannot overflow;
  // anything this large is far outside even the extended range.
  constexpr long long kExponentClamp = 100000;

  const size_t n = text.size();
  bool negative = false;
  size_t i = SkipBlanksAndSign(text, negative);
  if (i >= n) return 0.0;

  ExtendedPrecisionScope precision;
  // Up to 19 significant digits the mantissa is an exact integer below 2^64,
  // so it is gathered in integer arithmetic and converted once; the 64-bit
  // significand holds it exactly, which gives the same value as forming it
  // digit by digit at extended precision. Longer mantissas go on in long double.
  constexpr int kExactIntegerDigits = 19;
  uint64_t integerMantissa = 0;
  long double mantissa = 0.0L;
  int mantissaDigits = 0;
  long long decimalExponent = 0;
  bool anyDigit = false;
  auto addDigit = [&](int digit) {
    if (mantissaDigits < kExactIntegerDigits) {
      integerMantissa = integerMantissa * 10 + static_cast<uint64_t>(digit);
      if (integerMantissa != 0) ++mantissaDigits;
      if (mantissaDigits == kExactIntegerDigits) mantissa = static_cast<long double>(integerMantissa);
    } else {
      mantissa = mantissa * 10.0L + digit;
      ++mantissaDigits;
    }
  };

  for (; i < n && IsDigit(text[i]); ++i) {
    anyDigit = true;
    if (mantissaDigits < kMaxMantissaDigits) {
      addDigit(text[i] - '0');
    } else {
      ++decimalExponent;
    }
  }
  if (i < n && text[i] == '.') {
    for (++i; i < n && IsDigit(text[i]); ++i) {
      anyDigit = true;
      if (mantissaDigits < kMaxMantissaDigits) {
        addDigit(text[i] - '0');
        --decimalExponent;
      }
    }
  }
  if (mantissaDigits < kExactIntegerDigits) mantissa = static_cast<long double>(integerMantissa);
  if (i < n && (text[i] == 'e' || text[i] == 'E')) {
    ++i;
    bool exponentNegative = false;
    if (i < n && (text[i] == '+' || text[i] == '-')) {
      exponentNegative = text[i] == '-';
      ++i;
    }
    if (i >= n || !IsDigit(text[i])) return 0.0;
    long long exponent = 0;
    for (; i < n && IsDigit(text[i]); ++i) {
      if (exponent < kExponentClamp) exponent = exponent * 10 + (text[i] - '0');
    }
    decimalExponent += exponentNegative ? -exponent : exponent;
  }
  if (i != n) return 0.0;
  if (!anyDigit || mantissa == 0.0L) return 0.0;

  if (decimalExponent > kExponentClamp) decimalExponent = kExponentClamp;
  if (decimalExponent < -kExponentClamp) decimalExponent = -kExponentClamp;
  long double scaled = decimalExponent >= 0 ? mantissa * Pow10L(decimalExponent)
                                            : mantissa / Pow10L(-decimalExponent);
  double result = static_cast<double>(scaled);
  PinValue(result);
  if (std::isinf(result)) return 0.0;  // beyond the double range
  return negative ? -result : result;
}

}  // namespace

}  // namespace zumorika
