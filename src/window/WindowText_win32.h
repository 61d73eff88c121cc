// A window's text as the system holds it, in UTF-16.
#pragma once

#include <windows.h>

#include <algorithm>
#include <string>

namespace zumorika {

inline std::wstring WindowTextOf(HWND window) {
  int length = ::GetWindowTextLengthW(window);
  std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
  int copied = ::GetWindowTextW(window, text.data(), length + 1);
  text.resize(static_cast<std::size_t>(std::max(copied, 0)));
  return text;
}

}  // namespace zumorika
