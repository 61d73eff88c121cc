// The form laid out at a display density: its controls created from the
// layout table, the fonts and icons of that density, the frame around the
// client area, and the re-layout when the density changes.
#pragma once

#include <windows.h>

#include <map>
#include <string_view>

#include "util/WinHandles_win32.h"

namespace zumorika {

struct ControlRow;

// WM_GETDPISCALEDSIZE, sent from Windows 10 1703 on; the headers declare it
// only for programs that require that version.
inline constexpr UINT kMsgGetDpiScaledSize = 0x02E4;

// The density of the monitor a window is on (the system's density for a
// null window), in dots per inch.
int WindowDpi(HWND window);

// Asks Windows 10 1607 to scale the title bar of a per-monitor v1 window
// with its density; to be called during the window's WM_NCCREATE. Does
// nothing where the function is missing.
void EnableNonClientDpiScalingWhereItExists(HWND window);

// A saved position can lie off every screen once a monitor is gone (a
// laptop undocked): then the window goes to the middle of the nearest
// monitor's work area, and the answer is true. A window that still touches
// a work area stays.
bool CentreIfOffEveryScreen(HWND window);

class DensityLayout {
 public:
  explicit DensityLayout(HINSTANCE instance) : instance_(instance) {}
  DensityLayout(const DensityLayout&) = delete;
  DensityLayout& operator=(const DensityLayout&) = delete;

  int Dpi() const { return dpi_; }
  HFONT Font() const { return font_.get(); }
  HFONT SmallFont() const { return smallFont_.get(); }
  HICON Icon() const { return icon_.get(); }
  HICON SmallIcon() const { return smallIcon_.get(); }
  // Puts this density's icons on `window` and on its class, which keeps the
  // icons it was registered with until told otherwise.
  void SetIconsOn(HWND window) const;

  // The icons a new density replaced. They stay alive until the new ones
  // are set on the windows and their classes, which still use them.
  struct RetiredIcons {
    UniqueHicon icon;
    UniqueHicon smallIcon;
  };

  // Loads the icons and makes the fonts for `dpi`.
  [[nodiscard]] RetiredIcons SetDpi(int dpi);

  // Creates every control of the layout table at the current density, as a
  // child of `form` or of the group box the row names. Group boxes forward
  // their children's notifications to the form.
  void CreateControls(HWND form);
  // Any control by its ID, or null.
  HWND Control(int id) const;
  // The form's messages that belong to the layout: WM_GETDPISCALEDSIZE,
  // asked before WM_DPICHANGED (Windows 10 1703 on), is answered with the
  // frame the layout takes at the new density, so that the system suggests
  // a rectangle of that size, placed to keep the window under the cursor.
  bool HandleFormMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) const;
  // A tooltip shown on hover over the control `id`, wrapped at a width that
  // follows the density.
  void AddTooltip(HWND form, int id, std::string_view sjis);
  // Puts one control back at its row's place and size at this density (an
  // up-down control takes a width of its own when it gets its buddy).
  void PlaceControl(int id) const;
  const std::map<int, HWND>& Controls() const { return controls_; }

  // Lays every control out again at `dpi` from the same rows, with the
  // fonts and icons of that density; the controls keep their texts, checks
  // and selections. The preview image keeps its size.
  [[nodiscard]] RetiredIcons Relayout(int dpi);

  // The size of the form's frame around the layout's client area at `dpi`.
  static SIZE FrameSize(int dpi);
  // That frame at the current density, with its top-left corner at (left,
  // top).
  RECT FrameFor(int left, int top) const;
  // Puts the form there.
  void PlaceFrame(HWND form, int left, int top) const;
  // Gives the form the rectangle `frame` (the one Windows suggests with a
  // new density), then corrects its size so that the client area comes out
  // exact whatever frame the system draws.
  void TakeFrame(HWND form, const RECT& frame) const;

 private:
  static LRESULT CALLBACK ContainerProc(HWND, UINT, WPARAM, LPARAM, UINT_PTR, DWORD_PTR);
  void MakeFonts();
  HFONT FontFor(const ControlRow& row) const;
  void SetItemHeight(const ControlRow& row, HWND control) const;
  RetiredIcons LoadIcons();

  HINSTANCE instance_;
  int dpi_ = 96;
  UniqueHfont font_;
  UniqueHfont smallFont_;
  UniqueHicon icon_;
  UniqueHicon smallIcon_;
  std::map<int, HWND> controls_;
  HWND tooltip_ = nullptr;
};

}  // namespace zumorika
