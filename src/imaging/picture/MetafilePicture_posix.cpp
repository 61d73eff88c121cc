#include "imaging/picture/MetafilePicture_posix.h"

#include <algorithm>

#include "imaging/picture/WorkingBands.h"

namespace zumorika {

namespace {

// A frame coordinate as a pixel edge: frame units x pixels / frame size,
// halves up, kept within the image.
int32_t PixelEdge(int32_t frameUnits, int32_t pixels, int64_t frameSize) {
  const int64_t edge = (static_cast<int64_t>(frameUnits) * pixels + frameSize / 2) / frameSize;
  return static_cast<int32_t>(std::clamp<int64_t>(edge, 0, pixels));
}

class PlayedBands : public WorkingBands {
 public:
  explicit PlayedBands(WorkingImage image)
      : WorkingBands(image.Width(), image.Height()), image_(std::move(image)) {}
  const uint32_t* Band(int32_t band) override { return image_.Row(BandTop(band)); }

 private:
  WorkingImage image_;
};

}  // namespace

WorkingImage StandInMetafilePicture::Play(int32_t width, int32_t height) const {
  WorkingImage image(width, height);
  const MetafileGeometry& g = metafile_.geometry;
  if (image.IsEmpty() || g.frameWidth <= 0 || g.frameHeight <= 0) return image;
  for (const StandInMetafile::Fill& fill : metafile_.fills) {
    const int32_t left = PixelEdge(fill.left, width, g.frameWidth);
    const int32_t right = PixelEdge(fill.right, width, g.frameWidth);
    const int32_t top = PixelEdge(fill.top, height, g.frameHeight);
    const int32_t bottom = PixelEdge(fill.bottom, height, g.frameHeight);
    if (right <= left) continue;
    for (int32_t y = top; y < bottom; ++y) {
      std::fill(image.Row(y) + left, image.Row(y) + right, fill.colour);
    }
  }
  return image;
}

std::unique_ptr<WorkingBands> StandInMetafilePicture::ScaledBands(int32_t width,
                                                                  int32_t height) const {
  return std::make_unique<PlayedBands>(Play(width, height));
}

}  // namespace zumorika
