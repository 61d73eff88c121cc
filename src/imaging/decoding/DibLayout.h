// Where the parts of a device-independent bitmap lie, as GDI finds them:
// the header kinds (BITMAPCOREHEADER, BITMAPINFOHEADER and its longer
// versions up to BITMAPV5HEADER), the colour masks, the colour table, where
// the bits start and how many bytes of them GDI reads. Every offset is
// checked against the size of the data before anything is read there.
// docs/windows-notes.md ("Where GDI finds a DIB's parts") gives each rule
// with its Microsoft page.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace zumorika {

// biCompression as stored.
constexpr uint32_t kDibRgb = 0;
constexpr uint32_t kDibRle8 = 1;
constexpr uint32_t kDibRle4 = 2;
constexpr uint32_t kDibBitfields = 3;
constexpr uint32_t kDibAlphaBitfields = 6;

inline uint32_t DibGet16(const uint8_t* p) { return static_cast<uint32_t>(p[0]) | p[1] << 8; }
inline uint32_t DibGet32(const uint8_t* p) { return DibGet16(p) | DibGet16(p + 2) << 16; }

struct DibMasks {
  uint32_t red = 0, green = 0, blue = 0, alpha = 0;
};

struct DibLayout {
  int32_t width = 0;
  int32_t height = 0;  // rows, positive
  bool topDown = false;
  uint32_t bits = 0;
  uint32_t compression = kDibRgb;
  DibMasks masks;                  // as stored (BI_RGB: whatever the header holds)
  bool alphaMaskDeclared = false;  // the header has an alpha mask field
  const uint8_t* colourTable = nullptr;
  uint32_t colourEntries = 0;      // entries GDI takes as the table (at most 256)
  uint32_t colourEntrySize = 4;    // 3 after a BITMAPCOREHEADER
  const uint8_t* pixels = nullptr;
  // The bytes of the bits GDI reads: every row for an uncompressed DIB; for
  // run-length data biSizeImage when the block holds that many, else up to
  // the end of the block (or of the bits, where profile data follows them).
  size_t pixelBytes = 0;
  size_t stride = 0;  // bytes per stored row, uncompressed
  // Set when the layout is refused because a part it declares (header,
  // masks, colour table, bits) lies past the data.
  bool partsPastData = false;
};

// Reads the layout of the DIB at `dib`, `size` bytes long. `pixelOffset` is
// where a BMP file's header puts the bits (0: a packed DIB, whose bits
// follow the colour table). False with a reason for one GDI would not read
// or whose parts do not fit in the data.
bool ReadDibLayout(const uint8_t* dib, size_t size, size_t pixelOffset, DibLayout& layout,
                   std::string& reason);

// A mask is usable when its bits are one run; an empty mask reads 0.
bool IsContiguousMask(uint32_t mask);

}  // namespace zumorika
