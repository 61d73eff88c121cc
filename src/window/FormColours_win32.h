// The form's colours: white with a grey status label and a light-blue memo as
// designed, or the user's system colours while high contrast is on.
#pragma once

#include <windows.h>

#include <map>

#include "util/WinHandles_win32.h"

namespace zumorika {

class FormColours {
 public:
  enum class Area { kWindow, kStatus, kMemo };

  FormColours() = default;
  FormColours(const FormColours&) = delete;
  FormColours& operator=(const FormColours&) = delete;

  // Reads the theme (high contrast on or off, and the system colours) and
  // makes the brushes for it. True when any colour changed.
  bool Update();
  bool HighContrast() const { return highContrast_; }
  // The messages of `window` that belong to its colours: its background
  // (WM_ERASEBKGND), and WM_SYSCOLORCHANGE or WM_SETTINGCHANGE, after which
  // the colours are read again and the window repainted (its common
  // controls are told of new system colours, as only top-level windows hear
  // of them). True when the message was handled, with its result.
  bool HandleFormMessage(HWND window, const std::map<int, HWND>& controls, UINT message,
                         WPARAM wParam, LPARAM lParam, LRESULT& result);

  HBRUSH Brush(Area area) const { return Swatch(area).brush.get(); }
  // Sets a static control's background colour (and, in high contrast, its
  // text colour) on `dc`; the brush to answer WM_CTLCOLORSTATIC with.
  HBRUSH Apply(HDC dc, Area area) const;

 private:
  struct Colours {
    COLORREF text = 0;
    COLORREF back = 0;
    UniqueHbrush brush;
  };
  const Colours& Swatch(Area area) const;
  static bool Set(Colours& colours, COLORREF text, COLORREF back);

  bool highContrast_ = false;
  Colours window_;
  Colours status_;
  Colours memo_;
};

}  // namespace zumorika
