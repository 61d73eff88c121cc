#include "imaging/picture/DrawGraphic_win32.h"

#include "imaging/picture/PictureData_win32.h"

namespace zumorika {

// Black on white, not the user's window-text colour: under a high-contrast
// black theme that is white, and a monochrome picture would come out all
// white.
DrawingColours::DrawingColours(HDC target)
    : target_(target),
      oldBackground_(SetBkColor(target, RGB(255, 255, 255))),
      oldText_(SetTextColor(target, RGB(0, 0, 0))) {}

DrawingColours::~DrawingColours() {
  SetTextColor(target_, oldText_);
  SetBkColor(target_, oldBackground_);
}

RasterCopier::RasterCopier(HDC target, const GdiBitmapPicture& raster)
    : target_(target),
      raster_(raster),
      colours_(target),
      source_(CreateCompatibleDC(target)),
      selected_(source_.get(), raster.Bitmap()),
      palette_(target, ok() ? raster.Palette() : nullptr) {
  if (!ok() || raster.IsMonochrome()) return;
  // HALFTONE averages when a deep picture meets a palette display;
  // otherwise pixels are dropped or repeated, which keeps 1:1 exact.
  const int targetBits = GetDeviceCaps(target, BITSPIXEL) * GetDeviceCaps(target, PLANES);
  const bool halftone = targetBits <= 8 && targetBits < raster.BitsPerPixel();
  oldStretchMode_ = SetStretchBltMode(target, halftone ? HALFTONE : COLORONCOLOR);
  if (halftone) SetBrushOrgEx(target, 0, 0, nullptr);
}

RasterCopier::~RasterCopier() {
  if (oldStretchMode_ != 0) SetStretchBltMode(target_, oldStretchMode_);
}

bool RasterCopier::CopyInto(const RECT& rect) const {
  return StretchBlt(target_, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top,
                    source_.get(), 0, 0, raster_.Width(), raster_.Height(), SRCCOPY) != FALSE;
}

bool RasterCopier::CopyRows(int32_t firstRow, int32_t rowCount) const {
  // StretchBlt at equal sizes, as the whole picture is drawn, so the
  // palette and stretch-mode rules are those of DrawGraphic.
  return StretchBlt(target_, 0, 0, raster_.Width(), rowCount, source_.get(), 0, firstRow,
                    raster_.Width(), rowCount, SRCCOPY) != FALSE;
}

namespace {

bool DrawRaster(HDC target, const RECT& rect, const GdiBitmapPicture& raster) {
  if (raster.Bitmap() == nullptr) return true;
  const RasterCopier copier(target, raster);
  return copier.ok() && copier.CopyInto(rect);
}

// PlayEnhMetaFile's FALSE says that some record failed, not that nothing
// was drawn: a metafile that drew what it could is taken as drawn, as it is
// on screen. Only one of which nothing reached the target (GDI's bounds of
// what was drawn stay empty) counts as not drawn.
bool DrawMetafile(HDC target, const RECT& rect, const MetafilePicture& metafile) {
  if (rect.right <= rect.left || rect.bottom <= rect.top) return true;
  const DrawingColours colours(target);
  // PlayEnhMetaFile treats the rectangle's right and bottom as inclusive;
  // without the - 1 the frame would cover one pixel more each way.
  const RECT inclusive = {rect.left, rect.top, rect.right - 1, rect.bottom - 1};
  const UINT oldBounds = SetBoundsRect(target, nullptr, DCB_ENABLE | DCB_RESET);
  const bool played = PlayEnhMetaFile(target, metafile.Metafile(), &inclusive) != FALSE;
  const DWORD error = GetLastError();
  RECT drawn{};
  // Not empty: DCB_SET, the DCB_ACCUMULATE bit with DCB_RESET; other bits
  // (DCB_ENABLE) may come with it.
  const bool drewSomething = (GetBoundsRect(target, &drawn, DCB_RESET) & DCB_ACCUMULATE) != 0;
  if ((oldBounds & DCB_ENABLE) == 0) SetBoundsRect(target, nullptr, DCB_DISABLE);
  SetLastError(error);
  return played || drewSomething;
}

bool Draw(HDC target, const RECT& rect, const PictureData* data) {
  if (data == nullptr) return true;
  if (data->Kind() == PictureKind::Raster) {
    return DrawRaster(target, rect, static_cast<const GdiBitmapPicture&>(*data));
  }
  if (data->Kind() == PictureKind::Metafile) {
    return DrawMetafile(target, rect, static_cast<const MetafilePicture&>(*data));
  }
  return true;
}

}  // namespace

void DrawGraphic(HDC target, int x, int y, const TPicture& picture) {
  const RECT rect = {x, y, x + PictureWidth(picture), y + PictureHeight(picture)};
  Draw(target, rect, picture.Data());
}

bool DrawGraphicChecked(HDC target, const RECT& rect, const PictureData& data) {
  return Draw(target, rect, &data);
}

void DrawGraphicStretched(HDC target, const RECT& rect, const TPicture& picture) {
  Draw(target, rect, picture.Data());
}

}  // namespace zumorika
