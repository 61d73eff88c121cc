#include "imaging/decoding/BmpReader.h"

#include <cstdio>

#include "util/AppError.h"
#include "util/Files.h"

namespace zumorika {

namespace {

uint32_t Get16(const std::vector<uint8_t>& b, size_t at) {
  return static_cast<uint32_t>(b[at]) | static_cast<uint32_t>(b[at + 1]) << 8;
}
uint32_t Get32(const std::vector<uint8_t>& b, size_t at) {
  return Get16(b, at) | Get16(b, at + 2) << 16;
}

}  // namespace

bool ReadBmpPixels(const std::vector<uint8_t>& file, WorkingImage& pixels, std::string& reason) {
  if (file.size() < 54 || file[0] != 'B' || file[1] != 'M') {
    reason = "not a BMP file";
    return false;
  }
  const uint32_t dataOffset = Get32(file, 10);
  const uint32_t headerSize = Get32(file, 14);
  const int32_t width = static_cast<int32_t>(Get32(file, 18));
  const int32_t rawHeight = static_cast<int32_t>(Get32(file, 22));
  const uint32_t bits = Get16(file, 28);
  const uint32_t compression = Get32(file, 30);
  if (headerSize < 40 || (bits != 24 && bits != 32) ||
      (compression != 0 && !(compression == 3 && bits == 32))) {
    reason = "only uncompressed 24- and 32-bit BMP files are read";
    return false;
  }
  // Bit fields are read only in the layout of a plain 32-bit DIB.
  if (compression == 3 && (file.size() < 66 || Get32(file, 54) != 0x00FF0000 ||
                           Get32(file, 58) != 0x0000FF00 || Get32(file, 62) != 0x000000FF)) {
    reason = "only the standard red, green and blue bit fields are read";
    return false;
  }
  if (width <= 0 || rawHeight == 0 || rawHeight == INT32_MIN) {
    reason = "BMP size out of range";
    return false;
  }
  const bool topDown = rawHeight < 0;
  const int32_t height = topDown ? -rawHeight : rawHeight;
  const int64_t stride = (int64_t{width} * bits + 31) / 32 * 4;
  if (dataOffset > file.size() ||
      stride * height > static_cast<int64_t>(file.size() - dataOffset)) {
    reason = "BMP file is truncated";
    return false;
  }
  CheckWorkingImageSize(width, height);
  WorkingImage image(width, height);
  const size_t step = bits / 8;
  for (int32_t y = 0; y < height; ++y) {
    const int32_t stored = topDown ? y : height - 1 - y;
    const uint8_t* src = file.data() + dataOffset + static_cast<size_t>(stored) * stride;
    uint32_t* dst = image.Row(y);
    for (int32_t x = 0; x < width; ++x, src += step) {
      dst[x] = static_cast<uint32_t>(src[0]) | static_cast<uint32_t>(src[1]) << 8 |
               static_cast<uint32_t>(src[2]) << 16;
    }
  }
  pixels = std::move(image);
  return true;
}

bool ReadBmpFile(const std::string& path, WorkingImage& pixels, std::string& reason) {
  UniqueFile file = OpenFile(path, "rb");
  if (!file) {
    reason = "cannot open the input file";
    return false;
  }
  std::vector<uint8_t> bytes;
  if (!ReadAll(file.get(), bytes)) {
    reason = "cannot read the input file";
    return false;
  }
  return ReadBmpPixels(bytes, pixels, reason);
}

}  // namespace zumorika
