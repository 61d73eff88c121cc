// The metafile picture of builds without GDI: a stand-in metafile played by
// the tool's own code, so that a metafile's paste and save run under the
// native tests as on Windows.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "imaging/picture/MulDiv.h"
#include "imaging/picture/PictureData.h"
#include "imaging/picture/WorkingBands.h"
#include "imaging/WorkingImage.h"

namespace zumorika {

// A metafile without GDI: the size its header gives and the rectangles it
// fills, in hundredths of a millimetre from the frame's top-left corner.
// Played into a rectangle, the frame fills it, as GDI plays a frame.
struct StandInMetafile {
  struct Fill {
    int32_t left, top, right, bottom;
    uint32_t colour;  // 0x00RRGGBB
  };
  MetafileGeometry geometry;
  std::vector<Fill> fills;
};

class StandInMetafilePicture : public PictureData {
 public:
  explicit StandInMetafilePicture(StandInMetafile metafile) : metafile_(std::move(metafile)) {}

  PictureKind Kind() const override { return PictureKind::Metafile; }
  int32_t Width() const override { return MetafileOwnWidth(metafile_.geometry); }
  int32_t Height() const override { return MetafileOwnHeight(metafile_.geometry); }
  std::unique_ptr<WorkingBands> Bands() const override { return ScaledBands(Width(), Height()); }
  std::unique_ptr<WorkingBands> ScaledBands(int32_t width, int32_t height) const override;

  // The frame mapped onto width x height pixels of white: each fill covers
  // the pixels from its left and top edges, rounded to the nearest pixel,
  // up to (not including) its right and bottom edges, rounded the same way.
  WorkingImage Play(int32_t width, int32_t height) const;

 private:
  StandInMetafile metafile_;
};

}  // namespace zumorika
