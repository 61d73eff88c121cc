#include "imaging/WorkingImage.h"

#include <algorithm>
#include <cstring>
#include <new>

#include "imaging/ImagingTexts.h"
#include "util/AppError.h"

namespace zumorika {

void CheckWorkingImageSize(int64_t width, int64_t height) {
  // 32-bit pixels; GDI will not make a DIB section of 2 GB or more, and the
  // same bound everywhere keeps both builds alike.
#ifdef FUZZING_BUILD_MODE_UNSAFE_FOR_PRODUCTION
  // A few bytes of a picture file may claim any size below the bound; the
  // fuzzer would spend its time filling such images.
  constexpr int64_t kMaxBytes = 16 << 20;
#else
  constexpr int64_t kMaxBytes = INT32_MAX;
#endif
  if (width <= 0 || height <= 0) return;
  if (width > kMaxBytes / 4 || height > kMaxBytes / 4 / width) {
    throw AppError(kTextImageTooLarge);
  }
}

void WorkingImage::Allocate(int32_t width, int32_t height) {
  if (width <= 0 || height <= 0) return;
  CheckWorkingImageSize(width, height);
  try {
    pixels_.resize(static_cast<size_t>(width) * static_cast<size_t>(height));
  } catch (const std::bad_alloc&) {
    throw AppError(kTextImageTooLarge);
  }
  width_ = width;
  height_ = height;
}

WorkingImage::WorkingImage(int32_t width, int32_t height) {
  Allocate(width, height);
  std::fill(pixels_.begin(), pixels_.end(), kWhitePixel);
}

WorkingImage::WorkingImage(int32_t width, int32_t height, const uint32_t* pixels) {
  Allocate(width, height);
  if (!pixels_.empty()) std::memcpy(pixels_.data(), pixels, pixels_.size() * sizeof(uint32_t));
}

WorkingImage WorkingImage::ToBeFilled(int32_t width, int32_t height) {
  WorkingImage image;
  image.Allocate(width, height);
  return image;
}

}  // namespace zumorika
