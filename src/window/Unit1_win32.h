// TForm1: the tool's one window. Its handlers are thin: they copy between
// the controls and the window settings and call the portable units
// (WindowSettings, PasteAction) that carry the behaviour.
#pragma once

#include <windows.h>

#include <array>
#include <string>
#include <string_view>

#include "imaging/Picture.h"
#include "util/WinHandles_win32.h"
#include "window/WindowSettings.h"

namespace zumorika {

// Folder of the running executable, with its trailing separator; the
// exchange file and the settings file live there.
extern std::string ExeFolder;

class TForm1 {
 public:
  explicit TForm1(HINSTANCE instance);
  ~TForm1();
  TForm1(const TForm1&) = delete;
  TForm1& operator=(const TForm1&) = delete;

  // Creates the window and its controls from the layout, not yet visible.
  void Create();
  // Shows the window (running FormShow first) as the starting program asked
  // (wWinMain's show command) and runs the message loop until it has closed.
  void Run(int showCommand);

  void FormShow();
  void FormClose();
  void Button1Click();
  void Button2Click();
  void Button3Click();
  void Image1Click();

  void LoadSettings(const std::string& path);
  void SaveSettings(const std::string& path);

  WindowSettings Settings;
  bool HasPicture = false;

  HWND Handle() const { return handle_; }
  HWND Control(int id) const { return ::GetDlgItem(handle_, id); }

  // Shift-JIS text of a control, converted at the boundary.
  std::string ControlText(int id) const;
  void SetControlText(int id, std::string_view sjis);
  void ShowStatus(std::string_view sjis);
  void ShowCheckMessage(std::string_view sjis);
  void ShowErrorBox(std::string_view sjis);

 private:
  static LRESULT CALLBACK FormProc(HWND, UINT, WPARAM, LPARAM);
  static LRESULT CALLBACK ScrollBoxProc(HWND, UINT, WPARAM, LPARAM);
  static LRESULT CALLBACK ImageProc(HWND, UINT, WPARAM, LPARAM);
  static LRESULT CALLBACK Edit1Proc(HWND, UINT, WPARAM, LPARAM, UINT_PTR, DWORD_PTR);
  static LRESULT CALLBACK MemoProc(HWND, UINT, WPARAM, LPARAM, UINT_PTR, DWORD_PTR);
  LRESULT HandleMessage(UINT, WPARAM, LPARAM);

  void RegisterClasses();
  HWND AddControl(DWORD exStyle, const wchar_t* cls, std::string_view sjisText, DWORD style,
                  int x, int y, int w, int h, int id, HFONT font);
  void CreateControls();
  void CloseForm();
  void Reactivate();
  template <typename Handler>
  void Guarded(Handler handler);

  void SetImage1Size(int width, int height);
  void UpdateScrollBox();
  void ScrollBoxScroll(int bar, WPARAM request);
  void PaintImage(HDC dc);
  void FitLabelB1();
  void EnforceEdit1Limit();

  HINSTANCE instance_;
  HWND handle_ = nullptr;
  HWND scrollBox_ = nullptr;
  HWND image_ = nullptr;
  HWND tooltip_ = nullptr;
  HWND lastFocus_ = nullptr;
  UniqueHfont font_;
  UniqueHfont smallFont_;
  UniqueHbrush whiteBrush_;
  UniqueHbrush statusBrush_;
  UniqueHbrush memoBrush_;
  UniqueHicon icon_;
  UniqueHicon smallIcon_;

  TPicture picture_;
  bool stretched_ = false;
  bool paintFailed_ = false;
  bool closed_ = false;
  std::wstring edit1Accepted_;
  bool edit1Programmatic_ = false;
};

}  // namespace zumorika
