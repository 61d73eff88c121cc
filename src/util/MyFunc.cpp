#include "util/MyFunc.h"

#include <cmath>
#include <cstring>

#include <vector>

#include "util/ExtendedPrecision.h"

namespace zumorika {

namespace {

using extended::ExtendedPrecisionScope;
using extended::PinValue;
using extended::Pow10L;

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
