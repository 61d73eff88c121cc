// The steps that set, press and read the tool's controls by ID: text, push
// and radio buttons, combo box items, check states.
#include <string>

#include "Session_win32.h"
#include "ToolWindows_win32.h"

namespace zumorika::host {

int Session::SetText(const Step& step, HWND control) {
  const std::wstring text = Utf8ToWide(step.args[1]);
  DWORD_PTR result = 0;
  if (!SendMessageTimeoutW(control, WM_SETTEXT, 0,
                           reinterpret_cast<LPARAM>(text.c_str()),
                           SMTO_ABORTIFHUNG, kSendTimeoutMs, &result)) {
    return Fail(step, LastErrorText("WM_SETTEXT"));
  }
  return kOk;
}

int Session::Click(HWND control) {
  // Posted: a click that opens a modal message box must not block us.
  PostMessageW(control, BM_CLICK, 0, 0);
  Pause(kPollMs);
  return kOk;
}

int Session::Select(const Step& step, HWND control, int id) {
  const long index = Number(step.args[1]);
  DWORD_PTR result = 0;
  SendMessageTimeoutW(control, CB_SETCURSEL, static_cast<WPARAM>(index), 0,
                      SMTO_ABORTIFHUNG, kSendTimeoutMs, &result);
  if (static_cast<LRESULT>(result) != index) {
    return Fail(step, "CB_SETCURSEL did not select item " + step.args[1]);
  }
  // CB_SETCURSEL sends no notification; the owner learns of the change
  // the way a user's pick would tell it.
  SendMessageTimeoutW(GetParent(control), WM_COMMAND,
                      MAKEWPARAM(id, CBN_SELCHANGE),
                      reinterpret_cast<LPARAM>(control), SMTO_ABORTIFHUNG,
                      kSendTimeoutMs, &result);
  return kOk;
}

int Session::PrintText(const Step& step, HWND control) {
  Out("text " + step.args[0] + ": " + WideToUtf8(TextOf(control)) + "\n");
  return kOk;
}

int Session::ExpectText(const Step& step, HWND control) {
  const std::string actual = WideToUtf8(TextOf(control));
  if (actual != step.args[1]) {
    return Fail(step, "the text is \"" + actual + "\"");
  }
  return kOk;
}

int Session::ExpectCheck(const Step& step, HWND control) {
  DWORD_PTR state = 0;
  SendMessageTimeoutW(control, BM_GETCHECK, 0, 0, SMTO_ABORTIFHUNG,
                      kSendTimeoutMs, &state);
  if (static_cast<long>(state) != Number(step.args[1])) {
    return Fail(step, "the check state is " + std::to_string(state));
  }
  return kOk;
}

int Session::ExpectSel(const Step& step, HWND control) {
  DWORD_PTR index = 0;
  SendMessageTimeoutW(control, CB_GETCURSEL, 0, 0, SMTO_ABORTIFHUNG,
                      kSendTimeoutMs, &index);
  if (static_cast<LRESULT>(index) != Number(step.args[1])) {
    return Fail(step, "the selected item is " +
                          std::to_string(static_cast<LRESULT>(index)));
  }
  return kOk;
}

}  // namespace zumorika::host
