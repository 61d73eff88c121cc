#include <algorithm>
#include <cstring>

#include "imaging/RasterPicture_posix.h"

namespace zumorika {

TPicture PictureFromPixels(int32_t width, int32_t height, const uint32_t* pixels) {
  WorkingImage copy(width, height);
  for (int32_t y = 0; y < copy.Height(); ++y) {
    std::memcpy(copy.Row(y), pixels + static_cast<size_t>(y) * width,
                static_cast<size_t>(width) * sizeof(uint32_t));
  }
  TPicture picture;
  picture.Assign(std::make_unique<RasterPicture>(std::move(copy)));
  return picture;
}

WorkingImage PrepareWorkingImage(const TPicture& picture) {
  const int32_t width = PictureWidth(picture);
  const int32_t height = PictureHeight(picture);
  if (width <= 0 || height <= 0) return WorkingImage();
  WorkingImage image(width, height);  // white; refuses a size it cannot hold
  // Only raster pictures exist without GDI; anything else leaves the white.
  const auto* raster = dynamic_cast<const RasterPicture*>(picture.Data());
  if (raster == nullptr) return image;
  const WorkingImage& source = raster->Pixels();
  for (int32_t y = 0; y < height; ++y) {
    std::copy(source.Row(y), source.Row(y) + width, image.Row(y));
  }
  return image;
}

}  // namespace zumorika
