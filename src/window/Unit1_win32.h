// TForm1: the tool's one window, its state and its designed handlers. The
// handlers are thin: they copy between the controls and the window settings
// and call the units that carry the behaviour (WindowSettings, PasteAction,
// the preview pane, the dialog keyboard, the layout at a density).
#pragma once

#include <windows.h>

#include <string>
#include <string_view>

#include "util/WinHandles_win32.h"
#include "window/ApplicationWindow_win32.h"
#include "window/DensityLayout_win32.h"
#include "window/DialogKeyboard_win32.h"
#include "window/EditByteLimit_win32.h"
#include "window/FormColours_win32.h"
#include "window/PreviewPane_win32.h"
#include "window/WindowSettings.h"

namespace zumorika {

// Folder of the running executable, with its trailing separator; the
// exchange file and the settings file live there.
extern std::string ExeFolder;

class TForm1 : private PreviewPane::Events {
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
  // The application window: it owns the form and carries the taskbar
  // button, titled with the application title.
  HWND ApplicationHandle() const { return application_.Handle(); }
  // Any control of the window tree by its ID (group boxes are parents).
  HWND Control(int id) const;
  // The density the window is laid out for, in dots per inch.
  int Dpi() const { return layout_.Dpi(); }

  // Shift-JIS text of a control, converted at the boundary.
  std::string ControlText(int id) const;
  void SetControlText(int id, std::string_view sjis);
  void ShowStatus(std::string_view sjis);
  void ShowCheckMessage(std::string_view sjis);
  void ShowErrorBox(std::string_view sjis);
  void ShowWarning(std::string_view sjis);
  void ShowBox(std::string_view sjis, UINT icon);

 private:
  static LRESULT CALLBACK FormProc(HWND, UINT, WPARAM, LPARAM);
  LRESULT HandleMessage(UINT, WPARAM, LPARAM);

  void RegisterClasses();
  void SetWindowIcons();
  void CreateControls();
  void FillControls();
  void Relayout(int dpi, const RECT* suggested);
  void CloseForm();
  void Show(int showCommand);
  void EndForUnwritableFolder();
  HWND MessageOwner() const;
  template <typename Handler>
  void Guarded(Handler handler);
  void OnImageClick() override;
  void OnPaintError(std::exception_ptr error) override;

  void KeepOnScreen();

  void FitLabelB1();

  HINSTANCE instance_;
  DensityLayout layout_{instance_};
  DialogKeyboard keyboard_{layout_.Controls()};
  ApplicationWindow application_;
  HWND handle_ = nullptr;
  FormColours colours_;

  PreviewPane preview_;
  bool closed_ = false;
  // False once the exchange file is known not to be writable: the host's
  // file is then left alone.
  bool exchangeWritable_ = true;
  EditByteLimit edit1Limit_;
  EditByteLimit edit2Limit_;
};

}  // namespace zumorika
