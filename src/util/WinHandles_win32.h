// Move-only owners of Win32 handles, and scope guards for the GDI calls that
// must be undone. A copy would release a handle twice, so copying is deleted;
// moving hands the handle over. Releases that need two values keep both.
#pragma once

#include <windows.h>

#include <utility>

namespace zumorika {

template <typename Handle, typename Close>
class UniqueHandle {
 public:
  UniqueHandle() = default;
  explicit UniqueHandle(Handle handle) : handle_(handle) {}
  ~UniqueHandle() { reset(); }
  UniqueHandle(const UniqueHandle&) = delete;
  UniqueHandle& operator=(const UniqueHandle&) = delete;
  UniqueHandle(UniqueHandle&& other) noexcept : handle_(other.release()) {}
  UniqueHandle& operator=(UniqueHandle&& other) noexcept {
    if (this != &other) reset(other.release());
    return *this;
  }

  Handle get() const { return handle_; }
  explicit operator bool() const { return handle_ != nullptr; }
  Handle release() { return std::exchange(handle_, nullptr); }
  void reset(Handle handle = nullptr) {
    Handle old = std::exchange(handle_, handle);
    if (old != nullptr) Close{}(old);
  }

 private:
  Handle handle_ = nullptr;
};

struct DeleteGdiObject {
  void operator()(HGDIOBJ object) const noexcept { ::DeleteObject(object); }
};
struct DeleteMemoryDc {
  void operator()(HDC dc) const noexcept { ::DeleteDC(dc); }
};
struct DeleteEnhMetafile {
  void operator()(HENHMETAFILE metafile) const noexcept { ::DeleteEnhMetaFile(metafile); }
};
struct DestroyIconHandle {
  void operator()(HICON icon) const noexcept { ::DestroyIcon(icon); }
};
struct DestroyWindowHandle {
  void operator()(HWND window) const noexcept { ::DestroyWindow(window); }
};
struct CloseKernelHandle {
  void operator()(HANDLE handle) const noexcept { ::CloseHandle(handle); }
};

using UniqueHbitmap = UniqueHandle<HBITMAP, DeleteGdiObject>;
using UniqueHpalette = UniqueHandle<HPALETTE, DeleteGdiObject>;
using UniqueHfont = UniqueHandle<HFONT, DeleteGdiObject>;
using UniqueHbrush = UniqueHandle<HBRUSH, DeleteGdiObject>;
using UniqueHdc = UniqueHandle<HDC, DeleteMemoryDc>;  // CreateCompatibleDC only
using UniqueHenhmetafile = UniqueHandle<HENHMETAFILE, DeleteEnhMetafile>;
using UniqueHicon = UniqueHandle<HICON, DestroyIconHandle>;
using UniqueHwnd = UniqueHandle<HWND, DestroyWindowHandle>;
using UniqueKernelHandle = UniqueHandle<HANDLE, CloseKernelHandle>;  // not for INVALID_HANDLE_VALUE

// GetDC keeps the window it came from: ReleaseDC needs both.
class WindowDc {
 public:
  explicit WindowDc(HWND window) : window_(window), dc_(::GetDC(window)) {}
  ~WindowDc() {
    if (dc_ != nullptr) ::ReleaseDC(window_, dc_);
  }
  WindowDc(const WindowDc&) = delete;
  WindowDc& operator=(const WindowDc&) = delete;
  HDC get() const { return dc_; }

 private:
  HWND window_;
  HDC dc_;
};

// BeginPaint with its PAINTSTRUCT, ended on scope exit.
class PaintDc {
 public:
  explicit PaintDc(HWND window) : window_(window) { dc_ = ::BeginPaint(window, &paint_); }
  ~PaintDc() { ::EndPaint(window_, &paint_); }
  PaintDc(const PaintDc&) = delete;
  PaintDc& operator=(const PaintDc&) = delete;
  HDC get() const { return dc_; }
  const PAINTSTRUCT& paint() const { return paint_; }

 private:
  HWND window_;
  PAINTSTRUCT paint_{};
  HDC dc_ = nullptr;
};

// SelectObject with the old object put back before the DC or the selected
// object goes away (a bitmap still selected into a DC cannot be deleted).
class SelectedObject {
 public:
  SelectedObject(HDC dc, HGDIOBJ object) : dc_(dc), old_(::SelectObject(dc, object)) {}
  ~SelectedObject() {
    if (ok()) ::SelectObject(dc_, old_);
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
      old_ = ::SelectPalette(dc, palette, FALSE);
      ::RealizePalette(dc);
    }
  }
  ~SelectedPalette() {
    if (old_ != nullptr) ::SelectPalette(dc_, old_, FALSE);
  }
  SelectedPalette(const SelectedPalette&) = delete;
  SelectedPalette& operator=(const SelectedPalette&) = delete;

 private:
  HDC dc_;
  HPALETTE old_ = nullptr;
};

}  // namespace zumorika
