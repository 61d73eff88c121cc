// The steps and waits that follow the tool through time: its window
// appearing, its end, the command that launched it, and the plain waits and
// signals a script uses to meet a person or another script.
#include <string>

#include "Session_win32.h"
#include "ToolWindows_win32.h"

namespace zumorika::host {

bool Session::Running() const {
  HANDLE watched = process_ ? process_ : launcher_;
  return WaitForSingleObject(watched, 0) == WAIT_TIMEOUT;
}

void Session::NoteLauncher() {
  if (launcher_ && process_ && !launcherEarly_ &&
      WaitForSingleObject(launcher_, 0) == WAIT_OBJECT_0 &&
      WaitForSingleObject(process_, 0) == WAIT_TIMEOUT) {
    launcherEarly_ = true;
    Err("jwc-host: the launched command ended while the tool still ran\n");
  }
}

int Session::WaitForLauncher() {
  if (!launcher_) return kOk;
  if (WaitForSingleObject(launcher_, options_.timeoutMs) != WAIT_OBJECT_0) {
    Err("jwc-host: the launched command did not end after the tool\n");
    TerminateProcess(launcher_, 99);
    return kTimeout;
  }
  return launcherEarly_ ? kLauncherEarly : kOk;
}

int Session::WaitForWindow() {
  const DWORD start = GetTickCount();
  DWORD launcherGoneAt = 0;
  while (GetTickCount() - start < options_.timeoutMs) {
    main_ = FindProcessWindow(pid_, kMainClass);
    if (main_ && !process_) {
      tid_ = GetWindowThreadProcessId(main_, &pid_);
      tool_.reset(OpenProcess(SYNCHRONIZE | PROCESS_TERMINATE |
                                  PROCESS_QUERY_LIMITED_INFORMATION,
                              FALSE, pid_));
      if (!tool_) {
        Err("jwc-host: " + LastErrorText("OpenProcess") + "\n");
        return kStartFailed;
      }
      process_ = tool_.get();
      if (launcherGoneAt != 0) {
        launcherEarly_ = true;
        Err("jwc-host: the launched command ended before the tool's window appeared\n");
      }
      NoteLauncher();
    }
    if (main_) {
      // The window appears before the tool's loop runs; let it settle so
      // that the first step meets a window that handles its messages.
      const DWORD idleStart = GetTickCount();
      while (WaitForInputIdle(process_, 0) == WAIT_TIMEOUT &&
             GetTickCount() - idleStart < options_.timeoutMs) {
        Pause(PollMs());
      }
      return kOk;
    }
    if (HWND box = pid_ ? FindProcessWindow(pid_, kDialogClass) : nullptr) {
      Out("message: " + MessageTextOf(box) + "\n");
      PressOk(box);
    }
    if (!Running()) {
      // A launcher that does not wait ends before the tool shows its window;
      // give the tool a moment to appear, so that the fault is named.
      if (!launcher_) {
        Err("jwc-host: the tool ended before its window appeared\n");
        return kStartFailed;
      }
      if (launcherGoneAt == 0) launcherGoneAt = GetTickCount();
      if (GetTickCount() - launcherGoneAt > 5000) {
        Err("jwc-host: the launched command ended and no tool window appeared\n");
        return kStartFailed;
      }
    }
    Pause(PollMs());
  }
  Err("jwc-host: no TForm1 window of the tool within the timeout\n");
  return kStartFailed;
}

int Session::WaitForEnd() {
  const DWORD start = GetTickCount();
  while (GetTickCount() - start < options_.timeoutMs) {
    NoteLauncher();
    Pause(PollMs());
    if (WaitForSingleObject(process_, 0) == WAIT_OBJECT_0) {
      DWORD code = 0;
      GetExitCodeProcess(process_, &code);
      if (code != 0) {
        Err("jwc-host: the tool ended with exit code " + std::to_string(code) + "\n");
        return kToolExitCode;
      }
      return kOk;
    }
    if (HWND box = FindProcessWindow(pid_, kDialogClass)) {
      Out("message: " + MessageTextOf(box) + "\n");
      Err("jwc-host: unexpected message box: " + MessageTextOf(box) + "\n");
      Kill();
      return kUnexpectedBox;
    }
  }
  Err("jwc-host: the tool did not end within the timeout; killed\n");
  Kill();
  return kTimeout;
}

void Session::Kill() {
  if (process_) {
    TerminateProcess(process_, 99);
    WaitForSingleObject(process_, options_.timeoutMs);
  }
  if (launcher_) TerminateProcess(launcher_, 99);
}

int Session::SleepFor(const Step& step) {
  Pause(static_cast<DWORD>(Number(step.args[0])));
  return kOk;
}

int Session::Signal(const Step& step) {
  return WriteWholeFile(Utf8ToWide(step.args[0]), std::string())
             ? kOk
             : Fail(step, "cannot create the file");
}

int Session::WaitFile(const Step& step) {
  const std::wstring path = Utf8ToWide(step.args[0]);
  const DWORD start = GetTickCount();
  // Waiting for a person or a screenshot may take longer than a control.
  const DWORD limit = options_.timeoutMs * 4;
  while (GetTickCount() - start < limit) {
    if (GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES) return kOk;
    if (!Running()) return Fail(step, "the tool has ended");
    Pause(kPollMs * 5);
  }
  return Fail(step, "the file did not appear");
}

}  // namespace zumorika::host
