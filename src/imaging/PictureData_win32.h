// The picture kinds of the Windows build: a GDI bitmap (with the palette the
// clipboard offered) and an enhanced metafile.
#pragma once

#include <windows.h>

#include "imaging/GdiHandles_win32.h"
#include "imaging/MulDiv.h"
#include "imaging/PictureData.h"

namespace zumorika {

class GdiBitmapPicture : public PictureData {
 public:
  GdiBitmapPicture(UniqueHbitmap bitmap, UniqueHpalette palette, int32_t width, int32_t height,
                   int bitsPerPixel, bool monochrome)
      : bitmap_(std::move(bitmap)), palette_(std::move(palette)), width_(width),
        height_(height), bitsPerPixel_(bitsPerPixel), monochrome_(monochrome) {}

  PictureKind Kind() const override { return PictureKind::Raster; }
  int32_t Width() const override { return width_; }
  int32_t Height() const override { return height_; }

  HBITMAP Bitmap() const { return bitmap_.get(); }
  HPALETTE Palette() const { return palette_.get(); }
  int BitsPerPixel() const { return bitsPerPixel_; }
  bool IsMonochrome() const { return monochrome_; }

 private:
  UniqueHbitmap bitmap_;
  UniqueHpalette palette_;
  int32_t width_;
  int32_t height_;
  int bitsPerPixel_;
  bool monochrome_;  // a one-plane, one-bit device bitmap
};

class MetafilePicture : public PictureData {
 public:
  MetafilePicture(UniqueHenhmetafile metafile, const MetafileGeometry& geometry)
      : metafile_(std::move(metafile)), geometry_(geometry) {}

  PictureKind Kind() const override { return PictureKind::Metafile; }
  int32_t Width() const override { return MetafileOwnWidth(geometry_); }
  int32_t Height() const override { return MetafileOwnHeight(geometry_); }

  HENHMETAFILE Metafile() const { return metafile_.get(); }
  const MetafileGeometry& Geometry() const { return geometry_; }

 private:
  UniqueHenhmetafile metafile_;
  MetafileGeometry geometry_;
};

// A private copy of a clipboard metafile with the size its header gives.
// Raises AppError when the copy cannot be made.
std::unique_ptr<MetafilePicture> CopyMetafilePicture(HENHMETAFILE source);

}  // namespace zumorika
