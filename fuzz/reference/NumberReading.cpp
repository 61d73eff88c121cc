// The exchange reader's number reading as it was before the integer reading
// of plain decimals: every text formed at extended precision. Compiled only
// into the reference reader of fuzz_jwc_reference, which the fuzzer holds
// the product's reader to, field for field and bit for bit.
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

double StrToFloatOr0(std::string_view text) {
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

}  // namespace zumorika
