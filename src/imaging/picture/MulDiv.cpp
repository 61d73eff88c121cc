#include "imaging/picture/MulDiv.h"

namespace zumorika {

namespace {

// Rounds half away from zero; the magnitudes stay within 64 bits because
// the dividend is a product of a 32-bit factor and one of at most 33 bits.
int64_t DivideRounded(int64_t dividend, int64_t divisor) {
  const bool negative = (dividend < 0) != (divisor < 0);
  const uint64_t a = dividend < 0 ? 0 - static_cast<uint64_t>(dividend) : static_cast<uint64_t>(dividend);
  const uint64_t b = divisor < 0 ? 0 - static_cast<uint64_t>(divisor) : static_cast<uint64_t>(divisor);
  const uint64_t q = (a + b / 2) / b;
  return negative ? -static_cast<int64_t>(q) : static_cast<int64_t>(q);
}

// The frame is the difference of two 32-bit edges: |frame| < 2^32.
int32_t OwnSize(int64_t frame, int32_t devicePixels, int32_t deviceMillimetres) {
  const int64_t hundredths = static_cast<int64_t>(deviceMillimetres) * 100;
  if (hundredths <= 0 || hundredths > INT32_MAX || frame <= -(int64_t{1} << 32) ||
      frame >= (int64_t{1} << 32)) {
    return 0;
  }
  const int64_t size = DivideRounded(frame * devicePixels, hundredths);
  return size < 0 || size > INT32_MAX ? 0 : static_cast<int32_t>(size);
}

}  // namespace

int32_t MulDiv(int32_t number, int32_t numerator, int32_t denominator) {
  if (denominator == 0) return -1;
  const int64_t result =
      DivideRounded(static_cast<int64_t>(number) * numerator, denominator);
  if (result > INT32_MAX || result < -INT32_MAX) return -1;
  return static_cast<int32_t>(result);
}

int32_t MetafileOwnWidth(const MetafileGeometry& g) {
  return OwnSize(g.frameWidth, g.devicePixelsX, g.deviceMillimetresX);
}

int32_t MetafileOwnHeight(const MetafileGeometry& g) {
  return OwnSize(g.frameHeight, g.devicePixelsY, g.deviceMillimetresY);
}

}  // namespace zumorika
