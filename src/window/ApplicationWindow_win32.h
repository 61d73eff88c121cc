// The application window: never seen, it carries the process's one taskbar
// button, titled with the application title, and owns the form.
#pragma once

#include <windows.h>

#include <string_view>

#include "util/WinHandles_win32.h"

namespace zumorika {

class ApplicationWindow {
 public:
  ApplicationWindow() = default;
  ~ApplicationWindow();
  ApplicationWindow(const ApplicationWindow&) = delete;
  ApplicationWindow& operator=(const ApplicationWindow&) = delete;

  // Registers the class with the icons and creates the window at (left,
  // top) with zero size, not yet shown. False when it could not be made.
  bool Create(HINSTANCE instance, std::wstring_view title, int left, int top, HICON icon,
              HICON smallIcon);
  HWND Handle() const { return window_; }

  // The form it owns, or null once the form is gone. The taskbar button's
  // close closes it, minimising hides it and restoring shows it again, the
  // activation the button gives is handed on to it, and the taskbar's
  // thumbnail and Peek show it.
  void SetForm(HWND form) { form_ = form; }

  // Shows the taskbar button without taking the activation.
  void ShowButton();
  // Minimises to the taskbar button, hiding the form with it.
  void Minimise();
  // The form's messages that belong to the taskbar window: minimising from
  // its title bar (SC_MINIMIZE), being minimised any other way, moving.
  // True when the message was handled, with its result.
  bool HandleFormMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);

 private:
  static LRESULT CALLBACK Proc(HWND, UINT, WPARAM, LPARAM);
  LRESULT HandleMessage(UINT, WPARAM, LPARAM);
  void FormMinimised();
  void FollowForm();
  void HideForm();
  void ShowForm();
  HWND OpenModalBox() const;
  void ShowIconicPictures();
  HBITMAP FormPicture();
  void SendThumbnail(int maxWidth, int maxHeight);
  void SendLivePreview();

  HWND window_ = nullptr;
  HWND form_ = nullptr;
  bool formHiddenByMinimise_ = false;
  // The form as it last looked while shown, for the taskbar's pictures of a
  // hidden form.
  UniqueHbitmap formPicture_;
};

}  // namespace zumorika
