// The C++ object behind a window of the tool's own classes, kept in the
// window's user data from WM_NCCREATE on.
#pragma once

#include <windows.h>

namespace zumorika {

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
