// Conversion of the working image into the pixel rows of a BMP of 1, 4, 8 or
// 24 bits. One implementation for every platform; only the 256-colour
// palette comes from the platform.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

#include "imaging/WorkingImage.h"

namespace zumorika {

// One colour-table entry as a BMP stores it.
struct RgbQuad {
  uint8_t blue = 0;
  uint8_t green = 0;
  uint8_t red = 0;
  uint8_t reserved = 0;
};

constexpr RgbQuad MakeRgbQuad(uint8_t red, uint8_t green, uint8_t blue) {
  return RgbQuad{blue, green, red, 0};
}

// The image in the form the BMP file holds it: rows bottom-up, each
// BmpRowStride bytes, pixels packed most significant bits first.
struct ConvertedImage {
  int32_t width = 0;
  int32_t height = 0;
  int bitsPerPixel = 24;
  std::vector<RgbQuad> colourTable;  // 2, 16 or 256 entries; none for 24 bits
  std::vector<uint8_t> rows;

  const uint8_t* Row(int32_t yFromBottom) const;
};

// Bytes per stored row: whole 32-bit words. 64-bit so that no width can
// wrap it.
constexpr int64_t BmpRowStride(int64_t width, int bitsPerPixel) {
  return (width * bitsPerPixel + 31) / 32 * 4;
}

// The 16-colour table, exactly as the 4-bit BMP writes it.
const std::array<RgbQuad, 16>& SixteenColourTable();

// The 256-colour palette of the 8-bit BMP: on Windows the system's halftone
// palette, elsewhere a fixed palette holding black and white.
std::array<RgbQuad, 256> HalftonePalette();

// Nearest table entry by the smallest sum of squared channel differences,
// lowest index on ties - the plain search, kept as the reference.
uint8_t NearestColourBruteForce(const RgbQuad* table, size_t count, uint32_t rgb);

// The same answer without searching the whole table per pixel: the colour
// cube is cut into cells, and each cell keeps only the entries that can be
// nearest somewhere inside it (built on first use). A one-entry cache serves
// runs of equal pixels.
class NearestColourIndex {
 public:
  NearestColourIndex(const RgbQuad* table, size_t count);
  uint8_t Find(uint32_t rgb) {
    if (rgb == cachedColour_) return cachedIndex_;
    cachedColour_ = rgb;
    cachedIndex_ = Search(rgb);
    return cachedIndex_;
  }

 private:
  static constexpr int kCellBits = 3;  // 32 cells per channel
  static constexpr int kCellsPerChannel = 256 >> kCellBits;
  uint8_t Search(uint32_t rgb);
  void BuildCell(size_t cell, int r0, int g0, int b0);

  std::vector<RgbQuad> table_;
  std::vector<uint32_t> cellStart_;  // into candidates_, per cell; ~0u unbuilt
  std::vector<uint16_t> cellCount_;
  std::vector<uint8_t> candidates_;
  uint32_t cachedColour_ = 0xFFFFFFFFu;  // no pixel has a non-zero top byte
  uint8_t cachedIndex_ = 0;
};

// Converts working rows into the rows of a BMP of one depth, one row at a
// time, so a whole image and a band of it give the same bytes: 1 bit (a
// pixel equal to white becomes white, every other pixel black), 4 bits
// (nearest of the 16-colour table), 8 bits (nearest of the palette) or 24
// bits (exact). No dithering; the top byte of each pixel is ignored.
class BmpRowConverter {
 public:
  // 1, 4, 8 (the halftone palette) or 24 bits; any other depth is 24.
  BmpRowConverter(int32_t width, int bitsPerPixel);
  // 8 bits onto a caller-chosen palette.
  BmpRowConverter(int32_t width, const std::array<RgbQuad, 256>& palette);

  int BitsPerPixel() const { return bitsPerPixel_; }
  const std::vector<RgbQuad>& ColourTable() const { return colourTable_; }  // none for 24 bits
  // One row of `width` pixels into BmpRowStride(width, bits) bytes, the
  // padding zero.
  void Convert(const uint32_t* source, uint8_t* destination);

 private:
  int32_t width_;
  int bitsPerPixel_;
  std::vector<RgbQuad> colourTable_;
  std::optional<NearestColourIndex> nearest_;  // 4 and 8 bits
};

// The working image as 1 bit (a pixel equal to white becomes white, every
// other pixel black), 4 bits (nearest of the 16-colour table), 8 bits
// (nearest of the halftone palette) or 24 bits (exact). No dithering.
// Raises AppError when the rows cannot be allocated.
ConvertedImage ConvertWorkingImage(const WorkingImage& image, int bitsPerPixel);

// The same with a caller-chosen 256-entry table for 8 bits (tests and the
// benchmark use it to compare against other tools on the same colours).
ConvertedImage ConvertWorkingImageTo8(const WorkingImage& image,
                                      const std::array<RgbQuad, 256>& palette);

}  // namespace zumorika
