// The bytes other programs put on the clipboard for a picture, made from a
// source picture with straight (not premultiplied) alpha: the PNG a browser
// encodes, and the 32-bit DIBs of browsers and paint programs in their own
// header layouts. Each is built exactly, so that a case can name the pixels
// the tool must save.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace zumorika::host {

// A picture as 0xAARRGGBB values, top row first, alpha straight.
struct StraightPicture {
  int width = 0;
  int height = 0;
  std::vector<uint32_t> argb;
};

// Reads a BMP file (the whole file's bytes): 24 or 32 bits, BI_RGB or
// BI_BITFIELDS with the usual masks, bottom-up or top-down. A 32-bit
// picture has alpha only when its V4/V5 header declares the alpha mask
// 0xFF000000; otherwise its fourth bytes are unused and it is opaque.
bool ReadBmpPicture(const std::string& file, StraightPicture& picture, std::string& error);

// A PNG file of the picture, 8-bit RGBA, its image data in stored deflate
// blocks: any decoder reads it, and no compression library is needed.
std::string EncodePng(const StraightPicture& picture);

// The 32-bit packed DIB layouts real programs place, bottom-up.
enum class DibLayout {
  // BITMAPV5HEADER, BI_RGB, bV5AlphaMask 0xFF000000, premultiplied BGRA
  // (Chrome and Edge "Copy image", Firefox's CF_DIBV5).
  kV5Premultiplied,
  // BITMAPINFOHEADER, BI_RGB, premultiplied BGRA with the alpha byte kept
  // (Firefox's CF_DIB).
  kInfoPremultiplied,
  // BITMAPINFOHEADER, BI_RGB, the colours as they are, every fourth byte 0
  // (a paint program's opaque picture).
  kInfoOpaqueZero,
};
std::string MakeDib(const StraightPicture& picture, DibLayout layout);

// C * A / 255 to the nearest integer, as premultiplying libraries round.
uint8_t Premultiply(uint8_t colour, uint8_t alpha);

}  // namespace zumorika::host
