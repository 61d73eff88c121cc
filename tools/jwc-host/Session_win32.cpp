#include "Session_win32.h"

#include "ToolWindows_win32.h"

namespace zumorika::host {

Session::Session(const Options& options, HANDLE process, DWORD pid, DWORD tid,
                 bool launched)
    : options_(options),
      process_(launched ? nullptr : process),
      launcher_(launched ? process : nullptr),
      pid_(launched ? 0 : pid),
      tid_(launched ? 0 : tid) {}

// The order matters: the waits and the box answers run whatever state the
// window is in; taskbar-close may meet an open message box; every other step
// needs the window with no box over it, and the last group a control.
int Session::RunStep(const Step& step) {
  NoteLauncher();
  if (step.verb == "sleep") return SleepFor(step);
  if (step.verb == "signal") return Signal(step);
  if (step.verb == "waitfile") return WaitFile(step);
  if (step.verb == "message") return AnswerMessage(step);
  if (step.verb == "dialog") return AnswerDialog(step);
  if (!Running() || !IsWindow(main_)) return Fail(step, "the tool has ended");
  if (step.verb == "taskbar-close") return TaskbarClose(step);
  if (HWND box = FindProcessWindow(pid_, kDialogClass)) {
    return Fail(step, "a message box is open: " + MessageTextOf(box));
  }
  if (step.verb == "expect-open") return kOk;
  if (step.verb == "close") return Close();
  if (step.verb == "minimize") return Minimize(step);
  if (step.verb == "restore") return Restore(step);
  if (step.verb == "expect-shown") return ExpectShown(step);
  if (step.verb == "sysclose") return SysClose();
  if (step.verb == "move") return Move(step);
  if (step.verb == "print-rect") return PrintRect();
  if (step.verb == "expect-pos") return ExpectPos(step);
  if (step.verb == "key") return PressKey(step);
  if (step.verb == "expect-focus") return ExpectFocus(step);
  if (step.verb == "expect-default") return ExpectDefault(step);
  if (step.verb == "expect-taskbar") return ExpectTaskbar(step);
  if (step.verb == "expect-centred") return ExpectCentred(step);
  if (step.verb == "expect-client") return ExpectClient(step);

  const int id = static_cast<int>(Number(step.args[0]));
  HWND control = Control(id);
  if (!control) return Fail(step, "no control with ID " + std::to_string(id));
  if (step.verb == "set") return SetText(step, control);
  if (step.verb == "click" || step.verb == "radio") return Click(control);
  if (step.verb == "select") return Select(step, control, id);
  if (step.verb == "mouse") return Mouse(control);
  if (step.verb == "expect-selected") return ExpectSelected(step, control);
  if (step.verb == "print-text") return PrintText(step, control);
  if (step.verb == "expect-text") return ExpectText(step, control);
  if (step.verb == "expect-check") return ExpectCheck(step, control);
  if (step.verb == "expect-sel") return ExpectSel(step, control);
  return Fail(step, "not handled");
}

long Session::Number(const std::string& word) {
  long value = 0;
  ParseInt(word, value);
  return value;
}

int Session::Fail(const Step& step, const std::string& why) {
  Err("jwc-host: step \"" + step.source + "\" failed: " + why + "\n");
  return kStepFailed;
}

HWND Session::Control(int id) { return FindControl(main_, id); }

}  // namespace zumorika::host
