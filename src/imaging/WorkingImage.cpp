#include "imaging/WorkingImage.h"

#include <new>

#include "imaging/ImagingTexts.h"
#include "util/AppError.h"

namespace zumorika {

void CheckWorkingImageSize(int64_t width, int64_t height) {
  // 32-bit pixels; GDI will not make a DIB section of 2 GB or more, and the
  // same bound everywhere keeps both builds alike.
  constexpr int64_t kMaxBytes = INT32_MAX;
  if (width <= 0 || height <= 0) return;
  if (width > kMaxBytes / 4 || height > kMaxBytes / 4 / width) {
    throw AppError(kTextImageTooLarge);
  }
}

WorkingImage::WorkingImage(int32_t width, int32_t height) {
  if (width <= 0 || height <= 0) return;
  CheckWorkingImageSize(width, height);
  try {
    pixels_.assign(static_cast<size_t>(width) * static_cast<size_t>(height), kWhitePixel);
  } catch (const std::bad_alloc&) {
    throw AppError(kTextImageTooLarge);
  }
  width_ = width;
  height_ = height;
}

}  // namespace zumorika
