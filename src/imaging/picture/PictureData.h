// The payload behind TPicture. Each platform derives its own kinds from it
// (a pixel store natively; GDI bitmaps and enhanced metafiles on Windows).
#pragma once

#include <cstdint>
#include <memory>

#include "imaging/picture/Picture.h"

namespace zumorika {

class WorkingBands;

class PictureData {
 public:
  virtual ~PictureData() = default;
  virtual PictureKind Kind() const = 0;
  virtual int32_t Width() const = 0;   // own size in pixels, never negative
  virtual int32_t Height() const = 0;
  // The picture drawn 1:1 on white, a band at a time (PrepareWorkingBands
  // has checked the size). A kind that draws nothing gives white bands.
  virtual std::unique_ptr<WorkingBands> Bands() const;
  // The picture played into width x height on white, a band at a time.
  // Only a metafile is asked for another size than its own (SaveSize); the
  // other kinds give their Bands().
  virtual std::unique_ptr<WorkingBands> ScaledBands(int32_t width, int32_t height) const;
};

}  // namespace zumorika
