// The payload behind TPicture. Each platform derives its own kinds from it
// (a pixel store natively; GDI bitmaps and enhanced metafiles on Windows).
#pragma once

#include <cstdint>

#include "imaging/Picture.h"

namespace zumorika {

class PictureData {
 public:
  virtual ~PictureData() = default;
  virtual PictureKind Kind() const = 0;
  virtual int32_t Width() const = 0;   // own size in pixels, never negative
  virtual int32_t Height() const = 0;
};

}  // namespace zumorika
