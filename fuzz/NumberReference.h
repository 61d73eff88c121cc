// Slow, obviously-correct models of the tool's number text, written from the
// rules of the number formats rather than from the fast code, so that a fuzzer
// or a test can ask "is this the right answer?" and not only "did it crash?".
//
// Header-only: used by the fuzz targets (built with clang) and by the stress
// tests (built with the project's compiler).
#pragma once

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <string>
#include <string_view>
#include <vector>

namespace zumorika::reference {

inline bool IsDigit(char c) { return c >= '0' && c <= '9'; }

inline int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

// Integer text: blanks (0x20 only), one optional sign, then a hexadecimal form
// ("$", "x", "X", "0x", "0X" and at most eight significant digits, patterns
// from 80000000 up read as negative) or decimal digits within int32. The text
// must end after the last digit. Anything else reads as 0.
inline int32_t StrToInt(std::string_view text) {
  size_t i = 0;
  while (i < text.size() && text[i] == ' ') ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
    negative = text[i] == '-';
    ++i;
  }
  std::string_view rest = text.substr(i);
  size_t prefix = 0;
  if (!rest.empty() && (rest[0] == '$' || rest[0] == 'x' || rest[0] == 'X')) {
    prefix = 1;
  } else if (rest.size() >= 2 && rest[0] == '0' && (rest[1] == 'x' || rest[1] == 'X')) {
    prefix = 2;
  }
  if (prefix != 0) {
    std::string_view digits = rest.substr(prefix);
    if (digits.empty()) return 0;
    uint64_t value = 0;
    int significant = 0;
    for (char c : digits) {
      int v = HexValue(c);
      if (v < 0) return 0;
      if (value != 0 || v != 0) ++significant;
      if (significant > 8) return 0;
      value = value * 16 + static_cast<uint64_t>(v);
    }
    uint32_t pattern = static_cast<uint32_t>(value);
    // Negation in 32 bits: "-$80000000" stays -2147483648, as two's
    // complement wraps; never signed overflow.
    if (negative) pattern = 0u - pattern;
    return static_cast<int32_t>(pattern);
  }
  if (rest.empty()) return 0;
  int64_t value = 0;
  for (char c : rest) {
    if (!IsDigit(c)) return 0;
    value = value * 10 + (c - '0');
    if (value > 2147483648LL) return 0;
  }
  if (negative) value = -value;
  if (value > 2147483647LL || value < -2147483648LL) return 0;
  return static_cast<int32_t>(value);
}

// Validates real text and returns the canonical form to hand to the C
// library ("" for text that fails or holds no mantissa digit, which both read
// as 0).
inline std::string ValidatedRealText(std::string_view text) {
  size_t i = 0;
  while (i < text.size() && text[i] == ' ') ++i;
  std::string out;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
    if (text[i] == '-') out += '-';
    ++i;
  }
  if (i == text.size()) return "";
  bool mantissaDigit = false;
  std::string mantissa;
  while (i < text.size() && IsDigit(text[i])) {
    mantissa += text[i++];
    mantissaDigit = true;
  }
  if (i < text.size() && text[i] == '.') {
    mantissa += '.';
    ++i;
    while (i < text.size() && IsDigit(text[i])) {
      mantissa += text[i++];
      mantissaDigit = true;
    }
  }
  std::string exponent;
  if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
    exponent += 'e';
    ++i;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) exponent += text[i++];
    bool expDigit = false;
    while (i < text.size() && IsDigit(text[i])) {
      exponent += text[i++];
      expDigit = true;
    }
    if (!expDigit) return "";
  }
  if (i != text.size()) return "";
  if (!mantissaDigit) return "";
  return out + mantissa + exponent;
}

// True when the text's value is formed exactly at extended precision before
// the one scaling step: at most 19 significant digits (below 2^64) and a
// power of ten that a 64-bit significand holds exactly (10^27 at most).
// Longer or further scaled texts collect rounding errors on the way, by the
// nature of the extended-precision rule.
inline bool ExactlyFormed(const std::string& canonical) {
  size_t i = canonical[0] == '-' ? 1 : 0;
  std::string digits;
  long long fractionDigits = 0;
  bool inFraction = false;
  for (; i < canonical.size() && canonical[i] != 'e'; ++i) {
    if (canonical[i] == '.') {
      inFraction = true;
      continue;
    }
    if (inFraction) ++fractionDigits;
    if (!digits.empty() || canonical[i] != '0') digits += canonical[i];
  }
  long long exponent = 0;
  if (i < canonical.size()) {
    std::string e = canonical.substr(i + 1);
    if (e.size() > 7) return false;
    exponent = std::atoll(e.c_str());
  }
  long long scale = exponent - fractionDigits;
  return digits.size() <= 19 && scale >= -27 && scale <= 27;
}

// Whether `got` is a right reading of text: the correctly rounded double,
// or the double reached through a correctly rounded 64-bit-significand
// intermediate (they differ only in rare double-rounding cases). For text
// that the extended-precision rule cannot form exactly, one unit in the last
// place more is allowed. A value beyond the double range reads as 0.
inline bool AcceptableReal(std::string_view text, double got, double* expected = nullptr) {
  std::string canonical = ValidatedRealText(text);
  if (canonical.empty()) {
    if (expected) *expected = 0.0;
    return got == 0.0;
  }
  double direct = std::strtod(canonical.c_str(), nullptr);
  long double wide = std::strtold(canonical.c_str(), nullptr);
  double viaLong = static_cast<double>(wide);
  if (expected) *expected = std::isinf(direct) ? 0.0 : direct;
  for (double d : {direct, viaLong})
    if (got == (std::isinf(d) ? 0.0 : d)) return true;
  if (ExactlyFormed(canonical)) return false;
  if (std::isinf(direct)) {
    // Just beyond the largest double: a reading that lands on it is as near
    // as the extended-precision rule gets.
    return std::fabs(got) == std::numeric_limits<double>::max() &&
           std::fabs(wide) < std::numeric_limits<double>::max() * (1.0L + 0x1p-50L);
  }
  if (got == 0.0 && std::fabs(direct) == std::numeric_limits<double>::max()) return true;
  return got == std::nextafter(direct, HUGE_VAL) || got == std::nextafter(direct, -HUGE_VAL);
}

// The exact decimal significand of a finite positive double and its exponent
// such that value = 0.DIGITS x 10^exponent. glibc prints the exact binary
// value for any requested precision.
inline void ExactDecimal(double magnitude, std::string& digits, int& exponent) {
  std::vector<char> buffer(1200);
  std::snprintf(buffer.data(), buffer.size(), "%.800e", magnitude);
  std::string text(buffer.data());
  size_t e = text.find('e');
  digits = text.substr(0, 1) + text.substr(2, e - 2);
  exponent = std::atoi(text.c_str() + e + 1) + 1;
  while (digits.size() > 1 && digits.back() == '0') digits.pop_back();
}

// Rounds a digit string to `keep` digits, half up when `halfUp`, else half to
// even; a carry out of the first digit raises the exponent.
inline void RoundDigits(std::string& digits, int& exponent, size_t keep, bool halfUp) {
  if (digits.size() <= keep) return;
  bool up;
  char next = digits[keep];
  bool restNonZero = digits.find_first_not_of('0', keep + 1) != std::string::npos;
  if (next > '5' || (next == '5' && restNonZero)) {
    up = true;
  } else if (next == '5') {
    up = halfUp || ((digits[keep - 1] - '0') % 2 == 1);
  } else {
    up = false;
  }
  digits.resize(keep);
  if (up) {
    int k = static_cast<int>(keep) - 1;
    while (k >= 0 && digits[k] == '9') digits[k--] = '0';
    if (k < 0) {
      digits.insert(digits.begin(), '1');
      digits.pop_back();
      ++exponent;
    } else {
      ++digits[k];
    }
  }
}

// Lays out digit string D (no trailing zeros) with exponent E as the tool's
// general format.
inline std::string LayOutReal(bool negative, const std::string& d, int e) {
  std::string out = negative ? "-" : "";
  if (e >= -3 && e <= 15) {
    if (e <= 0) {
      out += "0.";
      out.append(static_cast<size_t>(-e), '0');
      out += d;
    } else if (static_cast<int>(d.size()) <= e) {
      out += d;
      out.append(static_cast<size_t>(e) - d.size(), '0');
    } else {
      out += d.substr(0, static_cast<size_t>(e));
      out += '.';
      out += d.substr(static_cast<size_t>(e));
    }
    return out;
  }
  out += d[0];
  if (d.size() > 1) {
    out += '.';
    out += d.substr(1);
  }
  out += 'E';
  out += std::to_string(e - 1);
  return out;
}

// The texts a correct FormatReal may give: digits rounded to nearest at 18
// significant digits (an exact tie there may go either way), then half up to
// 15, trailing zeros dropped.
inline std::vector<std::string> AcceptableRealTexts(double value) {
  if (std::isnan(value)) return {"NAN"};
  if (std::isinf(value)) return {value < 0 ? "-INF" : "INF"};
  if (value == 0) return {"0"};
  std::string exact;
  int exponent = 0;
  ExactDecimal(std::fabs(value), exact, exponent);
  std::vector<std::string> result;
  for (bool tieUp : {true, false}) {
    std::string d = exact;
    int e = exponent;
    RoundDigits(d, e, 18, tieUp);
    RoundDigits(d, e, 15, true);
    while (d.size() > 1 && d.back() == '0') d.pop_back();
    std::string text = LayOutReal(value < 0, d, e);
    if (result.empty() || result[0] != text) result.push_back(text);
  }
  return result;
}

// %.15g rewritten into the tool's exponent form ("E", no "+", no leading
// zeros); equal to the tool's text except where the 18-digit pre-rounding
// changes the 15th digit.
inline std::string PrintfReal15(double value) {
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, "%.15G", value);
  std::string text(buffer);
  size_t e = text.find('E');
  if (e == std::string::npos) return text;
  std::string mantissa = text.substr(0, e);
  int exponent = std::atoi(text.c_str() + e + 1);
  return mantissa + "E" + std::to_string(exponent);
}

// True when rounding the exact digits straight to 15 (half to even, as
// printf does) differs from the two-step rule: the rare cases where %.15g
// legitimately disagrees with the tool, an exact tie at the 16th digit
// included.
inline bool DoubleRoundingMatters(double value) {
  if (!std::isfinite(value) || value == 0) return false;
  std::string exact;
  int exponent = 0;
  ExactDecimal(std::fabs(value), exact, exponent);
  std::string direct = exact;
  int directExp = exponent;
  RoundDigits(direct, directExp, 15, false);
  std::string twoStep = exact;
  int twoExp = exponent;
  RoundDigits(twoStep, twoExp, 18, false);
  RoundDigits(twoStep, twoExp, 15, true);
  return direct != twoStep || directExp != twoExp;
}

}  // namespace zumorika::reference
