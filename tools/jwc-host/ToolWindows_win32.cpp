#include "ToolWindows_win32.h"

#include "HostCommon_win32.h"

namespace zumorika::host {
namespace {

constexpr int kMessageTextId = 0xFFFF;  // the static control of MessageBox

struct WindowSearch {
  DWORD pid;
  const wchar_t* className;
  HWND found;
};

BOOL CALLBACK FindTopLevel(HWND window, LPARAM param) {
  auto* search = reinterpret_cast<WindowSearch*>(param);
  DWORD pid = 0;
  GetWindowThreadProcessId(window, &pid);
  if ((search->pid == 0 || pid == search->pid) && IsWindowVisible(window) &&
      ClassOf(window) == search->className) {
    search->found = window;
    return FALSE;
  }
  return TRUE;
}

BOOL CALLBACK FindMadeWindow(HWND window, LPARAM param) {
  auto* search = reinterpret_cast<WindowSearch*>(param);
  DWORD pid = 0;
  GetWindowThreadProcessId(window, &pid);
  if ((search->pid == 0 || pid == search->pid) &&
      _wcsicmp(ClassOf(window).c_str(), search->className) == 0) {
    search->found = window;
    return FALSE;
  }
  return TRUE;
}

struct ControlSearch {
  int id;
  HWND found;
};

BOOL CALLBACK FindChildWithId(HWND window, LPARAM param) {
  auto* search = reinterpret_cast<ControlSearch*>(param);
  if (GetDlgCtrlID(window) == search->id) {
    search->found = window;
    return FALSE;
  }
  return TRUE;
}

}  // namespace

std::wstring ClassOf(HWND window) {
  wchar_t name[64] = {};
  GetClassNameW(window, name, 64);
  return name;
}

bool WaitForWindowMade(DWORD pid, const wchar_t* className, DWORD timeoutMs) {
  const DWORD start = GetTickCount();
  while (GetTickCount() - start < timeoutMs) {
    WindowSearch search{pid, className, nullptr};
    EnumWindows(FindMadeWindow, reinterpret_cast<LPARAM>(&search));
    if (search.found != nullptr) return true;
    Pause(5);
  }
  return false;
}

HWND FindProcessWindow(DWORD pid, const wchar_t* className) {
  WindowSearch search{pid, className, nullptr};  // pid 0: any process
  EnumWindows(FindTopLevel, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

HWND FindControl(HWND parent, int id) {
  ControlSearch search{id, nullptr};
  EnumChildWindows(parent, FindChildWithId, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

std::vector<HWND> TaskbarWindows(DWORD pid) {
  struct Found {
    DWORD pid;
    std::vector<HWND> windows;
  } found{pid, {}};
  EnumWindows(
      [](HWND window, LPARAM data) -> BOOL {
        auto* f = reinterpret_cast<Found*>(data);
        DWORD pid = 0;
        GetWindowThreadProcessId(window, &pid);
        if (pid == f->pid && IsWindowVisible(window) && !GetWindow(window, GW_OWNER) &&
            !(GetWindowLongW(window, GWL_EXSTYLE) & WS_EX_TOOLWINDOW)) {
          f->windows.push_back(window);
        }
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&found));
  return found.windows;
}

std::wstring TextOf(HWND window) {
  DWORD_PTR length = 0;
  if (!SendMessageTimeoutW(window, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG,
                           kSendTimeoutMs, &length)) {
    return {};
  }
  std::wstring text(length + 1, L'\0');
  DWORD_PTR got = 0;
  SendMessageTimeoutW(window, WM_GETTEXT, length + 1,
                      reinterpret_cast<LPARAM>(text.data()), SMTO_ABORTIFHUNG,
                      kSendTimeoutMs, &got);
  text.resize(got);
  return text;
}

std::string MessageTextOf(HWND dialog) {
  HWND label = GetDlgItem(dialog, kMessageTextId);
  std::string text = WideToUtf8(label ? TextOf(label) : std::wstring());
  std::string line;
  for (char c : text) {
    if (c == '\r') continue;
    if (c == '\n') line += "\\n";
    else line += c;
  }
  return line;
}

void PressButton(HWND dialog, int id) {
  PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
               reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}

void PressOk(HWND dialog) { PressButton(dialog, IDOK); }

}  // namespace zumorika::host
