// Integer scaling as GDI does it, and the own size of an enhanced metafile.
#pragma once

#include <cstdint>

namespace zumorika {

// number * numerator / denominator with a 64-bit intermediate, rounded to
// the nearest integer with halves away from zero. Like the Win32 function
// of the same name it gives -1 for a zero denominator or a result outside
// -2147483647..2147483647, so callers that need a size must check.
int32_t MulDiv(int32_t number, int32_t numerator, int32_t denominator);

// What an enhanced-metafile header says about its size: the frame
// (rclFrame, hundredths of a millimetre, right - left and bottom - top, no
// +1, in 64 bits: two 32-bit edges can lie more than 2^31 apart) and the
// reference device in pixels (szlDevice) and millimetres (szlMillimeters).
struct MetafileGeometry {
  int64_t frameWidth = 0;
  int64_t frameHeight = 0;
  int32_t devicePixelsX = 0;
  int32_t devicePixelsY = 0;
  int32_t deviceMillimetresX = 0;
  int32_t deviceMillimetresY = 0;
};

// Own size in pixels: frame x device pixels / (device millimetres x 100),
// rounded as MulDiv rounds. A header that gives no usable size (inverted
// frame, zero millimetres, a size past 32 bits) yields 0 rather than a
// negative size.
int32_t MetafileOwnWidth(const MetafileGeometry& geometry);
int32_t MetafileOwnHeight(const MetafileGeometry& geometry);

}  // namespace zumorika
