#include "window/WindowCapture_win32.h"

#include <algorithm>
#include <cstdint>

#include "imaging/picture/PictureData_win32.h"
#include "util/AppError.h"

namespace zumorika {

namespace {

// A top-down 32-bit DIB section, or null: the desktop window manager takes
// only 32-bit bitmaps for thumbnails, and a window procedure has no one to
// report a failure to.
UniqueHbitmap CreateDib32(int width, int height, uint32_t** pixels) {
  void* bits = nullptr;
  try {
    UniqueHbitmap dib = CreateTopDownDib32(nullptr, width, height, &bits);
    *pixels = static_cast<uint32_t*>(bits);
    return dib;
  } catch (const AppError&) {
    return UniqueHbitmap();
  }
}

// GDI leaves the fourth byte 0, which the window manager would read as
// fully transparent.
void MakeOpaque(uint32_t* pixels, int width, int height) {
  ::GdiFlush();
  std::for_each(pixels, pixels + static_cast<size_t>(width) * height,
                [](uint32_t& pixel) { pixel |= 0xFF000000u; });
}

}  // namespace

UniqueHbitmap CaptureWindow(HWND window) {
  RECT frame{};
  if (window == nullptr || !::GetWindowRect(window, &frame)) return UniqueHbitmap();
  const int width = frame.right - frame.left, height = frame.bottom - frame.top;
  if (width <= 0 || height <= 0) return UniqueHbitmap();
  uint32_t* pixels = nullptr;
  UniqueHbitmap picture = CreateDib32(width, height, &pixels);
  UniqueHdc dc(::CreateCompatibleDC(nullptr));
  if (!picture || !dc) return UniqueHbitmap();
  {
    SelectedObject selected(dc.get(), picture.get());
    if (!::PrintWindow(window, dc.get(), 0)) return UniqueHbitmap();
  }
  MakeOpaque(pixels, width, height);
  return picture;
}

UniqueHbitmap FitBitmap(HBITMAP source, int width, int height, int maxWidth, int maxHeight) {
  if (source == nullptr || width <= 0 || height <= 0 || maxWidth <= 0 || maxHeight <= 0)
    return UniqueHbitmap();
  // The smaller of the two scales, in 64 bits, and never above 1.
  int fitWidth = width, fitHeight = height;
  if (static_cast<int64_t>(width) * maxHeight > static_cast<int64_t>(height) * maxWidth) {
    fitWidth = std::min(width, maxWidth);
    fitHeight = static_cast<int>(static_cast<int64_t>(height) * fitWidth / width);
  } else {
    fitHeight = std::min(height, maxHeight);
    fitWidth = static_cast<int>(static_cast<int64_t>(width) * fitHeight / height);
  }
  fitWidth = std::max(fitWidth, 1);
  fitHeight = std::max(fitHeight, 1);
  uint32_t* pixels = nullptr;
  UniqueHbitmap fitted = CreateDib32(fitWidth, fitHeight, &pixels);
  UniqueHdc from(::CreateCompatibleDC(nullptr));
  UniqueHdc to(::CreateCompatibleDC(nullptr));
  if (!fitted || !from || !to) return UniqueHbitmap();
  {
    SelectedObject selectedSource(from.get(), source);
    SelectedObject selectedTarget(to.get(), fitted.get());
    ::SetStretchBltMode(to.get(), HALFTONE);
    ::SetBrushOrgEx(to.get(), 0, 0, nullptr);
    if (!::StretchBlt(to.get(), 0, 0, fitWidth, fitHeight, from.get(), 0, 0, width, height,
                      SRCCOPY))
      return UniqueHbitmap();
  }
  MakeOpaque(pixels, fitWidth, fitHeight);
  return fitted;
}

}  // namespace zumorika
