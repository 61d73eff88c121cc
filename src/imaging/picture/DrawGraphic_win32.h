// Drawing the picture onto a GDI surface, for the preview and the working
// image.
#pragma once

#include <windows.h>

#include <cstdint>

#include "imaging/picture/GdiHandles_win32.h"
#include "imaging/picture/Picture.h"

namespace zumorika {

class GdiBitmapPicture;
class PictureData;

// Draws the picture with its top-left corner at (x, y) at its own size.
// Background colour white and text colour black are set on the target
// first, so a monochrome bitmap shows its 0 bits black and its 1 bits white
// whatever the user's colours. A metafile leaves unpainted pixels as they
// were. An empty picture draws nothing.
void DrawGraphic(HDC target, int x, int y, const TPicture& picture);

// A picture's payload drawn into `rect` for the working image, where a
// picture that could not be drawn must not pass as a white one: false when
// GDI refused the copy (the reason is in GetLastError), or when a metafile
// failed to play and drew nothing at all (one that failed part way is
// taken as drawn, as the screen shows it). A metafile's frame fills the
// rectangle (right and bottom edges inclusive); a raster picture is
// stretched to it. The preview's painting has no one to tell and uses
// DrawGraphic.
bool DrawGraphicChecked(HDC target, const RECT& rect, const PictureData& data);

// The same, scaled to fill `rect` without keeping the aspect ratio (the
// preview's fit mode). Raster pictures drop or repeat pixels (COLORONCOLOR)
// unless the target has 8 bits per pixel or fewer; a metafile is played into
// the rectangle with its right and bottom edges inclusive.
void DrawGraphicStretched(HDC target, const RECT& rect, const TPicture& picture);

// White background and black text colour on the target until the end
// of the object: a monochrome bitmap takes its 0 bits from the text colour
// and its 1 bits from the background colour.
class DrawingColours {
 public:
  explicit DrawingColours(HDC target);
  ~DrawingColours();
  DrawingColours(const DrawingColours&) = delete;
  DrawingColours& operator=(const DrawingColours&) = delete;

 private:
  HDC target_;
  COLORREF oldBackground_;
  COLORREF oldText_;
};

// A raster picture made ready to be copied onto one target, as often as
// needed: its bitmap selected into a DC of its own, and on the target what
// DrawGraphic sets there (the colours above, the picture's palette, the
// stretch mode), all put back at the end of the object. The picture must
// have a bitmap.
class RasterCopier {
 public:
  RasterCopier(HDC target, const GdiBitmapPicture& raster);
  ~RasterCopier();
  RasterCopier(const RasterCopier&) = delete;
  RasterCopier& operator=(const RasterCopier&) = delete;

  // False when GDI refused to make the source DC (the reason is in
  // GetLastError); nothing can be copied then.
  bool ok() const { return source_ && selected_.ok(); }
  // The whole picture into `rect`. False when GDI refused.
  bool CopyInto(const RECT& rect) const;
  // `rowCount` rows from `firstRow` on to the target's top-left corner, 1:1:
  // the pixels these rows get when the whole picture is drawn at its own
  // size (`firstRow` a multiple of 8, so halftone patterns line up).
  bool CopyRows(int32_t firstRow, int32_t rowCount) const;

 private:
  HDC target_;
  const GdiBitmapPicture& raster_;
  DrawingColours colours_;
  UniqueHdc source_;
  SelectedObject selected_;
  SelectedPalette palette_;
  int oldStretchMode_ = 0;
};

}  // namespace zumorika
