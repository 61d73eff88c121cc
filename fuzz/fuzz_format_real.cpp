// FormatReal against the digit rules computed with exact decimal expansion,
// against %.15g where the 18-digit pre-rounding cannot matter, and through a
// round trip with StrToFloatOr0.
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "NumberReference.h"
#include "util/MyFunc.h"

namespace {

[[noreturn]] void Fail(const char* what, double value, const std::string& got,
                       const std::string& want) {
  uint64_t bits;
  std::memcpy(&bits, &value, sizeof bits);
  std::fprintf(stderr, "%s: value %.17g (bits 0x%016llX) gave [%s], expected [%s]\n", what,
               value, static_cast<unsigned long long>(bits), got.c_str(), want.c_str());
  std::abort();
}

void Check(double value) {
  using namespace zumorika;
  std::string got = FormatReal(value);
  auto acceptable = reference::AcceptableRealTexts(value);
  bool ok = false;
  for (const auto& want : acceptable) ok |= got == want;
  if (!ok) Fail("digit rule", value, got, acceptable[0]);

  if (std::isfinite(value) && value != 0 && !reference::DoubleRoundingMatters(value)) {
    std::string printed = reference::PrintfReal15(value);
    if (got != printed) Fail("%.15g agreement", value, got, printed);
  }

  if (!std::isfinite(value)) return;
  double back = StrToFloatOr0(got);
  // Text rounded above the largest double cannot be read back; the reader
  // gives 0 for it by design.
  if (std::isinf(std::strtod(got.c_str(), nullptr))) return;
  std::string again = FormatReal(back);
  if (again != got) Fail("round trip", value, again, got);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  // Eight bytes are a raw double, so every bit pattern is reachable; longer
  // inputs are decimal text, which reaches short decimals and their
  // neighbours far more often than random bits do.
  if (size == sizeof(double)) {
    double value;
    std::memcpy(&value, data, sizeof value);
    Check(value);
    return 0;
  }
  std::string text(reinterpret_cast<const char*>(data), size);
  std::string canonical = zumorika::reference::ValidatedRealText(text);
  if (canonical.empty()) return 0;
  double value = std::strtod(canonical.c_str(), nullptr);
  Check(value);
  Check(std::nextafter(value, HUGE_VAL));
  Check(std::nextafter(value, -HUGE_VAL));
  return 0;
}
