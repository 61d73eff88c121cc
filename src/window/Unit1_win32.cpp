#include "window/Unit1_win32.h"

#include <commctrl.h>
#include <commdlg.h>
#include <imm.h>

#include <algorithm>
#include <exception>
#include <vector>

#include "exchange/JwwGaibu.h"
#include "imaging/Clipboard.h"
#include "imaging/DrawGraphic_win32.h"
#include "imaging/ImageFile.h"
#include "util/Cp932.h"
#include "util/Files.h"
#include "util/MyFunc.h"
#include "window/ControlIds.h"
#include "window/ErrorBoxText.h"
#include "window/PasteAction.h"
#include "window/WindowTexts.h"

namespace zumorika {

std::string ExeFolder;

namespace {

constexpr wchar_t kFormClass[] = L"TForm1";
constexpr wchar_t kScrollBoxClass[] = L"TScrollBox";
constexpr wchar_t kImageClass[] = L"TImage";

constexpr int kClientWidth = 470;
constexpr int kClientHeight = 415;
constexpr int kDesignedLeft = 189;
constexpr int kDesignedTop = 104;
constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kStatusColour = RGB(231, 231, 231);
constexpr COLORREF kMemoColour = RGB(187, 235, 244);
constexpr int kMaxEdit1Bytes = 255;
constexpr int kIconResource = 1;

constexpr DWORD kMainStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;

bool IsChecked(HWND window, int id) {
  return ::IsDlgButtonChecked(window, id) == BST_CHECKED;
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
  form.hIcon = icon_.get();
  form.hIconSm = smallIcon_.get();
  ::RegisterClassExW(&form);

  WNDCLASSEXW box{};
  box.cbSize = sizeof box;
  box.lpfnWndProc = ScrollBoxProc;
  box.hInstance = instance_;
  box.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
  box.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  box.lpszClassName = kScrollBoxClass;
  ::RegisterClassExW(&box);

  WNDCLASSEXW image{};
  image.cbSize = sizeof image;
  image.lpfnWndProc = ImageProc;
  image.hInstance = instance_;
  image.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
  image.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  image.lpszClassName = kImageClass;
  ::RegisterClassExW(&image);
}

HWND TForm1::AddControl(DWORD exStyle, const wchar_t* cls, std::string_view sjisText,
                        DWORD style, int x, int y, int w, int h, int id, HFONT font) {
  std::wstring text = Cp932ToWide(sjisText);
  HWND control = ::CreateWindowExW(exStyle, cls, text.c_str(), WS_CHILD | WS_VISIBLE | style, x,
                                   y, w, h, handle_, reinterpret_cast<HMENU>(INT_PTR{id}),
                                   instance_, nullptr);
  if (control != nullptr && font != nullptr)
    ::SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
  return control;
}

void TForm1::Create() {
  INITCOMMONCONTROLSEX init{sizeof(INITCOMMONCONTROLSEX),
                            ICC_STANDARD_CLASSES | ICC_UPDOWN_CLASS | ICC_BAR_CLASSES |
                                ICC_TAB_CLASSES};
  ::InitCommonControlsEx(&init);

  icon_.reset(static_cast<HICON>(
      ::LoadImageW(instance_, MAKEINTRESOURCEW(kIconResource), IMAGE_ICON, 32, 32, 0)));
  smallIcon_.reset(static_cast<HICON>(
      ::LoadImageW(instance_, MAKEINTRESOURCEW(kIconResource), IMAGE_ICON, 16, 16, 0)));
  std::wstring face = Cp932ToWide(kFontName);
  font_.reset(::CreateFontW(-13, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, SHIFTJIS_CHARSET,
                            OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                            DEFAULT_PITCH | FF_DONTCARE, face.c_str()));
  smallFont_.reset(::CreateFontW(-9, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, SHIFTJIS_CHARSET,
                                 OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                                 DEFAULT_PITCH | FF_DONTCARE, face.c_str()));
  whiteBrush_.reset(::CreateSolidBrush(kWhite));
  statusBrush_.reset(::CreateSolidBrush(kStatusColour));
  memoBrush_.reset(::CreateSolidBrush(kMemoColour));
  RegisterClasses();

  RECT frame{0, 0, kClientWidth, kClientHeight};
  ::AdjustWindowRectEx(&frame, kMainStyle, FALSE, 0);
  std::wstring caption = Cp932ToWide(kFormCaption);
  handle_ = ::CreateWindowExW(0, kFormClass, caption.c_str(), kMainStyle, kDesignedLeft,
                              kDesignedTop, frame.right - frame.left, frame.bottom - frame.top,
                              nullptr, nullptr, instance_, this);
  if (handle_ == nullptr) return;
  CreateControls();
}

void TForm1::CreateControls() {
  HFONT f = font_.get();
  // Children of the group boxes sit on the form itself at the group's
  // offset: a group box does not pass WM_COMMAND on, and a flat tree keeps
  // GetDlgItem, IsDialogMessage and the radio groups simple. Creation order
  // is the Z order, and so the tab order.
  AddControl(0, L"STATIC", kStatusIdle, SS_CENTER | SS_CENTERIMAGE | SS_NOPREFIX, 0, 391, 470,
             24, kIdLabelA1, f);
  AddControl(0, L"STATIC", kLabel1, SS_LEFT | SS_NOPREFIX, 8, 8, 448, 13, kIdLabel1, f);

  AddControl(0, L"BUTTON", kGroupBox1, BS_GROUPBOX, 8, 32, 273, 161, kIdGroupBox1, f);
  scrollBox_ = AddControl(WS_EX_CLIENTEDGE, kScrollBoxClass, "",
                          WS_TABSTOP | WS_GROUP | WS_CLIPCHILDREN, 8 + 8, 32 + 16, 257, 137,
                          kIdScrollBox2, nullptr);
  image_ = ::CreateWindowExW(0, kImageClass, L"", WS_CHILD | WS_VISIBLE, 0, 0, 105, 105,
                             scrollBox_, reinterpret_cast<HMENU>(INT_PTR{kIdImage1}), instance_,
                             this);

  AddControl(0, L"BUTTON", kGroupBox2, BS_GROUPBOX, 8, 200, 273, 89, kIdGroupBox2, f);
  AddControl(0, L"BUTTON", kRadioButton1, BS_AUTORADIOBUTTON | WS_GROUP | WS_TABSTOP, 8 + 8,
             200 + 16, 233, 17, kIdRadioButton1, f);
  AddControl(0, L"STATIC", "LabelB1", SS_LEFT | SS_NOPREFIX, 8 + 24, 200 + 32, 49, 13,
             kIdLabelB1, f);
  AddControl(0, L"BUTTON", kRadioButton2, BS_AUTORADIOBUTTON, 8 + 8, 200 + 48, 185, 17,
             kIdRadioButton2, f);
  HWND edit1 = AddControl(WS_EX_CLIENTEDGE, L"EDIT", "", ES_AUTOHSCROLL | WS_GROUP | WS_TABSTOP,
                          8 + 24, 200 + 64, 225, 21, kIdEdit1, f);
  // A first cut by characters; EN_CHANGE then holds the text to 255 bytes
  // of Shift-JIS, where a double-byte character counts twice.
  ::SendMessageW(edit1, EM_LIMITTEXT, kMaxEdit1Bytes, 0);
  ::SetWindowSubclass(edit1, Edit1Proc, 1, reinterpret_cast<DWORD_PTR>(this));
  AddControl(0, L"BUTTON", "...", BS_PUSHBUTTON | WS_TABSTOP, 8 + 248, 200 + 64, 20, 20,
             kIdButton3, smallFont_.get());

  // RadioButton3 and RadioButton4 form a group of their own on the form; they
  // come next to each other in the Z order so that no radio button of
  // RadioGroup1 falls between them.
  AddControl(0, L"BUTTON", kRadioButton3, BS_AUTORADIOBUTTON | WS_GROUP | WS_TABSTOP, 8, 296,
             129, 17, kIdRadioButton3, f);
  AddControl(0, L"BUTTON", kRadioButton4, BS_AUTORADIOBUTTON, 160, 296, 129, 17,
             kIdRadioButton4, f);

  AddControl(0, L"BUTTON", "", BS_GROUPBOX, 8, 312, 145, 73, kIdRadioGroup1, f);
  const std::array<std::string_view, 4> depths{kDepthMono, kDepth16, kDepth256, kDepth24};
  for (int i = 0; i < 4; ++i) {
    // Two columns filled column by column, as a radio group lays them out.
    int column = i / 2, row = i % 2;
    DWORD style = BS_AUTORADIOBUTTON | (i == 0 ? WS_GROUP | WS_TABSTOP : 0);
    AddControl(0, L"BUTTON", depths[i], style, 8 + 8 + column * 68, 312 + 16 + row * 26, 64, 17,
               kIdRadioGroup1Item0 + i, f);
  }

  AddControl(0, L"BUTTON", "", BS_GROUPBOX, 160, 312, 153, 73, kIdGroupBox3, f);
  AddControl(0, L"BUTTON", kRadioButton5, BS_AUTORADIOBUTTON | WS_GROUP | WS_TABSTOP, 160 + 8,
             312 + 8, 81, 17, kIdRadioButton5, f);
  AddControl(0, L"BUTTON", kRadioButton6, BS_AUTORADIOBUTTON, 160 + 8, 312 + 28, 89, 17,
             kIdRadioButton6, f);
  AddControl(0, L"STATIC", kLabel5, SS_LEFT, 160 + 16, 312 + 52, 70, 13, kIdLabel1 + 4, f);
  // UDS_ALIGNRIGHT takes the up-down's width from the right of its buddy, so
  // the edit box is made that much wider to end up at its designed size.
  HWND edit2 = AddControl(WS_EX_CLIENTEDGE, L"EDIT", "1", ES_AUTOHSCROLL | WS_GROUP | WS_TABSTOP,
                          160 + 88, 312 + 48, 41 + 15, 21, kIdEdit2, f);
  ::SendMessageW(edit2, EM_LIMITTEXT, 3, 0);
  ::ImmAssociateContext(edit2, nullptr);
  HWND upDown = AddControl(0, UPDOWN_CLASSW, "",
                           UDS_SETBUDDYINT | UDS_ALIGNRIGHT | UDS_ARROWKEYS | UDS_NOTHOUSANDS,
                           160 + 129, 312 + 48, 15, 21, kIdUpDown1, nullptr);
  ::SendMessageW(upDown, UDM_SETBUDDY, reinterpret_cast<WPARAM>(edit2), 0);
  ::SendMessageW(upDown, UDM_SETRANGE32, 1, 100);
  ::SendMessageW(upDown, UDM_SETPOS32, 0, 1);

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
    ::SendMessageW(tooltip_, TTM_SETMAXTIPWIDTH, 0, 600);
  }

  AddControl(0, L"BUTTON", "", BS_GROUPBOX, 288, 200, 177, 113, kIdGroupBox4, f);
  AddControl(0, L"STATIC", kLabel2, SS_LEFT, 288 + 8, 200 + 16, 112, 13, kIdLabel1 + 1, f);
  HWND edit3 = AddControl(WS_EX_CLIENTEDGE, L"EDIT", "", ES_AUTOHSCROLL | WS_GROUP | WS_TABSTOP,
                          288 + 56, 200 + 32, 73, 21, kIdEdit3, f);
  ::ImmAssociateContext(edit3, nullptr);
  AddControl(0, L"STATIC", kLabel3, SS_LEFT, 288 + 129, 200 + 40, 42, 13, kIdLabel1 + 2, f);
  AddControl(0, L"STATIC", kLabel4, SS_LEFT, 288 + 8, 200 + 60, 42, 13, kIdLabel1 + 3, f);
  HWND combo1 = AddControl(0, L"COMBOBOX", "", CBS_DROPDOWNLIST | WS_VSCROLL | WS_GROUP |
                                                   WS_TABSTOP,
                           288 + 56, 200 + 56, 73, 200, kIdComboBox1, f);
  for (std::string_view item : kBasePointItems) {
    std::wstring w = Cp932ToWide(item);
    ::SendMessageW(combo1, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(w.c_str()));
  }
  ::SendMessageW(combo1, CB_SETITEMHEIGHT, 0, 13);
  ::SendMessageW(combo1, CB_SETCURSEL, 0, 0);
  AddControl(0, L"STATIC", kLabel6, SS_LEFT, 288 + 8, 200 + 84, 42, 13, kIdLabel1 + 5, f);
  HWND combo2 = AddControl(0, L"COMBOBOX", "", CBS_DROPDOWN | CBS_AUTOHSCROLL | WS_VSCROLL |
                                                   WS_GROUP | WS_TABSTOP,
                           288 + 56, 200 + 80, 97, 240, kIdComboBox2, f);
  for (const char* item : {"0", "30", "45", "60", "90", "120", "135", "150", "180", "-30", "-45",
                           "-60", "-90", "-120", "-135", "-150"}) {
    std::wstring w = Cp932ToWide(item);
    ::SendMessageW(combo2, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(w.c_str()));
  }
  ::SendMessageW(combo2, CB_SETITEMHEIGHT, 0, 13);
  COMBOBOXINFO comboInfo{};
  comboInfo.cbSize = sizeof comboInfo;
  if (::GetComboBoxInfo(combo2, &comboInfo) && comboInfo.hwndItem != nullptr)
    ::ImmAssociateContext(comboInfo.hwndItem, nullptr);
  AddControl(0, L"STATIC", kLabel7, SS_LEFT, 288 + 156, 200 + 80, 14, 13, kIdLabel1 + 6, f);

  AddControl(0, L"BUTTON", kButton1, BS_DEFPUSHBUTTON | WS_GROUP | WS_TABSTOP, 344, 328, 121, 25,
             kIdButton1, f);
  AddControl(0, L"BUTTON", kButton2, BS_PUSHBUTTON | WS_GROUP | WS_TABSTOP, 344, 360, 121, 25,
             kIdButton2, f);

  std::string memoText;
  for (std::size_t i = 0; i < kMemoLines.size(); ++i) {
    if (i != 0) memoText += "\r\n";
    memoText += kMemoLines[i];
  }
  HWND memo = AddControl(WS_EX_CLIENTEDGE, L"EDIT", memoText,
                         ES_MULTILINE | ES_READONLY | ES_AUTOHSCROLL | ES_AUTOVSCROLL |
                             WS_HSCROLL | WS_VSCROLL | WS_GROUP,
                         288, 40, 177, 153, kIdMemo1, f);
  ::SetWindowSubclass(memo, MemoProc, 1, reinterpret_cast<DWORD_PTR>(this));

  ::CheckRadioButton(handle_, kIdRadioButton1, kIdRadioButton2, kIdRadioButton1);
  ::CheckRadioButton(handle_, kIdRadioButton3, kIdRadioButton4, kIdRadioButton3);
  ::CheckRadioButton(handle_, kIdRadioGroup1Item0, kIdRadioGroup1Item0 + 3,
                     kIdRadioGroup1Item0 + 2);
  ::CheckRadioButton(handle_, kIdRadioButton5, kIdRadioButton6, kIdRadioButton6);
  ::SendMessageW(handle_, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(smallIcon_.get()));
  ::SendMessageW(handle_, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon_.get()));
  UpdateScrollBox();
}

void TForm1::Run(int showCommand) {
  if (handle_ == nullptr) return;
  // FormShow runs before the window is first drawn, as a form's OnShow does.
  Guarded([this] { FormShow(); });
  ::ShowWindow(handle_, showCommand);
  ::UpdateWindow(handle_);
  ::SetFocus(Control(kIdRadioButton1));

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
  SetControlText(kIdEdit1, s.SaveFolder);
  ::CheckRadioButton(handle_, kIdRadioButton1, kIdRadioButton2,
                     s.FolderMode != 0 ? kIdRadioButton2 : kIdRadioButton1);
  ::CheckRadioButton(handle_, kIdRadioButton3, kIdRadioButton4,
                     s.FileKind != 0 ? kIdRadioButton4 : kIdRadioButton3);
  if (s.BmpDepth >= 0 && s.BmpDepth <= 3)
    ::CheckRadioButton(handle_, kIdRadioGroup1Item0, kIdRadioGroup1Item0 + 3,
                       kIdRadioGroup1Item0 + s.BmpDepth);
  ::CheckRadioButton(handle_, kIdRadioButton5, kIdRadioButton6,
                     s.JpegColor != 0 ? kIdRadioButton6 : kIdRadioButton5);
  SetControlText(kIdEdit2, FormatInt(s.JpegQuality));
  SetControlText(kIdEdit3, FormatReal(s.WidthMm));
  if (s.BasePoint >= 0 && s.BasePoint <= 8)
    ::SendMessageW(Control(kIdComboBox1), CB_SETCURSEL, s.BasePoint, 0);
  SetControlText(kIdComboBox2, FormatReal(s.AngleDeg));

  stretched_ = false;
  picture_.Clear();
  paintFailed_ = false;
  HasPicture = false;
  ::InvalidateRect(image_, nullptr, TRUE);

  if (ClipboardHasPicture()) {
    LoadClipboardPicture(picture_);
    SetImage1Size(PictureWidth(picture_), PictureHeight(picture_));
    HasPicture = true;
  }
  SetControlText(kIdLabelB1, JwcState.DrawingFileName);
  FitLabelB1();
}

void TForm1::FormClose() {
  picture_.Clear();
  if (image_ != nullptr) ::InvalidateRect(image_, nullptr, TRUE);
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
  s.FolderMode = IsChecked(handle_, kIdRadioButton2) ? 1 : 0;
  s.FileKind = IsChecked(handle_, kIdRadioButton4) ? 1 : 0;
  s.BmpDepth = -1;
  for (int i = 0; i < 4; ++i)
    if (IsChecked(handle_, kIdRadioGroup1Item0 + i)) s.BmpDepth = i;
  s.JpegColor = IsChecked(handle_, kIdRadioButton6) ? 1 : 0;
  s.JpegQuality = StrToIntOr0(ControlText(kIdEdit2));
  s.WidthMm = StrToFloatOr0(ControlText(kIdEdit3));
  s.BasePoint =
      static_cast<int32_t>(::SendMessageW(Control(kIdComboBox1), CB_GETCURSEL, 0, 0));
  s.AngleDeg = StrToFloatOr0(ControlText(kIdComboBox2));

  PictureInfo info;
  info.HasPicture = HasPicture;
  info.Width = PictureWidth(picture_);
  info.Height = PictureHeight(picture_);
  FormPasteHost host(*this, picture_);
  if (RunPasteAction(s, info, host)) CloseForm();
}

void TForm1::Button2Click() { CloseForm(); }

void TForm1::Button3Click() {
  std::wstring initialFolder = Cp932ToWide(ExtractFolderPart(ControlText(kIdEdit1)));
  std::vector<wchar_t> file(32768, L'\0');
  file[0] = L'\x3000';  // lets the user confirm the dialog without typing a name

  OPENFILENAMEW dialog{};
  dialog.lStructSize = sizeof dialog;
  dialog.hwndOwner = handle_;
  dialog.lpstrFile = file.data();
  dialog.nMaxFile = static_cast<DWORD>(file.size());
  dialog.lpstrInitialDir = initialFolder.empty() ? nullptr : initialFolder.c_str();
  dialog.Flags = OFN_HIDEREADONLY | OFN_NOCHANGEDIR | OFN_EXPLORER;
  if (!::GetSaveFileNameW(&dialog)) return;
  std::string chosen = WideToCp932(file.data());
  SetControlText(kIdEdit1, IncludeTrailingSeparator(ExtractFolderPart(chosen)));
}

void TForm1::Image1Click() {
  stretched_ = !stretched_;
  if (stretched_) {
    RECT client{};
    ::GetClientRect(scrollBox_, &client);
    SetImage1Size(client.right, client.bottom);
  } else {
    SetImage1Size(PictureWidth(picture_), PictureHeight(picture_));
  }
  ::InvalidateRect(image_, nullptr, TRUE);
}

// --- Controls ---------------------------------------------------------------

std::string TForm1::ControlText(int id) const {
  HWND control = Control(id);
  if (control == nullptr) return {};
  int length = ::GetWindowTextLengthW(control);
  std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
  int copied = ::GetWindowTextW(control, text.data(), length + 1);
  text.resize(static_cast<std::size_t>(std::max(copied, 0)));
  return WideToCp932(text);
}

void TForm1::SetControlText(int id, std::string_view sjis) {
  HWND control = Control(id);
  if (control == nullptr) return;
  std::wstring text = Cp932ToWide(sjis);
  ::SetWindowTextW(control, text.c_str());
}

void TForm1::EnforceEdit1Limit() {
  if (edit1Programmatic_) return;
  HWND edit = Control(kIdEdit1);
  int length = ::GetWindowTextLengthW(edit);
  std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
  text.resize(static_cast<std::size_t>(std::max(::GetWindowTextW(edit, text.data(), length + 1), 0)));
  if (WideToCp932(text).size() <= static_cast<std::size_t>(kMaxEdit1Bytes)) {
    edit1Accepted_ = text;
    return;
  }
  // The typed or pasted text would not fit 255 bytes: undo it.
  edit1Programmatic_ = true;
  ::SetWindowTextW(edit, edit1Accepted_.c_str());
  edit1Programmatic_ = false;
  ::SendMessageW(edit, EM_SETSEL, edit1Accepted_.size(), edit1Accepted_.size());
  ::MessageBeep(MB_OK);
}

void TForm1::ShowStatus(std::string_view sjis) {
  SetControlText(kIdLabelA1, sjis);
  // The action goes on without returning to the message loop.
  ::UpdateWindow(Control(kIdLabelA1));
}

void TForm1::ShowCheckMessage(std::string_view sjis) {
  std::wstring text = Cp932ToWide(sjis);
  std::wstring title = Cp932ToWide(kAppTitle);
  ::MessageBoxW(nullptr, text.c_str(), title.c_str(), MB_OK | MB_TASKMODAL | MB_SETFOREGROUND);
  Reactivate();
}

void TForm1::ShowErrorBox(std::string_view sjis) {
  std::wstring text = Cp932ToWide(ErrorBoxText(sjis));
  std::wstring title = Cp932ToWide(kAppTitle);
  ::MessageBoxW(nullptr, text.c_str(), title.c_str(),
                MB_OK | MB_ICONERROR | MB_TASKMODAL | MB_SETFOREGROUND);
  Reactivate();
}

void TForm1::Reactivate() {
  // A task-modal box has no owner to hand the activation back to; without
  // this the window may stay inactive and the keyboard go nowhere.
  if (handle_ != nullptr && ::IsWindowVisible(handle_)) ::SetForegroundWindow(handle_);
}

void TForm1::FitLabelB1() {
  HWND label = Control(kIdLabelB1);
  int length = ::GetWindowTextLengthW(label);
  std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
  text.resize(static_cast<std::size_t>(std::max(::GetWindowTextW(label, text.data(), length + 1), 0)));
  WindowDc dc(label);
  SelectedObject select(dc.get(), font_.get());
  SIZE size{0, 13};
  if (!text.empty())
    ::GetTextExtentPoint32W(dc.get(), text.c_str(), static_cast<int>(text.size()), &size);
  ::SetWindowPos(label, nullptr, 0, 0, size.cx, std::max<LONG>(size.cy, 13),
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

// --- Preview ----------------------------------------------------------------

void TForm1::SetImage1Size(int width, int height) {
  ::SetWindowPos(image_, nullptr, 0, 0, std::max(width, 0), std::max(height, 0),
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  UpdateScrollBox();
}

void TForm1::UpdateScrollBox() {
  RECT imageRect{};
  ::GetWindowRect(image_, &imageRect);
  int contentWidth = imageRect.right - imageRect.left;
  int contentHeight = imageRect.bottom - imageRect.top;
  // Showing one bar narrows the other direction, so settle in a few rounds.
  for (int round = 0; round < 3; ++round) {
    RECT client{};
    ::GetClientRect(scrollBox_, &client);
    SCROLLINFO info{};
    info.cbSize = sizeof info;
    info.fMask = SIF_RANGE | SIF_PAGE;
    info.nMin = 0;
    info.nMax = std::max(contentWidth - 1, 0);
    info.nPage = static_cast<UINT>(std::max<LONG>(client.right, 1));
    ::SetScrollInfo(scrollBox_, SB_HORZ, &info, TRUE);
    info.nMax = std::max(contentHeight - 1, 0);
    info.nPage = static_cast<UINT>(std::max<LONG>(client.bottom, 1));
    ::SetScrollInfo(scrollBox_, SB_VERT, &info, TRUE);
  }
  int x = ::GetScrollPos(scrollBox_, SB_HORZ);
  int y = ::GetScrollPos(scrollBox_, SB_VERT);
  ::SetWindowPos(image_, nullptr, -x, -y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void TForm1::ScrollBoxScroll(int bar, WPARAM request) {
  SCROLLINFO info{};
  info.cbSize = sizeof info;
  info.fMask = SIF_ALL;
  ::GetScrollInfo(scrollBox_, bar, &info);
  int pos = info.nPos;
  int page = static_cast<int>(info.nPage);
  switch (LOWORD(request)) {
    case SB_LINEUP: pos -= 16; break;
    case SB_LINEDOWN: pos += 16; break;
    case SB_PAGEUP: pos -= page; break;
    case SB_PAGEDOWN: pos += page; break;
    case SB_TOP: pos = info.nMin; break;
    case SB_BOTTOM: pos = info.nMax; break;
    // Tracking: the picture follows the thumb while it is dragged.
    case SB_THUMBTRACK:
    case SB_THUMBPOSITION: pos = info.nTrackPos; break;
    default: return;
  }
  pos = std::clamp(pos, info.nMin, std::max(info.nMin, info.nMax - page + 1));
  info.fMask = SIF_POS;
  info.nPos = pos;
  ::SetScrollInfo(scrollBox_, bar, &info, TRUE);
  UpdateScrollBox();
}

void TForm1::PaintImage(HDC dc) {
  if (picture_.IsEmpty()) return;
  if (stretched_) {
    RECT client{};
    ::GetClientRect(image_, &client);
    DrawGraphicStretched(dc, client, picture_);
  } else {
    DrawGraphic(dc, 0, 0, picture_);
  }
}

// --- Window procedures ------------------------------------------------------

LRESULT CALLBACK TForm1::FormProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    auto* create = reinterpret_cast<CREATESTRUCTW*>(lParam);
    auto* form = static_cast<TForm1*>(create->lpCreateParams);
    form->handle_ = window;
    ::SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(form));
  }
  auto* form = reinterpret_cast<TForm1*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
  if (form == nullptr) return ::DefWindowProcW(window, message, wParam, lParam);
  return form->HandleMessage(message, wParam, lParam);
}

LRESULT TForm1::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
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
        EnforceEdit1Limit();
      }
      return 0;
    }
    case DM_GETDEFID:
      return MAKELRESULT(kIdButton1, DC_HASDEFID);
    case WM_NEXTDLGCTL: {
      // Only the dialog procedure answers this; IsDialogMessage sends it for
      // a group box's Alt mnemonic (focus the box, then move on), so a plain
      // window must do the moving itself or the key falls through to the
      // system menu, where Alt+C means Close.
      HWND target = nullptr;
      if (LOWORD(lParam) != 0) {
        target = reinterpret_cast<HWND>(wParam);
      } else {
        target = ::GetNextDlgTabItem(handle_, ::GetFocus(), wParam != 0);
      }
      if (target != nullptr) ::SetFocus(target);
      return 0;
    }
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
      return ::DefWindowProcW(window, message, wParam, lParam);
    }
    default:
      break;
  }
  return ::DefWindowProcW(handle_, message, wParam, lParam);
}

LRESULT CALLBACK TForm1::ScrollBoxProc(HWND window, UINT message, WPARAM wParam,
                                       LPARAM lParam) {
  HWND top = ::GetAncestor(window, GA_ROOT);
  auto* form = reinterpret_cast<TForm1*>(::GetWindowLongPtrW(top, GWLP_USERDATA));
  if (form != nullptr) {
    if (message == WM_HSCROLL) {
      form->ScrollBoxScroll(SB_HORZ, wParam);
      return 0;
    }
    if (message == WM_VSCROLL) {
      form->ScrollBoxScroll(SB_VERT, wParam);
      return 0;
    }
  }
  return ::DefWindowProcW(window, message, wParam, lParam);
}

LRESULT CALLBACK TForm1::ImageProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    auto* create = reinterpret_cast<CREATESTRUCTW*>(lParam);
    ::SetWindowLongPtrW(window, GWLP_USERDATA,
                        reinterpret_cast<LONG_PTR>(create->lpCreateParams));
  }
  auto* form = reinterpret_cast<TForm1*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
  if (form != nullptr) {
    switch (message) {
      case WM_PAINT: {
        PaintDc paint(window);
        // A picture that fails to draw would fail again on the repaint that
        // the error box itself causes; report it once, then draw nothing.
        if (!form->paintFailed_) {
          try {
            form->PaintImage(paint.get());
          } catch (...) {
            form->paintFailed_ = true;
            std::exception_ptr error = std::current_exception();
            form->Guarded([error] { std::rethrow_exception(error); });
          }
        }
        return 0;
      }
      case WM_LBUTTONDOWN:
        form->Guarded([form] { form->Image1Click(); });
        return 0;
      case WM_NCDESTROY:
        ::SetWindowLongPtrW(window, GWLP_USERDATA, 0);
        break;
      default:
        break;
    }
  }
  return ::DefWindowProcW(window, message, wParam, lParam);
}

LRESULT CALLBACK TForm1::Edit1Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                                   UINT_PTR, DWORD_PTR data) {
  if (message == WM_SETTEXT) {
    // Like the control's own limit, the byte limit holds typing and pasting
    // back; text set through WM_SETTEXT (by the tool or a driver) stands.
    auto* form = reinterpret_cast<TForm1*>(data);
    bool was = form->edit1Programmatic_;
    form->edit1Programmatic_ = true;
    LRESULT result = ::DefSubclassProc(window, message, wParam, lParam);
    form->edit1Programmatic_ = was;
    if (lParam != 0) form->edit1Accepted_ = reinterpret_cast<const wchar_t*>(lParam);
    return result;
  }
  if (message == WM_NCDESTROY) ::RemoveWindowSubclass(window, Edit1Proc, 1);
  return ::DefSubclassProc(window, message, wParam, lParam);
}

LRESULT CALLBACK TForm1::MemoProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                                  UINT_PTR, DWORD_PTR) {
  if (message == WM_GETDLGCODE) {
    // A multi-line edit asks for every key, which would keep Enter, Esc and
    // Tab from the dialog keyboard; read-only text needs only the arrows.
    return DLGC_WANTARROWS | DLGC_HASSETSEL;
  }
  if (message == WM_NCDESTROY) ::RemoveWindowSubclass(window, MemoProc, 1);
  return ::DefSubclassProc(window, message, wParam, lParam);
}

}  // namespace zumorika
