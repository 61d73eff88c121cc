#include "imaging/picture/MetafilePicture_posix.h"
#include "imaging/picture/RasterPicture_posix.h"

namespace zumorika {

TPicture PictureFromPixels(int32_t width, int32_t height, const uint32_t* pixels) {
  WorkingImage copy(width, height, pixels);
  TPicture picture;
  picture.Assign(std::make_unique<RasterPicture>(std::move(copy)));
  return picture;
}

WorkingImage PrepareWorkingImage(const TPicture& picture) {
  const int32_t width = PictureWidth(picture);
  const int32_t height = PictureHeight(picture);
  if (width <= 0 || height <= 0) return WorkingImage();
  // A raster picture is copied in one pass, never painted white first; a
  // kind that draws nothing is all white.
  if (const auto* metafile = dynamic_cast<const StandInMetafilePicture*>(picture.Data())) {
    return metafile->Play(width, height);
  }
  const auto* raster = dynamic_cast<const RasterPicture*>(picture.Data());
  if (raster == nullptr) return WorkingImage(width, height);
  return WorkingImage(width, height, raster->Pixels().Row(0));
}

}  // namespace zumorika
