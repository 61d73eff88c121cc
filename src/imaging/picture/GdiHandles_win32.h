// The system-error helper of the GDI code; the handle owners themselves are
// shared with the window (util/WinHandles_win32.h).
#pragma once

#include <windows.h>

#include "util/WinHandles_win32.h"

namespace zumorika {

// Raises AppError with the system's text for `error` (GetLastError, taken
// right after the failing call), or "システム リソースが足りません" when
// there is none.
[[noreturn]] void RaiseSystemError(DWORD error);

}  // namespace zumorika
