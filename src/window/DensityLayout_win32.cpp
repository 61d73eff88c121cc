#include "window/DensityLayout_win32.h"

#include <commctrl.h>

#include <string>
#include <string_view>

#include "util/Cp932.h"
#include "window/SystemLibrary_win32.h"
#include "window/ControlIds.h"
#include "window/FormLayout_win32.h"
#include "window/WindowTexts.h"

namespace zumorika {

namespace {

constexpr int kIconResource = 1;
constexpr int kTooltipWidth = 600;  // 96-dpi pixels

// A function of user32.dll where this Windows has it.
template <typename Function>
Function User32Function(const char* name) {
  return reinterpret_cast<Function>(
      reinterpret_cast<void*>(::GetProcAddress(::GetModuleHandleW(L"user32.dll"), name)));
}

// The frame around a client area at a density; AdjustWindowRectExForDpi
// exists from Windows 10 1607 on.
void AdjustFrame(RECT& rect, DWORD style, int dpi) {
  using AdjustFn = BOOL(WINAPI*)(LPRECT, DWORD, BOOL, DWORD, UINT);
  static const auto adjustForDpi = User32Function<AdjustFn>("AdjustWindowRectExForDpi");
  if (adjustForDpi != nullptr) {
    adjustForDpi(&rect, style, FALSE, 0, static_cast<UINT>(dpi));
  } else {
    ::AdjustWindowRectEx(&rect, style, FALSE, 0);
  }
}

// A combo box's window is as tall as its edit field and its drop-down list.
int WindowHeight(const ControlRow& row) {
  bool combo = std::wstring_view(row.cls) == L"COMBOBOX";
  return row.height + (combo ? kComboListHeight : 0);
}

// The effective density of the monitor a window is on, through shcore's
// GetDpiForMonitor (Windows 8.1 on); 0 where there is none.
int MonitorDpi(HWND window) {
  using GetDpiForMonitorFn = HRESULT(WINAPI*)(HMONITOR, int, UINT*, UINT*);
  constexpr int kEffectiveDpi = 0;  // MDT_EFFECTIVE_DPI
  static const auto getDpiForMonitor =
      SystemFunction<GetDpiForMonitorFn>(L"shcore.dll", "GetDpiForMonitor");
  if (getDpiForMonitor == nullptr) return 0;
  UINT x = 0, y = 0;
  HMONITOR monitor = ::MonitorFromWindow(window, MONITOR_DEFAULTTONEAREST);
  if (FAILED(getDpiForMonitor(monitor, kEffectiveDpi, &x, &y))) return 0;
  return static_cast<int>(y);
}

}  // namespace

// GetDpiForWindow exists from Windows 10 1607 on. On Windows 8.1 and 10
// before 1607 (per-monitor v1 there) each monitor has a density of its own,
// which GetDpiForMonitor tells; before 8.1 the system's density applies to
// every monitor.
int WindowDpi(HWND window) {
  if (window != nullptr) {
    static const auto getDpiForWindow = User32Function<UINT(WINAPI*)(HWND)>("GetDpiForWindow");
    UINT dpi = getDpiForWindow != nullptr ? getDpiForWindow(window) : 0;
    if (dpi == 0) dpi = static_cast<UINT>(MonitorDpi(window));
    if (dpi != 0) return static_cast<int>(dpi);
  }
  WindowDc screen(nullptr);
  int dpi = screen.get() != nullptr ? ::GetDeviceCaps(screen.get(), LOGPIXELSY) : 0;
  return dpi > 0 ? dpi : kDesignDpi;
}

// Windows 10 1607 scales a per-monitor v1 window's title bar only when asked
// during WM_NCCREATE; per-monitor v2 does it by itself and ignores the call.
void EnableNonClientDpiScalingWhereItExists(HWND window) {
  static const auto enable = User32Function<BOOL(WINAPI*)(HWND)>("EnableNonClientDpiScaling");
  if (enable != nullptr) enable(window);
}

DensityLayout::RetiredIcons DensityLayout::SetDpi(int dpi) {
  dpi_ = dpi;
  RetiredIcons retired = LoadIcons();
  MakeFonts();
  return retired;
}

void DensityLayout::MakeFonts() {
  std::wstring face = Cp932ToWide(kFontName);
  auto make = [&face, this](int height) {
    return ::CreateFontW(-ScaleToDpi(height, dpi_), 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE,
                         SHIFTJIS_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                         DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, face.c_str());
  };
  font_.reset(make(kFontHeight));
  smallFont_.reset(make(kSmallFontHeight));
}

DensityLayout::RetiredIcons DensityLayout::LoadIcons() {
  // The icon file holds 16, 20, 24, 32, 48, 64 and 256 pixel pictures; the
  // loader picks the one made for the size asked, or shrinks the next
  // larger one.
  int small = ScaleToDpi(16, dpi_), big = ScaleToDpi(32, dpi_);
  RetiredIcons retired{std::move(icon_), std::move(smallIcon_)};
  icon_.reset(static_cast<HICON>(
      ::LoadImageW(instance_, MAKEINTRESOURCEW(kIconResource), IMAGE_ICON, big, big, 0)));
  smallIcon_.reset(static_cast<HICON>(
      ::LoadImageW(instance_, MAKEINTRESOURCEW(kIconResource), IMAGE_ICON, small, small, 0)));
  return retired;
}

void DensityLayout::SetIconsOn(HWND window) const {
  if (window == nullptr) return;
  ::SendMessageW(window, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(smallIcon_.get()));
  ::SendMessageW(window, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon_.get()));
  ::SetClassLongPtrW(window, GCLP_HICONSM, reinterpret_cast<LONG_PTR>(smallIcon_.get()));
  ::SetClassLongPtrW(window, GCLP_HICON, reinterpret_cast<LONG_PTR>(icon_.get()));
}

HWND DensityLayout::Control(int id) const {
  auto found = controls_.find(id);
  return found != controls_.end() ? found->second : nullptr;
}

void DensityLayout::CreateControls(HWND form) {
  for (const ControlRow* row = FormLayoutBegin(); row != FormLayoutEnd(); ++row) {
    HWND parent = row->parent == 0 ? form : Control(row->parent);
    std::wstring text = Cp932ToWide(row->text);
    HWND control = ::CreateWindowExW(
        row->exStyle, row->cls, text.c_str(), WS_CHILD | WS_VISIBLE | row->style,
        ScaleToDpi(row->x, dpi_), ScaleToDpi(row->y, dpi_), ScaleToDpi(row->width, dpi_),
        ScaleToDpi(WindowHeight(*row), dpi_), parent, reinterpret_cast<HMENU>(INT_PTR{row->id}),
        instance_, nullptr);
    controls_[row->id] = control;
    if (control == nullptr) continue;
    HFONT font = FontFor(*row);
    if (font != nullptr) ::SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    SetItemHeight(*row, control);
    if (row->exStyle & WS_EX_CONTROLPARENT)
      ::SetWindowSubclass(control, ContainerProc, 1, reinterpret_cast<DWORD_PTR>(form));
  }
}

DensityLayout::RetiredIcons DensityLayout::Relayout(int dpi) {
  dpi_ = dpi;
  // The controls use the old fonts until they are handed the new ones.
  UniqueHfont oldFont = std::move(font_), oldSmallFont = std::move(smallFont_);
  MakeFonts();
  RetiredIcons retired = LoadIcons();
  for (const ControlRow* row = FormLayoutBegin(); row != FormLayoutEnd(); ++row) {
    HWND control = Control(row->id);
    if (control == nullptr || row->id == kIdImage1) continue;  // the preview keeps its size
    PlaceControl(row->id);
    HFONT font = FontFor(*row);
    if (font != nullptr) ::SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
    SetItemHeight(*row, control);
  }
  if (tooltip_ != nullptr)
    ::SendMessageW(tooltip_, TTM_SETMAXTIPWIDTH, 0, ScaleToDpi(kTooltipWidth, dpi_));
  return retired;
}

void DensityLayout::AddTooltip(HWND form, int id, std::string_view sjis) {
  if (tooltip_ == nullptr) {
    tooltip_ = ::CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr,
                                 WS_POPUP | TTS_NOPREFIX | TTS_ALWAYSTIP, CW_USEDEFAULT,
                                 CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, form, nullptr,
                                 instance_, nullptr);
    if (tooltip_ == nullptr) return;
    ::SendMessageW(tooltip_, TTM_SETMAXTIPWIDTH, 0, ScaleToDpi(kTooltipWidth, dpi_));
  }
  std::wstring tip = Cp932ToWide(sjis);
  TOOLINFOW tool{};
  tool.cbSize = sizeof tool;
  tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
  tool.hwnd = form;
  tool.uId = reinterpret_cast<UINT_PTR>(Control(id));
  tool.lpszText = tip.data();
  ::SendMessageW(tooltip_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
}

bool DensityLayout::HandleFormMessage(UINT message, WPARAM wParam, LPARAM lParam,
                                      LRESULT& result) const {
  if (message != kMsgGetDpiScaledSize) return false;
  *reinterpret_cast<SIZE*>(lParam) = FrameSize(static_cast<int>(wParam));
  result = TRUE;
  return true;
}

void DensityLayout::PlaceControl(int id) const {
  const ControlRow* row = FindControlRow(id);
  HWND control = Control(id);
  if (row == nullptr || control == nullptr) return;
  ::SetWindowPos(control, nullptr, ScaleToDpi(row->x, dpi_), ScaleToDpi(row->y, dpi_),
                 ScaleToDpi(row->width, dpi_), ScaleToDpi(WindowHeight(*row), dpi_),
                 SWP_NOZORDER | SWP_NOACTIVATE);
}

// A combo box's list items are as high as the layout's line at the density.
void DensityLayout::SetItemHeight(const ControlRow& row, HWND control) const {
  if (std::wstring_view(row.cls) == L"COMBOBOX")
    ::SendMessageW(control, CB_SETITEMHEIGHT, 0, ScaleToDpi(kComboItemHeight, dpi_));
}

HFONT DensityLayout::FontFor(const ControlRow& row) const {
  switch (row.font) {
    case FontKind::kForm: return font_.get();
    case FontKind::kSmall: return smallFont_.get();
    default: return nullptr;
  }
}

SIZE DensityLayout::FrameSize(int dpi) {
  RECT frame{0, 0, ScaleToDpi(kClientWidth, dpi), ScaleToDpi(kClientHeight, dpi)};
  AdjustFrame(frame, kFormStyle, dpi);
  return SIZE{frame.right - frame.left, frame.bottom - frame.top};
}

RECT DensityLayout::FrameFor(int left, int top) const {
  SIZE size = FrameSize(dpi_);
  return RECT{left, top, left + size.cx, top + size.cy};
}

void DensityLayout::PlaceFrame(HWND form, int left, int top) const {
  TakeFrame(form, FrameFor(left, top));
}

void DensityLayout::TakeFrame(HWND form, const RECT& frame) const {
  ::SetWindowPos(form, nullptr, frame.left, frame.top, frame.right - frame.left,
                 frame.bottom - frame.top, SWP_NOZORDER | SWP_NOACTIVATE);
  // The frame is measured afterwards, so that the client size comes out
  // exact whatever frame the system draws.
  RECT client{};
  ::GetClientRect(form, &client);
  int extraWidth = ScaleToDpi(kClientWidth, dpi_) - client.right;
  int extraHeight = ScaleToDpi(kClientHeight, dpi_) - client.bottom;
  if (extraWidth != 0 || extraHeight != 0)
    ::SetWindowPos(form, nullptr, 0, 0, frame.right - frame.left + extraWidth,
                   frame.bottom - frame.top + extraHeight,
                   SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

// A group box or the radio group as a parent: a button window passes its
// children's notifications to nobody, so they go on to the form.
LRESULT CALLBACK DensityLayout::ContainerProc(HWND window, UINT message, WPARAM wParam,
                                              LPARAM lParam, UINT_PTR, DWORD_PTR data) {
  auto form = reinterpret_cast<HWND>(data);
  switch (message) {
    case WM_COMMAND:
    case WM_NOTIFY:
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_DRAWITEM:
    case WM_MEASUREITEM:
      return ::SendMessageW(form, message, wParam, lParam);
    case WM_NCDESTROY:
      ::RemoveWindowSubclass(window, ContainerProc, 1);
      break;
    default:
      break;
  }
  return ::DefSubclassProc(window, message, wParam, lParam);
}

bool CentreIfOffEveryScreen(HWND window) {
  struct Search {
    RECT frame;
    bool touches;
  } search{};
  ::GetWindowRect(window, &search.frame);
  ::EnumDisplayMonitors(
      nullptr, nullptr,
      [](HMONITOR monitor, HDC, LPRECT, LPARAM data) -> BOOL {
        auto* s = reinterpret_cast<Search*>(data);
        MONITORINFO info{};
        info.cbSize = sizeof info;
        RECT common{};
        if (::GetMonitorInfoW(monitor, &info) && ::IntersectRect(&common, &s->frame, &info.rcWork)) {
          s->touches = true;
          return FALSE;
        }
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&search));
  if (search.touches) return false;
  MONITORINFO info{};
  info.cbSize = sizeof info;
  if (!::GetMonitorInfoW(::MonitorFromRect(&search.frame, MONITOR_DEFAULTTONEAREST), &info))
    return false;
  const RECT& work = info.rcWork;
  int width = search.frame.right - search.frame.left;
  int height = search.frame.bottom - search.frame.top;
  int left = work.left + (work.right - work.left - width) / 2;
  int top = work.top + (work.bottom - work.top - height) / 2;
  ::SetWindowPos(window, nullptr, left, top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  return true;
}

}  // namespace zumorika
