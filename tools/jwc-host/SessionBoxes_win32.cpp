// The steps that answer the tool's message boxes and its other dialogs (the
// folder chooser): wait for one, read it, press its button, wait for it to go.
#include <string>

#include "Session_win32.h"
#include "ToolWindows_win32.h"

namespace zumorika::host {

// A box must belong to the tool's window: an unowned box can fall behind
// the host, and its closing hands the activation to another program.
bool Session::OwnedByTool(HWND box) {
  HWND owner = GetWindow(box, GW_OWNER);
  if (!owner) return false;
  if (owner == main_) return true;
  for (HWND w : TaskbarWindows(pid_))
    if (owner == w) return true;
  return false;
}

// Waits for a dialog of the tool (`kind` names it in failures); null, with
// `result` set, when none comes.
HWND Session::AwaitDialog(const Step& step, const std::string& kind, int& result) {
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
bool Session::AwaitClosed(HWND dialog) {
  const DWORD closing = GetTickCount();
  while (IsWindow(dialog) && GetTickCount() - closing < options_.timeoutMs) {
    Pause(kPollMs);
  }
  return !IsWindow(dialog);
}

int Session::AnswerMessage(const Step& step) {
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

int Session::AnswerDialog(const Step& step) {
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

}  // namespace zumorika::host
