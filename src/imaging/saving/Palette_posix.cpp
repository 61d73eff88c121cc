#include "imaging/saving/ColourConvert.h"

namespace zumorika {

// Without the system's halftone palette: the 16 table colours first, then a
// 6 x 6 x 6 colour cube and a ramp of greys between the cube's levels. Black
// and white come first through the table, so the lowest-index rule picks
// them before their copies in the cube.
std::array<RgbQuad, 256> HalftonePalette() {
  std::array<RgbQuad, 256> palette{};
  size_t n = 0;
  for (const RgbQuad& entry : SixteenColourTable()) palette[n++] = entry;
  for (int r = 0; r < 6; ++r) {
    for (int g = 0; g < 6; ++g) {
      for (int b = 0; b < 6; ++b) {
        palette[n++] = MakeRgbQuad(static_cast<uint8_t>(r * 51), static_cast<uint8_t>(g * 51),
                                   static_cast<uint8_t>(b * 51));
      }
    }
  }
  for (int i = 0; n < palette.size(); ++i) {
    const auto level = static_cast<uint8_t>(8 + i * 10);  // 8, 18, ... 238
    palette[n++] = MakeRgbQuad(level, level, level);
  }
  return palette;
}

}  // namespace zumorika
