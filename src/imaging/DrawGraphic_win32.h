// Drawing the picture onto a GDI surface, for the preview and the working
// image.
#pragma once

#include <windows.h>

#include "imaging/Picture.h"

namespace zumorika {

// Draws the picture with its top-left corner at (x, y) at its own size.
// Background colour white and text colour black are set on the target
// first, so a monochrome bitmap shows its 0 bits black and its 1 bits white
// whatever the user's colours. A metafile leaves unpainted pixels as they
// were. An empty picture draws nothing.
void DrawGraphic(HDC target, int x, int y, const TPicture& picture);

// DrawGraphic for the working image, where a picture that could not be drawn
// must not pass as a white one: false when GDI refused the copy (the reason
// is in GetLastError). The preview's painting has no one to tell and uses
// DrawGraphic.
bool DrawGraphicChecked(HDC target, int x, int y, const TPicture& picture);

// The same, scaled to fill `rect` without keeping the aspect ratio (the
// preview's fit mode). Raster pictures drop or repeat pixels (COLORONCOLOR)
// unless the target has 8 bits per pixel or fewer; a metafile is played into
// the rectangle with its right and bottom edges inclusive.
void DrawGraphicStretched(HDC target, const RECT& rect, const TPicture& picture);

}  // namespace zumorika
