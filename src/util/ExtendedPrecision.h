// Extended-precision helpers shared by the number reading and the rounding
// and rotation of MyFunc: the x87 control word held at 64-bit precision and
// round-to-nearest for one computation, and exact powers of ten.
#pragma once

namespace zumorika {
namespace extended {

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

// 10^n at extended precision. Powers up to 10^27 are exact in a 64-bit
// significand, so the ordinary texts (a few decimals) scale without error.
inline long double Pow10LSlow(long long n) {
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
inline constexpr int kExactPowers = 28;
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
inline constexpr Pow10Table kPow10Table = MakePow10Table();

inline long double Pow10L(long long n) {
  return (n >= 0 && n < kExactPowers) ? kPow10Table.values[n] : Pow10LSlow(n);
}

}  // namespace extended
}  // namespace zumorika
