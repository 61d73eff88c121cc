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
      case 0: {
        read = ComposeTransparentDib(bytes, length, image);
        // The same DIB read in place, as a program's own DIB is kept: its
        // rows lie inside the data, and one with alpha composes in full.
        PackedDib dib;
        if (ReadPackedDib(bytes, length, dib, reason)) {
          const bool runLength = dib.compression == 1 || dib.compression == 2;
          if (dib.pixels < bytes || dib.pixels + dib.pixelBytes != bytes + length ||
              (!runLength && dib.stride * static_cast<size_t>(dib.height) > dib.pixelBytes)) {
            std::abort();
          }
          if (dib.alpha != DibAlpha::Opaque) {
            CheckWorkingImageSize(dib.width, dib.height);
            WorkingImage composed = WorkingImage::ToBeFilled(dib.width, dib.height);
            ComposeDibRows(dib, composed.Row(0), static_cast<size_t>(dib.width));
          }
        }
        reason.clear();
        break;
      }
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
