// The working image a band of rows at a time. A save draws, converts and
// writes one band before it asks for the next, so no copy of the whole
// picture is made for it.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "imaging/picture/MetafileSaveSize.h"
#include "imaging/picture/Picture.h"
#include "imaging/WorkingImage.h"

namespace zumorika {

// Rows per band: the JPEG library encodes colour 16 rows at a time (2 x 2
// chroma sampling), and a multiple of 8 keeps GDI's 8 x 8 halftone patterns
// aligned with the whole picture's.
constexpr int32_t kBandRows = 16;

class WorkingBands {
 public:
  WorkingBands(int32_t width, int32_t height);
  virtual ~WorkingBands() = default;
  WorkingBands(const WorkingBands&) = delete;
  WorkingBands& operator=(const WorkingBands&) = delete;

  int32_t Width() const { return width_; }
  int32_t Height() const { return height_; }
  int32_t BandCount() const { return (height_ + kBandRows - 1) / kBandRows; }
  int32_t BandTop(int32_t band) const { return band * kBandRows; }
  int32_t BandHeight(int32_t band) const;

  // The rows of band `band` (0 at the top), top row first, each Width()
  // pixels 0x00RRGGBB one after the other. The top byte is undefined (GDI
  // and metafile records may write it): readers take the colour bytes only.
  // Valid until the next call; bands may be asked for in any order. Raises
  // AppError when the band cannot be drawn.
  virtual const uint32_t* Band(int32_t band) = 0;

 private:
  int32_t width_;
  int32_t height_;
};

// Bands that point into `image`, which must outlive them.
std::unique_ptr<WorkingBands> BandsOfImage(const WorkingImage& image);

// Every pixel white: a picture that draws nothing. Raises AppError when
// one band of that width cannot be held.
std::unique_ptr<WorkingBands> WhiteBands(int32_t width, int32_t height);

// The size a save draws the picture at, for a paste `widthMm` paper
// millimetres wide: its own size, but a metafile is played at print
// resolution (MetafileSaveSize).
PixelSize SaveSize(const TPicture& picture, double widthMm);

// The working image of the picture (see PrepareWorkingImage) at
// SaveSize(picture, widthMm), in bands: none when either side is 0. Raises
// AppError ("画像が大きすぎます") for a picture whose whole working image
// could not be held, as PrepareWorkingImage does, before anything is drawn.
std::unique_ptr<WorkingBands> PrepareWorkingBands(const TPicture& picture, double widthMm);

}  // namespace zumorika
