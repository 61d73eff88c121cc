// Pictures that arrive as bytes: the first byte picks the reader (a
// clipboard DIB, or a PNG, BMP or JPEG file), the rest is its data. Every
// reader either refuses or gives an image of the size it claims; none reads
// outside the data (AddressSanitizer watches).
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "imaging/PictureDecoding.h"
#include "util/AppError.h"

using namespace zumorika;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  const uint8_t reader = data[0] % 4;
  const uint8_t* bytes = data + 1;
  const size_t length = size - 1;
  WorkingImage image;
  std::string reason;
  try {
    bool read = false;
    switch (reader) {
      case 0: read = ComposeTransparentDib(bytes, length, image); break;
      case 1: read = DecodePng(bytes, length, image, reason); break;
      case 2: read = DecodeBmpFile(bytes, length, image, reason); break;
      default: read = DecodeJpeg(bytes, length, image, reason); break;
    }
    if (read && (image.Width() <= 0 || image.Height() <= 0)) std::abort();
    if (!read && reader != 0 && reason.empty()) std::abort();
    // Touch every pixel: a short image would show here.
    uint32_t sum = 0;
    for (int32_t y = 0; y < image.Height(); ++y) {
      for (int32_t x = 0; x < image.Width(); ++x) sum += image.Pixel(x, y);
    }
    volatile uint32_t sink = sum;
    (void)sink;
  } catch (const AppError&) {
    // "too large": a size claimed beyond what a working image holds
  }
  return 0;
}
