#include "window/ApplicationWindow_win32.h"

#include <string>

#include "window/FormLayout_win32.h"
#include "window/WindowObject_win32.h"

namespace zumorika {

namespace {

// Posted to the application window when it should hand its activation to
// the form.
constexpr UINT kMsgPassActivation = WM_APP + 2;

// The application window is never seen: zero size, but visible, so that it
// has the process's one taskbar button.
constexpr DWORD kApplicationStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;

}  // namespace

ApplicationWindow::~ApplicationWindow() {
  if (window_ != nullptr) {
    // The window procedure must not reach a half-destroyed object.
    ::SetWindowLongPtrW(window_, GWLP_USERDATA, 0);
    ::DestroyWindow(window_);
  }
}

bool ApplicationWindow::Create(HINSTANCE instance, std::wstring_view title, int left, int top,
                               HICON icon, HICON smallIcon) {
  RegisterWindowClass(instance, kApplicationClass, Proc, nullptr, icon, smallIcon);

  std::wstring text(title);
  ::CreateWindowExW(0, kApplicationClass, text.c_str(), kApplicationStyle, left, top, 0, 0,
                    nullptr, nullptr, instance, this);
  return window_ != nullptr;
}

void ApplicationWindow::ShowButton() { ::ShowWindow(window_, SW_SHOWNA); }

// Windows hides an owned window while its owner is minimised; the form is
// hidden and shown again here as well, as not every system does it (Wine).
void ApplicationWindow::Minimise() {
  formHiddenByMinimise_ = form_ != nullptr && ::IsWindowVisible(form_) != FALSE;
  if (formHiddenByMinimise_) ::ShowWindow(form_, SW_HIDE);
  ::ShowWindow(window_, SW_MINIMIZE);
}

LRESULT CALLBACK ApplicationWindow::Proc(HWND window, UINT message, WPARAM wParam,
                                         LPARAM lParam) {
  auto* application = WindowObject<ApplicationWindow>(window, message, lParam);
  if (application == nullptr) return ::DefWindowProcW(window, message, wParam, lParam);
  if (message == WM_NCCREATE) application->window_ = window;
  return application->HandleMessage(message, wParam, lParam);
}

LRESULT ApplicationWindow::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  HWND window = window_;
  switch (message) {
    case WM_CLOSE:
      // Close from the taskbar button's menu closes the form, which ends the
      // run the usual way (FormClose writes the exchange file).
      if (form_ != nullptr) ::SendMessageW(form_, WM_CLOSE, 0, 0);
      return 0;
    case WM_SIZE:
      // Minimised from its taskbar button, the form goes with it; restored,
      // the form comes back.
      if (wParam == SIZE_MINIMIZED && form_ != nullptr && ::IsWindowVisible(form_)) {
        formHiddenByMinimise_ = true;
        ::ShowWindow(form_, SW_HIDE);
      } else if (wParam == SIZE_RESTORED && formHiddenByMinimise_ && form_ != nullptr) {
        formHiddenByMinimise_ = false;
        ::ShowWindow(form_, SW_SHOW);
        ::PostMessageW(window, kMsgPassActivation, 0, 0);
      }
      break;
    case WM_ACTIVATE:
      // The taskbar button and Alt+Tab activate this invisible window; the
      // form (or its message box) takes the activation over.
      if (LOWORD(wParam) != WA_INACTIVE) ::PostMessageW(window, kMsgPassActivation, 0, 0);
      break;
    case kMsgPassActivation: {
      if (form_ == nullptr || ::GetActiveWindow() != window) return 0;
      HWND popup = ::GetLastActivePopup(form_);
      HWND target = popup != nullptr && ::IsWindowVisible(popup) ? popup : form_;
      if (::IsWindowVisible(target) && ::IsWindowEnabled(target)) ::SetActiveWindow(target);
      return 0;
    }
    case WM_NCDESTROY:
      ::SetWindowLongPtrW(window, GWLP_USERDATA, 0);
      window_ = nullptr;
      return ::DefWindowProcW(window, message, wParam, lParam);
    default:
      break;
  }
  return ::DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace zumorika
