#include "window/DialogKeyboard_win32.h"

#include <commctrl.h>

#include <string_view>

#include "window/FormLayout_win32.h"

namespace zumorika {

namespace {

// Posted to the window when a push button gained or lost the focus.
constexpr UINT kMsgFocusMoved = WM_APP + 1;

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

bool IsPushButtonRow(const ControlRow& row) {
  DWORD type = row.style & BS_TYPEMASK;
  return std::wstring_view(row.cls) == L"BUTTON" &&
         (type == BS_PUSHBUTTON || type == BS_DEFPUSHBUTTON);
}

bool IsReadOnlyTextRow(const ControlRow& row) {
  return std::wstring_view(row.cls) == L"EDIT" && (row.style & ES_MULTILINE) &&
         (row.style & ES_READONLY);
}

}  // namespace

DialogKeyboard::DialogKeyboard(const std::map<int, HWND>& controls) : controls_(controls) {}

HWND DialogKeyboard::Control(int id) const {
  auto found = controls_.find(id);
  return found != controls_.end() ? found->second : nullptr;
}

void DialogKeyboard::Attach(HWND window) {
  window_ = window;
  auto self = reinterpret_cast<DWORD_PTR>(this);
  for (const ControlRow* row = FormLayoutBegin(); row != FormLayoutEnd(); ++row) {
    HWND control = Control(row->id);
    if (IsPushButtonRow(*row)) {
      pushButtons_.push_back(row->id);
      if ((row->style & BS_TYPEMASK) == BS_DEFPUSHBUTTON) designedDefaultId_ = row->id;
    }
    if (control == nullptr) continue;
    if (IsRadioButton(control)) ::SetWindowSubclass(control, RadioProc, 1, self);
    if (IsPushButtonRow(*row)) ::SetWindowSubclass(control, PushButtonProc, 1, self);
    if (IsReadOnlyTextRow(*row)) ::SetWindowSubclass(control, ReadOnlyTextProc, 1, self);
  }
  // Access-key underlines and focus rectangles as a dialog starts them:
  // hidden until the keyboard is used, unless the user's setting shows them
  // always. IsDialogMessage shows them when Alt or Tab is pressed.
  ::SendMessageW(window, WM_CHANGEUISTATE, MAKEWPARAM(UIS_INITIALIZE, 0), 0);
}

bool DialogKeyboard::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
  result = 0;
  switch (message) {
    case WM_COMMAND: {
      int first = 0, last = 0;
      int id = LOWORD(wParam);
      if (HIWORD(wParam) != BN_CLICKED || !RadioGroupOf(id, first, last)) return false;
      CheckRadio(id);
      return true;
    }
    case DM_GETDEFID:
      result = MAKELRESULT(DefaultButtonId(), DC_HASDEFID);
      return true;
    case kMsgFocusMoved:
      UpdateDefaultButton();
      return true;
    case WM_NEXTDLGCTL:
      // Only a dialog procedure answers this by itself; a plain window must
      // do the moving or the key falls through to the system menu, where
      // Alt+C means Close.
      NextDialogControl(wParam, lParam);
      return true;
    case WM_ACTIVATE:
      // A plain window does not remember its focused control the way a
      // dialog does; without this the focus is lost after Alt+Tab.
      if (LOWORD(wParam) == WA_INACTIVE) {
        lastFocus_ = ::GetFocus();
      } else if (lastFocus_ != nullptr && ::IsWindow(lastFocus_)) {
        ::SetFocus(lastFocus_);
        return true;
      }
      return false;
    default:
      return false;
  }
}

bool DialogKeyboard::IsChecked(int id) const {
  HWND button = Control(id);
  return button != nullptr && ::SendMessageW(button, BM_GETCHECK, 0, 0) == BST_CHECKED;
}

// A radio button is a tab stop only while checked, as the dialog keys
// expect.
void DialogKeyboard::CheckRadio(int id) {
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
// RadioGroup1 between them in the tab order, so the group is the layout's
// list, not the window tree's WS_GROUP range.
void DialogKeyboard::MoveInRadioGroup(HWND from, bool forward) {
  int id = ::GetDlgCtrlID(from);
  int first = 0, last = 0;
  if (!RadioGroupOf(id, first, last)) return;
  int next = forward ? (id == last ? first : id + 1) : (id == first ? last : id - 1);
  CheckRadio(next);
  FocusOn(Control(next));
}

// Never onto an unchecked radio button (an automatic one would check
// itself), the whole text of an edit box selected, and the default button
// following the focus.
bool DialogKeyboard::FocusOn(HWND control) {
  if (control == nullptr) return false;
  if (IsRadioButton(control) && ::SendMessageW(control, BM_GETCHECK, 0, 0) != BST_CHECKED)
    return false;
  ::SetFocus(control);
  if (::SendMessageW(control, WM_GETDLGCODE, 0, 0) & DLGC_HASSETSEL)
    ::SendMessageW(control, EM_SETSEL, 0, -1);
  UpdateDefaultButton();
  return true;
}

// A radio button only while checked, as an automatic radio button that gets
// the focus checks itself and would undo the saved choice.
void DialogKeyboard::FocusFirstTabStop() { FocusOn(FirstTabStop(window_)); }

// The first control at or inside parent that the dialog keys can reach, in
// the tab order: group boxes are entered, radio buttons count while checked.
HWND DialogKeyboard::FirstTabStop(HWND parent) const {
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
HWND DialogKeyboard::ControlOf(HWND window) const {
  while (window != nullptr && window != window_) {
    HWND parent = ::GetParent(window);
    if (parent == window_ || (parent != nullptr && IsContainer(parent))) return window;
    window = parent;
  }
  return nullptr;
}

void DialogKeyboard::NextDialogControl(WPARAM wParam, LPARAM lParam) {
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
    if (target == nullptr) target = ::GetNextDlgTabItem(window_, pendingGroup_, FALSE);
    pendingGroup_ = nullptr;
  } else {
    target = ::GetNextDlgTabItem(window_, ControlOf(::GetFocus()), wParam != 0);
  }
  FocusOn(target);
}

// While a push button has the focus it is the default button (Enter presses
// it, and it shows the default look); otherwise the designed default is.
int DialogKeyboard::DefaultButtonId() const {
  HWND focus = ::GetFocus();
  for (int id : pushButtons_)
    if (focus != nullptr && focus == Control(id)) return id;
  return designedDefaultId_;
}

void DialogKeyboard::UpdateDefaultButton() {
  int chosen = DefaultButtonId();
  for (int id : pushButtons_) {
    HWND button = Control(id);
    if (button == nullptr) continue;
    LONG type = ::GetWindowLongW(button, GWL_STYLE) & BS_TYPEMASK;
    LONG wanted = id == chosen ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON;
    if (type != wanted) ::SendMessageW(button, BM_SETSTYLE, wanted, TRUE);
  }
}

LRESULT CALLBACK DialogKeyboard::RadioProc(HWND window, UINT message, WPARAM wParam,
                                           LPARAM lParam, UINT_PTR, DWORD_PTR data) {
  auto* keyboard = reinterpret_cast<DialogKeyboard*>(data);
  switch (message) {
    case WM_GETDLGCODE:
      // The arrows are the button's own: the dialog manager's group walk
      // follows WS_GROUP ranges, which do not match these groups.
      return ::DefSubclassProc(window, message, wParam, lParam) | DLGC_WANTARROWS;
    case WM_KEYDOWN:
      if (wParam == VK_UP || wParam == VK_LEFT || wParam == VK_DOWN || wParam == VK_RIGHT) {
        keyboard->MoveInRadioGroup(window, wParam == VK_DOWN || wParam == VK_RIGHT);
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

LRESULT CALLBACK DialogKeyboard::PushButtonProc(HWND window, UINT message, WPARAM wParam,
                                                LPARAM lParam, UINT_PTR, DWORD_PTR data) {
  auto* keyboard = reinterpret_cast<DialogKeyboard*>(data);
  if (message == WM_SETFOCUS || message == WM_KILLFOCUS) {
    // Posted: while the focus is leaving, it has not yet arrived anywhere.
    if (keyboard->window_ != nullptr) ::PostMessageW(keyboard->window_, kMsgFocusMoved, 0, 0);
  } else if (message == WM_NCDESTROY) {
    ::RemoveWindowSubclass(window, PushButtonProc, 1);
  }
  return ::DefSubclassProc(window, message, wParam, lParam);
}

LRESULT CALLBACK DialogKeyboard::ReadOnlyTextProc(HWND window, UINT message, WPARAM wParam,
                                                  LPARAM lParam, UINT_PTR, DWORD_PTR) {
  if (message == WM_GETDLGCODE) {
    // A multi-line edit asks for every key, which would keep Enter, Esc and
    // Tab from the dialog keyboard; read-only text needs only the arrows.
    // It claims typed characters, or the dialog manager would take a plain
    // letter for a button's mnemonic ("y" for OK); Alt+letter still reaches
    // the mnemonics as WM_SYSCHAR.
    return DLGC_WANTARROWS | DLGC_WANTCHARS | DLGC_HASSETSEL;
  }
  if (message == WM_CHAR && wParam >= 0x20) return 0;  // read-only: typing does nothing
  if (message == WM_NCDESTROY) ::RemoveWindowSubclass(window, ReadOnlyTextProc, 1);
  return ::DefSubclassProc(window, message, wParam, lParam);
}

}  // namespace zumorika
