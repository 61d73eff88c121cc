#include "window/Unit1_win32.h"

#include <commctrl.h>
#include <imm.h>

#include <algorithm>
#include <exception>
#include <vector>

#include "exchange/JwwGaibu.h"
#include "imaging/Clipboard.h"
#include "imaging/DrawGraphic_win32.h"
#include "imaging/GdiHandles_win32.h"
#include "imaging/ImageFile.h"
#include "util/Cp932.h"
#include "util/Files.h"
#include "util/MyFunc.h"
#include "window/ControlIds.h"
#include "window/DensityLayout_win32.h"
#include "window/ErrorBoxText.h"
#include "window/FolderChooser_win32.h"
#include "window/FormLayout_win32.h"
#include "window/PasteAction.h"
#include "window/WindowTexts.h"

namespace zumorika {

std::string ExeFolder;

namespace {

constexpr int kDesignedLeft = 189;
constexpr int kDesignedTop = 104;
constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kStatusColour = RGB(231, 231, 231);
constexpr COLORREF kMemoColour = RGB(187, 235, 244);
constexpr std::size_t kMaxEdit1Bytes = 255;
constexpr std::size_t kMaxEdit2Bytes = 3;
// Posted to the form when a push button gained or lost the focus.
constexpr UINT kMsgFocusMoved = WM_APP + 1;

std::wstring WindowTextOf(HWND window) {
  int length = ::GetWindowTextLengthW(window);
  std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
  int copied = ::GetWindowTextW(window, text.data(), length + 1);
  text.resize(static_cast<std::size_t>(std::max(copied, 0)));
  return text;
}

bool HasClass(HWND window, const wchar_t* name) {
  wchar_t cls[32] = {};
  ::GetClassNameW(window, cls, 32);
  return ::lstrcmpiW(cls, name) == 0;
}

bool IsRadioButton(HWND window) {
  if (!HasClass(window, L"BUTTON")) return false;
  LONG type = ::GetWindowLongW(window, GWL_STYLE) & BS_TYPEMASK;
  return type == BS_RADIOBUTTON || type == BS_AUTORADIOBUTTON;
}

bool IsContainer(HWND window) {
  return (::GetWindowLongW(window, GWL_EXSTYLE) & WS_EX_CONTROLPARENT) != 0;
}

// The form a window of the tool's own classes belongs to: the creation
// parameter, kept in the window's user data from WM_NCCREATE on.
TForm1* FormOfWindow(HWND window, UINT message, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    auto* create = reinterpret_cast<CREATESTRUCTW*>(lParam);
    ::SetWindowLongPtrW(window, GWLP_USERDATA,
                        reinterpret_cast<LONG_PTR>(create->lpCreateParams));
  }
  return reinterpret_cast<TForm1*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
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
  WNDCLASSEXW form{};
  form.cbSize = sizeof form;
  form.lpfnWndProc = FormProc;
  form.hInstance = instance_;
  form.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
  form.hbrBackground = static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH));
  form.lpszClassName = kFormClass;
  form.hIcon = layout_.Icon();
  form.hIconSm = layout_.SmallIcon();
  ::RegisterClassExW(&form);
  PreviewPane::RegisterClasses(instance_);
}

// The windows show their classes' icons until the icons are loaded again
// for another density; from then on each window carries the new ones.
void TForm1::SetWindowIcons() {
  ::SendMessageW(handle_, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(layout_.SmallIcon()));
  ::SendMessageW(handle_, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(layout_.Icon()));
  application_.SetIcons(layout_.Icon(), layout_.SmallIcon());
}

void TForm1::Create() {
  INITCOMMONCONTROLSEX init{sizeof(INITCOMMONCONTROLSEX),
                            ICC_STANDARD_CLASSES | ICC_UPDOWN_CLASS | ICC_BAR_CLASSES |
                                ICC_TAB_CLASSES};
  ::InitCommonControlsEx(&init);

  layout_.SetDpi(WindowDpi(nullptr));
  whiteBrush_.reset(::CreateSolidBrush(kWhite));
  statusBrush_.reset(::CreateSolidBrush(kStatusColour));
  memoBrush_.reset(::CreateSolidBrush(kMemoColour));
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
    layout_.SetDpi(dpi);
    SetWindowIcons();
  }
  layout_.PlaceFrame(handle_, kDesignedLeft, kDesignedTop);
  CreateControls();
  FillControls();
}

HWND TForm1::Control(int id) const { return layout_.Control(id); }

void TForm1::CreateControls() {
  layout_.CreateControls(handle_);
  for (const auto& [id, control] : layout_.Controls()) {
    if (control == nullptr) continue;
    if (IsRadioButton(control))
      ::SetWindowSubclass(control, RadioProc, 1, reinterpret_cast<DWORD_PTR>(this));
    if (id == kIdButton1 || id == kIdButton2 || id == kIdButton3)
      ::SetWindowSubclass(control, PushButtonProc, 1, reinterpret_cast<DWORD_PTR>(this));
  }
  preview_.Attach(Control(kIdScrollBox2), Control(kIdImage1), this);
}

void TForm1::FillControls() {
  HWND edit1 = Control(kIdEdit1);
  // A first cut by characters; EN_CHANGE then holds the text to its bytes
  // of Shift-JIS, where a double-byte character counts twice.
  ::SendMessageW(edit1, EM_LIMITTEXT, kMaxEdit1Bytes, 0);
  edit1Limit_ = ByteLimit{this, kMaxEdit1Bytes, L"", false};
  ::SetWindowSubclass(edit1, ByteLimitProc, 1, reinterpret_cast<DWORD_PTR>(&edit1Limit_));

  HWND edit2 = Control(kIdEdit2);
  ::SendMessageW(edit2, EM_LIMITTEXT, kMaxEdit2Bytes, 0);
  edit2Limit_ = ByteLimit{this, kMaxEdit2Bytes, L"1", false};
  ::SetWindowSubclass(edit2, ByteLimitProc, 1, reinterpret_cast<DWORD_PTR>(&edit2Limit_));
  ::ImmAssociateContext(edit2, nullptr);
  HWND upDown = Control(kIdUpDown1);
  ::SendMessageW(upDown, UDM_SETBUDDY, reinterpret_cast<WPARAM>(edit2), 0);
  ::SendMessageW(upDown, UDM_SETRANGE32, 1, 100);
  ::SendMessageW(upDown, UDM_SETPOS32, 0, 1);
  // The up-down control takes a width of its own when it gets its buddy.
  if (const ControlRow* row = FindControlRow(kIdUpDown1))
    ::SetWindowPos(upDown, nullptr, ScaleToDpi(row->x, Dpi()), ScaleToDpi(row->y, Dpi()),
                   ScaleToDpi(row->width, Dpi()), ScaleToDpi(row->height, Dpi()),
                   SWP_NOZORDER | SWP_NOACTIVATE);

  tooltip_ = ::CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr,
                               WS_POPUP | TTS_NOPREFIX | TTS_ALWAYSTIP, CW_USEDEFAULT,
                               CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, handle_, nullptr,
                               instance_, nullptr);
  if (tooltip_ != nullptr) {
    std::wstring tip = Cp932ToWide(kEdit2Tip);
    TOOLINFOW tool{};
    tool.cbSize = sizeof tool;
    tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    tool.hwnd = handle_;
    tool.uId = reinterpret_cast<UINT_PTR>(edit2);
    tool.lpszText = tip.data();
    ::SendMessageW(tooltip_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
    ::SendMessageW(tooltip_, TTM_SETMAXTIPWIDTH, 0, ScaleToDpi(600, Dpi()));
  }

  ::ImmAssociateContext(Control(kIdEdit3), nullptr);
  HWND combo1 = Control(kIdComboBox1);
  for (std::string_view item : kBasePointItems) {
    std::wstring w = Cp932ToWide(item);
    ::SendMessageW(combo1, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(w.c_str()));
  }
  ::SendMessageW(combo1, CB_SETITEMHEIGHT, 0, ScaleToDpi(kComboItemHeight, Dpi()));
  ::SendMessageW(combo1, CB_SETCURSEL, 0, 0);
  HWND combo2 = Control(kIdComboBox2);
  for (const char* item : {"0", "30", "45", "60", "90", "120", "135", "150", "180", "-30", "-45",
                           "-60", "-90", "-120", "-135", "-150"}) {
    std::wstring w = Cp932ToWide(item);
    ::SendMessageW(combo2, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(w.c_str()));
  }
  ::SendMessageW(combo2, CB_SETITEMHEIGHT, 0, ScaleToDpi(kComboItemHeight, Dpi()));
  COMBOBOXINFO comboInfo{};
  comboInfo.cbSize = sizeof comboInfo;
  if (::GetComboBoxInfo(combo2, &comboInfo) && comboInfo.hwndItem != nullptr)
    ::ImmAssociateContext(comboInfo.hwndItem, nullptr);

  std::string memoText;
  for (std::size_t i = 0; i < kMemoLines.size(); ++i) {
    if (i != 0) memoText += "\r\n";
    memoText += kMemoLines[i];
  }
  HWND memo = Control(kIdMemo1);
  SetControlText(kIdMemo1, memoText);
  ::SetWindowSubclass(memo, MemoProc, 1, reinterpret_cast<DWORD_PTR>(this));

  CheckRadio(kIdRadioButton1);
  CheckRadio(kIdRadioButton3);
  CheckRadio(kIdRadioGroup1Item0 + 2);
  CheckRadio(kIdRadioButton6);
  preview_.UpdateScrollBox();
}

// Lays every control out again at another density, from the same rows as
// creation; the controls keep their texts, checks and selections.
void TForm1::Relayout(int dpi, const RECT* suggested) {
  layout_.Relayout(dpi);
  SetWindowIcons();
  if (tooltip_ != nullptr)
    ::SendMessageW(tooltip_, TTM_SETMAXTIPWIDTH, 0, ScaleToDpi(600, Dpi()));
  RECT current{};
  ::GetWindowRect(handle_, &current);
  layout_.PlaceFrame(handle_, suggested ? suggested->left : current.left,
                     suggested ? suggested->top : current.top);
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
  Guarded([this] { FormShow(); });
  bool minimised = showCommand == SW_MINIMIZE || showCommand == SW_SHOWMINIMIZED ||
                   showCommand == SW_SHOWMINNOACTIVE || showCommand == SW_FORCEMINIMIZE;
  ::ShowWindow(handle_, minimised ? SW_SHOW : showCommand);
  if (minimised) application_.Minimise();
  ::UpdateWindow(handle_);
  // The first control of the tab order that can take the focus; a radio
  // button only while checked, as an automatic radio button that gets the
  // focus checks itself and would undo the saved choice.
  FocusOn(FirstTabStop(handle_));

  MSG message;
  while (::GetMessageW(&message, nullptr, 0, 0) > 0) {
    // IsDialogMessage gives the window a dialog's keyboard: Tab, arrows in
    // the radio groups, Enter for OK, Esc for Cancel, Alt mnemonics.
    if (handle_ != nullptr && ::IsDialogMessageW(handle_, &message)) continue;
    ::TranslateMessage(&message);
    ::DispatchMessageW(&message);
  }
}

void TForm1::CloseForm() {
  if (handle_ != nullptr) ::SendMessageW(handle_, WM_CLOSE, 0, 0);
}

// --- Lifecycle --------------------------------------------------------------

void TForm1::FormShow() {
  ResetJwcState();
  ExeFolder = ExtractFolderPart(ExecutablePath());
  LoadJwcTemp(ExeFolder + "JWC_TEMP.TXT");
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
  CheckRadio(s.FolderMode != 0 ? kIdRadioButton2 : kIdRadioButton1);
  CheckRadio(s.FileKind != 0 ? kIdRadioButton4 : kIdRadioButton3);
  if (s.BmpDepth >= 0 && s.BmpDepth <= 3) CheckRadio(kIdRadioGroup1Item0 + s.BmpDepth);
  CheckRadio(s.JpegColor != 0 ? kIdRadioButton6 : kIdRadioButton5);
  SetControlText(kIdEdit2, FormatInt(s.JpegQuality));
  SetControlText(kIdEdit3, FormatReal(s.WidthMm));
  if (s.BasePoint >= 0 && s.BasePoint <= 8)
    ::SendMessageW(Control(kIdComboBox1), CB_SETCURSEL, s.BasePoint, 0);
  SetControlText(kIdComboBox2, FormatReal(s.AngleDeg));

  preview_.Reset();
  HasPicture = false;

  if (ClipboardHasPicture()) {
    LoadClipboardPicture(preview_.Picture());
    preview_.ShowAtOwnSize();
    HasPicture = true;
  }
  SetControlText(kIdLabelB1, JwcState.DrawingFileName);
  FitLabelB1();
}

// A saved position can lie off every screen once a monitor is gone (a
// laptop undocked): then the window goes to the middle of the nearest
// monitor's work area. A window that still touches a work area stays.
void TForm1::KeepOnScreen() {
  struct Search {
    RECT frame;
    bool touches;
  } search{};
  ::GetWindowRect(handle_, &search.frame);
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
  if (search.touches) return;
  MONITORINFO info{};
  info.cbSize = sizeof info;
  if (!::GetMonitorInfoW(::MonitorFromRect(&search.frame, MONITOR_DEFAULTTONEAREST), &info)) return;
  const RECT& work = info.rcWork;
  int width = search.frame.right - search.frame.left;
  int height = search.frame.bottom - search.frame.top;
  int left = work.left + (work.right - work.left - width) / 2;
  int top = work.top + (work.bottom - work.top - height) / 2;
  ::SetWindowPos(handle_, nullptr, left, top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  int dpi = WindowDpi(handle_);
  if (dpi != Dpi()) Relayout(dpi, nullptr);
}
void TForm1::FormClose() {
  preview_.EmptyPicture();
  // An error early in FormShow may have left the folder unset; the host
  // looks for its file beside the tool, never in the current folder.
  if (ExeFolder.empty()) ExeFolder = ExtractFolderPart(ExecutablePath());
  SaveJwcTemp(ExeFolder + "JWC_TEMP.TXT");
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
  s.FolderMode = IsChecked(kIdRadioButton2) ? 1 : 0;
  s.FileKind = IsChecked(kIdRadioButton4) ? 1 : 0;
  s.BmpDepth = -1;
  for (int i = 0; i < 4; ++i)
    if (IsChecked(kIdRadioGroup1Item0 + i)) s.BmpDepth = i;
  s.JpegColor = IsChecked(kIdRadioButton6) ? 1 : 0;
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

void TForm1::EnforceByteLimit(ByteLimit& limit, HWND edit) {
  if (limit.programmatic) return;
  std::wstring text = WindowTextOf(edit);
  if (WideToCp932(text).size() <= limit.maxBytes) {
    limit.accepted = text;
    return;
  }
  // The typed or pasted text would not fit: undo it.
  limit.programmatic = true;
  ::SetWindowTextW(edit, limit.accepted.c_str());
  limit.programmatic = false;
  ::SendMessageW(edit, EM_SETSEL, limit.accepted.size(), limit.accepted.size());
  ::MessageBeep(MB_OK);
}

bool TForm1::IsChecked(int id) const {
  HWND button = Control(id);
  return button != nullptr && ::SendMessageW(button, BM_GETCHECK, 0, 0) == BST_CHECKED;
}

// Checks one radio button of its group and unchecks the others. A radio
// button is a tab stop only while checked, as the dialog keys expect.
void TForm1::CheckRadio(int id) {
  int first = 0, last = 0;
  if (!RadioGroupOf(id, first, last)) return;
  for (int member = first; member <= last; ++member) {
    HWND button = Control(member);
    if (button == nullptr) continue;
    bool chosen = member == id;
    // FormShow checks again what creation checked; a button already in
    // its state is left alone.
    WPARAM check = chosen ? BST_CHECKED : BST_UNCHECKED;
    if (static_cast<WPARAM>(::SendMessageW(button, BM_GETCHECK, 0, 0)) != check)
      ::SendMessageW(button, BM_SETCHECK, check, 0);
    LONG style = ::GetWindowLongW(button, GWL_STYLE);
    LONG wanted = chosen ? (style | WS_TABSTOP) : (style & ~WS_TABSTOP);
    if (wanted != style) ::SetWindowLongW(button, GWL_STYLE, wanted);
  }
}

// Arrow keys move among the buttons of the focused group only, checking the
// one they land on, as in a dialog. RadioButton3 and RadioButton4 have
// RadioGroup1 between them in the tab order, so the group is the form's
// list, not the window tree's WS_GROUP range.
void TForm1::MoveInRadioGroup(HWND from, bool forward) {
  int id = ::GetDlgCtrlID(from);
  int first = 0, last = 0;
  if (!RadioGroupOf(id, first, last)) return;
  int next = forward ? (id == last ? first : id + 1) : (id == first ? last : id - 1);
  CheckRadio(next);
  FocusOn(Control(next));
}

// Moves the focus as a dialog does: never onto an unchecked radio button
// (an automatic one would check itself), the whole text of an edit box
// selected, and the default button following the focus.
bool TForm1::FocusOn(HWND control) {
  if (control == nullptr) return false;
  if (IsRadioButton(control) && ::SendMessageW(control, BM_GETCHECK, 0, 0) != BST_CHECKED)
    return false;
  ::SetFocus(control);
  if (::SendMessageW(control, WM_GETDLGCODE, 0, 0) & DLGC_HASSETSEL)
    ::SendMessageW(control, EM_SETSEL, 0, -1);
  UpdateDefaultButton();
  return true;
}

// The first control at or inside parent that the dialog keys can reach, in
// the tab order: group boxes are entered, radio buttons count while checked.
HWND TForm1::FirstTabStop(HWND parent) const {
  for (HWND child = ::GetWindow(parent, GW_CHILD); child != nullptr;
       child = ::GetWindow(child, GW_HWNDNEXT)) {
    LONG style = ::GetWindowLongW(child, GWL_STYLE);
    if (!(style & WS_VISIBLE) || (style & WS_DISABLED)) continue;
    if (IsContainer(child)) {
      if (HWND inner = FirstTabStop(child)) return inner;
      continue;
    }
    if (!(style & WS_TABSTOP)) continue;
    if (IsRadioButton(child) && ::SendMessageW(child, BM_GETCHECK, 0, 0) != BST_CHECKED) continue;
    return child;
  }
  return nullptr;
}

// The control a window belongs to: the edit box inside a combo box answers
// for the combo box.
HWND TForm1::ControlOf(HWND window) const {
  while (window != nullptr && window != handle_) {
    HWND parent = ::GetParent(window);
    if (parent == handle_ || (parent != nullptr && IsContainer(parent))) return window;
    window = parent;
  }
  return nullptr;
}

void TForm1::NextDialogControl(WPARAM wParam, LPARAM lParam) {
  // IsDialogMessage sends this for Tab and for a group box's Alt mnemonic
  // (the box first, then "the next one"). A group box here is a parent, and
  // the next control after a parent lies outside it, so the mnemonic goes
  // to the first control inside the box instead.
  if (LOWORD(lParam) != 0) {
    HWND target = reinterpret_cast<HWND>(wParam);
    if (target != nullptr && IsContainer(target)) {
      pendingGroup_ = target;
    } else {
      pendingGroup_ = nullptr;
      FocusOn(target);
    }
    return;
  }
  HWND target = nullptr;
  if (pendingGroup_ != nullptr) {
    target = FirstTabStop(pendingGroup_);
    if (target == nullptr) target = ::GetNextDlgTabItem(handle_, pendingGroup_, FALSE);
    pendingGroup_ = nullptr;
  } else {
    target = ::GetNextDlgTabItem(handle_, ControlOf(::GetFocus()), wParam != 0);
  }
  FocusOn(target);
}

// While a push button has the focus it is the default button (Enter presses
// it, and it shows the default look); otherwise Button1 is.
int TForm1::DefaultButtonId() const {
  HWND focus = ::GetFocus();
  for (int id : {kIdButton1, kIdButton2, kIdButton3})
    if (focus != nullptr && focus == Control(id)) return id;
  return kIdButton1;
}

void TForm1::UpdateDefaultButton() {
  int chosen = DefaultButtonId();
  for (int id : {kIdButton1, kIdButton2, kIdButton3}) {
    HWND button = Control(id);
    if (button == nullptr) continue;
    LONG type = ::GetWindowLongW(button, GWL_STYLE) & BS_TYPEMASK;
    LONG wanted = id == chosen ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON;
    if (type != wanted) ::SendMessageW(button, BM_SETSTYLE, wanted, TRUE);
  }
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

void TForm1::ShowCheckMessage(std::string_view sjis) {
  std::wstring text = Cp932ToWide(sjis);
  std::wstring title = Cp932ToWide(kAppTitle);
  ::MessageBoxW(MessageOwner(), text.c_str(), title.c_str(), MB_OK | MB_APPLMODAL);
}

void TForm1::ShowErrorBox(std::string_view sjis) {
  std::wstring text = Cp932ToWide(ErrorBoxText(sjis));
  std::wstring title = Cp932ToWide(kAppTitle);
  ::MessageBoxW(MessageOwner(), text.c_str(), title.c_str(),
                MB_OK | MB_ICONERROR | MB_APPLMODAL);
}

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
  TForm1* form = FormOfWindow(window, message, lParam);
  if (form == nullptr) return ::DefWindowProcW(window, message, wParam, lParam);
  if (message == WM_NCCREATE) form->handle_ = window;
  return form->HandleMessage(message, wParam, lParam);
}

LRESULT TForm1::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_COMMAND: {
      int id = LOWORD(wParam);
      int code = HIWORD(wParam);
      int first = 0, last = 0;
      if (id == kIdButton1 && code == BN_CLICKED) {
        Guarded([this] { Button1Click(); });
      } else if (id == kIdButton2 && code == BN_CLICKED) {
        Guarded([this] { Button2Click(); });
      } else if (id == kIdButton3 && code == BN_CLICKED) {
        Guarded([this] { Button3Click(); });
      } else if (id == kIdEdit1 && code == EN_CHANGE) {
        EnforceByteLimit(edit1Limit_, Control(kIdEdit1));
      } else if (id == kIdEdit2 && code == EN_CHANGE) {
        EnforceByteLimit(edit2Limit_, Control(kIdEdit2));
      } else if (code == BN_CLICKED && RadioGroupOf(id, first, last)) {
        CheckRadio(id);
      }
      return 0;
    }
    case DM_GETDEFID:
      return MAKELRESULT(DefaultButtonId(), DC_HASDEFID);
    case kMsgFocusMoved:
      UpdateDefaultButton();
      return 0;
    case WM_NEXTDLGCTL:
      // Only a dialog procedure answers this by itself; a plain window must
      // do the moving or the key falls through to the system menu, where
      // Alt+C means Close.
      NextDialogControl(wParam, lParam);
      return 0;
    case WM_CTLCOLORSTATIC: {
      HDC dc = reinterpret_cast<HDC>(wParam);
      HWND control = reinterpret_cast<HWND>(lParam);
      int id = ::GetDlgCtrlID(control);
      if (id == kIdLabelA1) {
        ::SetBkColor(dc, kStatusColour);
        return reinterpret_cast<LRESULT>(statusBrush_.get());
      }
      if (id == kIdMemo1) {
        ::SetBkColor(dc, kMemoColour);
        return reinterpret_cast<LRESULT>(memoBrush_.get());
      }
      ::SetBkColor(dc, kWhite);
      return reinterpret_cast<LRESULT>(whiteBrush_.get());
    }
    case WM_SYSCOMMAND:
      // The form is owned: minimising it alone would leave a small title bar
      // on the desktop. The application window minimises to its taskbar
      // button and hides the form with it.
      if ((wParam & 0xFFF0) == SC_MINIMIZE && application_.Handle() != nullptr) {
        application_.Minimise();
        return 0;
      }
      break;
    case WM_DPICHANGED: {
      // Moved onto a monitor of another density: lay out again there, at the
      // place the system suggests.
      Relayout(HIWORD(wParam), reinterpret_cast<const RECT*>(lParam));
      return 0;
    }
    case WM_ACTIVATE:
      // A plain window does not remember its focused control the way a
      // dialog does; without this the focus is lost after Alt+Tab.
      if (LOWORD(wParam) == WA_INACTIVE) {
        lastFocus_ = ::GetFocus();
      } else if (lastFocus_ != nullptr && ::IsWindow(lastFocus_)) {
        ::SetFocus(lastFocus_);
        return 0;
      }
      break;
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

// A group box or the radio group as a parent: a button window passes its
// children's notifications to nobody, so they go on to the form.
LRESULT CALLBACK TForm1::ContainerProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                                       UINT_PTR, DWORD_PTR data) {
  auto* form = reinterpret_cast<TForm1*>(data);
  switch (message) {
    case WM_COMMAND:
    case WM_NOTIFY:
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_DRAWITEM:
    case WM_MEASUREITEM:
      if (form->handle_ != nullptr) return ::SendMessageW(form->handle_, message, wParam, lParam);
      break;
    case WM_NCDESTROY:
      ::RemoveWindowSubclass(window, ContainerProc, 1);
      break;
    default:
      break;
  }
  return ::DefSubclassProc(window, message, wParam, lParam);
}

LRESULT CALLBACK TForm1::ByteLimitProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                                       UINT_PTR, DWORD_PTR data) {
  if (message == WM_SETTEXT) {
    // Like the control's own limit, the byte limit holds typing and pasting
    // back; text set through WM_SETTEXT (by the tool or a driver) stands.
    auto* limit = reinterpret_cast<ByteLimit*>(data);
    bool was = limit->programmatic;
    limit->programmatic = true;
    LRESULT result = ::DefSubclassProc(window, message, wParam, lParam);
    limit->programmatic = was;
    if (lParam != 0) limit->accepted = reinterpret_cast<const wchar_t*>(lParam);
    return result;
  }
  if (message == WM_NCDESTROY) ::RemoveWindowSubclass(window, ByteLimitProc, 1);
  return ::DefSubclassProc(window, message, wParam, lParam);
}

LRESULT CALLBACK TForm1::RadioProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                                   UINT_PTR, DWORD_PTR data) {
  auto* form = reinterpret_cast<TForm1*>(data);
  switch (message) {
    case WM_GETDLGCODE:
      // The arrows are the button's own: the dialog manager's group walk
      // follows WS_GROUP ranges, which do not match these groups.
      return ::DefSubclassProc(window, message, wParam, lParam) | DLGC_WANTARROWS;
    case WM_KEYDOWN:
      if (wParam == VK_UP || wParam == VK_LEFT || wParam == VK_DOWN || wParam == VK_RIGHT) {
        form->MoveInRadioGroup(window, wParam == VK_DOWN || wParam == VK_RIGHT);
        return 0;
      }
      break;
    case WM_NCDESTROY:
      ::RemoveWindowSubclass(window, RadioProc, 1);
      break;
    default:
      break;
  }
  return ::DefSubclassProc(window, message, wParam, lParam);
}

LRESULT CALLBACK TForm1::PushButtonProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                                        UINT_PTR, DWORD_PTR data) {
  auto* form = reinterpret_cast<TForm1*>(data);
  if (message == WM_SETFOCUS || message == WM_KILLFOCUS) {
    // Posted: while the focus is leaving, it has not yet arrived anywhere.
    if (form->handle_ != nullptr) ::PostMessageW(form->handle_, kMsgFocusMoved, 0, 0);
  } else if (message == WM_NCDESTROY) {
    ::RemoveWindowSubclass(window, PushButtonProc, 1);
  }
  return ::DefSubclassProc(window, message, wParam, lParam);
}

LRESULT CALLBACK TForm1::MemoProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                                  UINT_PTR, DWORD_PTR) {
  if (message == WM_GETDLGCODE) {
    // A multi-line edit asks for every key, which would keep Enter, Esc and
    // Tab from the dialog keyboard; read-only text needs only the arrows.
    // It claims typed characters, or the dialog manager would take a plain
    // letter for a button's mnemonic ("y" for OK); Alt+letter still reaches
    // the mnemonics as WM_SYSCHAR.
    return DLGC_WANTARROWS | DLGC_WANTCHARS | DLGC_HASSETSEL;
  }
  if (message == WM_CHAR && wParam >= 0x20) return 0;  // read-only: typing does nothing
  if (message == WM_NCDESTROY) ::RemoveWindowSubclass(window, MemoProc, 1);
  return ::DefSubclassProc(window, message, wParam, lParam);
}

}  // namespace zumorika
