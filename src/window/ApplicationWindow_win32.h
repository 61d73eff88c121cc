// The application window: never seen, it carries the process's one taskbar
// button, titled with the application title, and owns the form.
#pragma once

#include <windows.h>

#include <string_view>

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
  // close closes it, minimising hides it and restoring shows it again, and
  // the activation the button gives is handed on to it.
  void SetForm(HWND form) { form_ = form; }

  // Shows the taskbar button without taking the activation.
  void ShowButton();
  // Minimises to the taskbar button, hiding the form with it.
  void Minimise();

 private:
  static LRESULT CALLBACK Proc(HWND, UINT, WPARAM, LPARAM);
  LRESULT HandleMessage(UINT, WPARAM, LPARAM);

  HWND window_ = nullptr;
  HWND form_ = nullptr;
  bool formHiddenByMinimise_ = false;
};

}  // namespace zumorika
