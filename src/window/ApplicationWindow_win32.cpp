#include "window/ApplicationWindow_win32.h"

#include <string>

#include "window/FormLayout_win32.h"
#include "window/SystemLibrary_win32.h"
#include "window/WindowCapture_win32.h"
#include "window/WindowObject_win32.h"

namespace zumorika {

namespace {

// Posted to the application window when it should hand its activation to
// the form, and when the form was minimised on its own.
constexpr UINT kMsgPassActivation = WM_APP + 2;
constexpr UINT kMsgFormMinimised = WM_APP + 3;

// The application window is never seen: zero size, but visible, so that it
// has the process's one taskbar button.
constexpr DWORD kApplicationStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;

// The desktop window manager's part (Windows 7 on), from dwmapi.dll where
// the system has one. Values from dwmapi.h.
constexpr DWORD kDwmForceIconicRepresentation = 7;  // DWMWA_FORCE_ICONIC_REPRESENTATION
constexpr DWORD kDwmHasIconicBitmap = 10;           // DWMWA_HAS_ICONIC_BITMAP
constexpr UINT kMsgDwmSendIconicThumbnail = 0x0323;          // WM_DWMSENDICONICTHUMBNAIL
constexpr UINT kMsgDwmSendIconicLivePreviewBitmap = 0x0326;  // WM_DWMSENDICONICLIVEPREVIEWBITMAP

template <typename Function>
Function Dwm(const char* name) {
  return SystemFunction<Function>(L"dwmapi.dll", name);
}

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
  if (window_ != nullptr) ShowIconicPictures();
  return window_ != nullptr;
}

// The taskbar shows a thumbnail of the window that has the button, and
// Peek shows that window: this one has no size, so both would be empty and
// Peek would hide the form. The window says it supplies pictures of its
// own, and answers with pictures of the form.
void ApplicationWindow::ShowIconicPictures() {
  using SetAttributeFn = HRESULT(WINAPI*)(HWND, DWORD, LPCVOID, DWORD);
  auto setAttribute = Dwm<SetAttributeFn>("DwmSetWindowAttribute");
  if (setAttribute == nullptr) return;
  const BOOL on = TRUE;
  setAttribute(window_, kDwmForceIconicRepresentation, &on, sizeof on);
  setAttribute(window_, kDwmHasIconicBitmap, &on, sizeof on);
}

HBITMAP ApplicationWindow::FormPicture() {
  if (form_ != nullptr && ::IsWindowVisible(form_) && !::IsIconic(form_)) {
    if (UniqueHbitmap fresh = CaptureWindow(form_)) formPicture_ = std::move(fresh);
  }
  return formPicture_.get();
}

void ApplicationWindow::SendThumbnail(int maxWidth, int maxHeight) {
  using SetThumbnailFn = HRESULT(WINAPI*)(HWND, HBITMAP, DWORD);
  auto setThumbnail = Dwm<SetThumbnailFn>("DwmSetIconicThumbnail");
  HBITMAP picture = FormPicture();
  BITMAP size{};
  if (setThumbnail == nullptr || picture == nullptr ||
      ::GetObjectW(picture, sizeof size, &size) == 0)
    return;
  UniqueHbitmap thumbnail = FitBitmap(picture, size.bmWidth, size.bmHeight, maxWidth, maxHeight);
  if (thumbnail) setThumbnail(window_, thumbnail.get(), 0);
}

void ApplicationWindow::SendLivePreview() {
  using SetLivePreviewFn = HRESULT(WINAPI*)(HWND, HBITMAP, POINT*, DWORD);
  auto setLivePreview = Dwm<SetLivePreviewFn>("DwmSetIconicLivePreviewBitmap");
  HBITMAP picture = FormPicture();
  // Drawn at this window's top-left corner, which follows the form's.
  if (setLivePreview != nullptr && picture != nullptr)
    setLivePreview(window_, picture, nullptr, 0);
}

void ApplicationWindow::ShowButton() { ::ShowWindow(window_, SW_SHOWNA); }

void ApplicationWindow::FollowForm() {
  RECT frame{};
  if (form_ != nullptr && ::GetWindowRect(form_, &frame))
    ::SetWindowPos(window_, nullptr, frame.left, frame.top, 0, 0,
                   SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

// Windows hides an owned window while its owner is minimised; the form is
// hidden and shown again here as well, as not every system does it (Wine).
void ApplicationWindow::Minimise() {
  HideForm();
  ::ShowWindow(window_, SW_MINIMIZE);
}

void ApplicationWindow::HideForm() {
  if (form_ == nullptr || !::IsWindowVisible(form_)) return;
  // Its last look, for the thumbnail while it is hidden.
  if (!::IsIconic(form_)) FormPicture();
  using InvalidateFn = HRESULT(WINAPI*)(HWND);
  if (auto invalidate = Dwm<InvalidateFn>("DwmInvalidateIconicBitmaps")) invalidate(window_);
  formHiddenByMinimise_ = true;
  ::ShowWindow(form_, SW_HIDE);
}

// A form minimised on its own comes back restored, not as the small title
// bar it was left as.
void ApplicationWindow::ShowForm() {
  formHiddenByMinimise_ = false;
  ::ShowWindow(form_, ::IsIconic(form_) ? SW_RESTORE : SW_SHOW);
  ::PostMessageW(window_, kMsgPassActivation, 0, 0);
}

bool ApplicationWindow::HandleFormMessage(UINT message, WPARAM wParam, LPARAM, LRESULT& result) {
  result = 0;
  switch (message) {
    case WM_SYSCOMMAND:
      // The form is owned: minimising it alone would leave a small title
      // bar on the desktop. This window minimises to its taskbar button and
      // hides the form with it.
      if ((wParam & 0xFFF0) != SC_MINIMIZE || window_ == nullptr) return false;
      Minimise();
      return true;
    case WM_SIZE:
      // Minimised some other way (Win+Down, another program's ShowWindow):
      // an owned window minimised on its own is left as a small title bar
      // with no taskbar button, so the taskbar button takes over.
      if (wParam == SIZE_MINIMIZED) FormMinimised();
      return false;
    case WM_MOVE:
      // Followed, so that Peek shows the form where it is.
      FollowForm();
      return false;
    default:
      return false;
  }
}

void ApplicationWindow::FormMinimised() {
  // Posted: the form is still inside its own minimising.
  ::PostMessageW(window_, kMsgFormMinimised, 0, 0);
}

// While a message box or the folder chooser is open, its owner (the form,
// or this window before the form is shown) is disabled; the visible,
// enabled window of this thread that it owns is the box.
HWND ApplicationWindow::OpenModalBox() const {
  struct Search {
    HWND owner;
    HWND box;
  };
  for (HWND owner : {form_, window_}) {
    if (owner == nullptr || ::IsWindowEnabled(owner)) continue;
    Search search{owner, nullptr};
    ::EnumThreadWindows(
        ::GetCurrentThreadId(),
        [](HWND window, LPARAM data) -> BOOL {
          auto* s = reinterpret_cast<Search*>(data);
          if (::GetWindow(window, GW_OWNER) != s->owner || !::IsWindowVisible(window) ||
              !::IsWindowEnabled(window))
            return TRUE;
          s->box = window;
          return FALSE;
        },
        reinterpret_cast<LPARAM>(&search));
    if (search.box != nullptr) return search.box;
  }
  return nullptr;
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
      // run the usual way (FormClose writes the exchange file). While a box
      // is open its handler is still running under it, and closing the form
      // would destroy the window it works on: the box comes to the front
      // instead, as it does when its disabled owner is clicked.
      if (HWND box = OpenModalBox()) {
        ::SetForegroundWindow(box);
        return 0;
      }
      if (form_ != nullptr) ::SendMessageW(form_, WM_CLOSE, 0, 0);
      return 0;
    case WM_SIZE:
      // Minimised from its taskbar button, the form goes with it; restored,
      // the form comes back.
      if (wParam == SIZE_MINIMIZED) {
        HideForm();
      } else if (wParam == SIZE_RESTORED && formHiddenByMinimise_ && form_ != nullptr) {
        ShowForm();
      }
      break;
    case kMsgFormMinimised:
      if (form_ != nullptr && ::IsIconic(form_) && ::IsWindowVisible(form_)) {
        if (::IsIconic(window)) {
          HideForm();  // the taskbar button is minimised already (Win+M)
        } else {
          ::ShowWindow(window, SW_MINIMIZE);  // hides the form on its way (WM_SIZE)
        }
      }
      return 0;
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
    case kMsgDwmSendIconicThumbnail:
      SendThumbnail(HIWORD(lParam), LOWORD(lParam));
      return 0;
    case kMsgDwmSendIconicLivePreviewBitmap:
      SendLivePreview();
      return 0;
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
