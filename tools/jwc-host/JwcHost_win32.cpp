// jwc-host: plays Jw_cad's part in an external transformation, so that the
// tool can be run and driven from scripts. It writes JWC_TEMP.TXT beside the
// tool, puts a picture on the clipboard, starts the tool, drives its window
// by control ID, answers its message boxes and hands back the exchange file
// the tool wrote.
#include <windows.h>
#include <shlobj.h>  // DROPFILES

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <type_traits>
#include <vector>

#include "ClipPictures.h"
#include "HostSteps.h"
#include "HostClipboard_win32.h"
#include "HostCommon_win32.h"
#include "HostOptions_win32.h"
#include "ToolWindows_win32.h"
#include "util/WinHandles_win32.h"

namespace zumorika::host {
namespace {


LARGE_INTEGER Now() {
  LARGE_INTEGER now;
  QueryPerformanceCounter(&now);
  return now;
}

// Milliseconds since `start`, with one decimal.
std::string MillisecondsSince(LARGE_INTEGER start) {
  LARGE_INTEGER frequency;
  QueryPerformanceFrequency(&frequency);
  const double ms = static_cast<double>(Now().QuadPart - start.QuadPart) * 1000.0 /
                    static_cast<double>(frequency.QuadPart);
  char text[32];
  std::snprintf(text, sizeof text, "%.1f", ms);
  return text;
}

class Session {
 public:
  // With launched set, process is the launching command; the tool is found
  // by its window.
  Session(const Options& options, HANDLE process, DWORD pid, DWORD tid,
          bool launched)
      : options_(options),
        process_(launched ? nullptr : process),
        launcher_(launched ? process : nullptr),
        pid_(launched ? 0 : pid),
        tid_(launched ? 0 : tid) {}

  // Timed runs look every millisecond, so that the figures are not rounded
  // up to the usual polling step.
  DWORD PollMs() const { return options_.timing ? 1 : kPollMs; }

  bool Running() const {
    HANDLE watched = process_ ? process_ : launcher_;
    return WaitForSingleObject(watched, 0) == WAIT_TIMEOUT;
  }

  // The host waits for the command it started; a command that returns while
  // the tool still runs would make the host read the exchange file too early.
  void NoteLauncher() {
    if (launcher_ && process_ && !launcherEarly_ &&
        WaitForSingleObject(launcher_, 0) == WAIT_OBJECT_0 &&
        WaitForSingleObject(process_, 0) == WAIT_TIMEOUT) {
      launcherEarly_ = true;
      Err("jwc-host: the launched command ended while the tool still ran\n");
    }
  }
  bool LauncherEndedEarly() const { return launcherEarly_; }

  // After the tool: the launched command must end too.
  int WaitForLauncher() {
    if (!launcher_) return kOk;
    if (WaitForSingleObject(launcher_, options_.timeoutMs) != WAIT_OBJECT_0) {
      Err("jwc-host: the launched command did not end after the tool\n");
      TerminateProcess(launcher_, 99);
      return kTimeout;
    }
    return launcherEarly_ ? kLauncherEarly : kOk;
  }

  int WaitForWindow() {
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

  int RunStep(const Step& step) {
    NoteLauncher();
    if (step.verb == "sleep") {
      Pause(static_cast<DWORD>(Number(step.args[0])));
      return kOk;
    }
    if (step.verb == "signal") {
      return WriteWholeFile(Utf8ToWide(step.args[0]), std::string())
                 ? kOk
                 : Fail(step, "cannot create the file");
    }
    if (step.verb == "waitfile") return WaitFile(step);
    if (step.verb == "message") return AnswerMessage(step);
    if (step.verb == "dialog") return AnswerDialog(step);
    if (!Running() || !IsWindow(main_)) return Fail(step, "the tool has ended");
    if (step.verb == "taskbar-close") {
      const std::vector<HWND> windows = TaskbarWindows();
      if (windows.size() != 1) return Fail(step, "no one taskbar window");
      PostMessageW(windows[0], WM_SYSCOMMAND, SC_CLOSE, 0);
      Pause(kPollMs * 10);
      return kOk;
    }
    if (HWND box = FindProcessWindow(pid_, kDialogClass)) {
      return Fail(step, "a message box is open: " + MessageTextOf(box));
    }
    if (step.verb == "expect-open") return kOk;
    if (step.verb == "close") {
      PostMessageW(main_, WM_CLOSE, 0, 0);
      return kOk;
    }
    if (step.verb == "minimize") {
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
    if (step.verb == "restore") {
      const std::vector<HWND> windows = TaskbarWindows();
      if (windows.size() != 1) return Fail(step, "no one taskbar window");
      ShowWindow(windows[0], SW_RESTORE);
      SetForegroundWindow(windows[0]);
      Pause(kPollMs * 10);
      return kOk;
    }
    if (step.verb == "expect-shown") {
      const bool shown = IsWindowVisible(main_) && !IsIconic(main_);
      if (shown != (Number(step.args[0]) != 0)) {
        return Fail(step, std::string("the window is ") + (IsIconic(main_) ? "minimised" :
                                      IsWindowVisible(main_) ? "shown" : "hidden"));
      }
      return kOk;
    }
    if (step.verb == "sysclose") {
      PostMessageW(main_, WM_SYSCOMMAND, SC_CLOSE, 0);
      return kOk;
    }
    if (step.verb == "move") {
      if (!SetWindowPos(main_, nullptr, Number(step.args[0]), Number(step.args[1]),
                        0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE)) {
        return Fail(step, LastErrorText("SetWindowPos"));
      }
      return kOk;
    }
    if (step.verb == "print-rect") {
      RECT rect{};
      GetWindowRect(main_, &rect);
      Out("rect: " + std::to_string(rect.left) + " " + std::to_string(rect.top) + " " +
          std::to_string(rect.right) + " " + std::to_string(rect.bottom) + "\n");
      return kOk;
    }
    if (step.verb == "expect-pos") {
      RECT rect{};
      GetWindowRect(main_, &rect);
      const long x = Number(step.args[0]), y = Number(step.args[1]);
      if (rect.left != x || rect.top != y) {
        return Fail(step, "the window is at " + std::to_string(rect.left) +
                              ", " + std::to_string(rect.top));
      }
      return kOk;
    }
    if (step.verb == "key") return PressKey(step);
    if (step.verb == "expect-focus") return ExpectFocus(step);
    if (step.verb == "expect-default") return ExpectDefault(step);
    if (step.verb == "expect-taskbar") return ExpectTaskbar(step);
    if (step.verb == "expect-centred") return ExpectCentred(step);
    if (step.verb == "expect-client") {
      RECT client{};
      GetClientRect(main_, &client);
      if (client.right != Number(step.args[0]) || client.bottom != Number(step.args[1])) {
        return Fail(step, "the client area is " + std::to_string(client.right) + " x " +
                              std::to_string(client.bottom));
      }
      return kOk;
    }

    const int id = static_cast<int>(Number(step.args[0]));
    HWND control = Control(id);
    if (!control) return Fail(step, "no control with ID " + std::to_string(id));
    if (step.verb == "set") {
      const std::wstring text = Utf8ToWide(step.args[1]);
      DWORD_PTR result = 0;
      if (!SendMessageTimeoutW(control, WM_SETTEXT, 0,
                               reinterpret_cast<LPARAM>(text.c_str()),
                               SMTO_ABORTIFHUNG, kSendTimeoutMs, &result)) {
        return Fail(step, LastErrorText("WM_SETTEXT"));
      }
      return kOk;
    }
    if (step.verb == "click" || step.verb == "radio") {
      // Posted: a click that opens a modal message box must not block us.
      PostMessageW(control, BM_CLICK, 0, 0);
      Pause(kPollMs);
      return kOk;
    }
    if (step.verb == "select") {
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
    if (step.verb == "mouse") return Mouse(control);
    if (step.verb == "expect-selected") return ExpectSelected(step, control);
    if (step.verb == "print-text") {
      Out("text " + step.args[0] + ": " + WideToUtf8(TextOf(control)) + "\n");
      return kOk;
    }
    if (step.verb == "expect-text") {
      const std::string actual = WideToUtf8(TextOf(control));
      if (actual != step.args[1]) {
        return Fail(step, "the text is \"" + actual + "\"");
      }
      return kOk;
    }
    if (step.verb == "expect-check") {
      DWORD_PTR state = 0;
      SendMessageTimeoutW(control, BM_GETCHECK, 0, 0, SMTO_ABORTIFHUNG,
                          kSendTimeoutMs, &state);
      if (static_cast<long>(state) != Number(step.args[1])) {
        return Fail(step, "the check state is " + std::to_string(state));
      }
      return kOk;
    }
    if (step.verb == "expect-sel") {
      DWORD_PTR index = 0;
      SendMessageTimeoutW(control, CB_GETCURSEL, 0, 0, SMTO_ABORTIFHUNG,
                          kSendTimeoutMs, &index);
      if (static_cast<LRESULT>(index) != Number(step.args[1])) {
        return Fail(step, "the selected item is " +
                              std::to_string(static_cast<LRESULT>(index)));
      }
      return kOk;
    }
    return Fail(step, "not handled");
  }

  // Waits for the tool to end; a message box meanwhile fails the run.
  int WaitForEnd() {
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

  void Kill() {
    if (process_) {
      TerminateProcess(process_, 99);
      WaitForSingleObject(process_, options_.timeoutMs);
    }
    if (launcher_) TerminateProcess(launcher_, 99);
  }

 private:
  static long Number(const std::string& word) {
    long value = 0;
    ParseInt(word, value);
    return value;
  }

  int Fail(const Step& step, const std::string& why) {
    Err("jwc-host: step \"" + step.source + "\" failed: " + why + "\n");
    return kStepFailed;
  }

  HWND Control(int id) {
    return FindControl(main_, id);
  }

  HWND FocusWindow() {
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    if (GetGUIThreadInfo(tid_, &info) && info.hwndFocus) return info.hwndFocus;
    return nullptr;
  }

  bool FocusIsOn(HWND focus, long id) {
    // The edit box inside an editable combo box holds the focus for it.
    for (HWND w = focus; w && w != main_; w = GetParent(w)) {
      if (GetDlgCtrlID(w) == id) return true;
      if (ClassOf(GetParent(w)) != L"ComboBox") break;
    }
    return false;
  }

  int ExpectFocus(const Step& step) {
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
  int PressKey(const Step& step) {
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
  int Mouse(HWND control) {
    const LPARAM at = MAKELPARAM(2, 2);
    PostMessageW(control, WM_LBUTTONDOWN, MK_LBUTTON, at);
    PostMessageW(control, WM_LBUTTONUP, 0, at);
    Pause(kPollMs * 5);
    return kOk;
  }
  int ExpectSelected(const Step& step, HWND control) {
    DWORD_PTR length = 0, range = 0;
    SendMessageTimeoutW(control, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, kSendTimeoutMs, &length);
    DWORD start = 0, end = 0;
    SendMessageTimeoutW(control, EM_GETSEL, reinterpret_cast<WPARAM>(&start),
                        reinterpret_cast<LPARAM>(&end), SMTO_ABORTIFHUNG, kSendTimeoutMs, &range);
    if (start == 0 && end == length) return kOk;
    return Fail(step, "the selection is " + std::to_string(start) + ".." + std::to_string(end) +
                          " of " + std::to_string(length) + " characters");
  }
  int ExpectDefault(const Step& step) {
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
  // The tool's windows that get a taskbar button: visible top-level windows
  // without an owner that are no tool windows.
  std::vector<HWND> TaskbarWindows() {
    struct Found {
      DWORD pid;
      std::vector<HWND> windows;
    } found{pid_, {}};
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
  int ExpectTaskbar(const Step& step) {
    const std::vector<HWND> windows = TaskbarWindows();
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
  int ExpectCentred(const Step& step) {
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
  // A box must belong to the tool's window: an unowned box can fall behind
  // the host, and its closing hands the activation to another program.
  bool OwnedByTool(HWND box) {
    HWND owner = GetWindow(box, GW_OWNER);
    if (!owner) return false;
    if (owner == main_) return true;
    for (HWND w : TaskbarWindows())
      if (owner == w) return true;
    return false;
  }
  int WaitFile(const Step& step) {
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

  // Waits for a dialog of the tool (`kind` names it in failures); null, with
  // `result` set, when none comes.
  HWND AwaitDialog(const Step& step, const std::string& kind, int& result) {
    const DWORD start = GetTickCount();
    while (GetTickCount() - start < options_.timeoutMs) {
      if (HWND dialog = FindProcessWindow(pid_, kDialogClass)) return dialog;
      if (!Running()) {
        result = Fail(step, "the tool ended without a " + kind);
        return nullptr;
      }
      Pause(kPollMs);
    }
    result = Fail(step, "no " + kind + " within the timeout");
    return nullptr;
  }

  // Waits for the dialog to go, so that the next step meets the main window.
  bool AwaitClosed(HWND dialog) {
    const DWORD closing = GetTickCount();
    while (IsWindow(dialog) && GetTickCount() - closing < options_.timeoutMs) {
      Pause(kPollMs);
    }
    return !IsWindow(dialog);
  }

  int AnswerMessage(const Step& step) {
    int result = kOk;
    HWND box = AwaitDialog(step, "message box", result);
    if (!box) return result;
    // Let the box finish building itself before its text is read.
    Pause(kPollMs * 5);
    const std::string text = MessageTextOf(box);
    Out("message: " + text + "\n");
    const bool owned = OwnedByTool(box);
    PressOk(box);
    AwaitClosed(box);
    if (!owned) return Fail(step, "the message box has no owner window of the tool");
    if (!step.args.empty() && text != step.args[0]) {
      return Fail(step, "the message was \"" + text + "\"");
    }
    return kOk;
  }

  int AnswerDialog(const Step& step) {
    const bool ok = step.args[0] == "ok";  // else "cancel", checked when parsed
    int result = kOk;
    HWND dialog = AwaitDialog(step, "dialog", result);
    if (!dialog) return result;
    // A file dialog fills its folder view after it shows.
    Pause(kPollMs * 25);
    Out("dialog: " + WideToUtf8(TextOf(dialog)) + "\n");
    PressButton(dialog, ok ? IDOK : IDCANCEL);
    return AwaitClosed(dialog) ? kOk : Fail(step, "the dialog stayed open");
  }

  const Options& options_;
  HANDLE process_;
  HANDLE launcher_;
  UniqueKernelHandle tool_;  // the tool's process when found by its window
  DWORD pid_;
  DWORD tid_;
  HWND main_ = nullptr;
  bool launcherEarly_ = false;
};

// --- The run ---------------------------------------------------------------

int Run(const Options& options) {
  UniqueWindow owner;
  // --list-formats without a tool: the clipboard as asked, its formats shown.
  if (options.tool.empty()) return SetUpClipboard(options, owner);
  std::wstring tool = options.tool;
  if (!options.dir.empty()) {
    const std::wstring copy = WithSeparator(options.dir) + NameOf(tool);
    CreateDirectoryW(options.dir.c_str(), nullptr);
    if (!CopyFileW(tool.c_str(), copy.c_str(), FALSE)) {
      Err("jwc-host: " + LastErrorText("CopyFileW") + " for " + WideToUtf8(tool) + "\n");
      return kSetupFailed;
    }
    tool = copy;
  }
  wchar_t full[MAX_PATH * 4] = {};
  if (!GetFullPathNameW(tool.c_str(), MAX_PATH * 4, full, nullptr)) {
    Err("jwc-host: " + LastErrorText("GetFullPathNameW") + "\n");
    return kSetupFailed;
  }
  tool = full;
  const std::wstring folder = FolderOf(tool);
  const std::wstring exchangePath = folder + L"JWC_TEMP.TXT";

  if (!options.keepExchange) {
    if (options.exchange.empty()) {
      DeleteFileW(exchangePath.c_str());
    } else {
      std::string bytes;
      if (!ReadWholeFile(options.exchange, bytes) ||
          !WriteWholeFile(exchangePath, bytes)) {
        Err("jwc-host: cannot copy " + WideToUtf8(options.exchange) + " to " +
            WideToUtf8(exchangePath) + "\n");
        return kSetupFailed;
      }
    }
  }

  if (const int set = SetUpClipboard(options, owner); set != kOk) return set;

  std::unique_ptr<ClipboardSession> held;
  if (options.holdClipboard) {
    held = std::make_unique<ClipboardSession>(owner.get());
    if (!held->is_open()) {
      Err("jwc-host: clipboard: cannot keep it open\n");
      return kSetupFailed;
    }
  }

  const bool launched = !options.launch.empty();
  std::wstring commandLine = launched ? options.launch : L"\"" + tool + L"\"";
  if (!launched && !options.toolArgs.empty()) commandLine += L" " + options.toolArgs;
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION info{};
  const LARGE_INTEGER started = Now();
  if (!CreateProcessW(launched ? nullptr : tool.c_str(), commandLine.data(),
                      nullptr, nullptr, FALSE, 0, nullptr, folder.c_str(),
                      &startup, &info)) {
    Err("jwc-host: " + LastErrorText("CreateProcessW") + " for " +
        WideToUtf8(commandLine) + "\n");
    return kStartFailed;
  }
  UniqueKernelHandle process(info.hProcess);
  UniqueKernelHandle thread(info.hThread);

  Session session(options, process.get(), info.dwProcessId, info.dwThreadId,
                  launched);
  if (held && options.holdClipboardMs != 0) {
    // The tool opens the clipboard with a hidden static window of its own,
    // made for each open and kept while it waits for a busy clipboard; its
    // appearance marks the first try. A tool that gives up at once is gone
    // before it is seen: the clipboard is then held until the timeout.
    WaitForWindowMade(launched ? 0 : info.dwProcessId, L"Static", options.timeoutMs);
    Pause(options.holdClipboardMs);
    held.reset();
  }
  int result = session.WaitForWindow();
  if (options.timing && result == kOk) {
    Out("timing: start-up " + MillisecondsSince(started) + "\n");
  }
  held.reset();
  for (size_t i = 0; result == kOk && i < options.steps.size(); ++i) {
    result = session.RunStep(options.steps[i]);
  }
  if (result != kOk) {
    session.Kill();
    return result;
  }
  const LARGE_INTEGER stepsDone = Now();
  result = session.WaitForEnd();
  if (result != kOk) return result;
  if (options.timing) Out("timing: finish " + MillisecondsSince(stepsDone) + "\n");
  const int launcherResult = session.WaitForLauncher();

  std::string returned;
  if (!ReadWholeFile(exchangePath, returned)) {
    Err("jwc-host: the tool left no " + WideToUtf8(exchangePath) + "\n");
    return kNoExchangeFile;
  }
  if (!options.out.empty() && !WriteWholeFile(options.out, returned)) {
    Err("jwc-host: cannot write " + WideToUtf8(options.out) + "\n");
    return kSetupFailed;
  }
  if (options.print) Out(WideToUtf8(ToWide(returned, 932)));
  return launcherResult;
}

}  // namespace
}  // namespace zumorika::host

int wmain(int argc, wchar_t** argv) {
  // Per-monitor aware like the tool, so that the tool's rectangles reach us
  // in real pixels, not scaled to 96 dpi for an unaware caller.
  using SetContextFn = BOOL(WINAPI*)(HANDLE);
  if (auto setContext = reinterpret_cast<SetContextFn>(reinterpret_cast<void*>(
          GetProcAddress(GetModuleHandleW(L"user32.dll"), "SetProcessDpiAwarenessContext")))) {
    // Per-monitor v2, else v1 (Wine 8 knows v1 only).
    if (!setContext(reinterpret_cast<HANDLE>(static_cast<INT_PTR>(-4))))
      setContext(reinterpret_cast<HANDLE>(static_cast<INT_PTR>(-3)));
  }
  zumorika::host::Options options;
  const int parsed = zumorika::host::ParseOptions(argc, argv, options);
  if (parsed != zumorika::host::kOk) return parsed;
  return zumorika::host::Run(options);
}
