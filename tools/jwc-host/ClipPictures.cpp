#include "ClipPictures.h"

#include <algorithm>
#include <array>
#include <cstddef>

namespace zumorika::host {
namespace {

constexpr uint32_t kBiRgb = 0;
constexpr uint32_t kBiBitfields = 3;
constexpr uint32_t kInfoHeaderSize = 40;
constexpr uint32_t kV4HeaderSize = 108;
constexpr uint32_t kV5HeaderSize = 124;
constexpr int kLargestSide = 1 << 15;  // a test picture, not a photo

uint32_t Le32(const std::string& bytes, size_t at) {
  uint32_t value = 0;
  for (size_t i = 0; i < 4; ++i) {
    value |= static_cast<uint32_t>(static_cast<uint8_t>(bytes[at + i])) << (8 * i);
  }
  return value;
}

uint16_t Le16(const std::string& bytes, size_t at) {
  return static_cast<uint16_t>(static_cast<uint8_t>(bytes[at]) |
                               static_cast<uint8_t>(bytes[at + 1]) << 8);
}

void PutLe32(std::string& out, uint32_t value) {
  for (int i = 0; i < 4; ++i) out += static_cast<char>((value >> (8 * i)) & 0xFF);
}

void PutLe16(std::string& out, uint16_t value) {
  out += static_cast<char>(value & 0xFF);
  out += static_cast<char>(value >> 8);
}

void PutBe32(std::string& out, uint32_t value) {
  for (int i = 3; i >= 0; --i) out += static_cast<char>((value >> (8 * i)) & 0xFF);
}

// The masks a 32-bit BI_BITFIELDS picture must have to be read as BGRA.
bool UsualMasks(const std::string& file, size_t at) {
  return Le32(file, at) == 0x00FF0000u && Le32(file, at + 4) == 0x0000FF00u &&
         Le32(file, at + 8) == 0x000000FFu;
}

// --- PNG -------------------------------------------------------------------

uint32_t Crc32(const std::string& bytes, size_t from) {
  static const std::array<uint32_t, 256> table = [] {
    std::array<uint32_t, 256> t{};
    for (uint32_t n = 0; n < 256; ++n) {
      uint32_t c = n;
      for (int k = 0; k < 8; ++k) c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
      t[n] = c;
    }
    return t;
  }();
  uint32_t crc = 0xFFFFFFFFu;
  for (size_t i = from; i < bytes.size(); ++i) {
    crc = table[(crc ^ static_cast<uint8_t>(bytes[i])) & 0xFF] ^ (crc >> 8);
  }
  return crc ^ 0xFFFFFFFFu;
}

uint32_t Adler32(const std::string& bytes) {
  uint32_t a = 1, b = 0;
  for (char c : bytes) {
    a = (a + static_cast<uint8_t>(c)) % 65521u;
    b = (b + a) % 65521u;
  }
  return b << 16 | a;
}

void PutChunk(std::string& png, const char* type, const std::string& data) {
  PutBe32(png, static_cast<uint32_t>(data.size()));
  const size_t typeAt = png.size();
  png.append(type, 4);
  png += data;
  PutBe32(png, Crc32(png, typeAt));
}

// A zlib stream of stored (uncompressed) deflate blocks.
std::string StoredZlib(const std::string& raw) {
  constexpr size_t kMaxBlock = 65535;
  std::string out = "\x78\x01";
  size_t at = 0;
  do {
    const size_t length = std::min(kMaxBlock, raw.size() - at);
    const bool last = at + length == raw.size();
    out += static_cast<char>(last ? 1 : 0);
    PutLe16(out, static_cast<uint16_t>(length));
    PutLe16(out, static_cast<uint16_t>(~length & 0xFFFF));
    out.append(raw, at, length);
    at += length;
  } while (at < raw.size());
  PutBe32(out, Adler32(raw));
  return out;
}

}  // namespace

uint8_t Premultiply(uint8_t colour, uint8_t alpha) {
  // C * A / 255 is never exactly a half, so rounding half up is exact.
  return static_cast<uint8_t>((colour * alpha * 2 + 255) / 510);
}

bool ReadBmpPicture(const std::string& file, StraightPicture& picture, std::string& error) {
  if (file.size() < 14 + kInfoHeaderSize || file[0] != 'B' || file[1] != 'M') {
    error = "no BMP file";
    return false;
  }
  const uint32_t headerSize = Le32(file, 14);
  const int32_t width = static_cast<int32_t>(Le32(file, 18));
  const int32_t height = static_cast<int32_t>(Le32(file, 22));
  const uint16_t bits = Le16(file, 28);
  const uint32_t compression = Le32(file, 30);
  const size_t offset = Le32(file, 10);
  if (headerSize < kInfoHeaderSize || 14 + static_cast<size_t>(headerSize) > file.size() ||
      width <= 0 || width > kLargestSide || height == 0 || height < -kLargestSide ||
      height > kLargestSide) {
    error = "a BMP header this reader does not take";
    return false;
  }
  bool hasAlpha = false;
  if (bits == 24 && compression == kBiRgb) {
  } else if (bits == 32 && (compression == kBiRgb || compression == kBiBitfields)) {
    // V4 and V5 headers hold the masks; an info header is followed by them.
    const size_t masksAt = headerSize >= kV4HeaderSize ? 14 + 40 : 14 + headerSize;
    if (compression == kBiBitfields &&
        (masksAt + 12 > file.size() || !UsualMasks(file, masksAt))) {
      error = "32-bit masks other than BGRA";
      return false;
    }
    hasAlpha = headerSize >= kV4HeaderSize && Le32(file, 14 + 52) == 0xFF000000u;
  } else {
    error = "only 24 and 32-bit uncompressed BMP files are read";
    return false;
  }
  const int rows = height < 0 ? -height : height;
  const size_t bytesPerPixel = bits / 8;
  const size_t stride = (static_cast<size_t>(width) * bits + 31) / 32 * 4;
  if (offset > file.size() || (file.size() - offset) / stride < static_cast<size_t>(rows)) {
    error = "the BMP file is cut short";
    return false;
  }
  picture.width = width;
  picture.height = rows;
  picture.argb.assign(static_cast<size_t>(width) * rows, 0);
  for (int y = 0; y < rows; ++y) {
    const int fileRow = height < 0 ? y : rows - 1 - y;  // bottom-up unless negative
    const size_t rowAt = offset + static_cast<size_t>(fileRow) * stride;
    for (int x = 0; x < width; ++x) {
      const size_t at = rowAt + static_cast<size_t>(x) * bytesPerPixel;
      const uint32_t b = static_cast<uint8_t>(file[at]);
      const uint32_t g = static_cast<uint8_t>(file[at + 1]);
      const uint32_t r = static_cast<uint8_t>(file[at + 2]);
      const uint32_t a = hasAlpha ? static_cast<uint8_t>(file[at + 3]) : 255u;
      picture.argb[static_cast<size_t>(y) * width + x] = a << 24 | r << 16 | g << 8 | b;
    }
  }
  return true;
}

std::string EncodePng(const StraightPicture& picture) {
  std::string png = "\x89PNG\r\n\x1a\n";
  std::string header;
  PutBe32(header, static_cast<uint32_t>(picture.width));
  PutBe32(header, static_cast<uint32_t>(picture.height));
  header += std::string("\x08\x06\x00\x00\x00", 5);  // 8 bits, RGBA, deflate, no filter, no interlace
  PutChunk(png, "IHDR", header);
  std::string raw;
  raw.reserve(static_cast<size_t>(picture.height) * (1 + 4 * static_cast<size_t>(picture.width)));
  for (int y = 0; y < picture.height; ++y) {
    raw += '\0';  // filter type None
    for (int x = 0; x < picture.width; ++x) {
      const uint32_t p = picture.argb[static_cast<size_t>(y) * picture.width + x];
      raw += static_cast<char>(p >> 16 & 0xFF);
      raw += static_cast<char>(p >> 8 & 0xFF);
      raw += static_cast<char>(p & 0xFF);
      raw += static_cast<char>(p >> 24);
    }
  }
  PutChunk(png, "IDAT", StoredZlib(raw));
  PutChunk(png, "IEND", std::string());
  return png;
}

std::string MakeDib(const StraightPicture& picture, DibLayout layout) {
  const bool v5 = layout == DibLayout::kV5Premultiplied;
  const uint32_t imageSize = static_cast<uint32_t>(picture.width) * picture.height * 4;
  std::string dib;
  PutLe32(dib, v5 ? kV5HeaderSize : kInfoHeaderSize);
  PutLe32(dib, static_cast<uint32_t>(picture.width));
  PutLe32(dib, static_cast<uint32_t>(picture.height));  // positive: bottom-up
  PutLe16(dib, 1);                                      // planes
  PutLe16(dib, 32);
  PutLe32(dib, kBiRgb);
  PutLe32(dib, imageSize);
  PutLe32(dib, 3780);  // 96 dpi in pixels per metre
  PutLe32(dib, 3780);
  PutLe32(dib, 0);  // no colour table
  PutLe32(dib, 0);
  if (v5) {
    PutLe32(dib, 0x00FF0000u);  // red, green, blue and alpha masks
    PutLe32(dib, 0x0000FF00u);
    PutLe32(dib, 0x000000FFu);
    PutLe32(dib, 0xFF000000u);
    PutLe32(dib, 0x73524742u);  // LCS_sRGB
    dib.append(36 + 12, '\0');  // endpoints and gamma, unused for sRGB
    PutLe32(dib, 4);            // LCS_GM_IMAGES
    dib.append(12, '\0');       // no profile; reserved
  }
  const bool premultiplied = layout != DibLayout::kInfoOpaqueZero;
  for (int y = picture.height - 1; y >= 0; --y) {
    for (int x = 0; x < picture.width; ++x) {
      const uint32_t p = picture.argb[static_cast<size_t>(y) * picture.width + x];
      const uint8_t a = static_cast<uint8_t>(p >> 24);
      for (int shift : {0, 8, 16}) {
        const uint8_t c = static_cast<uint8_t>(p >> shift);
        dib += static_cast<char>(premultiplied ? Premultiply(c, a) : c);
      }
      dib += static_cast<char>(premultiplied ? a : 0);
    }
  }
  return dib;
}

}  // namespace zumorika::host
