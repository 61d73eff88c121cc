// Move-only owners of GDI and USER resources. Copying would release twice,
// so only moves are allowed.
#pragma once

#include <windows.h>

#include <utility>

namespace zumorika {

template <typename Handle, typename Release>
class UniqueGdi {
 public:
  UniqueGdi() = default;
  explicit UniqueGdi(Handle handle) : handle_(handle) {}
  ~UniqueGdi() { reset(); }
  UniqueGdi(UniqueGdi&& other) noexcept : handle_(other.release()) {}
  UniqueGdi& operator=(UniqueGdi&& other) noexcept {
    if (this != &other) reset(other.release());
    return *this;
  }
  UniqueGdi(const UniqueGdi&) = delete;
  UniqueGdi& operator=(const UniqueGdi&) = delete;

  Handle get() const { return handle_; }
  explicit operator bool() const { return handle_ != nullptr; }
  Handle release() { return std::exchange(handle_, nullptr); }
  void reset(Handle handle = nullptr) {
    if (handle_ != nullptr) Release{}(handle_);
    handle_ = handle;
  }

 private:
  Handle handle_ = nullptr;
};

struct DeleteGdiObject {
  void operator()(HGDIOBJ object) const { DeleteObject(object); }
};
struct DeleteMemoryDc {
  void operator()(HDC dc) const { DeleteDC(dc); }
};
struct DeleteEnhMetafile {
  void operator()(HENHMETAFILE metafile) const { DeleteEnhMetaFile(metafile); }
};
struct DestroyWindowHandle {
  void operator()(HWND window) const { DestroyWindow(window); }
};

using UniqueHbitmap = UniqueGdi<HBITMAP, DeleteGdiObject>;
using UniqueHpalette = UniqueGdi<HPALETTE, DeleteGdiObject>;
using UniqueHdc = UniqueGdi<HDC, DeleteMemoryDc>;  // CreateCompatibleDC only
using UniqueHenhmetafile = UniqueGdi<HENHMETAFILE, DeleteEnhMetafile>;
using UniqueHwnd = UniqueGdi<HWND, DestroyWindowHandle>;

// GetDC / ReleaseDC: the release needs the window as well as the DC.
class WindowDc {
 public:
  explicit WindowDc(HWND window) : window_(window), dc_(GetDC(window)) {}
  ~WindowDc() {
    if (dc_ != nullptr) ReleaseDC(window_, dc_);
  }
  WindowDc(const WindowDc&) = delete;
  WindowDc& operator=(const WindowDc&) = delete;
  HDC get() const { return dc_; }

 private:
  HWND window_;
  HDC dc_;
};

// SelectObject with the old object put back before the DC or the selected
// object goes away (a bitmap still selected into a DC cannot be deleted).
class SelectedObject {
 public:
  SelectedObject(HDC dc, HGDIOBJ object) : dc_(dc), old_(SelectObject(dc, object)) {}
  ~SelectedObject() {
    if (old_ != nullptr && old_ != HGDI_ERROR) SelectObject(dc_, old_);
  }
  SelectedObject(const SelectedObject&) = delete;
  SelectedObject& operator=(const SelectedObject&) = delete;
  bool ok() const { return old_ != nullptr && old_ != HGDI_ERROR; }

 private:
  HDC dc_;
  HGDIOBJ old_;
};

// SelectPalette + RealizePalette, undone on scope exit. A null palette does
// nothing.
class SelectedPalette {
 public:
  SelectedPalette(HDC dc, HPALETTE palette) : dc_(dc) {
    if (palette != nullptr) {
      old_ = SelectPalette(dc, palette, FALSE);
      RealizePalette(dc);
    }
  }
  ~SelectedPalette() {
    if (old_ != nullptr) SelectPalette(dc_, old_, FALSE);
  }
  SelectedPalette(const SelectedPalette&) = delete;
  SelectedPalette& operator=(const SelectedPalette&) = delete;

 private:
  HDC dc_;
  HPALETTE old_ = nullptr;
};

// Raises AppError with the system's text for `error` (GetLastError, taken
// right after the failing call), or "システム リソースが足りません" when
// there is none.
[[noreturn]] void RaiseSystemError(DWORD error);

}  // namespace zumorika
