// Windows DLLs loaded at run time, by full path from the system folder, for
// functions that not every supported Windows has or that most runs never
// need.
#pragma once

#include <windows.h>

namespace zumorika {

// The module `name` (e.g. L"shcore.dll") from the system folder, loaded on
// first use and kept for the process's life; null when it cannot be loaded
// (GetLastError says why). A full path keeps a DLL of the same name in the
// tool's folder (Jw_cad's) from being loaded instead.
HMODULE SystemLibrary(const wchar_t* name);

// A function of such a module, or null where the system has none.
template <typename Function>
Function SystemFunction(const wchar_t* module, const char* function) {
  HMODULE library = SystemLibrary(module);
  if (library == nullptr) return nullptr;
  return reinterpret_cast<Function>(reinterpret_cast<void*>(::GetProcAddress(library, function)));
}

}  // namespace zumorika
