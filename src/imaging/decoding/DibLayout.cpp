#include "imaging/decoding/DibLayout.h"

#include <algorithm>

namespace zumorika {

namespace {

constexpr uint32_t kCoreHeaderSize = 12;  // BITMAPCOREHEADER
constexpr uint32_t kInfoHeaderSize = 40;  // BITMAPINFOHEADER
// The masks stand right after the plain header's 40 bytes, whether a longer
// header holds them there (V2 to V5) or they follow a plain one; the alpha
// mask comes after them (in the V3 to V5 headers, or in BI_ALPHABITFIELDS).
constexpr uint32_t kMasksAt = 40;
constexpr uint32_t kHeaderWithColourMasks = 52;
constexpr uint32_t kHeaderWithAlphaMask = 56;
// BITMAPV5HEADER: bV5CSType, bV5ProfileData, bV5ProfileSize.
constexpr uint32_t kV5HeaderSize = 124;
constexpr uint32_t kColourSpaceAt = 56;
constexpr uint32_t kProfileDataAt = 112;
constexpr uint32_t kProfileLinked = 0x4C494E4B;    // 'LINK'
constexpr uint32_t kProfileEmbedded = 0x4D424544;  // 'MBED'
// No colour table is longer than an 8-bit one, whatever biClrUsed says.
constexpr uint32_t kMaxColourEntries = 256;

bool Fail(std::string& reason, const char* text) {
  reason = text;
  return false;
}

bool FailPastData(DibLayout& layout, std::string& reason, const char* text) {
  layout.partsPastData = true;
  return Fail(reason, text);
}

// The header's own fields that the layout does not keep.
struct HeaderFields {
  uint32_t size = 0;
  uint32_t sizeImage = 0;  // biSizeImage (none in a core header)
  uint32_t colourUsed = 0; // biClrUsed (none in a core header)
};

// A core header's width and height are WORDs: unsigned, and its rows are
// always bottom-up. The longer headers' are LONGs; a negative height is a
// top-down DIB.
bool ReadHeader(const uint8_t* dib, size_t size, DibLayout& layout, HeaderFields& fields,
                std::string& reason) {
  if (size < 4) return FailPastData(layout, reason, "DIB header is truncated");
  fields.size = DibGet32(dib);
  if (fields.size != kCoreHeaderSize && fields.size < kInfoHeaderSize) {
    return Fail(reason, "unknown DIB header size");
  }
  if (fields.size > size) return FailPastData(layout, reason, "DIB header is truncated");

  int64_t height = 0;
  uint32_t planes = 0;
  if (fields.size == kCoreHeaderSize) {
    layout.width = static_cast<int32_t>(DibGet16(dib + 4));
    height = DibGet16(dib + 6);
    planes = DibGet16(dib + 8);
    layout.bits = DibGet16(dib + 10);
    layout.colourEntrySize = 3;
  } else {
    layout.width = static_cast<int32_t>(DibGet32(dib + 4));
    height = static_cast<int32_t>(DibGet32(dib + 8));
    planes = DibGet16(dib + 12);
    layout.bits = DibGet16(dib + 14);
    layout.compression = DibGet32(dib + 16);
    fields.sizeImage = DibGet32(dib + 20);
    fields.colourUsed = DibGet32(dib + 32);
  }
  if (planes != 1) return Fail(reason, "DIB has more than one plane");
  if (layout.width <= 0 || height == 0 || height == INT32_MIN) {
    return Fail(reason, "DIB size out of range");
  }
  layout.topDown = height < 0;
  layout.height = static_cast<int32_t>(height < 0 ? -height : height);
  return true;
}

bool IsPaletted(uint32_t bits) { return bits == 1 || bits == 4 || bits == 8; }

bool CheckDepth(const DibLayout& layout, std::string& reason) {
  const uint32_t bits = layout.bits;
  const uint32_t c = layout.compression;
  const bool valid = (c == kDibRgb && (IsPaletted(bits) || bits == 16 || bits == 24 || bits == 32)) ||
                     (c == kDibRle8 && bits == 8) || (c == kDibRle4 && bits == 4) ||
                     ((c == kDibBitfields || c == kDibAlphaBitfields) && (bits == 16 || bits == 32));
  if (!valid) return Fail(reason, "unsupported DIB depth or compression");
  if ((c == kDibRle8 || c == kDibRle4) && layout.topDown) {
    return Fail(reason, "run-length DIB cannot be top-down");
  }
  return true;
}

// The masks of a bit-field DIB, and where the colour table begins after
// them: GDI takes the larger of the header's size and the end of the masks.
bool ReadMasks(const uint8_t* dib, size_t size, uint32_t headerSize, DibLayout& layout,
               size_t& tableAt, std::string& reason) {
  tableAt = headerSize;
  const uint32_t c = layout.compression;
  if (c == kDibBitfields || c == kDibAlphaBitfields) {
    const uint32_t masksEnd = c == kDibAlphaBitfields ? kHeaderWithAlphaMask : kHeaderWithColourMasks;
    if (size < masksEnd) return FailPastData(layout, reason, "DIB masks are truncated");
    layout.masks.red = DibGet32(dib + kMasksAt);
    layout.masks.green = DibGet32(dib + kMasksAt + 4);
    layout.masks.blue = DibGet32(dib + kMasksAt + 8);
    if (c == kDibAlphaBitfields) layout.masks.alpha = DibGet32(dib + kMasksAt + 12);
    tableAt = std::max<size_t>(headerSize, masksEnd);
  }
  if (headerSize >= kHeaderWithAlphaMask) layout.masks.alpha = DibGet32(dib + kMasksAt + 12);
  layout.alphaMaskDeclared = headerSize >= kHeaderWithAlphaMask || c == kDibAlphaBitfields;
  return true;
}

// The entries GDI takes as the colour table: all 2^bits after a core
// header; biClrUsed of them when it is set, at most 256 (so for any
// depth); else 2^bits for 8 bits or fewer and none above.
uint32_t ColourEntriesOf(const DibLayout& layout, const HeaderFields& fields) {
  const uint32_t full = IsPaletted(layout.bits) ? 1u << layout.bits : 0;
  if (fields.size == kCoreHeaderSize || fields.colourUsed == 0) return full;
  return std::min(fields.colourUsed, kMaxColourEntries);
}

// Where the bits may run to: the end of the data, or the start of the
// profile data a V5 header places after the bits, which is no part of them.
size_t BitsEnd(const uint8_t* dib, size_t size, uint32_t headerSize, size_t bitsAt) {
  if (headerSize < kV5HeaderSize) return size;
  const uint32_t colourSpace = DibGet32(dib + kColourSpaceAt);
  if (colourSpace != kProfileLinked && colourSpace != kProfileEmbedded) return size;
  const uint32_t profileAt = DibGet32(dib + kProfileDataAt);
  return profileAt > bitsAt && profileAt < size ? profileAt : size;
}

// Some writers repeat the masks after a header that already holds them.
// GDI would take them as the first pixels; they are passed over only when
// the twelve bytes are the header's own masks and the rows fill exactly the
// rest of the bits.
bool MasksRepeatedAfter(const uint8_t* dib, size_t at, size_t end, uint32_t headerSize,
                        const DibLayout& layout, uint64_t rowsBytes) {
  if (layout.compression != kDibBitfields || headerSize < kHeaderWithColourMasks) return false;
  if (rowsBytes == 0 || end - at < 12 || end - at - 12 != rowsBytes) return false;
  const uint8_t* repeated = dib + at;
  return DibGet32(repeated) == layout.masks.red && DibGet32(repeated + 4) == layout.masks.green &&
         DibGet32(repeated + 8) == layout.masks.blue;
}

}  // namespace

bool IsContiguousMask(uint32_t mask) {
  if (mask == 0) return true;
  while ((mask & 1) == 0) mask >>= 1;
  return (mask & (mask + 1)) == 0;
}

bool ReadDibLayout(const uint8_t* dib, size_t size, size_t pixelOffset, DibLayout& layout,
                   std::string& reason) {
  HeaderFields fields;
  if (!ReadHeader(dib, size, layout, fields, reason) || !CheckDepth(layout, reason)) return false;
  size_t at = 0;
  if (!ReadMasks(dib, size, fields.size, layout, at, reason)) return false;

  const uint32_t entries = ColourEntriesOf(layout, fields);
  const uint64_t tableBytes = uint64_t{entries} * layout.colourEntrySize;
  if (tableBytes > size - at) {
    return FailPastData(layout, reason, "DIB colour table is truncated");
  }
  layout.colourTable = dib + at;
  layout.colourEntries = IsPaletted(layout.bits) ? entries : 0;
  at += static_cast<size_t>(tableBytes);

  const uint64_t stride = (uint64_t{static_cast<uint32_t>(layout.width)} * layout.bits + 31) / 32 * 4;
  layout.stride = static_cast<size_t>(stride);
  const bool runLength = layout.compression == kDibRle8 || layout.compression == kDibRle4;
  const uint64_t rowsBytes = runLength ? 0 : stride * static_cast<uint32_t>(layout.height);
  if (pixelOffset != 0) {
    if (pixelOffset < at || pixelOffset > size) {
      return FailPastData(layout, reason, "BMP pixel offset out of range");
    }
    at = pixelOffset;
  }
  const size_t end = BitsEnd(dib, size, fields.size, at);
  if (pixelOffset == 0 && MasksRepeatedAfter(dib, at, end, fields.size, layout, rowsBytes)) {
    at += 12;
  }
  if (rowsBytes > size - at) return FailPastData(layout, reason, "DIB pixels are truncated");
  layout.pixels = dib + at;
  if (runLength) {
    const size_t available = end - at;
    layout.pixelBytes = fields.sizeImage != 0 && fields.sizeImage <= available ? fields.sizeImage
                                                                                : available;
  } else {
    layout.pixelBytes = static_cast<size_t>(rowsBytes);
  }
  return true;
}

}  // namespace zumorika
