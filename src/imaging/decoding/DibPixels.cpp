// The pixels of device-independent bitmaps as bytes: the clipboard's packed
// CF_DIB and CF_DIBV5, and BMP files, which are a file header before the
// same layout (read and checked against the data's size in DibLayout).
#include <algorithm>
#include <cstring>

#include "imaging/decoding/DibLayout.h"
#include "imaging/decoding/PictureDecoding.h"

namespace zumorika {

namespace {

using Masks = DibMasks;

bool Fail(std::string& reason, const char* text) {
  reason = text;
  return false;
}

// The colour of a table entry as 0x00RRGGBB; an index past the table is black.
uint32_t TableColour(const DibLayout& layout, uint32_t index) {
  if (index >= layout.colourEntries) return 0;
  const uint8_t* entry = layout.colourTable + size_t{index} * layout.colourEntrySize;
  return static_cast<uint32_t>(entry[0]) | static_cast<uint32_t>(entry[1]) << 8 |
         static_cast<uint32_t>(entry[2]) << 16;
}

// A masked field of a pixel scaled to 0..255 to the nearest: one bit gives
// 0 or 255, two bits 0, 85, 170 or 255, four bits multiples of 17, eight
// bits the value itself. The mask is one run of bits; an empty one reads 0.
class ScaledField {
 public:
  explicit ScaledField(uint32_t mask) {
    if (mask == 0) return;
    while (((mask >> shift_) & 1) == 0) ++shift_;
    max_ = mask >> shift_;
  }
  uint32_t operator()(uint32_t pixel) const {
    if (max_ == 0) return 0;
    const uint32_t value = (pixel >> shift_) & max_;
    return static_cast<uint32_t>((uint64_t{value} * 255 + max_ / 2) / max_);
  }

 private:
  int shift_ = 0;
  uint32_t max_ = 0;
};

uint32_t Channel(uint32_t pixel, uint32_t mask) { return ScaledField(mask)(pixel); }

Masks DefaultMasks(uint32_t bits) {
  Masks masks;
  if (bits == 16) {
    masks.red = 0x7C00;
    masks.green = 0x03E0;
    masks.blue = 0x001F;
  } else {
    masks.red = 0x00FF0000;
    masks.green = 0x0000FF00;
    masks.blue = 0x000000FF;
  }
  return masks;
}

// The masks that say where the colour is: BI_RGB means the standard layout
// whatever the header's mask fields hold.
Masks ColourMasks(const DibLayout& layout) {
  if (layout.compression == kDibRgb) return DefaultMasks(layout.bits);
  return layout.masks;
}

// One stored row (0 = first in the data) into 0x00RRGGBB pixels.
void ReadRow(const DibLayout& layout, const Masks& masks, const uint8_t* src, uint32_t* dst) {
  const int32_t width = layout.width;
  switch (layout.bits) {
    case 1:
    case 4:
    case 8: {
      const uint32_t bits = layout.bits;
      const uint32_t perByte = 8 / bits;
      const uint32_t low = (1u << bits) - 1;
      for (int32_t x = 0; x < width; ++x) {
        const uint32_t byte = src[x / perByte];
        const uint32_t shift = 8 - bits * (x % perByte + 1);
        dst[x] = TableColour(layout, (byte >> shift) & low);
      }
      break;
    }
    case 16:
      for (int32_t x = 0; x < width; ++x) {
        const uint32_t v = DibGet16(src + 2 * x);
        dst[x] = Channel(v, masks.blue) | Channel(v, masks.green) << 8 |
                 Channel(v, masks.red) << 16;
      }
      break;
    case 24:
      for (int32_t x = 0; x < width; ++x, src += 3) {
        dst[x] = static_cast<uint32_t>(src[0]) | static_cast<uint32_t>(src[1]) << 8 |
                 static_cast<uint32_t>(src[2]) << 16;
      }
      break;
    default: {
      const bool standard = masks.red == 0x00FF0000 && masks.green == 0x0000FF00 &&
                            masks.blue == 0x000000FF;
      for (int32_t x = 0; x < width; ++x) {
        const uint32_t v = DibGet32(src + 4 * x);
        dst[x] = standard ? v & 0x00FFFFFF
                          : Channel(v, masks.blue) | Channel(v, masks.green) << 8 |
                                Channel(v, masks.red) << 16;
      }
      break;
    }
  }
}

int32_t ImageRow(const DibLayout& layout, int32_t stored) {
  return layout.topDown ? stored : layout.height - 1 - stored;
}

void ReadUncompressed(const DibLayout& layout, WorkingImage& image) {
  const Masks masks = ColourMasks(layout);
  for (int32_t stored = 0; stored < layout.height; ++stored) {
    ReadRow(layout, masks, layout.pixels + stored * layout.stride,
            image.Row(ImageRow(layout, stored)));
  }
}

// Run-length data, 8 or 4 bits: runs, then escapes for end of line, end of
// picture, a jump, and literal pixels. Pixels it never sets stay white; a
// run past the edge is cut, and data that ends early ends the picture.
void ReadRunLength(const DibLayout& layout, WorkingImage& image) {
  const bool four = layout.compression == kDibRle4;
  const uint8_t* p = layout.pixels;
  const uint8_t* end = p + layout.pixelBytes;
  int32_t x = 0;
  int32_t row = 0;  // from the bottom
  auto put = [&](uint32_t index) {
    if (x < layout.width && row < layout.height) {
      image.Row(ImageRow(layout, row))[x] = TableColour(layout, index);
    }
    ++x;
  };
  while (end - p >= 2 && row < layout.height) {
    const uint32_t count = p[0];
    const uint32_t value = p[1];
    p += 2;
    if (count > 0) {
      for (uint32_t i = 0; i < count; ++i) put(four ? (i % 2 == 0 ? value >> 4 : value & 15) : value);
    } else if (value == 0) {
      x = 0;
      ++row;
    } else if (value == 1) {
      break;
    } else if (value == 2) {
      if (end - p < 2) break;
      x += p[0];
      row += p[1];
      p += 2;
    } else {
      const size_t bytes = four ? (value + 1) / 2 : value;
      const size_t padded = (bytes + 1) & ~size_t{1};
      if (static_cast<size_t>(end - p) < bytes) break;
      for (uint32_t i = 0; i < value; ++i) {
        put(four ? (i % 2 == 0 ? p[i / 2] >> 4 : p[i / 2] & 15) : p[i]);
      }
      p += std::min(padded, static_cast<size_t>(end - p));
    }
  }
}

constexpr uint32_t kFourthBytes = 0xFF000000;

bool IsStandard(const Masks& colour) {
  return colour.red == 0x00FF0000 && colour.green == 0x0000FF00 && colour.blue == 0x000000FF;
}

// Where a DIB keeps alpha; 0 for nowhere. A 32-bit DIB without a declared
// alpha mask keeps it in its fourth bytes, with bit fields only when the
// colour is in the usual place. A declared mask counts for bit fields of 16
// or 32 bits when it is one run of bits inside the pixel that no colour
// shares; BI_RGB takes only 0xFF000000 (its colour is always in the low
// three bytes), and an alpha mask of 0 declares a picture without alpha.
uint32_t AlphaMask(const DibLayout& layout) {
  const uint32_t bits = layout.bits;
  if (bits != 16 && bits != 32) return 0;
  const uint32_t alpha = layout.masks.alpha;
  if (layout.compression == kDibRgb) {
    return bits == 32 && (!layout.alphaMaskDeclared || alpha == kFourthBytes) ? kFourthBytes : 0;
  }
  if (!layout.alphaMaskDeclared) return bits == 32 && IsStandard(layout.masks) ? kFourthBytes : 0;
  const uint32_t colour = layout.masks.red | layout.masks.green | layout.masks.blue;
  const uint32_t pixel = bits == 16 ? 0xFFFF : 0xFFFFFFFF;
  if (alpha == 0 || !IsContiguousMask(alpha) || (alpha & colour) != 0 || (alpha & ~pixel) != 0) {
    return 0;
  }
  return alpha;
}

// Readers of one stored pixel as 0xAARRGGBB. The browsers' layout, alpha
// in the fourth bytes over blue, green, red, is read as it is stored.
struct FourthByteArgb {
  uint32_t operator()(const uint8_t* p) const { return DibGet32(p); }
};

// Any other layout: each field by its mask, scaled to 0..255.
class MaskedArgb {
 public:
  MaskedArgb(const Masks& colour, uint32_t alphaMask, uint32_t bits)
      : red_(colour.red), green_(colour.green), blue_(colour.blue), alpha_(alphaMask),
        wide_(bits == 32) {}
  uint32_t operator()(const uint8_t* p) const {
    const uint32_t v = wide_ ? DibGet32(p) : DibGet16(p);
    return alpha_(v) << 24 | red_(v) << 16 | green_(v) << 8 | blue_(v);
  }

 private:
  ScaledField red_, green_, blue_, alpha_;
  bool wide_;
};

enum class AlphaUse { Opaque, Premultiplied, Straight };

// Alpha all 0 is an opaque picture (paint programs write the fourth bytes
// so), all full is opaque too; otherwise premultiplied when no colour
// exceeds its alpha anywhere.
template <typename ReadArgb>
AlphaUse ClassifyAlpha(const DibLayout& layout, const ReadArgb& read) {
  const size_t step = layout.bits / 8;
  bool anyNonZero = false, anyTranslucent = false, premultiplied = true;
  for (int32_t stored = 0; stored < layout.height; ++stored) {
    const uint8_t* p = layout.pixels + stored * layout.stride;
    for (int32_t x = 0; x < layout.width; ++x, p += step) {
      const uint32_t argb = read(p);
      const uint32_t a = argb >> 24;
      anyNonZero |= a != 0;
      anyTranslucent |= a != 255;
      premultiplied &= (argb & 0xFF) <= a && (argb >> 8 & 0xFF) <= a && (argb >> 16 & 0xFF) <= a;
    }
  }
  if (!anyNonZero || !anyTranslucent) return AlphaUse::Opaque;
  return premultiplied ? AlphaUse::Premultiplied : AlphaUse::Straight;
}

template <typename ReadArgb>
void ReadComposed(const DibLayout& layout, const ReadArgb& read, bool premultiplied,
                  WorkingImage& image) {
  const size_t step = layout.bits / 8;
  for (int32_t stored = 0; stored < layout.height; ++stored) {
    const uint8_t* src = layout.pixels + stored * layout.stride;
    uint32_t* dst = image.Row(ImageRow(layout, stored));
    for (int32_t x = 0; x < layout.width; ++x) {
      dst[x] = ComposedOnWhite(read(src + step * x), premultiplied);
    }
  }
}

// A DIB's layout, colour masks and what its alpha means, read and checked
// once for every way a DIB is taken.
struct DibReading {
  DibLayout layout;
  Masks masks;
  uint32_t alphaMask = 0;
  // The usual 32-bit layout with alpha in the fourth bytes: read directly.
  bool fourthBytes = false;
  AlphaUse alpha = AlphaUse::Opaque;
};

bool ReadDibReading(const uint8_t* dib, size_t size, size_t pixelOffset, DibReading& reading,
                    std::string& reason) {
  DibLayout& layout = reading.layout;
  if (!ReadDibLayout(dib, size, pixelOffset, layout, reason)) return false;
  const Masks masks = reading.masks = ColourMasks(layout);
  if (!IsContiguousMask(masks.red) || !IsContiguousMask(masks.green) ||
      !IsContiguousMask(masks.blue)) {
    return Fail(reason, "DIB colour masks are not contiguous");
  }
  reading.alphaMask = AlphaMask(layout);
  reading.fourthBytes = reading.alphaMask == kFourthBytes && IsStandard(masks);
  reading.alpha = reading.alphaMask == 0 ? AlphaUse::Opaque
                  : reading.fourthBytes  ? ClassifyAlpha(layout, FourthByteArgb{})
                                         : ClassifyAlpha(layout, MaskedArgb(masks, reading.alphaMask,
                                                                            layout.bits));
  return true;
}

// The whole DIB into `out`; a 32-bit one with meaningful alpha composed
// on white. `composedOnly`: give up (false, no reason) unless it is such a one.
bool ReadDib(const uint8_t* dib, size_t size, size_t pixelOffset, bool composedOnly,
             WorkingImage& out, std::string& reason) {
  DibReading reading;
  if (!ReadDibReading(dib, size, pixelOffset, reading, reason)) return false;
  const DibLayout& layout = reading.layout;
  const bool fourthBytes = reading.fourthBytes;
  const AlphaUse alpha = reading.alpha;
  const MaskedArgb masked(reading.masks, reading.alphaMask, layout.bits);
  if (composedOnly && alpha == AlphaUse::Opaque) return Fail(reason, "DIB is opaque");

  CheckWorkingImageSize(layout.width, layout.height);
  const bool runLength = layout.compression == kDibRle8 || layout.compression == kDibRle4;
  WorkingImage image = runLength ? WorkingImage(layout.width, layout.height)
                                 : WorkingImage::ToBeFilled(layout.width, layout.height);
  if (runLength) {
    ReadRunLength(layout, image);
  } else if (alpha != AlphaUse::Opaque) {
    const bool premultiplied = alpha == AlphaUse::Premultiplied;
    if (fourthBytes) {
      ReadComposed(layout, FourthByteArgb{}, premultiplied, image);
    } else {
      ReadComposed(layout, masked, premultiplied, image);
    }
  } else {
    ReadUncompressed(layout, image);
  }
  out = std::move(image);
  return true;
}

}  // namespace

uint32_t ComposedOnWhite(uint32_t argb, bool premultiplied) {
  const uint32_t a = argb >> 24;
  const uint32_t background = 255 - a;
  uint32_t result = 0;
  for (int shift = 0; shift < 24; shift += 8) {
    const uint32_t c = (argb >> shift) & 0xFF;
    // 255 is odd, so C * A / 255 never falls on a half.
    const uint32_t over = premultiplied ? c : (c * a + 127) / 255;
    result |= std::min<uint32_t>(over + background, 255) << shift;
  }
  return result;
}

bool ComposeTransparentDib(const uint8_t* dib, size_t size, WorkingImage& out) {
  std::string reason;
  return ReadDib(dib, size, 0, true, out, reason);
}

bool ReadPackedDib(const uint8_t* dib, size_t size, PackedDib& out, std::string& reason) {
  DibReading reading;
  if (!ReadDibReading(dib, size, 0, reading, reason)) return false;
  const DibLayout& layout = reading.layout;
  const Masks& masks = reading.masks;
  PackedDib dibView;
  dibView.width = layout.width;
  dibView.height = layout.height;
  dibView.topDown = layout.topDown;
  dibView.bits = layout.bits;
  dibView.compression = layout.compression;
  dibView.redMask = masks.red;
  dibView.greenMask = masks.green;
  dibView.blueMask = masks.blue;
  dibView.colourTable = layout.colourEntries != 0 ? layout.colourTable : nullptr;
  dibView.colourEntries = layout.colourEntries;
  dibView.colourEntrySize = layout.colourEntrySize;
  dibView.pixels = layout.pixels;
  dibView.pixelBytes = layout.pixelBytes;
  dibView.stride = layout.stride;
  dibView.alphaMask = reading.alphaMask;
  dibView.alpha = reading.alpha == AlphaUse::Opaque          ? DibAlpha::Opaque
                  : reading.alpha == AlphaUse::Premultiplied ? DibAlpha::Premultiplied
                                                             : DibAlpha::Straight;
  out = dibView;
  return true;
}

bool DibPartsLiePastData(const uint8_t* dib, size_t size) {
  DibLayout layout;
  std::string reason;
  return !ReadDibLayout(dib, size, 0, layout, reason) && layout.partsPastData;
}

void ComposeDibRows(const PackedDib& dib, uint32_t* rows, size_t rowPitch) {
  Masks masks;
  masks.red = dib.redMask;
  masks.green = dib.greenMask;
  masks.blue = dib.blueMask;
  const bool premultiplied = dib.alpha == DibAlpha::Premultiplied;
  const bool fourthBytes = dib.alphaMask == kFourthBytes && IsStandard(masks);
  const MaskedArgb masked(masks, dib.alphaMask, dib.bits);
  const size_t step = dib.bits / 8;
  for (int32_t stored = 0; stored < dib.height; ++stored) {
    const uint8_t* src = dib.pixels + stored * dib.stride;
    const int32_t y = dib.topDown ? stored : dib.height - 1 - stored;
    uint32_t* dst = rows + static_cast<size_t>(y) * rowPitch;
    for (int32_t x = 0; x < dib.width; ++x, src += step) {
      dst[x] = ComposedOnWhite(fourthBytes ? DibGet32(src) : masked(src), premultiplied);
    }
  }
}

bool DecodePackedDib(const uint8_t* dib, size_t size, WorkingImage& out, std::string& reason) {
  return ReadDib(dib, size, 0, false, out, reason);
}

bool DecodeBmpFile(const uint8_t* data, size_t size, WorkingImage& out, std::string& reason) {
  constexpr size_t kFileHeaderSize = 14;
  if (size < kFileHeaderSize || data[0] != 'B' || data[1] != 'M') {
    return Fail(reason, "not a BMP file");
  }
  // The offset counts from the file's start; 0 or one inside the headers
  // (some writers leave it unset) means right after the colour table.
  const uint32_t offset = DibGet32(data + 10);
  const size_t pixelOffset = offset > kFileHeaderSize ? offset - kFileHeaderSize : 0;
  const uint8_t* dib = data + kFileHeaderSize;
  const size_t dibSize = size - kFileHeaderSize;
  DibLayout probe;
  const bool offsetHolds = pixelOffset != 0 && ReadDibLayout(dib, dibSize, pixelOffset, probe, reason);
  return ReadDib(dib, dibSize, offsetHolds ? pixelOffset : 0, false, out, reason);
}

}  // namespace zumorika
