// The tool's own window classes, and the C++ object behind a window of one
// of them, kept in the window's user data from WM_NCCREATE on.
#pragma once

#include <windows.h>

namespace zumorika {

// Registers a window class of this module with the arrow cursor. A class
// that is already registered stays as it is.
inline void RegisterWindowClass(HINSTANCE instance, const wchar_t* name, WNDPROC procedure,
                                HBRUSH background, HICON icon = nullptr,
                                HICON smallIcon = nullptr) {
  WNDCLASSEXW windowClass{};
  windowClass.cbSize = sizeof windowClass;
  windowClass.lpfnWndProc = procedure;
  windowClass.hInstance = instance;
  windowClass.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
  windowClass.hbrBackground = background;
  windowClass.lpszClassName = name;
  windowClass.hIcon = icon;
  windowClass.hIconSm = smallIcon;
  ::RegisterClassExW(&windowClass);
}

// The object passed as the creation parameter of CreateWindowExW; null for
// the messages that come before WM_NCCREATE and after the object let go.
template <typename Object>
Object* WindowObject(HWND window, UINT message, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    auto* create = reinterpret_cast<CREATESTRUCTW*>(lParam);
    ::SetWindowLongPtrW(window, GWLP_USERDATA,
                        reinterpret_cast<LONG_PTR>(create->lpCreateParams));
  }
  return reinterpret_cast<Object*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
}

}  // namespace zumorika
