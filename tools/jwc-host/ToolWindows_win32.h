// The tool's windows as jwc-host finds, reads and presses them: top-level
// windows by process and class, controls by ID, window text, the windows
// with a taskbar button, and the text and buttons of message boxes.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace zumorika::host {

inline constexpr wchar_t kMainClass[] = L"TForm1";
inline constexpr wchar_t kDialogClass[] = L"#32770";

std::wstring ClassOf(HWND window);

// Waits until a top-level window of the class exists, shown or not (pid 0:
// in any process); false after timeoutMs. Messages are handled meanwhile:
// under Wine a program that holds the clipboard must answer them, or other
// programs' OpenClipboard waits for it instead of failing.
bool WaitForWindowMade(DWORD pid, const wchar_t* className, DWORD timeoutMs);

// A visible top-level window of the class (pid 0: in any process), or null.
HWND FindProcessWindow(DWORD pid, const wchar_t* className);

// The first window below parent with the control ID, or null.
HWND FindControl(HWND parent, int id);

// The process's windows that get a taskbar button: visible top-level
// windows without an owner that are no tool windows.
std::vector<HWND> TaskbarWindows(DWORD pid);

std::wstring TextOf(HWND window);

// A message box's text as one line of UTF-8 (its line breaks shown as "\n").
std::string MessageTextOf(HWND dialog);

// A posted command closes a dialog like a click, without needing the focus.
void PressButton(HWND dialog, int id);

// The message box's only button is IDOK.
void PressOk(HWND dialog);

}  // namespace zumorika::host
