// The steps that drive and check the tool's window as a whole: closing it,
// minimising and restoring it through the taskbar window, its place and
// size, and the one window that carries its taskbar button.
#include <string>
#include <vector>

#include "Session_win32.h"
#include "ToolWindows_win32.h"

namespace zumorika::host {

int Session::TaskbarClose(const Step& step) {
  const std::vector<HWND> windows = TaskbarWindows(pid_);
  if (windows.size() != 1) return Fail(step, "no one taskbar window");
  PostMessageW(windows[0], WM_SYSCOMMAND, SC_CLOSE, 0);
  Pause(kPollMs * 10);
  return kOk;
}

int Session::Close() {
  PostMessageW(main_, WM_CLOSE, 0, 0);
  return kOk;
}

int Session::SysClose() {
  PostMessageW(main_, WM_SYSCOMMAND, SC_CLOSE, 0);
  return kOk;
}

int Session::Minimize(const Step& step) {
  if (!step.args.empty() && step.args[0] == "showwindow") {
    ShowWindow(main_, SW_MINIMIZE);
  } else if (!step.args.empty()) {
    return Fail(step, "minimize takes nothing or showwindow");
  } else {
    PostMessageW(main_, WM_SYSCOMMAND, SC_MINIMIZE, 0);
  }
  Pause(kPollMs * 10);
  return kOk;
}

int Session::Restore(const Step& step) {
  const std::vector<HWND> windows = TaskbarWindows(pid_);
  if (windows.size() != 1) return Fail(step, "no one taskbar window");
  ShowWindow(windows[0], SW_RESTORE);
  SetForegroundWindow(windows[0]);
  Pause(kPollMs * 10);
  return kOk;
}

int Session::ExpectShown(const Step& step) {
  const bool shown = IsWindowVisible(main_) && !IsIconic(main_);
  if (shown != (Number(step.args[0]) != 0)) {
    return Fail(step, std::string("the window is ") + (IsIconic(main_) ? "minimised" :
                                  IsWindowVisible(main_) ? "shown" : "hidden"));
  }
  return kOk;
}

int Session::Move(const Step& step) {
  if (!SetWindowPos(main_, nullptr, Number(step.args[0]), Number(step.args[1]),
                    0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE)) {
    return Fail(step, LastErrorText("SetWindowPos"));
  }
  return kOk;
}

int Session::PrintRect() {
  RECT rect{};
  GetWindowRect(main_, &rect);
  Out("rect: " + std::to_string(rect.left) + " " + std::to_string(rect.top) + " " +
      std::to_string(rect.right) + " " + std::to_string(rect.bottom) + "\n");
  return kOk;
}

int Session::ExpectPos(const Step& step) {
  RECT rect{};
  GetWindowRect(main_, &rect);
  const long x = Number(step.args[0]), y = Number(step.args[1]);
  if (rect.left != x || rect.top != y) {
    return Fail(step, "the window is at " + std::to_string(rect.left) +
                          ", " + std::to_string(rect.top));
  }
  return kOk;
}

int Session::ExpectTaskbar(const Step& step) {
  const std::vector<HWND> windows = TaskbarWindows(pid_);
  if (windows.size() != 1) {
    std::string titles;
    for (HWND w : windows) titles += " \"" + WideToUtf8(TextOf(w)) + "\"";
    return Fail(step, std::to_string(windows.size()) + " windows have a taskbar button:" + titles);
  }
  const std::string title = WideToUtf8(TextOf(windows[0]));
  if (title != step.args[0]) return Fail(step, "the taskbar button reads \"" + title + "\"");
  if (GetWindow(main_, GW_OWNER) != windows[0]) {
    return Fail(step, "the form is not owned by the taskbar window");
  }
  return kOk;
}

int Session::ExpectCentred(const Step& step) {
  RECT rect{};
  GetWindowRect(main_, &rect);
  MONITORINFO info{};
  info.cbSize = sizeof info;
  GetMonitorInfoW(MonitorFromWindow(main_, MONITOR_DEFAULTTONEAREST), &info);
  const RECT& work = info.rcWork;
  const long dx = (rect.left - work.left) - (work.right - rect.right);
  const long dy = (rect.top - work.top) - (work.bottom - rect.bottom);
  if (dx >= -1 && dx <= 1 && dy >= -1 && dy <= 1) return kOk;
  return Fail(step, "the window is at " + std::to_string(rect.left) + ", " +
                        std::to_string(rect.top) + " in a work area " +
                        std::to_string(work.left) + ", " + std::to_string(work.top) + ", " +
                        std::to_string(work.right) + ", " + std::to_string(work.bottom));
}

int Session::ExpectClient(const Step& step) {
  RECT client{};
  GetClientRect(main_, &client);
  if (client.right != Number(step.args[0]) || client.bottom != Number(step.args[1])) {
    return Fail(step, "the client area is " + std::to_string(client.right) + " x " +
                          std::to_string(client.bottom));
  }
  return kOk;
}

}  // namespace zumorika::host
