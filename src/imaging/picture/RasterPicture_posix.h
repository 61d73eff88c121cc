// The raster picture of builds without GDI: its pixels, 8 bits per channel.
#pragma once

#include "imaging/picture/PictureData.h"
#include "imaging/picture/WorkingBands.h"
#include "imaging/WorkingImage.h"

namespace zumorika {

class RasterPicture : public PictureData {
 public:
  explicit RasterPicture(WorkingImage pixels) : pixels_(std::move(pixels)) {}
  PictureKind Kind() const override { return PictureKind::Raster; }
  int32_t Width() const override { return pixels_.Width(); }
  int32_t Height() const override { return pixels_.Height(); }
  // The pixels are the working image already: the bands point into them.
  std::unique_ptr<WorkingBands> Bands() const override { return BandsOfImage(pixels_); }
  const WorkingImage& Pixels() const { return pixels_; }

 private:
  WorkingImage pixels_;
};

}  // namespace zumorika
