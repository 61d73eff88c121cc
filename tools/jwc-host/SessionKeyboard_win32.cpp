// The steps that drive the tool's keyboard and mouse and check where the
// focus is: keys posted through the tool's message loop, a mouse press on a
// control, the focused control, an edit box's selection, the default button.
#include <cctype>
#include <string>

#include "Session_win32.h"
#include "ToolWindows_win32.h"

namespace zumorika::host {

HWND Session::FocusWindow() {
  GUITHREADINFO info{};
  info.cbSize = sizeof info;
  if (GetGUIThreadInfo(tid_, &info) && info.hwndFocus) return info.hwndFocus;
  return nullptr;
}

bool Session::FocusIsOn(HWND focus, long id) {
  // The edit box inside an editable combo box holds the focus for it.
  for (HWND w = focus; w && w != main_; w = GetParent(w)) {
    if (GetDlgCtrlID(w) == id) return true;
    if (ClassOf(GetParent(w)) != L"ComboBox") break;
  }
  return false;
}

int Session::ExpectFocus(const Step& step) {
  const long id = Number(step.args[0]);
  // The tool moves the focus only after its message box has gone, and the
  // box gives the focus back to where it was first: allow a moment.
  HWND focus = FocusWindow();
  const DWORD start = GetTickCount();
  while (!FocusIsOn(focus, id) && GetTickCount() - start < 2000) {
    Pause(kPollMs);
    focus = FocusWindow();
  }
  if (FocusIsOn(focus, id)) return kOk;
  return Fail(step, focus ? "the focus is on control " +
                                std::to_string(GetDlgCtrlID(focus))
                          : std::string("no control has the focus"));
}

// Keys are posted to the focused control of the tool's thread, so that
// they pass the tool's message loop (IsDialogMessage, TranslateMessage)
// as typed keys do. A letter's WM_CHAR comes from TranslateMessage there.
int Session::PressKey(const Step& step) {
  std::string name = step.args[0];
  for (char& c : name) c = static_cast<char>(tolower(static_cast<unsigned char>(c)));
  bool alt = false;
  if (name.rfind("alt+", 0) == 0) {
    alt = true;
    name = name.substr(4);
  }
  UINT vk = 0;
  if (name == "esc" || name == "escape") vk = VK_ESCAPE;
  else if (name == "enter" || name == "return") vk = VK_RETURN;
  else if (name == "tab") vk = VK_TAB;
  else if (name == "up") vk = VK_UP;
  else if (name == "down") vk = VK_DOWN;
  else if (name == "left") vk = VK_LEFT;
  else if (name == "right") vk = VK_RIGHT;
  else if (name.size() == 1 && isalnum(static_cast<unsigned char>(name[0])))
    vk = static_cast<UINT>(toupper(static_cast<unsigned char>(name[0])));
  else return Fail(step, "unknown key");
  HWND target = FocusWindow();
  if (!target) target = main_;
  const UINT scan = MapVirtualKeyW(vk, MAPVK_VK_TO_VSC);
  if (alt) {
    // Alt held: WM_SYSKEYDOWN with the context bit; the tool's
    // TranslateMessage makes the WM_SYSCHAR that carries the mnemonic.
    const LPARAM context = 1u << 29;
    PostMessageW(target, WM_SYSKEYDOWN, vk, 1 | (scan << 16) | context);
    PostMessageW(target, WM_SYSKEYUP, vk, 1 | (scan << 16) | context | (3u << 30));
  } else {
    PostMessageW(target, WM_KEYDOWN, vk, 1 | (scan << 16));
    PostMessageW(target, WM_KEYUP, vk, 1 | (scan << 16) | (3u << 30));
  }
  Pause(kPollMs * 5);
  return kOk;
}

int Session::Mouse(HWND control) {
  const LPARAM at = MAKELPARAM(2, 2);
  PostMessageW(control, WM_LBUTTONDOWN, MK_LBUTTON, at);
  PostMessageW(control, WM_LBUTTONUP, 0, at);
  Pause(kPollMs * 5);
  return kOk;
}

int Session::ExpectSelected(const Step& step, HWND control) {
  DWORD_PTR length = 0, range = 0;
  SendMessageTimeoutW(control, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, kSendTimeoutMs, &length);
  DWORD start = 0, end = 0;
  SendMessageTimeoutW(control, EM_GETSEL, reinterpret_cast<WPARAM>(&start),
                      reinterpret_cast<LPARAM>(&end), SMTO_ABORTIFHUNG, kSendTimeoutMs, &range);
  if (start == 0 && end == length) return kOk;
  return Fail(step, "the selection is " + std::to_string(start) + ".." + std::to_string(end) +
                        " of " + std::to_string(length) + " characters");
}

int Session::ExpectDefault(const Step& step) {
  const long id = Number(step.args[0]);
  DWORD_PTR answer = 0;
  SendMessageTimeoutW(main_, DM_GETDEFID, 0, 0, SMTO_ABORTIFHUNG, kSendTimeoutMs, &answer);
  if (HIWORD(answer) != DC_HASDEFID || LOWORD(answer) != id) {
    return Fail(step, "DM_GETDEFID answers " + std::to_string(LOWORD(answer)));
  }
  for (int button : {1, 2, 1003}) {
    HWND control = Control(button);
    if (!control) continue;
    const bool looksDefault =
        (GetWindowLongW(control, GWL_STYLE) & BS_TYPEMASK) == BS_DEFPUSHBUTTON;
    if (looksDefault != (button == id)) {
      return Fail(step, "button " + std::to_string(button) +
                            (looksDefault ? " shows" : " does not show") + " the default look");
    }
  }
  return kOk;
}

}  // namespace zumorika::host
