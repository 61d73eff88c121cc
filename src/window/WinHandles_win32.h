// Move-only owners of Win32 handles. A copy would release a handle twice,
// so copying is deleted; moving hands the handle over.
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

struct GdiObjectClose {
  template <typename H>
  void operator()(H h) const noexcept { ::DeleteObject(h); }
};
struct IconClose {
  void operator()(HICON h) const noexcept { ::DestroyIcon(h); }
};
struct WindowClose {
  void operator()(HWND h) const noexcept { ::DestroyWindow(h); }
};

using UniqueHfont = UniqueHandle<HFONT, GdiObjectClose>;
using UniqueHbrush = UniqueHandle<HBRUSH, GdiObjectClose>;
using UniqueHbitmap = UniqueHandle<HBITMAP, GdiObjectClose>;
using UniqueHicon = UniqueHandle<HICON, IconClose>;
using UniqueHwnd = UniqueHandle<HWND, WindowClose>;

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

// Selects an object into a DC and puts the old one back on scope exit, so
// the object is no longer selected when its owner deletes it.
class SelectedObject {
 public:
  SelectedObject(HDC dc, HGDIOBJ object) : dc_(dc), old_(::SelectObject(dc, object)) {}
  ~SelectedObject() {
    if (old_ != nullptr && old_ != HGDI_ERROR) ::SelectObject(dc_, old_);
  }
  SelectedObject(const SelectedObject&) = delete;
  SelectedObject& operator=(const SelectedObject&) = delete;

 private:
  HDC dc_;
  HGDIOBJ old_;
};

}  // namespace zumorika
