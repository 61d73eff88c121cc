#include "window/SystemLibrary_win32.h"

#include <string>

namespace zumorika {

// LoadLibraryW counts its loads, so a module asked for again is the same
// handle; it is never freed, as a linked DLL would not be (the shell may keep
// threads of a common dialog running after it has closed).
HMODULE SystemLibrary(const wchar_t* name) {
  wchar_t system[MAX_PATH] = {};
  UINT length = ::GetSystemDirectoryW(system, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return nullptr;
  std::wstring path = std::wstring(system, length) + L"\\" + name;
  if (HMODULE loaded = ::GetModuleHandleW(path.c_str())) return loaded;
  return ::LoadLibraryW(path.c_str());
}

}  // namespace zumorika
