// PNG through libpng's simplified reader, straight into the working image.
#include <png.h>

#include "imaging/PictureDecoding.h"

namespace zumorika {

namespace {

// png_image_free on every way out, a thrown "too large" included.
class PngReadImage {
 public:
  PngReadImage() {
    image_.version = PNG_IMAGE_VERSION;
  }
  ~PngReadImage() { png_image_free(&image_); }
  PngReadImage(const PngReadImage&) = delete;
  PngReadImage& operator=(const PngReadImage&) = delete;
  png_image& operator*() { return image_; }
  png_image* operator->() { return &image_; }

 private:
  png_image image_{};
};

bool Failed(png_image& image, std::string& reason) {
  reason = std::string("PNG: ") + image.message;
  return false;
}

}  // namespace

bool DecodePng(const uint8_t* data, size_t size, WorkingImage& out, std::string& reason) {
  PngReadImage image;
  if (!png_image_begin_read_from_memory(&*image, data, size)) return Failed(*image, reason);
  CheckWorkingImageSize(image->width, image->height);
  // Blue, green, red, alpha bytes: the working image's own layout with the
  // alpha in the byte it leaves unused.
  image->format = PNG_FORMAT_BGRA;
  const auto width = static_cast<int32_t>(image->width);
  const auto height = static_cast<int32_t>(image->height);
  WorkingImage decoded = WorkingImage::ToBeFilled(width, height);
  if (!png_image_finish_read(&*image, nullptr, decoded.Row(0), 0, nullptr)) {
    return Failed(*image, reason);
  }
  for (int32_t y = 0; y < height; ++y) {
    uint32_t* row = decoded.Row(y);
    for (int32_t x = 0; x < width; ++x) {
      // Most pixels are opaque or fully transparent: those need no sums.
      const uint32_t pixel = row[x];
      const uint32_t alpha = pixel >> 24;
      row[x] = alpha == 255 ? pixel & 0x00FFFFFF
                            : alpha == 0 ? kWhitePixel : ComposedOnWhite(pixel, false);
    }
  }
  out = std::move(decoded);
  return true;
}

}  // namespace zumorika
