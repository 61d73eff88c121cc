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
