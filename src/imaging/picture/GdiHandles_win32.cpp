#include "imaging/picture/GdiHandles_win32.h"

#include "imaging/ImagingTexts.h"
#include "util/AppError.h"
#include "util/Cp932.h"

namespace zumorika {

void RaiseSystemError(DWORD error) {
  if (error != 0) {
    wchar_t* text = nullptr;
    const DWORD length = FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, error, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
    if (length != 0 && text != nullptr) {
      std::wstring message(text, length);
      LocalFree(text);
      // System texts end in CR LF; the error box adds its own full stop.
      while (!message.empty() && (message.back() == L'\n' || message.back() == L'\r' ||
                                  message.back() == L' ')) {
        message.pop_back();
      }
      if (!message.empty()) throw AppError(WideToCp932(message));
    }
  }
  throw AppError(kTextOutOfResources);
}

}  // namespace zumorika
