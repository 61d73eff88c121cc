#include "imaging/picture/WorkingBands.h"

#include <algorithm>
#include <new>

#include "imaging/ImagingTexts.h"
#include "imaging/picture/PictureData.h"
#include "util/AppError.h"

namespace zumorika {

namespace {

class ImageBands : public WorkingBands {
 public:
  explicit ImageBands(const WorkingImage& image)
      : WorkingBands(image.Width(), image.Height()), image_(image) {}
  const uint32_t* Band(int32_t band) override { return image_.Row(BandTop(band)); }

 private:
  const WorkingImage& image_;
};

class WhiteBand : public WorkingBands {
 public:
  WhiteBand(int32_t width, int32_t height) : WorkingBands(width, height) {
    if (width <= 0 || height <= 0) return;
    try {
      white_.assign(static_cast<size_t>(width) * std::min(height, kBandRows), kWhitePixel);
    } catch (const std::bad_alloc&) {
      throw AppError(kTextImageTooLarge);
    }
  }
  const uint32_t* Band(int32_t) override { return white_.data(); }

 private:
  std::vector<uint32_t> white_;
};

}  // namespace

WorkingBands::WorkingBands(int32_t width, int32_t height)
    : width_(width > 0 && height > 0 ? width : 0), height_(width > 0 && height > 0 ? height : 0) {}

int32_t WorkingBands::BandHeight(int32_t band) const {
  return std::min(kBandRows, height_ - BandTop(band));
}

std::unique_ptr<WorkingBands> BandsOfImage(const WorkingImage& image) {
  return std::make_unique<ImageBands>(image);
}

std::unique_ptr<WorkingBands> WhiteBands(int32_t width, int32_t height) {
  return std::make_unique<WhiteBand>(width, height);
}

std::unique_ptr<WorkingBands> PictureData::Bands() const { return WhiteBands(Width(), Height()); }

std::unique_ptr<WorkingBands> PictureData::ScaledBands(int32_t, int32_t) const { return Bands(); }

PixelSize SaveSize(const TPicture& picture, double widthMm) {
  const int32_t width = PictureWidth(picture);
  const int32_t height = PictureHeight(picture);
  if (picture.Kind() != PictureKind::Metafile) return PixelSize{width, height};
  return MetafileSaveSize(width, height, widthMm);
}

std::unique_ptr<WorkingBands> PrepareWorkingBands(const TPicture& picture, double widthMm) {
  const PixelSize size = SaveSize(picture, widthMm);
  if (size.width <= 0 || size.height <= 0) return WhiteBands(0, 0);
  CheckWorkingImageSize(size.width, size.height);
  if (size.width == PictureWidth(picture) && size.height == PictureHeight(picture)) {
    return picture.Data()->Bands();
  }
  return picture.Data()->ScaledBands(size.width, size.height);
}

}  // namespace zumorika
