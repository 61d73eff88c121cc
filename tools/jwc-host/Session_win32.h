// One run of the tool as jwc-host drives it: waiting for its window, the
// steps in order, then waiting for its end. RunStep holds the one dispatch
// from verb to step; the steps live beside what they drive:
//   Session_win32.cpp             the dispatch, control lookup, failures
//   SessionTiming_win32.cpp       the tool's start and end, the launching
//                                 command, sleep, signal and waitfile
//   SessionBoxes_win32.cpp        message boxes and other dialogs
//   SessionKeyboard_win32.cpp     keys, mouse, focus, selection, default button
//   SessionWindowState_win32.cpp  the window's state, place and size, the taskbar
//   SessionControls_win32.cpp     setting, pressing and reading controls
#pragma once

#include <windows.h>

#include <string>

#include "HostCommon_win32.h"
#include "HostOptions_win32.h"
#include "HostSteps.h"
#include "util/WinHandles_win32.h"

namespace zumorika::host {

class Session {
 public:
  // With launched set, process is the launching command; the tool is found
  // by its window.
  Session(const Options& options, HANDLE process, DWORD pid, DWORD tid,
          bool launched);

  // Timed runs look every millisecond, so that the figures are not rounded
  // up to the usual polling step.
  DWORD PollMs() const { return options_.timing ? 1 : kPollMs; }

  bool Running() const;

  // The host waits for the command it started; a command that returns while
  // the tool still runs would make the host read the exchange file too early.
  void NoteLauncher();
  bool LauncherEndedEarly() const { return launcherEarly_; }

  // After the tool: the launched command must end too.
  int WaitForLauncher();

  int WaitForWindow();
  int RunStep(const Step& step);

  // Waits for the tool to end; a message box meanwhile fails the run.
  int WaitForEnd();

  void Kill();

 private:
  static long Number(const std::string& word);
  int Fail(const Step& step, const std::string& why);
  HWND Control(int id);

  // Timing.
  int SleepFor(const Step& step);
  int Signal(const Step& step);
  int WaitFile(const Step& step);

  // Message boxes and dialogs.
  bool OwnedByTool(HWND box);
  HWND AwaitDialog(const Step& step, const std::string& kind, int& result);
  bool AwaitClosed(HWND dialog);
  int AnswerMessage(const Step& step);
  int AnswerDialog(const Step& step);

  // Keyboard and focus.
  HWND FocusWindow();
  bool FocusIsOn(HWND focus, long id);
  int ExpectFocus(const Step& step);
  int PressKey(const Step& step);
  int Mouse(HWND control);
  int ExpectSelected(const Step& step, HWND control);
  int ExpectDefault(const Step& step);

  // Window state and taskbar.
  int TaskbarClose(const Step& step);
  int Close();
  int SysClose();
  int Minimize(const Step& step);
  int Restore(const Step& step);
  int ExpectShown(const Step& step);
  int Move(const Step& step);
  int PrintRect();
  int ExpectPos(const Step& step);
  int ExpectTaskbar(const Step& step);
  int ExpectCentred(const Step& step);
  int ExpectClient(const Step& step);

  // Controls.
  int SetText(const Step& step, HWND control);
  int Click(HWND control);
  int Select(const Step& step, HWND control, int id);
  int PrintText(const Step& step, HWND control);
  int ExpectText(const Step& step, HWND control);
  int ExpectCheck(const Step& step, HWND control);
  int ExpectSel(const Step& step, HWND control);

  const Options& options_;
  HANDLE process_;
  HANDLE launcher_;
  UniqueKernelHandle tool_;  // the tool's process when found by its window
  DWORD pid_;
  DWORD tid_;
  HWND main_ = nullptr;
  bool launcherEarly_ = false;
};

}  // namespace zumorika::host
