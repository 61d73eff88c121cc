// A dialog's keyboard for a plain window whose messages go through
// IsDialogMessage: Tab and group walking, arrows within radio groups, the
// default push button following the focus, group-box mnemonics, the focus
// kept across deactivation, and the WM_GETDLGCODE answers of the controls
// that need them. It works from the layout table and knows no control by
// name.
#pragma once

#include <windows.h>

#include <map>
#include <vector>

namespace zumorika {

class DialogKeyboard {
 public:
  // `controls`: the window's controls by ID, as the layout table made them.
  explicit DialogKeyboard(const std::map<int, HWND>& controls);
  DialogKeyboard(const DialogKeyboard&) = delete;
  DialogKeyboard& operator=(const DialogKeyboard&) = delete;

  // Takes over the keyboard of `window` and its controls: radio buttons,
  // push buttons and read-only multi-line edits answer the dialog manager
  // as a dialog's would, and the keyboard cues start as a dialog's do.
  void Attach(HWND window);

  // The window's messages that belong to the keyboard (DM_GETDEFID,
  // WM_NEXTDLGCTL, a radio button's click, the activation). True when the
  // message was handled, with its result.
  bool HandleMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);

  // Moves the focus as a dialog does; false when the control cannot take it
  // (null, or an unchecked radio button).
  bool FocusOn(HWND control);
  // The focus to the first control of the tab order that can take it.
  void FocusFirstTabStop();

  bool IsChecked(int id) const;
  // Checks one radio button of its group and unchecks the others.
  void CheckRadio(int id);

 private:
  static LRESULT CALLBACK RadioProc(HWND, UINT, WPARAM, LPARAM, UINT_PTR, DWORD_PTR);
  static LRESULT CALLBACK PushButtonProc(HWND, UINT, WPARAM, LPARAM, UINT_PTR, DWORD_PTR);
  static LRESULT CALLBACK ReadOnlyTextProc(HWND, UINT, WPARAM, LPARAM, UINT_PTR, DWORD_PTR);

  HWND Control(int id) const;
  HWND FirstTabStop(HWND parent) const;
  HWND ControlOf(HWND window) const;
  void NextDialogControl(WPARAM wParam, LPARAM lParam);
  int DefaultButtonId() const;
  void UpdateDefaultButton();
  void MoveInRadioGroup(HWND from, bool forward);

  const std::map<int, HWND>& controls_;
  HWND window_ = nullptr;
  std::vector<int> pushButtons_;
  int designedDefaultId_ = 0;
  HWND lastFocus_ = nullptr;
  HWND pendingGroup_ = nullptr;
};

}  // namespace zumorika
