// The picture kinds of the Windows build: a GDI bitmap (with the palette the
// clipboard offered) and an enhanced metafile.
#pragma once

#include <windows.h>

#include <cstdint>
#include <memory>

#include "imaging/picture/GdiHandles_win32.h"
#include "imaging/picture/MulDiv.h"
#include "imaging/picture/PictureData.h"

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

  // Drawn band by band into a band-sized DIB section: copying a strip of
  // rows 1:1 gives the pixels of the whole picture's drawing.
  std::unique_ptr<WorkingBands> Bands() const override;

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

// A DIB section of 24 or 32 bits (BI_RGB) whose rows the save reads where
// they lie, instead of drawing each band through GDI.
class DibSectionPicture : public GdiBitmapPicture {
 public:
  struct Rows {
    const uint8_t* bits = nullptr;  // the section's pixels, as CreateDIBSection gave them
    size_t stride = 0;              // bytes per stored row
    bool topDown = false;
  };
  DibSectionPicture(UniqueHbitmap bitmap, UniqueHpalette palette, int32_t width, int32_t height,
                    int bitsPerPixel, const Rows& rows)
      : GdiBitmapPicture(std::move(bitmap), std::move(palette), width, height, bitsPerPixel,
                         false),
        rows_(rows) {}

  std::unique_ptr<WorkingBands> Bands() const override;
  const Rows& StoredRows() const { return rows_; }

 private:
  Rows rows_;
};

class MetafilePicture : public PictureData {
 public:
  MetafilePicture(UniqueHenhmetafile metafile, const MetafileGeometry& geometry)
      : metafile_(std::move(metafile)), geometry_(geometry) {}

  PictureKind Kind() const override { return PictureKind::Metafile; }
  int32_t Width() const override { return MetafileOwnWidth(geometry_); }
  int32_t Height() const override { return MetafileOwnHeight(geometry_); }

  // Played once into a picture-sized DIB section that the bands point
  // into: records played with the frame moved and clipped to a band (brush
  // patterns, text, stretched bitmaps) need not give the same pixels.
  std::unique_ptr<WorkingBands> Bands() const override;
  // The same with the frame mapped onto width x height pixels: lines and
  // text are drawn at that size, not enlarged from the own size.
  std::unique_ptr<WorkingBands> ScaledBands(int32_t width, int32_t height) const override;

  HENHMETAFILE Metafile() const { return metafile_.get(); }
  const MetafileGeometry& Geometry() const { return geometry_; }

 private:
  UniqueHenhmetafile metafile_;
  MetafileGeometry geometry_;
};

// A 32-bit DIB section with rows from the top (negative height), whose
// pixels read as 0x00RRGGBB - the working image's own layout. Raises
// AppError when GDI cannot make it.
UniqueHbitmap CreateTopDownDib32(HDC dc, int32_t width, int32_t height, void** bits);
// The same, null (the reason in GetLastError) when GDI cannot make it.
UniqueHbitmap TryCreateTopDownDib32(HDC dc, int32_t width, int32_t height, void** bits);

// The picture drawn on white into a top-down 32-bit DIB section of width x
// height, its frame filling it (a raster picture is asked only at its own
// size): the whole working image, its top bytes undefined.
struct WholePictureDib {
  UniqueHbitmap dib;
  const uint32_t* pixels = nullptr;
};
// Raises AppError when the section cannot be made or the picture not drawn
// (a metafile of which nothing could be played: kTextMetafileNotPlayed).
WholePictureDib DrawWholePicture(const PictureData& data, int32_t width, int32_t height);
// The same, with no section (a null `dib`, the reason in GetLastError)
// where GDI cannot make one of that size; other failures raise AppError.
WholePictureDib DrawWholePictureIfRoom(const PictureData& data, int32_t width, int32_t height);

// A private copy of a clipboard metafile with the size its header gives.
// Raises AppError when the copy cannot be made.
std::unique_ptr<MetafilePicture> CopyMetafilePicture(HENHMETAFILE source);

}  // namespace zumorika
