// What GDI reads of a packed DIB (CF_DIB, CF_DIBV5), worked out from
// Microsoft's documentation of BITMAPCOREHEADER, BITMAPINFOHEADER,
// BITMAPINFO and BITMAPV5HEADER alone, apart from the tool's layout code,
// so that each checks the other:
//  - a core header: 12 bytes, WORD width and height, then 2^bits RGBTRIPLEs
//    for 8 bits or fewer;
//  - a plain header (40 bytes) with BI_BITFIELDS: three DWORD masks follow
//    it (four with BI_ALPHABITFIELDS); the V2 to V5 headers hold them;
//  - the colour table: biClrUsed RGBQUADs, or 2^bits when it is 0 and the
//    depth is 8 bits or fewer; an 8-bit table has at most 256 entries, and
//    no depth has a longer one;
//  - the bits right after the table: every row of ((width * bits + 31) /
//    32) * 4 bytes uncompressed, biSizeImage bytes of runs compressed.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

namespace zumorika::fuzz {

struct GdiDibSpans {
  bool known = false;       // a header whose layout the documentation gives
  size_t tableAt = 0;
  size_t tableEntries = 0;  // of RGBTRIPLE after a core header, else RGBQUAD
  size_t entrySize = 4;
  size_t bitsAt = 0;
  uint64_t rowBytes = 0;    // uncompressed
  uint64_t bitsBytes = 0;   // uncompressed: every row; runs: biSizeImage
  bool runLength = false;
};

inline uint32_t ReadLe(const uint8_t* p, size_t bytes) {
  uint32_t v = 0;
  for (size_t i = bytes; i-- > 0;) v = v << 8 | p[i];
  return v;
}

// False when not even the header lies inside the data.
inline bool GdiSpansOf(const uint8_t* dib, size_t size, GdiDibSpans& spans) {
  if (size < 4) return false;
  const uint32_t headerSize = ReadLe(dib, 4);
  if (headerSize > size || (headerSize != 12 && headerSize < 40)) return false;
  const bool core = headerSize == 12;
  const uint64_t width = core ? ReadLe(dib + 4, 2) : static_cast<uint32_t>(ReadLe(dib + 4, 4));
  const int64_t height = core ? int64_t{ReadLe(dib + 6, 2)}
                              : int64_t{static_cast<int32_t>(ReadLe(dib + 8, 4))};
  const uint32_t bits = ReadLe(dib + (core ? 10 : 14), 2);
  const uint32_t compression = core ? 0 : ReadLe(dib + 16, 4);
  const uint32_t colourUsed = core ? 0 : ReadLe(dib + 32, 4);

  // BI_ALPHABITFIELDS has its fourth mask at 52: no 52-byte header holds it.
  spans.known = core || headerSize == 40 || (headerSize == 52 && compression != 6) ||
                headerSize == 56 || headerSize == 108 || headerSize == 124;
  size_t masks = 0;
  if (headerSize == 40 && compression == 3) masks = 3;
  if (headerSize == 40 && compression == 6) masks = 4;
  spans.tableAt = headerSize + 4 * masks;
  spans.entrySize = core ? 3 : 4;
  const size_t full = bits <= 8 ? size_t{1} << bits : 0;
  spans.tableEntries = core || colourUsed == 0 ? full : colourUsed > 256 ? 256 : colourUsed;
  spans.bitsAt = spans.tableAt + spans.tableEntries * spans.entrySize;
  spans.rowBytes = (width * bits + 31) / 32 * 4;
  spans.runLength = compression == 1 || compression == 2;
  spans.bitsBytes = spans.runLength ? (core ? 0 : ReadLe(dib + 20, 4))
                                    : spans.rowBytes * static_cast<uint64_t>(height < 0 ? -height
                                                                                        : height);
  return true;
}

// Bytes [at, at + length) lie inside data of `size` bytes.
inline bool Inside(size_t at, uint64_t length, size_t size) {
  return at <= size && length <= size - at;
}

}  // namespace zumorika::fuzz
