#include "window/FormColours_win32.h"

namespace zumorika {

namespace {

constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kStatusColour = RGB(231, 231, 231);
constexpr COLORREF kMemoColour = RGB(187, 235, 244);

bool HighContrastOn() {
  HIGHCONTRASTW settings{};
  settings.cbSize = sizeof settings;
  return ::SystemParametersInfoW(SPI_GETHIGHCONTRAST, sizeof settings, &settings, 0) &&
         (settings.dwFlags & HCF_HIGHCONTRASTON) != 0;
}

}  // namespace

bool FormColours::Set(Colours& colours, COLORREF text, COLORREF back) {
  if (colours.brush && colours.text == text && colours.back == back) return false;
  colours.text = text;
  colours.back = back;
  colours.brush.reset(::CreateSolidBrush(back));
  return true;
}

bool FormColours::Update() {
  const bool highContrast = HighContrastOn();
  bool changed = highContrast != highContrast_;
  highContrast_ = highContrast;
  // A high-contrast theme is the user's choice of colours for every
  // program: the designed white, grey and light blue would hide the text of
  // a black theme.
  if (highContrast_) {
    const COLORREF windowText = ::GetSysColor(COLOR_WINDOWTEXT);
    const COLORREF window = ::GetSysColor(COLOR_WINDOW);
    changed |= Set(window_, windowText, window);
    changed |= Set(status_, ::GetSysColor(COLOR_BTNTEXT), ::GetSysColor(COLOR_BTNFACE));
    changed |= Set(memo_, windowText, window);
  } else {
    const COLORREF text = ::GetSysColor(COLOR_WINDOWTEXT);
    changed |= Set(window_, text, kWhite);
    changed |= Set(status_, text, kStatusColour);
    changed |= Set(memo_, text, kMemoColour);
  }
  return changed;
}

const FormColours::Colours& FormColours::Swatch(Area area) const {
  switch (area) {
    case Area::kStatus: return status_;
    case Area::kMemo: return memo_;
    default: return window_;
  }
}

bool FormColours::HandleFormMessage(HWND window, const std::map<int, HWND>& controls,
                                    UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
  result = 0;
  switch (message) {
    case WM_ERASEBKGND: {
      RECT client{};
      ::GetClientRect(window, &client);
      ::FillRect(reinterpret_cast<HDC>(wParam), &client, Brush(Area::kWindow));
      result = 1;
      return true;
    }
    case WM_SYSCOLORCHANGE:
      for (const auto& [id, control] : controls)
        if (control != nullptr) ::SendMessageW(control, message, wParam, lParam);
      [[fallthrough]];
    case WM_SETTINGCHANGE:
      if (Update())
        ::RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
      return false;
    default:
      return false;
  }
}

HBRUSH FormColours::Apply(HDC dc, Area area) const {
  const Colours& colours = Swatch(area);
  ::SetBkColor(dc, colours.back);
  if (highContrast_) ::SetTextColor(dc, colours.text);
  return colours.brush.get();
}

}  // namespace zumorika
