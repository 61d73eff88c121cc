// A source program's DIB with CF_BITMAP offered by delayed rendering, so
// that a case can tell whether the tool asked for the bitmap at all.
#pragma once

#include <windows.h>

#include <string>

namespace zumorika::host {

// Places `dib` (a packed DIB: a BMP file's bytes after its 14-byte file
// header) as CF_DIB, then CF_BITMAP without data, on the open clipboard
// that `owner` has emptied. When a program asks for CF_BITMAP, the system
// sends `owner` WM_RENDERFORMAT; the bitmap is made from the DIB then and
// the request is remembered. `owner` is subclassed for it and must live
// until the tool has ended.
bool PutDibWithBitmapOnRequest(HWND owner, const std::string& dib, std::string& error);

// Whether CF_BITMAP was asked for since it was placed.
bool BitmapWasRequested();

}  // namespace zumorika::host
