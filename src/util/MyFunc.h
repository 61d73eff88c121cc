// Number text, rounding, rotation, text cleaning and Shift-JIS-aware path
// helpers shared by the whole tool. Stateless; nothing here raises for
// ordinary input. Text is Shift-JIS bytes held in std::string, never converted.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#if defined(__x86_64__) || defined(__i386__)
#include <xmmintrin.h>
#else
#include <cfenv>
#endif

namespace zumorika {

// --- Shift-JIS ---------------------------------------------------------------

// Bytes that start a two-byte character when the tool scans text itself.
// One wider on each side than code page 932's own lead bytes (0x81..0x9F,
// 0xE0..0xFC), as the host treats them.
constexpr bool IsSjisLeadByte(unsigned char b) {
  return (b >= 0x80 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFD);
}

// --- Reading numbers ---------------------------------------------------------

// The int32 the text spells (decimal, or hexadecimal after "$", "x", "X",
// "0x", "0X"), or 0 for anything that is no number.
int32_t StrToIntOr0(std::string_view text);

// The double the text spells, formed at extended precision from all digits,
// or 0.0 for anything that is no number. A value beyond the double range
// also reads as 0.0: an infinity would flow on into rounding and trigonometry.
double StrToFloatOr0(std::string_view text);

// True while the thread's floating-point arithmetic rounds to nearest, as it
// does unless a DLL loaded into the process changed it. Inline: ParseJwcLine
// calls it for every line it is handed on its own.
inline bool RoundsToNearest() {
#if defined(__x86_64__) || defined(__i386__)
  // Double arithmetic runs on SSE, whose rounding the MXCSR register sets.
  return (_mm_getcsr() & _MM_ROUND_MASK) == _MM_ROUND_NEAREST;
#else
  return std::fegetround() == FE_TONEAREST;
#endif
}

// StrToFloatOr0 for a caller that has just seen RoundsToNearest() true and
// passes it on: the same values, with a shortcut that is exact only under
// round-to-nearest. Many numbers can be read under one check.
double StrToFloatOr0(std::string_view text, bool roundsToNearest);

// --- Writing numbers ---------------------------------------------------------

// Plain decimal, "-" for negatives, no padding.
std::string FormatInt(int32_t value);

// Upper-case hexadecimal of the unsigned 32-bit pattern, left-padded with
// "0" to `digits` digits (a request above 32 counts as 0).
std::string FormatHex(int32_t value, int32_t digits);

// General format with 15 significant digits: fixed notation for decimal
// exponents -3..15, otherwise "1.5E-5" style (no "+", no leading zeros).
// Zero of either sign is "0"; infinities "INF"/"-INF"; NaN "NAN".
std::string FormatReal(double value);

// --- Text --------------------------------------------------------------------

// The text without blanks, ideographic spaces (0x81 0x40) and control bytes.
std::string CleanText(std::string_view text);

// --- Rounding and rotation ---------------------------------------------------

// Rounds |value| to `places` decimals (1..13; anything else counts as 0) at
// extended precision: mode 0 cuts, mode 1 adds 0.9, any other mode adds 0.5.
// The sign is put back afterwards.
double RoundTo(int32_t places, int32_t mode, double value);

// Sine and cosine at extended precision with an exact argument reduction.
// MinGW's sinl and cosl are the x87 FSIN and FCOS, whose built-in π has only
// 66 bits: near a multiple of π/2 they keep few correct digits (cos 90° came
// out as 6.12303E-17 instead of 6.12323E-17), so the Windows build and the
// native one wrote different placements.
long double ExtendedSin(long double x);
long double ExtendedCos(long double x);

// Rotates (px, py) about (cx, cy), counter-clockwise in a y-up system.
void RotatePoint(double& x, double& y, double px, double py, double cx, double cy,
                 double angleRadians);
void RotatePointDeg(double& x, double& y, double px, double py, double cx, double cy,
                    double angleDegrees);

// --- Paths (Shift-JIS aware: a trail byte equal to "\", ":" or "." is no
// delimiter). Separators are "\" and "/", drive delimiter ":". ---------------

// Everything up to and including the last separator or drive colon; empty
// when there is none.
std::string ExtractFolderPart(std::string_view path);

// Everything after the last separator or drive colon.
std::string ExtractFileNamePart(std::string_view path);

// The path with the extension (from the last "." after the last separator)
// replaced by `newExtension` (which includes its dot); appended when the
// name has no extension.
std::string ReplaceExtension(std::string_view path, std::string_view newExtension);

// The folder with a trailing "\" added unless it is empty or already ends in
// a separator or a drive colon.
std::string IncludeTrailingSeparator(std::string_view folder);

}  // namespace zumorika
