#include "imaging/saving/ColourConvert.h"

#include <algorithm>
#include <new>

#include "imaging/saving/BmpWriter.h"
#include "imaging/ImagingTexts.h"
#include "util/AppError.h"

namespace zumorika {

namespace {

inline int RedOf(uint32_t rgb) { return (rgb >> 16) & 0xFF; }
inline int GreenOf(uint32_t rgb) { return (rgb >> 8) & 0xFF; }
inline int BlueOf(uint32_t rgb) { return rgb & 0xFF; }

inline int SquaredDistance(const RgbQuad& entry, int r, int g, int b) {
  const int dr = entry.red - r;
  const int dg = entry.green - g;
  const int db = entry.blue - b;
  return dr * dr + dg * dg + db * db;
}

// Smallest and largest squared distance from `v` to any value in [lo, hi].
inline int MinSquared(int v, int lo, int hi) {
  const int d = v < lo ? lo - v : (v > hi ? v - hi : 0);
  return d * d;
}
inline int MaxSquared(int v, int lo, int hi) {
  const int d = std::max(v > lo ? v - lo : lo - v, v > hi ? v - hi : hi - v);
  return d * d;
}

// Allocates the image's rows and table; the size has been checked against
// the BMP format before any pixel is touched.
ConvertedImage MakeConverted(const WorkingImage& image, int bitsPerPixel) {
  const BmpLayout layout = ComputeBmpLayout(image.Width(), image.Height(), bitsPerPixel);
  ConvertedImage out;
  out.width = image.Width();
  out.height = image.Height();
  out.bitsPerPixel = bitsPerPixel;
  try {
    out.rows.assign(static_cast<size_t>(layout.imageSize), 0);
  } catch (const std::bad_alloc&) {
    throw AppError(kTextImageTooLarge);
  }
  return out;
}

inline uint8_t* DestinationRow(ConvertedImage& out, int32_t yFromTop) {
  const size_t stride = static_cast<size_t>(BmpRowStride(out.width, out.bitsPerPixel));
  return out.rows.data() + static_cast<size_t>(out.height - 1 - yFromTop) * stride;
}

// Each returns the byte after the last one it wrote.
uint8_t* ConvertRowTo1(const uint32_t* src, int32_t width, uint8_t* dst) {
  int32_t x = 0;
  for (; x + 8 <= width; x += 8) {
    uint8_t bits = 0;
    for (int i = 0; i < 8; ++i) {
      bits = static_cast<uint8_t>((bits << 1) | ((src[x + i] & 0xFFFFFF) == kWhitePixel));
    }
    *dst++ = bits;
  }
  if (x < width) {
    uint8_t bits = 0;
    int i = 0;
    for (; x < width; ++x, ++i) {
      bits = static_cast<uint8_t>((bits << 1) | ((src[x] & 0xFFFFFF) == kWhitePixel));
    }
    *dst++ = static_cast<uint8_t>(bits << (8 - i));
  }
  return dst;
}

uint8_t* ConvertRowTo4(const uint32_t* src, int32_t width, NearestColourIndex& nearest,
                       uint8_t* dst) {
  int32_t x = 0;
  for (; x + 2 <= width; x += 2) {
    *dst++ = static_cast<uint8_t>((nearest.Find(src[x] & 0xFFFFFF) << 4) |
                                  nearest.Find(src[x + 1] & 0xFFFFFF));
  }
  if (x < width) *dst++ = static_cast<uint8_t>(nearest.Find(src[x] & 0xFFFFFF) << 4);
  return dst;
}

uint8_t* ConvertRowTo8(const uint32_t* src, int32_t width, NearestColourIndex& nearest,
                       uint8_t* dst) {
  for (int32_t x = 0; x < width; ++x) dst[x] = nearest.Find(src[x] & 0xFFFFFF);
  return dst + width;
}

uint8_t* ConvertRowTo24(const uint32_t* src, int32_t width, uint8_t* dst) {
  for (int32_t x = 0; x < width; ++x) {
    const uint32_t p = src[x];
    dst[0] = static_cast<uint8_t>(p);
    dst[1] = static_cast<uint8_t>(p >> 8);
    dst[2] = static_cast<uint8_t>(p >> 16);
    dst += 3;
  }
  return dst;
}

}  // namespace

const uint8_t* ConvertedImage::Row(int32_t yFromBottom) const {
  return rows.data() +
         static_cast<size_t>(yFromBottom) * static_cast<size_t>(BmpRowStride(width, bitsPerPixel));
}

const std::array<RgbQuad, 16>& SixteenColourTable() {
  static const std::array<RgbQuad, 16> table = {
      MakeRgbQuad(0, 0, 0),       MakeRgbQuad(128, 0, 0),     MakeRgbQuad(0, 128, 0),
      MakeRgbQuad(128, 128, 0),   MakeRgbQuad(0, 0, 128),     MakeRgbQuad(128, 0, 128),
      MakeRgbQuad(0, 128, 128),   MakeRgbQuad(128, 128, 128), MakeRgbQuad(192, 192, 192),
      MakeRgbQuad(255, 0, 0),     MakeRgbQuad(0, 255, 0),     MakeRgbQuad(255, 255, 0),
      MakeRgbQuad(0, 0, 255),     MakeRgbQuad(255, 0, 255),   MakeRgbQuad(0, 255, 255),
      MakeRgbQuad(255, 255, 255)};
  return table;
}

uint8_t NearestColourBruteForce(const RgbQuad* table, size_t count, uint32_t rgb) {
  const int r = RedOf(rgb), g = GreenOf(rgb), b = BlueOf(rgb);
  size_t best = 0;
  int bestDistance = SquaredDistance(table[0], r, g, b);
  for (size_t i = 1; i < count; ++i) {
    const int d = SquaredDistance(table[i], r, g, b);
    if (d < bestDistance) {
      bestDistance = d;
      best = i;
    }
  }
  return static_cast<uint8_t>(best);
}

NearestColourIndex::NearestColourIndex(const RgbQuad* table, size_t count)
    : table_(table, table + std::min<size_t>(count, 256)),
      cellStart_(kCellsPerChannel * kCellsPerChannel * kCellsPerChannel, ~0u),
      cellCount_(cellStart_.size(), 0) {
  if (table_.empty()) table_.push_back(MakeRgbQuad(0, 0, 0));
}

// The entry nearest to any colour in the cell has a distance no greater than
// the smallest worst-case distance of all entries, so every entry whose
// best case is above that bound can be dropped. Entries equal to the bound
// stay, which keeps ties and with them the lowest-index rule intact.
void NearestColourIndex::BuildCell(size_t cell, int r0, int g0, int b0) {
  constexpr int kSpan = (1 << kCellBits) - 1;
  const int r1 = r0 + kSpan, g1 = g0 + kSpan, b1 = b0 + kSpan;
  int bound = INT32_MAX;
  for (const RgbQuad& e : table_) {
    bound = std::min(bound, MaxSquared(e.red, r0, r1) + MaxSquared(e.green, g0, g1) +
                                MaxSquared(e.blue, b0, b1));
  }
  cellStart_[cell] = static_cast<uint32_t>(candidates_.size());
  for (size_t i = 0; i < table_.size(); ++i) {
    const RgbQuad& e = table_[i];
    if (MinSquared(e.red, r0, r1) + MinSquared(e.green, g0, g1) + MinSquared(e.blue, b0, b1) <=
        bound) {
      candidates_.push_back(static_cast<uint8_t>(i));
    }
  }
  cellCount_[cell] = static_cast<uint16_t>(candidates_.size() - cellStart_[cell]);
}

uint8_t NearestColourIndex::Search(uint32_t rgb) {
  const int r = RedOf(rgb), g = GreenOf(rgb), b = BlueOf(rgb);
  const size_t cell = (static_cast<size_t>(r >> kCellBits) * kCellsPerChannel +
                       static_cast<size_t>(g >> kCellBits)) *
                          kCellsPerChannel +
                      static_cast<size_t>(b >> kCellBits);
  if (cellStart_[cell] == ~0u) {
    const int mask = ~((1 << kCellBits) - 1);
    BuildCell(cell, r & mask, g & mask, b & mask);
  }
  const uint8_t* candidate = candidates_.data() + cellStart_[cell];
  const uint8_t* end = candidate + cellCount_[cell];
  uint8_t best = *candidate;
  int bestDistance = SquaredDistance(table_[best], r, g, b);
  for (++candidate; candidate != end; ++candidate) {
    const int d = SquaredDistance(table_[*candidate], r, g, b);
    if (d < bestDistance) {
      bestDistance = d;
      best = *candidate;
    }
  }
  return best;
}

BmpRowConverter::BmpRowConverter(int32_t width, int bitsPerPixel)
    : width_(width), bitsPerPixel_(bitsPerPixel) {
  switch (bitsPerPixel) {
    case 1:
      colourTable_ = {MakeRgbQuad(0, 0, 0), MakeRgbQuad(255, 255, 255)};
      break;
    case 4: {
      const auto& table = SixteenColourTable();
      colourTable_.assign(table.begin(), table.end());
      nearest_.emplace(colourTable_.data(), colourTable_.size());
      break;
    }
    case 8: {
      const auto palette = HalftonePalette();
      colourTable_.assign(palette.begin(), palette.end());
      nearest_.emplace(colourTable_.data(), colourTable_.size());
      break;
    }
    default:
      bitsPerPixel_ = 24;
      break;
  }
}

BmpRowConverter::BmpRowConverter(int32_t width, const std::array<RgbQuad, 256>& palette)
    : width_(width), bitsPerPixel_(8), colourTable_(palette.begin(), palette.end()) {
  nearest_.emplace(colourTable_.data(), colourTable_.size());
}

void BmpRowConverter::Convert(const uint32_t* source, uint8_t* destination) {
  uint8_t* end = destination;
  switch (bitsPerPixel_) {
    case 1: end = ConvertRowTo1(source, width_, destination); break;
    case 4: end = ConvertRowTo4(source, width_, *nearest_, destination); break;
    case 8: end = ConvertRowTo8(source, width_, *nearest_, destination); break;
    default: end = ConvertRowTo24(source, width_, destination); break;
  }
  uint8_t* const rowEnd = destination + BmpRowStride(width_, bitsPerPixel_);
  std::fill(end, rowEnd, uint8_t{0});
}

namespace {

ConvertedImage ConvertWith(const WorkingImage& image, BmpRowConverter& converter) {
  ConvertedImage out = MakeConverted(image, converter.BitsPerPixel());
  out.colourTable = converter.ColourTable();
  for (int32_t y = 0; y < image.Height(); ++y) {
    converter.Convert(image.Row(y), DestinationRow(out, y));
  }
  return out;
}

}  // namespace

ConvertedImage ConvertWorkingImage(const WorkingImage& image, int bitsPerPixel) {
  BmpRowConverter converter(image.Width(), bitsPerPixel);
  return ConvertWith(image, converter);
}

ConvertedImage ConvertWorkingImageTo8(const WorkingImage& image,
                                      const std::array<RgbQuad, 256>& palette) {
  BmpRowConverter converter(image.Width(), palette);
  return ConvertWith(image, converter);
}

}  // namespace zumorika
