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
  const auto* raster = dynamic_cast<const RasterPicture*>(picture.Data());
  if (raster == nullptr || raster->Pixels().IsEmpty()) return WorkingImage();
  const WorkingImage& source = raster->Pixels();
  WorkingImage image(source.Width(), source.Height());
  for (int32_t y = 0; y < image.Height(); ++y) {
    std::copy(source.Row(y), source.Row(y) + source.Width(), image.Row(y));
  }
  return image;
}

}  // namespace zumorika
