#include "util/MyFunc.h"

#include <cmath>
#include <cstring>

#include <vector>

namespace zumorika {

namespace {

// The x87 unit's precision and rounding control belong to the thread, and a
// DLL loaded into the process (a printer driver, a shell extension behind the
// common dialogs) may leave it at 53-bit precision, the setting Windows x64
// itself gives new threads. The long double arithmetic below only means
// something with the 64-bit significand and round-to-nearest, so each
// extended computation sets them and puts the caller's control word back.
#if defined(__GNUC__) && (defined(__x86_64__) || defined(__i386__))
#define ZUMORIKA_X87_CONTROL 1
#endif

class ExtendedPrecisionScope {
 public:
#ifdef ZUMORIKA_X87_CONTROL
  // The "memory" clobbers keep loads of the caller's text and stores to its
  // out arguments on the right side of the switch.
  ExtendedPrecisionScope() {
    __asm__ __volatile__("fnstcw %0" : "=m"(saved_) : : "memory");
    // Precision control 11 (64-bit significand), rounding control 00 (nearest).
    unsigned short wanted = static_cast<unsigned short>((saved_ & ~0x0F00u) | 0x0300u);
    // Loading the control word stalls the x87 pipeline; the usual case (the
    // thread already runs at extended precision) skips both loads.
    changed_ = wanted != saved_;
    if (changed_) __asm__ __volatile__("fldcw %0" : : "m"(wanted) : "memory");
  }
  ~ExtendedPrecisionScope() {
    if (changed_) __asm__ __volatile__("fldcw %0" : : "m"(saved_) : "memory");
  }

 private:
  unsigned short saved_ = 0;
  bool changed_ = false;
#else
  ExtendedPrecisionScope() = default;
#endif
  ExtendedPrecisionScope(const ExtendedPrecisionScope&) = delete;
  ExtendedPrecisionScope& operator=(const ExtendedPrecisionScope&) = delete;
};

// Arithmetic on values held in registers may otherwise be scheduled before the
// control word is set or after it is restored: passing a value through an
// empty volatile asm ties it to that point.
template <typename T>
inline void PinValue(T& value) {
#ifdef ZUMORIKA_X87_CONTROL
  __asm__ __volatile__("" : "+m"(value));
#else
  (void)value;
#endif
}

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

int HexDigitValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

// 10^n at extended precision. Powers up to 10^27 are exact in a 64-bit
// significand, so the ordinary texts (a few decimals) scale without error.
long double Pow10LSlow(long long n) {
  long double result = 1.0L;
  long double square = 10.0L;
  while (n > 0) {
    if (n & 1) result *= square;
    n >>= 1;
    if (n > 0) square *= square;
  }
  return result;
}

// The exact powers come from a table: the reader scales every coordinate of
// the exchange file, and the squaring loop dominated that cost. Built at
// compile time, so it does not depend on the x87 control word at start-up.
constexpr int kExactPowers = 28;
struct Pow10Table {
  long double values[kExactPowers];
};
constexpr Pow10Table MakePow10Table() {
  Pow10Table table{};
  long double power = 1.0L;
  for (int i = 0; i < kExactPowers; ++i) {
    table.values[i] = power;
    power *= 10.0L;
  }
  return table;
}
constexpr Pow10Table kPow10Table = MakePow10Table();

long double Pow10L(long long n) {
  return (n >= 0 && n < kExactPowers) ? kPow10Table.values[n] : Pow10LSlow(n);
}

// Exact decimal expansion of a finite positive double: value = 0.digits × 10^exponent,
// digits without leading or trailing zeros.
struct ExactDecimal {
  std::string digits;
  int exponent = 0;
};

constexpr uint32_t kLimbBase = 1000000000u;  // base 10^9, least significant limb first

void MultiplyLimbs(std::vector<uint32_t>& limbs, uint32_t factor) {
  uint64_t carry = 0;
  for (uint32_t& limb : limbs) {
    uint64_t cur = uint64_t{limb} * factor + carry;
    limb = static_cast<uint32_t>(cur % kLimbBase);
    carry = cur / kLimbBase;
  }
  while (carry != 0) {
    limbs.push_back(static_cast<uint32_t>(carry % kLimbBase));
    carry /= kLimbBase;
  }
}

// The C library's printf cannot be trusted for digits past the 17th (MinGW's
// default msvcrt one pads with zeros), so the digits come from the binary
// value itself: mantissa × 2^e is an integer times a power of two, or, for
// negative e, (mantissa × 5^-e) × 10^e. A double has at most 767 significant
// decimal digits, so a small base-10^9 number is enough.
ExactDecimal ExpandDouble(double value) {
  uint64_t bits;
  std::memcpy(&bits, &value, sizeof bits);
  int exponentField = static_cast<int>((bits >> 52) & 0x7FF);
  uint64_t mantissa = bits & ((uint64_t{1} << 52) - 1);
  int binaryExponent;
  if (exponentField == 0) {
    binaryExponent = -1074;  // subnormal
  } else {
    mantissa |= uint64_t{1} << 52;
    binaryExponent = exponentField - 1075;
  }

  std::vector<uint32_t> limbs;
  while (mantissa != 0) {
    limbs.push_back(static_cast<uint32_t>(mantissa % kLimbBase));
    mantissa /= kLimbBase;
  }
  int decimalShift = 0;
  if (binaryExponent >= 0) {
    for (int left = binaryExponent; left > 0;) {
      int step = left < 29 ? left : 29;
      MultiplyLimbs(limbs, uint32_t{1} << step);
      left -= step;
    }
  } else {
    for (int left = -binaryExponent; left > 0;) {
      int step = left < 13 ? left : 13;
      uint32_t factor = 1;
      for (int i = 0; i < step; ++i) factor *= 5;
      MultiplyLimbs(limbs, factor);
      left -= step;
    }
    decimalShift = binaryExponent;
  }

  ExactDecimal out;
  out.digits = std::to_string(limbs.back());
  for (size_t i = limbs.size() - 1; i-- > 0;) {
    std::string part = std::to_string(limbs[i]);
    out.digits.append(9 - part.size(), '0');
    out.digits += part;
  }
  out.exponent = static_cast<int>(out.digits.size()) + decimalShift;
  size_t last = out.digits.find_last_not_of('0');
  out.digits.erase(last + 1);
  return out;
}

// Adds one to the digit at `index`, carrying left. A carry out of the first
// digit makes the string "1000..." and raises the exponent.
void IncrementAt(std::string& digits, size_t index, int& exponent) {
  for (size_t i = index + 1; i-- > 0;) {
    if (digits[i] != '9') {
      ++digits[i];
      return;
    }
    digits[i] = '0';
  }
  digits.insert(digits.begin(), '1');
  digits.pop_back();
  ++exponent;
}

void StripTrailingZeros(std::string& digits) {
  size_t last = digits.find_last_not_of('0');
  digits.erase(last == std::string::npos ? 0 : last + 1);
}

// Shift-JIS scanning: the length of the unit starting at `i` (a lead byte and
// the byte after it form one character; a lead byte at the end stands alone).
size_t UnitLength(std::string_view text, size_t i) {
  return (IsSjisLeadByte(static_cast<unsigned char>(text[i])) && i + 1 < text.size()) ? 2 : 1;
}

bool IsPathDelimiter(char c) { return c == '\\' || c == '/' || c == ':'; }

// Index just past the last separator or drive colon that is a character of
// its own, or 0 when there is none.
size_t FileNameStart(std::string_view path) {
  size_t start = 0;
  for (size_t i = 0; i < path.size();) {
    size_t len = UnitLength(path, i);
    if (len == 1 && IsPathDelimiter(path[i])) start = i + 1;
    i += len;
  }
  return start;
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

// --- Writing numbers ---------------------------------------------------------

std::string FormatInt(int32_t value) { return std::to_string(value); }

std::string FormatHex(int32_t value, int32_t digits) {
  static const char kHexDigits[] = "0123456789ABCDEF";
  uint32_t pattern = static_cast<uint32_t>(value);
  std::string out;
  do {
    out.insert(out.begin(), kHexDigits[pattern & 0xF]);
    pattern >>= 4;
  } while (pattern != 0);
  if (digits > 32) digits = 0;
  if (digits > 0 && out.size() < static_cast<size_t>(digits)) {
    out.insert(0, static_cast<size_t>(digits) - out.size(), '0');
  }
  return out;
}

std::string FormatReal(double value) {
  if (std::isnan(value)) return "NAN";
  if (std::isinf(value)) return value < 0 ? "-INF" : "INF";
  if (value == 0.0) return "0";

  ExactDecimal exact = ExpandDouble(std::fabs(value));
  std::string digits = std::move(exact.digits);
  int exponent = exact.exponent;

  // Nearest at 18 significant digits, ties to even (as the FPU's BCD store does).
  constexpr size_t kWide = 18;
  if (digits.size() > kWide) {
    char next = digits[kWide];
    bool restNonZero = digits.find_first_not_of('0', kWide + 1) != std::string::npos;
    bool up = next > '5' || (next == '5' && (restNonZero || (digits[kWide - 1] - '0') % 2 == 1));
    digits.resize(kWide);
    if (up) IncrementAt(digits, kWide - 1, exponent);
  }
  // Then 15: the 16th digit decides, with carry.
  constexpr size_t kKept = 15;
  if (digits.size() > kKept) {
    bool up = digits[kKept] >= '5';
    digits.resize(kKept);
    if (up) IncrementAt(digits, kKept - 1, exponent);
  }
  StripTrailingZeros(digits);

  std::string out = value < 0 ? "-" : "";
  const int count = static_cast<int>(digits.size());
  if (exponent >= -3 && exponent <= 15) {
    if (exponent <= 0) {
      out += "0.";
      out.append(static_cast<size_t>(-exponent), '0');
      out += digits;
    } else if (count <= exponent) {
      out += digits;
      out.append(static_cast<size_t>(exponent - count), '0');
    } else {
      out.append(digits, 0, static_cast<size_t>(exponent));
      out += '.';
      out.append(digits, static_cast<size_t>(exponent), std::string::npos);
    }
  } else {
    out += digits[0];
    if (count > 1) {
      out += '.';
      out.append(digits, 1, std::string::npos);
    }
    out += 'E';
    out += std::to_string(exponent - 1);
  }
  return out;
}

// --- Text --------------------------------------------------------------------

std::string CleanText(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size();) {
    unsigned char b = static_cast<unsigned char>(text[i]);
    if (IsSjisLeadByte(b)) {
      if (i + 1 >= text.size()) {
        out += text[i];
        break;
      }
      bool ideographicSpace = b == 0x81 && static_cast<unsigned char>(text[i + 1]) == 0x40;
      if (!ideographicSpace) out.append(text, i, 2);
      i += 2;
    } else {
      if (b > 0x20) out += text[i];
      ++i;
    }
  }
  return out;
}

// --- Rounding and rotation ---------------------------------------------------

double RoundTo(int32_t places, int32_t mode, double value) {
  ExtendedPrecisionScope precision;
  PinValue(value);
  // 10^1 .. 10^13 are exact at extended precision.
  long double factor = (places >= 1 && places <= 13) ? Pow10L(places) : 1.0L;
  long double t = std::fabs(static_cast<long double>(value)) * factor;
  // Mode 0 cuts; 1 adds 0.9, so only a dropped part below a tenth of the last
  // kept place is cut; every other mode rounds half away from zero.
  if (mode == 1) {
    t += 0.9L;
  } else if (mode != 0) {
    t += 0.5L;
  }
  t = std::trunc(t);
  double result = static_cast<double>(t / factor);
  PinValue(result);
  return value < 0 ? -result : result;
}

namespace {

// π/2 in three pieces: the first two carry 40 significant bits, so k times
// either is exact for |k| < 2^24, and the reduction below loses nothing
// (Cody and Waite's method).
constexpr long double kHalfPi1 = 0xC90FDAA221p-39L;
constexpr long double kHalfPi2 = 0xD18469898Dp-80L;
constexpr long double kHalfPi3 = -0x75D1FC8F8CBB5BF7p-145L;
constexpr long double kReducibleLimit = 0x1p24L * 1.5707963267948966L;

// x = k·π/2 + r with |r| <= π/4 (about), and the quadrant k mod 4.
bool ReduceQuarterTurns(long double x, long double& r, int& quadrant) {
  if (!(std::fabs(x) < kReducibleLimit)) return false;
  const long double k = std::nearbyint(x / (kHalfPi1 + kHalfPi2));
  r = ((x - k * kHalfPi1) - k * kHalfPi2) - k * kHalfPi3;
  quadrant = static_cast<int>(static_cast<long long>(k) & 3);
  return true;
}

}  // namespace

long double ExtendedSin(long double x) {
  ExtendedPrecisionScope precision;
  PinValue(x);
  long double r;
  int quadrant;
  if (!ReduceQuarterTurns(x, r, quadrant)) return std::sin(x);
  switch (quadrant) {
    case 0: return std::sin(r);
    case 1: return std::cos(r);
    case 2: return -std::sin(r);
    default: return -std::cos(r);
  }
}

long double ExtendedCos(long double x) {
  ExtendedPrecisionScope precision;
  PinValue(x);
  long double r;
  int quadrant;
  if (!ReduceQuarterTurns(x, r, quadrant)) return std::cos(x);
  switch (quadrant) {
    case 0: return std::cos(r);
    case 1: return -std::sin(r);
    case 2: return -std::cos(r);
    default: return std::sin(r);
  }
}

void RotatePoint(double& x, double& y, double px, double py, double cx, double cy,
                 double angleRadians) {
  ExtendedPrecisionScope precision;
  PinValue(px), PinValue(py), PinValue(cx), PinValue(cy), PinValue(angleRadians);
  const long double a = angleRadians;
  const long double c = ExtendedCos(a);
  const long double s = ExtendedSin(a);
  const long double dx = static_cast<long double>(px) - cx;
  const long double dy = static_cast<long double>(py) - cy;
  double rx = static_cast<double>(cx + dx * c - dy * s);
  double ry = static_cast<double>(cy + dx * s + dy * c);
  PinValue(rx), PinValue(ry);
  x = rx;
  y = ry;
}

void RotatePointDeg(double& x, double& y, double px, double py, double cx, double cy,
                    double angleDegrees) {
  double radians;
  {
    ExtendedPrecisionScope precision;
    PinValue(angleDegrees);
    // π with the x87 unit's 64-bit significand: 3.14159265358979323851...
    const long double pi = 3.14159265358979323846264338327950288L;
    radians = static_cast<double>(static_cast<long double>(angleDegrees) / 180.0L * pi);
    PinValue(radians);
  }
  RotatePoint(x, y, px, py, cx, cy, radians);
}

// --- Paths -------------------------------------------------------------------

std::string ExtractFolderPart(std::string_view path) {
  return std::string(path.substr(0, FileNameStart(path)));
}

std::string ExtractFileNamePart(std::string_view path) {
  return std::string(path.substr(FileNameStart(path)));
}

std::string ReplaceExtension(std::string_view path, std::string_view newExtension) {
  size_t nameStart = FileNameStart(path);
  size_t dot = std::string_view::npos;
  for (size_t i = nameStart; i < path.size();) {
    size_t len = UnitLength(path, i);
    if (len == 1 && path[i] == '.') dot = i;
    i += len;
  }
  std::string out(path.substr(0, dot == std::string_view::npos ? path.size() : dot));
  out += newExtension;
  return out;
}

std::string IncludeTrailingSeparator(std::string_view folder) {
  std::string out(folder);
  if (folder.empty()) return out;
  // The last unit may be a two-byte character whose trail byte is "\" (as in
  // the katakana "ソ", 0x83 0x5C): that is no separator.
  size_t lastUnit = 0;
  for (size_t i = 0; i < folder.size(); i += UnitLength(folder, i)) lastUnit = i;
  bool endsInDelimiter = lastUnit == folder.size() - 1 && IsPathDelimiter(folder.back());
  if (!endsInDelimiter) out += '\\';
  return out;
}

}  // namespace zumorika
