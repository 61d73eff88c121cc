// Pictures of a window for the taskbar's thumbnail and Peek: 32-bit opaque
// bitmaps of the whole window as it looks, at its size or shrunk to fit.
#pragma once

#include <windows.h>

#include "util/WinHandles_win32.h"

namespace zumorika {

// The whole window, frame included, at its own size; null when it cannot be
// drawn.
UniqueHbitmap CaptureWindow(HWND window);

// `source` (width × height) shrunk, keeping its proportions, to fit within
// maxWidth × maxHeight; never enlarged. Null when it cannot be made.
UniqueHbitmap FitBitmap(HBITMAP source, int width, int height, int maxWidth, int maxHeight);

}  // namespace zumorika
