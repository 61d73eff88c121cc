// TForm1's controls as data: one row per control, in the window tree's
// order. Creation, the re-layout after a DPI change and the layout test all
// read these rows, so the three cannot drift apart.
#pragma once

#include <windows.h>

#include <string_view>

namespace zumorika {

enum class FontKind { kNone, kForm, kSmall };

struct ControlRow {
  int id;
  int parent;             // control ID of the parent; 0 for the form itself
  const wchar_t* cls;     // window class
  std::string_view text;  // Shift-JIS caption or initial text
  DWORD style;            // besides WS_CHILD | WS_VISIBLE
  DWORD exStyle;
  int x, y, width, height;  // within the parent's client area, 96-dpi pixels
  FontKind font;
};

// Window classes of the form's own controls.
inline constexpr wchar_t kFormClass[] = L"TForm1";
inline constexpr wchar_t kApplicationClass[] = L"TApplication";
inline constexpr wchar_t kScrollBoxClass[] = L"TScrollBox";
inline constexpr wchar_t kImageClass[] = L"TImage";

// The form's frame: a caption with the system menu and minimise only, not
// resizable.
inline constexpr DWORD kFormStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;

// The form's client area and the fonts' character heights, 96-dpi pixels.
inline constexpr int kClientWidth = 470;
inline constexpr int kClientHeight = 415;
inline constexpr int kFontHeight = 13;
inline constexpr int kSmallFontHeight = 9;
inline constexpr int kComboItemHeight = 13;
// A combo box's window is created this much taller than its edit field: the
// extra height is its drop-down list's.
inline constexpr int kComboListHeight = 200;
inline constexpr int kDesignDpi = 96;

// Every size on screen goes through here: value × dpi / 96, rounded to the
// nearest pixel with halves away from zero (MulDiv's rounding).
int ScaleToDpi(int value96, int dpi);

// The rows in creation order. Within each parent, creation order is the Z
// order and so the tab order of the dialog keys.
const ControlRow* FormLayoutBegin();
const ControlRow* FormLayoutEnd();

// The row of a control ID, or null.
const ControlRow* FindControlRow(int id);

// The four radio-button groups as ID ranges (IDs are consecutive within a
// group). Returns false when id is no radio button.
bool RadioGroupOf(int id, int& first, int& last);

}  // namespace zumorika
