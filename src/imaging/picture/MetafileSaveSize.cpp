#include "imaging/picture/MetafileSaveSize.h"

#include <cmath>

namespace zumorika {

namespace {

// own height x width / own width, halves up; exact in 64 bits since the
// width never passes kMaxMetafileSaveSide.
int64_t ProportionalHeight(int32_t ownWidth, int32_t ownHeight, int32_t width) {
  return (static_cast<int64_t>(ownHeight) * width + ownWidth / 2) / ownWidth;
}

bool WithinBounds(int32_t ownWidth, int32_t ownHeight, int32_t width) {
  const int64_t height = ProportionalHeight(ownWidth, ownHeight, width);
  return height <= kMaxMetafileSaveSide && width * height <= kMaxMetafileSavePixels;
}

}  // namespace

PixelSize MetafileSaveSize(int32_t ownWidth, int32_t ownHeight, double widthMm) {
  const PixelSize own{ownWidth, ownHeight};
  if (ownWidth <= 0 || ownHeight <= 0 || !(widthMm > 0)) return own;
  const double wanted = std::floor(widthMm / 25.4 * kMetafileSaveDpi + 0.5);
  int32_t width =
      wanted < kMaxMetafileSaveSide ? static_cast<int32_t>(wanted) : kMaxMetafileSaveSide;
  if (width <= ownWidth) return own;
  // Height and pixel count grow with the width: the widest width within
  // the bounds is found by halving the interval (own width, width].
  if (!WithinBounds(ownWidth, ownHeight, width)) {
    int32_t fits = ownWidth, fails = width;
    while (fails - fits > 1) {
      const int32_t middle = fits + (fails - fits) / 2;
      (WithinBounds(ownWidth, ownHeight, middle) ? fits : fails) = middle;
    }
    if (fits == ownWidth) return own;
    width = fits;
  }
  return PixelSize{width, static_cast<int32_t>(ProportionalHeight(ownWidth, ownHeight, width))};
}

bool SmallerMetafileSaveSize(int32_t ownWidth, int32_t ownHeight, PixelSize& size) {
  if (ownWidth <= 0 || ownHeight <= 0 || size.width <= ownWidth) return false;
  const int32_t width = size.width / 2;
  if (width <= ownWidth) {
    size = PixelSize{ownWidth, ownHeight};
  } else {
    size = PixelSize{width, static_cast<int32_t>(ProportionalHeight(ownWidth, ownHeight, width))};
  }
  return true;
}

}  // namespace zumorika
