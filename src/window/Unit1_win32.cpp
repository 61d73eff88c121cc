#include "window/Unit1_win32.h"

#include <commctrl.h>
#include <imm.h>

#include <algorithm>
#include <exception>

#include "exchange/JwwGaibu.h"
#include "imaging/clipboard/Clipboard.h"
#include "imaging/saving/ImageFile.h"
#include "util/Cp932.h"
#include "util/Files.h"
#include "util/MyFunc.h"
#include "window/ControlIds.h"
#include "window/DensityLayout_win32.h"
#include "window/ErrorBoxText.h"
#include "window/FolderChooser_win32.h"
#include "window/FormLayout_win32.h"
#include "window/PasteAction.h"
#include "window/StartupMarks_win32.h"
#include "window/WindowObject_win32.h"
#include "window/WindowText_win32.h"
#include "window/WindowTexts.h"

namespace zumorika {

std::string ExeFolder;

namespace {

constexpr int kDesignedLeft = 189;
constexpr int kDesignedTop = 104;
constexpr std::size_t kMaxEdit1Bytes = 255;
constexpr std::size_t kMaxEdit2Bytes = 3;
constexpr std::string_view kAngleItems[] = {"0",   "30",  "45",  "60",   "90",   "120",
                                            "135", "150", "180", "-30",  "-45",  "-60",
                                            "-90", "-120", "-135", "-150"};

template <typename Items>
void AddItems(HWND combo, const Items& items) {
  for (std::string_view item : items) {
    std::wstring text = Cp932ToWide(item);
    ::SendMessageW(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
  }
}

// The OK action's view of the window and the platform.
class FormPasteHost : public PasteHost {
 public:
  FormPasteHost(TForm1& form, const TPicture& picture) : form_(form), picture_(picture) {}

  bool FolderExists(const std::string& path) override { return zumorika::FolderExists(path); }
  bool FileExists(const std::string& path) override { return zumorika::FileExists(path); }
  void SaveSettings(const WindowSettings&) override {
    form_.SaveSettings(SettingsFilePath(ExecutablePath()));
  }
  void ShowStatus(std::string_view sjis) override { form_.ShowStatus(sjis); }
  NewFileResult SavePicture(const std::string& path, const WindowSettings& s) override {
    ImageSaveSettings save;
    save.FileKind = s.FileKind;
    save.BmpDepth = s.BmpDepth;
    save.JpegColor = s.JpegColor;
    save.JpegQuality = s.JpegQuality;
    save.WidthMm = s.WidthMm;
    return SaveNewImageFile(path, picture_, save);
  }
  void RemoveFile(const std::string& path) override { DeleteFileAt(path); }
  void ShowMessage(std::string_view sjis) override { form_.ShowCheckMessage(sjis); }
  void FocusControl(int id) override {
    HWND control = form_.Control(id);
    // WM_NEXTDLGCTL keeps the default-button highlight right, as a dialog would.
    if (control != nullptr)
      ::SendMessageW(form_.Handle(), WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(control), TRUE);
  }

 private:
  TForm1& form_;
  const TPicture& picture_;
};

}  // namespace

TForm1::TForm1(HINSTANCE instance) : instance_(instance) {}

TForm1::~TForm1() {
  if (handle_ != nullptr) {
    // The window procedure must not reach a half-destroyed object.
    ::SetWindowLongPtrW(handle_, GWLP_USERDATA, 0);
    ::DestroyWindow(handle_);
  }
}

template <typename Handler>
void TForm1::Guarded(Handler handler) {
  // Exceptions must not unwind through the window procedure's Win32 frames.
  try {
    handler();
  } catch (const std::exception& error) {
    ShowErrorBox(error.what());
  } catch (...) {
    ShowErrorBox(kMsgUnknownError);
  }
}

void TForm1::RegisterClasses() {
  RegisterWindowClass(instance_, kFormClass, FormProc,
                      static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH)), layout_.Icon(),
                      layout_.SmallIcon());
  PreviewPane::RegisterClasses(instance_);
}

// The windows show their classes' icons until the icons are loaded again
// for another density; from then on each window and its class carry the
// new ones (the caller destroys the old ones only afterwards).
void TForm1::SetWindowIcons() {
  layout_.SetIconsOn(handle_);
  layout_.SetIconsOn(application_.Handle());
}

void TForm1::Create() {
  INITCOMMONCONTROLSEX init{sizeof(INITCOMMONCONTROLSEX),
                            ICC_STANDARD_CLASSES | ICC_UPDOWN_CLASS | ICC_BAR_CLASSES |
                                ICC_TAB_CLASSES};
  ::InitCommonControlsEx(&init);

  static_cast<void>(layout_.SetDpi(WindowDpi(nullptr)));  // no icons in use yet
  colours_.Update();
  RegisterClasses();

  std::wstring title = Cp932ToWide(kAppTitle);
  application_.Create(instance_, title, kDesignedLeft, kDesignedTop, layout_.Icon(),
                      layout_.SmallIcon());
  RECT frame = layout_.FrameFor(kDesignedLeft, kDesignedTop);
  std::wstring caption = Cp932ToWide(kFormCaption);
  // Owned by the application window: an owned window has no taskbar button
  // of its own and is hidden and shown with its owner's minimising.
  handle_ = ::CreateWindowExW(0, kFormClass, caption.c_str(), kFormStyle, frame.left, frame.top,
                              frame.right - frame.left, frame.bottom - frame.top, application_.Handle(),
                              nullptr, instance_, this);
  if (handle_ == nullptr) return;
  application_.SetForm(handle_);
  int dpi = WindowDpi(handle_);
  if (dpi != layout_.Dpi()) {
    DensityLayout::RetiredIcons retired = layout_.SetDpi(dpi);
    SetWindowIcons();
  }
  layout_.PlaceFrame(handle_, kDesignedLeft, kDesignedTop);
  CreateControls();
  FillControls();
}

HWND TForm1::Control(int id) const { return layout_.Control(id); }

void TForm1::CreateControls() {
  layout_.CreateControls(handle_);
  keyboard_.Attach(handle_);
  preview_.Attach(Control(kIdScrollBox2), Control(kIdImage1), this);
}

void TForm1::FillControls() {
  edit1Limit_.Attach(Control(kIdEdit1), kMaxEdit1Bytes, L"");
  HWND edit2 = Control(kIdEdit2);
  edit2Limit_.Attach(edit2, kMaxEdit2Bytes, L"1");
  ::ImmAssociateContext(edit2, nullptr);
  HWND upDown = Control(kIdUpDown1);
  ::SendMessageW(upDown, UDM_SETBUDDY, reinterpret_cast<WPARAM>(edit2), 0);
  ::SendMessageW(upDown, UDM_SETRANGE32, 1, 100);
  ::SendMessageW(upDown, UDM_SETPOS32, 0, 1);
  layout_.PlaceControl(kIdUpDown1);

  layout_.AddTooltip(handle_, kIdEdit2, kEdit2Tip);

  ::ImmAssociateContext(Control(kIdEdit3), nullptr);
  HWND combo1 = Control(kIdComboBox1);
  AddItems(combo1, kBasePointItems);
  ::SendMessageW(combo1, CB_SETCURSEL, 0, 0);
  HWND combo2 = Control(kIdComboBox2);
  AddItems(combo2, kAngleItems);
  COMBOBOXINFO comboInfo{};
  comboInfo.cbSize = sizeof comboInfo;
  if (::GetComboBoxInfo(combo2, &comboInfo) && comboInfo.hwndItem != nullptr)
    ::ImmAssociateContext(comboInfo.hwndItem, nullptr);

  std::string memoText;
  for (std::size_t i = 0; i < kMemoLines.size(); ++i) {
    if (i != 0) memoText += "\r\n";
    memoText += kMemoLines[i];
  }
  SetControlText(kIdMemo1, memoText);

  keyboard_.CheckRadio(kIdRadioButton1);
  keyboard_.CheckRadio(kIdRadioButton3);
  keyboard_.CheckRadio(kIdRadioGroup1Item0 + 2);
  keyboard_.CheckRadio(kIdRadioButton6);
  preview_.UpdateScrollBox();
}

// Lays every control out again at another density, from the same rows as
// creation; the controls keep their texts, checks and selections.
void TForm1::Relayout(int dpi, const RECT* suggested) {
  DensityLayout::RetiredIcons retired = layout_.Relayout(dpi);
  SetWindowIcons();
  if (suggested != nullptr) {
    layout_.TakeFrame(handle_, *suggested);
  } else {
    RECT current{};
    ::GetWindowRect(handle_, &current);
    layout_.PlaceFrame(handle_, current.left, current.top);
  }
  FitLabelB1();
  preview_.Refit();
  ::InvalidateRect(handle_, nullptr, TRUE);
}

void TForm1::Run(int showCommand) {
  if (handle_ == nullptr) return;
  // The taskbar button first, so that an error box of the show sequence
  // (owned by the application window) has one.
  application_.ShowButton();
  // FormShow runs before the window is first drawn, as a form's OnShow does.
  // It may end the run instead (a folder the exchange cannot be written to).
  Guarded([this] { FormShow(); });
  if (handle_ != nullptr) Show(showCommand);
  ZUMORIKA_STARTUP_MARK("showing the window");

  MSG message;
  for (;;) {
    ZUMORIKA_STARTUP_IDLE();
    if (::GetMessageW(&message, nullptr, 0, 0) <= 0) break;
    // IsDialogMessage gives the window a dialog's keyboard: Tab, arrows in
    // the radio groups, Enter for OK, Esc for Cancel, Alt mnemonics.
    if (handle_ != nullptr && ::IsDialogMessageW(handle_, &message)) continue;
    ::TranslateMessage(&message);
    ::DispatchMessageW(&message);
  }
}

// The form comes up as the starting program asked (wWinMain's show
// command); started minimised, it goes to its taskbar button. The first
// control of the tab order takes the focus.
void TForm1::Show(int showCommand) {
  bool minimised = showCommand == SW_MINIMIZE || showCommand == SW_SHOWMINIMIZED ||
                   showCommand == SW_SHOWMINNOACTIVE || showCommand == SW_FORCEMINIMIZE;
  ::ShowWindow(handle_, minimised ? SW_SHOW : showCommand);
  if (minimised) application_.Minimise();
  ::UpdateWindow(handle_);
  keyboard_.FocusFirstTabStop();
}

void TForm1::CloseForm() {
  if (handle_ != nullptr) ::SendMessageW(handle_, WM_CLOSE, 0, 0);
}

// --- Lifecycle --------------------------------------------------------------

void TForm1::FormShow() {
  ResetJwcState();
  ExeFolder = ExtractFolderPart(ExecutablePath());
  ZUMORIKA_STARTUP_MARK("to FormShow");
  LoadJwcTemp(ExeFolder + "JWC_TEMP.TXT");
  ZUMORIKA_STARTUP_MARK("exchange file");
  if (!MayWriteFile(ExeFolder + "JWC_TEMP.TXT")) {
    EndForUnwritableFolder();
    return;
  }
  ResetOutAttrs();
  LoadSettings(SettingsFilePath(ExecutablePath()));

  const WindowSettings& s = Settings;
  ::SetWindowPos(handle_, nullptr, s.WinLeft, s.WinTop, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  // Saved on a monitor of another density: lay out for the one it is on now,
  // keeping the saved top-left corner.
  int dpi = WindowDpi(handle_);
  if (dpi != Dpi()) Relayout(dpi, nullptr);
  KeepOnScreen();
  SetControlText(kIdEdit1, s.SaveFolder);
  keyboard_.CheckRadio(s.FolderMode != 0 ? kIdRadioButton2 : kIdRadioButton1);
  keyboard_.CheckRadio(s.FileKind != 0 ? kIdRadioButton4 : kIdRadioButton3);
  if (s.BmpDepth >= 0 && s.BmpDepth <= 3)
    keyboard_.CheckRadio(kIdRadioGroup1Item0 + s.BmpDepth);
  keyboard_.CheckRadio(s.JpegColor != 0 ? kIdRadioButton6 : kIdRadioButton5);
  SetControlText(kIdEdit2, FormatInt(s.JpegQuality));
  SetControlText(kIdEdit3, FormatReal(s.WidthMm));
  if (s.BasePoint >= 0 && s.BasePoint <= 8)
    ::SendMessageW(Control(kIdComboBox1), CB_SETCURSEL, s.BasePoint, 0);
  SetControlText(kIdComboBox2, FormatReal(s.AngleDeg));

  ZUMORIKA_STARTUP_MARK("settings into the controls");
  preview_.Reset();
  HasPicture = false;

  // A picture that cannot be taken (a clipboard held by another program) is
  // reported by the error box once the show ends; the drawing's name is
  // shown all the same, so that the user sees which drawing the run is for.
  std::exception_ptr pictureError;
  try {
    if (ClipboardHasPicture()) {
      LoadClipboardPicture(preview_.Picture());
      ZUMORIKA_STARTUP_MARK("clipboard");
      preview_.ShowAtOwnSize();
      HasPicture = true;
      ZUMORIKA_STARTUP_MARK("preview");
    }
  } catch (...) {
    pictureError = std::current_exception();
  }
  SetControlText(kIdLabelB1, JwcState.DrawingFileName);
  FitLabelB1();
  if (pictureError) std::rethrow_exception(pictureError);
}

void TForm1::KeepOnScreen() {
  if (!CentreIfOffEveryScreen(handle_)) return;
  int dpi = WindowDpi(handle_);
  if (dpi != Dpi()) Relayout(dpi, nullptr);
}
// Jw_cad and the BAT under Program Files, or on a read-only share: the tool
// could hand nothing back, so it says so before the user does any work and
// ends. (For a 32-bit Jw_cad, Windows sends its writes there to a private
// copy of the folder; a 64-bit tool sees the real folder.) The host's file
// is left as it is.
void TForm1::EndForUnwritableFolder() {
  exchangeWritable_ = false;
  std::string text = std::string(kMsgFolderNotWritable) + "\r\n\r\n" + ExeFolder + "\r\n\r\n" +
                     std::string(kMsgPlaceInWritableFolder);
  ShowWarning(text);
  CloseForm();
}

void TForm1::FormClose() {
  preview_.EmptyPicture();
  // An error early in FormShow may have left the folder unset; the host
  // looks for its file beside the tool, never in the current folder.
  if (ExeFolder.empty()) ExeFolder = ExtractFolderPart(ExecutablePath());
  if (exchangeWritable_) SaveJwcTemp(ExeFolder + "JWC_TEMP.TXT");
  ReleaseJwcState();
}

void TForm1::LoadSettings(const std::string& path) { LoadWindowSettings(path, Settings); }

void TForm1::SaveSettings(const std::string& path) { SaveWindowSettings(path, Settings); }

// --- Handlers ---------------------------------------------------------------

void TForm1::Button1Click() {
  WindowSettings& s = Settings;
  RECT frame{};
  ::GetWindowRect(handle_, &frame);
  s.WinLeft = frame.left;
  s.WinTop = frame.top;
  s.SaveFolder = ControlText(kIdEdit1);
  s.FolderMode = keyboard_.IsChecked(kIdRadioButton2) ? 1 : 0;
  s.FileKind = keyboard_.IsChecked(kIdRadioButton4) ? 1 : 0;
  s.BmpDepth = -1;
  for (int i = 0; i < 4; ++i)
    if (keyboard_.IsChecked(kIdRadioGroup1Item0 + i)) s.BmpDepth = i;
  s.JpegColor = keyboard_.IsChecked(kIdRadioButton6) ? 1 : 0;
  s.JpegQuality = StrToIntOr0(ControlText(kIdEdit2));
  s.WidthMm = StrToFloatOr0(ControlText(kIdEdit3));
  s.BasePoint =
      static_cast<int32_t>(::SendMessageW(Control(kIdComboBox1), CB_GETCURSEL, 0, 0));
  s.AngleDeg = StrToFloatOr0(ControlText(kIdComboBox2));

  PictureInfo info;
  info.HasPicture = HasPicture;
  info.Width = PictureWidth(preview_.Picture());
  info.Height = PictureHeight(preview_.Picture());
  FormPasteHost host(*this, preview_.Picture());
  if (RunPasteAction(s, info, host)) CloseForm();
}

void TForm1::Button2Click() { CloseForm(); }

void TForm1::Button3Click() {
  std::string chosen;
  if (!ChooseFileInFolder(handle_, ExtractFolderPart(ControlText(kIdEdit1)), chosen)) return;
  SetControlText(kIdEdit1, IncludeTrailingSeparator(ExtractFolderPart(chosen)));
}

void TForm1::Image1Click() { preview_.ToggleFit(); }

void TForm1::OnImageClick() {
  Guarded([this] { Image1Click(); });
}

void TForm1::OnPaintError(std::exception_ptr error) {
  Guarded([error] { std::rethrow_exception(error); });
}

// --- Controls ---------------------------------------------------------------

std::string TForm1::ControlText(int id) const {
  HWND control = Control(id);
  if (control == nullptr) return {};
  return WideToCp932(WindowTextOf(control));
}

void TForm1::SetControlText(int id, std::string_view sjis) {
  HWND control = Control(id);
  if (control == nullptr) return;
  std::wstring text = Cp932ToWide(sjis);
  ::SetWindowTextW(control, text.c_str());
}

void TForm1::ShowStatus(std::string_view sjis) {
  SetControlText(kIdLabelA1, sjis);
  // The action goes on without returning to the message loop.
  ::UpdateWindow(Control(kIdLabelA1));
}

// Every box is owned by the form (by the application window before the form
// is shown) and application-modal: the owner is disabled while it is up and
// gets the activation back when it closes, and the box stays above it.
HWND TForm1::MessageOwner() const {
  if (handle_ != nullptr && ::IsWindowVisible(handle_)) return handle_;
  return application_.Handle();
}

void TForm1::ShowBox(std::string_view sjis, UINT icon) {
  std::wstring text = Cp932ToWide(sjis);
  std::wstring title = Cp932ToWide(kAppTitle);
  ::MessageBoxW(MessageOwner(), text.c_str(), title.c_str(), MB_OK | icon | MB_APPLMODAL);
}

void TForm1::ShowCheckMessage(std::string_view sjis) { ShowBox(sjis, 0); }

void TForm1::ShowWarning(std::string_view sjis) { ShowBox(sjis, MB_ICONWARNING); }

void TForm1::ShowErrorBox(std::string_view sjis) { ShowBox(ErrorBoxText(sjis), MB_ICONERROR); }

void TForm1::FitLabelB1() {
  // Sized to its text; as a child of GroupBox2 it shows only up to the
  // box's right edge.
  HWND label = Control(kIdLabelB1);
  std::wstring text = WindowTextOf(label);
  WindowDc dc(label);
  SelectedObject select(dc.get(), layout_.Font());
  int minimum = ScaleToDpi(13, Dpi());
  SIZE size{0, minimum};
  if (!text.empty())
    ::GetTextExtentPoint32W(dc.get(), text.c_str(), static_cast<int>(text.size()), &size);
  ::SetWindowPos(label, nullptr, 0, 0, size.cx, std::max<LONG>(size.cy, minimum),
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

// --- Window procedures ------------------------------------------------------

LRESULT CALLBACK TForm1::FormProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* form = WindowObject<TForm1>(window, message, lParam);
  if (form == nullptr) return ::DefWindowProcW(window, message, wParam, lParam);
  if (message == WM_NCCREATE) {
    form->handle_ = window;
    EnableNonClientDpiScalingWhereItExists(window);
  }
  return form->HandleMessage(message, wParam, lParam);
}

LRESULT TForm1::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  LRESULT result = 0;
  if (keyboard_.HandleMessage(message, wParam, lParam, result)) return result;
  if (application_.HandleFormMessage(message, wParam, lParam, result)) return result;
  if (colours_.HandleFormMessage(handle_, layout_.Controls(), message, wParam, lParam, result))
    return result;
  if (layout_.HandleFormMessage(message, wParam, lParam, result)) return result;
  switch (message) {
    case WM_COMMAND: {
      int id = LOWORD(wParam);
      int code = HIWORD(wParam);
      if (id == kIdButton1 && code == BN_CLICKED) {
        Guarded([this] { Button1Click(); });
      } else if (id == kIdButton2 && code == BN_CLICKED) {
        Guarded([this] { Button2Click(); });
      } else if (id == kIdButton3 && code == BN_CLICKED) {
        Guarded([this] { Button3Click(); });
      } else if (id == kIdEdit1 && code == EN_CHANGE) {
        edit1Limit_.OnChange();
      } else if (id == kIdEdit2 && code == EN_CHANGE) {
        edit2Limit_.OnChange();
      }
      return 0;
    }
    case WM_CTLCOLORSTATIC: {
      int id = ::GetDlgCtrlID(reinterpret_cast<HWND>(lParam));
      auto area = id == kIdLabelA1  ? FormColours::Area::kStatus
                  : id == kIdMemo1 ? FormColours::Area::kMemo
                                   : FormColours::Area::kWindow;
      return reinterpret_cast<LRESULT>(colours_.Apply(reinterpret_cast<HDC>(wParam), area));
    }
    case WM_DPICHANGED: {
      // Moved onto a monitor of another density: lay out again there, in
      // the rectangle the system suggests. The density it delivers is the
      // one to use: the window's own may still read the old one.
      Relayout(HIWORD(wParam), reinterpret_cast<const RECT*>(lParam));
      return 0;
    }
    case WM_CLOSE:
      if (!closed_) {
        closed_ = true;
        Guarded([this] { FormClose(); });
      }
      ::DestroyWindow(handle_);
      return 0;
    case WM_DESTROY:
      if (!closed_) {
        closed_ = true;
        Guarded([this] { FormClose(); });
      }
      ::PostQuitMessage(0);
      return 0;
    case WM_NCDESTROY: {
      HWND window = handle_;
      ::SetWindowLongPtrW(window, GWLP_USERDATA, 0);
      handle_ = nullptr;
      application_.SetForm(nullptr);
      return ::DefWindowProcW(window, message, wParam, lParam);
    }
    default:
      break;
  }
  return ::DefWindowProcW(handle_, message, wParam, lParam);
}

}  // namespace zumorika
