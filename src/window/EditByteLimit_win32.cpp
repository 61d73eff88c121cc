#include "window/EditByteLimit_win32.h"

#include <commctrl.h>

#include "util/Cp932.h"
#include "window/WindowText_win32.h"

namespace zumorika {

void EditByteLimit::Attach(HWND edit, std::size_t maxBytes, const wchar_t* initial) {
  edit_ = edit;
  maxBytes_ = maxBytes;
  accepted_ = initial;
  programmatic_ = false;
  // A first cut by characters; EN_CHANGE then holds the text to its bytes
  // of Shift-JIS.
  ::SendMessageW(edit, EM_LIMITTEXT, maxBytes, 0);
  ::SetWindowSubclass(edit, Proc, 1, reinterpret_cast<DWORD_PTR>(this));
}

void EditByteLimit::OnChange() {
  if (programmatic_) return;
  std::wstring text = WindowTextOf(edit_);
  if (WideToCp932(text).size() <= maxBytes_) {
    accepted_ = text;
    return;
  }
  // The typed or pasted text would not fit: undo it.
  programmatic_ = true;
  ::SetWindowTextW(edit_, accepted_.c_str());
  programmatic_ = false;
  ::SendMessageW(edit_, EM_SETSEL, accepted_.size(), accepted_.size());
  ::MessageBeep(MB_OK);
}

LRESULT CALLBACK EditByteLimit::Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                                     UINT_PTR, DWORD_PTR data) {
  if (message == WM_SETTEXT) {
    // Like the control's own limit, the byte limit holds typing and pasting
    // back; text set through WM_SETTEXT (by the tool or a driver) stands.
    auto* limit = reinterpret_cast<EditByteLimit*>(data);
    bool was = limit->programmatic_;
    limit->programmatic_ = true;
    LRESULT result = ::DefSubclassProc(window, message, wParam, lParam);
    limit->programmatic_ = was;
    if (lParam != 0) limit->accepted_ = reinterpret_cast<const wchar_t*>(lParam);
    return result;
  }
  if (message == WM_NCDESTROY) ::RemoveWindowSubclass(window, Proc, 1);
  return ::DefSubclassProc(window, message, wParam, lParam);
}

}  // namespace zumorika
