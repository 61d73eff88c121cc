// Pictures that arrive as bytes rather than as GDI objects: a device-
// independent bitmap whose fourth bytes are alpha, a PNG, and picture files
// copied in the file manager. Each becomes a working image, transparent
// pixels composed on white.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "imaging/WorkingImage.h"

namespace zumorika {

// One pixel 0xAARRGGBB over white, as 0x00RRGGBB. Premultiplied colour
// gives C + 255 - A; straight colour gives C * A / 255 (to the nearest)
// + 255 - A.
uint32_t ComposedOnWhite(uint32_t argb, bool premultiplied);

// A packed device-independent bitmap as the clipboard holds CF_DIB and
// CF_DIBV5: the header, bit-field masks, colour table, then the pixels.
// True, with `out` the picture composed on white, only when it is a valid
// DIB whose alpha means something: 32 bits with alpha in the fourth bytes
// (no alpha mask declared, or 0xFF000000), or 16 or 32 bits with bit fields
// whose declared alpha mask lies elsewhere (a V4/V5 or 56-byte header, or
// BI_ALPHABITFIELDS), the alpha scaled to 0..255; and its alpha neither 0
// nor full everywhere. False for an opaque or malformed one: the caller
// keeps the system's bitmap.
bool ComposeTransparentDib(const uint8_t* dib, size_t size, WorkingImage& out);

// A packed DIB read where it lies, for a picture kept at the DIB's own
// depth: its size, layout and where each part is. Pointers point into the
// bytes given to ReadPackedDib.
enum class DibAlpha { Opaque, Premultiplied, Straight };
struct PackedDib {
  int32_t width = 0;
  int32_t height = 0;  // rows, positive
  bool topDown = false;
  uint32_t bits = 0;
  uint32_t compression = 0;  // as stored: BI_RGB 0, BI_RLE8 1, BI_RLE4 2, BI_BITFIELDS 3, 6
  // Where the colour lies in a 16 or 32-bit pixel: the standard layout for
  // BI_RGB, the stored masks otherwise.
  uint32_t redMask = 0, greenMask = 0, blueMask = 0;
  const uint8_t* colourTable = nullptr;  // 1, 4 and 8 bits only
  uint32_t colourEntries = 0;  // at most 256
  uint32_t colourEntrySize = 4;  // 3 after a BITMAPCOREHEADER
  const uint8_t* pixels = nullptr;
  // The bytes of the bits GDI is given: every row, or for run-length data
  // biSizeImage when the data holds that many, else up to its end.
  size_t pixelBytes = 0;
  size_t stride = 0;      // bytes per stored row
  // Where the alpha lies (0: nowhere), and what it means, as
  // ComposeTransparentDib judges them.
  uint32_t alphaMask = 0;
  DibAlpha alpha = DibAlpha::Opaque;
};

// Reads the layout of a packed DIB (CF_DIB, CF_DIBV5) and checks it against
// `size` as the decoders do; false with a reason for one they refuse.
bool ReadPackedDib(const uint8_t* dib, size_t size, PackedDib& out, std::string& reason);

// True for a packed DIB that declares a part (header, masks, colour table,
// bits) past the end of its `size` bytes.
bool DibPartsLiePastData(const uint8_t* dib, size_t size);

// A DIB whose alpha means something, composed on white into `rows`:
// Height() rows from the top, `rowPitch` pixels apart, 0x00RRGGBB.
void ComposeDibRows(const PackedDib& dib, uint32_t* rows, size_t rowPitch);

// A whole packed DIB of any depth as a working image, a 32-bit one with
// meaningful alpha composed on white (as a BMP file without its file header).
bool DecodePackedDib(const uint8_t* dib, size_t size, WorkingImage& out, std::string& reason);

// The kinds of picture file a copied file may be, by its extension (any
// case): .png, .bmp, .jpg and .jpeg; None for any other name.
enum class PictureFileKind { None, Png, Bmp, Jpeg };
PictureFileKind PictureFileKindOf(const std::string& name);

// Decoders of whole files in memory. False with a reason (plain ASCII, for
// logs and tests) for data that is not a readable picture of the kind; the
// AppError "画像が大きすぎます" when its size is more than a working image
// holds, raised before the pixels are allocated.
//  - PNG through libpng, every colour type and depth, alpha composed on
//    white as straight colour;
//  - BMP of 1, 4, 8, 16, 24 and 32 bits, run-length or bit fields,
//    bottom-up or top-down; alpha as for the clipboard's DIBs;
//  - JPEG through libjpeg, grey, colour or CMYK, turned upright as its
//    EXIF orientation says.
bool DecodePng(const uint8_t* data, size_t size, WorkingImage& out, std::string& reason);
bool DecodeBmpFile(const uint8_t* data, size_t size, WorkingImage& out, std::string& reason);
bool DecodeJpeg(const uint8_t* data, size_t size, WorkingImage& out, std::string& reason);
bool DecodePictureFile(PictureFileKind kind, const uint8_t* data, size_t size, WorkingImage& out,
                       std::string& reason);

}  // namespace zumorika
