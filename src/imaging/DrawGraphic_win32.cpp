#include "imaging/DrawGraphic_win32.h"

#include "imaging/PictureData_win32.h"

namespace zumorika {

namespace {

bool DrawRaster(HDC target, const RECT& rect, const GdiBitmapPicture& raster) {
  if (raster.Bitmap() == nullptr) return true;
  UniqueHdc source(CreateCompatibleDC(target));
  if (!source) return false;
  SelectedObject selected(source.get(), raster.Bitmap());
  if (!selected.ok()) return false;
  SelectedPalette palette(target, raster.Palette());
  int oldMode = 0;
  if (!raster.IsMonochrome()) {
    // HALFTONE averages when a deep picture meets a palette display;
    // otherwise pixels are dropped or repeated, which keeps 1:1 exact.
    const int targetBits = GetDeviceCaps(target, BITSPIXEL) * GetDeviceCaps(target, PLANES);
    const bool halftone = targetBits <= 8 && targetBits < raster.BitsPerPixel();
    oldMode = SetStretchBltMode(target, halftone ? HALFTONE : COLORONCOLOR);
    if (halftone) SetBrushOrgEx(target, 0, 0, nullptr);
  }
  const bool drawn =
      StretchBlt(target, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top,
                 source.get(), 0, 0, raster.Width(), raster.Height(), SRCCOPY) != FALSE;
  if (oldMode != 0) SetStretchBltMode(target, oldMode);
  return drawn;
}

void DrawMetafile(HDC target, const RECT& rect, const MetafilePicture& metafile) {
  if (rect.right <= rect.left || rect.bottom <= rect.top) return;
  // PlayEnhMetaFile treats the rectangle's right and bottom as inclusive;
  // without the - 1 the frame would cover one pixel more each way.
  const RECT inclusive = {rect.left, rect.top, rect.right - 1, rect.bottom - 1};
  PlayEnhMetaFile(target, metafile.Metafile(), &inclusive);
}

bool Draw(HDC target, const RECT& rect, const TPicture& picture) {
  if (picture.Data() == nullptr) return true;
  // A monochrome bitmap takes its 0 bits from the text colour and its 1 bits
  // from the background colour of the target. Black on white, not the
  // user's window-text colour: under a high-contrast black theme that is
  // white, and the picture would come out all white.
  const COLORREF oldBackground = SetBkColor(target, RGB(255, 255, 255));
  const COLORREF oldText = SetTextColor(target, RGB(0, 0, 0));
  bool drawn = true;
  if (picture.Kind() == PictureKind::Raster) {
    drawn = DrawRaster(target, rect, static_cast<const GdiBitmapPicture&>(*picture.Data()));
  } else if (picture.Kind() == PictureKind::Metafile) {
    DrawMetafile(target, rect, static_cast<const MetafilePicture&>(*picture.Data()));
  }
  SetTextColor(target, oldText);
  SetBkColor(target, oldBackground);
  return drawn;
}

}  // namespace

void DrawGraphic(HDC target, int x, int y, const TPicture& picture) {
  const RECT rect = {x, y, x + PictureWidth(picture), y + PictureHeight(picture)};
  Draw(target, rect, picture);
}

bool DrawGraphicChecked(HDC target, int x, int y, const TPicture& picture) {
  const RECT rect = {x, y, x + PictureWidth(picture), y + PictureHeight(picture)};
  return Draw(target, rect, picture);
}

void DrawGraphicStretched(HDC target, const RECT& rect, const TPicture& picture) {
  Draw(target, rect, picture);
}

}  // namespace zumorika
