#include "window/FormLayout_win32.h"

#include <commctrl.h>

#include <array>
#include <iterator>

#include "window/ControlIds.h"
#include "window/WindowTexts.h"

namespace zumorika {
namespace {

constexpr FontKind kForm = FontKind::kForm;
constexpr FontKind kSmall = FontKind::kSmall;
constexpr FontKind kNone = FontKind::kNone;

// Group boxes and the radio group are real parents: they clip their
// children and, with WS_EX_CONTROLPARENT, the dialog keys walk into them.
constexpr DWORD kGroupStyle = BS_GROUPBOX | WS_CLIPCHILDREN;
constexpr DWORD kGroupEx = WS_EX_CONTROLPARENT;
// Radio buttons carry WS_TABSTOP only while checked (the form keeps it so).
constexpr DWORD kRadio = BS_AUTORADIOBUTTON;
constexpr DWORD kEditStyle = ES_AUTOHSCROLL | WS_GROUP | WS_TABSTOP;
constexpr DWORD kLabel = SS_LEFT | SS_NOPREFIX;

// A label that follows the last radio button of a group starts a group of
// its own (WS_GROUP), so that no group's range holds a label.
constexpr ControlRow kRows[] = {
    {kIdLabelA1, 0, L"STATIC", kStatusIdle, SS_CENTER | SS_CENTERIMAGE | SS_NOPREFIX, 0, 0, 391,
     470, 24, kForm},
    {kIdLabel1, 0, L"STATIC", kLabel1, kLabel, 0, 8, 8, 448, 13, kForm},

    {kIdGroupBox1, 0, L"BUTTON", kGroupBox1, kGroupStyle, kGroupEx, 8, 32, 273, 161, kForm},
    {kIdScrollBox2, kIdGroupBox1, kScrollBoxClass, "", WS_CLIPCHILDREN, WS_EX_CLIENTEDGE, 8, 16,
     257, 137, kNone},
    {kIdImage1, kIdScrollBox2, kImageClass, "", 0, 0, 0, 0, 105, 105, kNone},

    {kIdGroupBox2, 0, L"BUTTON", kGroupBox2, kGroupStyle, kGroupEx, 8, 200, 273, 89, kForm},
    {kIdRadioButton1, kIdGroupBox2, L"BUTTON", kRadioButton1, kRadio | WS_GROUP, 0, 8, 16, 233,
     17, kForm},
    {kIdRadioButton2, kIdGroupBox2, L"BUTTON", kRadioButton2, kRadio, 0, 8, 48, 185, 17, kForm},
    {kIdLabelB1, kIdGroupBox2, L"STATIC", "LabelB1", kLabel | WS_GROUP, 0, 24, 32, 49, 13, kForm},
    {kIdEdit1, kIdGroupBox2, L"EDIT", "", kEditStyle, WS_EX_CLIENTEDGE, 24, 64, 225, 21, kForm},
    {kIdButton3, kIdGroupBox2, L"BUTTON", "...", BS_PUSHBUTTON | WS_GROUP | WS_TABSTOP, 0, 248, 64,
     20, 20, kSmall},

    // RadioButton3 and RadioButton4 are one group with RadioGroup1 between
    // them in the tab order; the form keeps their checks together.
    {kIdRadioButton3, 0, L"BUTTON", kRadioButton3, kRadio | WS_GROUP, 0, 8, 296, 129, 17, kForm},
    {kIdRadioGroup1, 0, L"BUTTON", "", kGroupStyle | WS_GROUP, kGroupEx, 8, 312, 145, 73, kForm},
    // Two columns filled column by column, as a radio group lays them out.
    {kIdRadioGroup1Item0, kIdRadioGroup1, L"BUTTON", kDepthMono, kRadio | WS_GROUP, 0, 8, 16, 64,
     17, kForm},
    {kIdRadioGroup1Item0 + 1, kIdRadioGroup1, L"BUTTON", kDepth16, kRadio, 0, 8, 42, 64, 17,
     kForm},
    {kIdRadioGroup1Item0 + 2, kIdRadioGroup1, L"BUTTON", kDepth256, kRadio, 0, 76, 16, 64, 17,
     kForm},
    {kIdRadioGroup1Item0 + 3, kIdRadioGroup1, L"BUTTON", kDepth24, kRadio, 0, 76, 42, 64, 17,
     kForm},
    {kIdRadioButton4, 0, L"BUTTON", kRadioButton4, kRadio | WS_GROUP, 0, 160, 296, 129, 17, kForm},

    {kIdGroupBox3, 0, L"BUTTON", "", kGroupStyle | WS_GROUP, kGroupEx, 160, 312, 153, 73, kForm},
    {kIdRadioButton5, kIdGroupBox3, L"BUTTON", kRadioButton5, kRadio | WS_GROUP, 0, 8, 8, 81, 17,
     kForm},
    {kIdRadioButton6, kIdGroupBox3, L"BUTTON", kRadioButton6, kRadio, 0, 8, 28, 89, 17, kForm},
    {kIdLabel1 + 4, kIdGroupBox3, L"STATIC", kLabel5, kLabel | WS_GROUP, 0, 16, 52, 70, 13, kForm},
    {kIdEdit2, kIdGroupBox3, L"EDIT", "1", kEditStyle, WS_EX_CLIENTEDGE, 88, 48, 41, 21, kForm},
    {kIdUpDown1, kIdGroupBox3, UPDOWN_CLASSW, "", UDS_SETBUDDYINT | UDS_ARROWKEYS | UDS_NOTHOUSANDS,
     0, 129, 48, 15, 21, kNone},

    {kIdGroupBox4, 0, L"BUTTON", "", kGroupStyle, kGroupEx, 288, 200, 177, 113, kForm},
    {kIdLabel1 + 1, kIdGroupBox4, L"STATIC", kLabel2, kLabel, 0, 8, 16, 112, 13, kForm},
    {kIdEdit3, kIdGroupBox4, L"EDIT", "", kEditStyle, WS_EX_CLIENTEDGE, 56, 32, 73, 21, kForm},
    {kIdLabel1 + 2, kIdGroupBox4, L"STATIC", kLabel3, kLabel, 0, 129, 40, 42, 13, kForm},
    {kIdLabel1 + 3, kIdGroupBox4, L"STATIC", kLabel4, kLabel, 0, 8, 60, 42, 13, kForm},
    {kIdComboBox1, kIdGroupBox4, L"COMBOBOX", "",
     CBS_DROPDOWNLIST | WS_VSCROLL | WS_GROUP | WS_TABSTOP, 0, 56, 56, 73, 21, kForm},
    {kIdLabel1 + 5, kIdGroupBox4, L"STATIC", kLabel6, kLabel, 0, 8, 84, 42, 13, kForm},
    {kIdComboBox2, kIdGroupBox4, L"COMBOBOX", "",
     CBS_DROPDOWN | CBS_AUTOHSCROLL | WS_VSCROLL | WS_GROUP | WS_TABSTOP, 0, 56, 80, 97, 21, kForm},
    {kIdLabel1 + 6, kIdGroupBox4, L"STATIC", kLabel7, kLabel, 0, 156, 80, 14, 13, kForm},

    {kIdButton1, 0, L"BUTTON", kButton1, BS_DEFPUSHBUTTON | WS_GROUP | WS_TABSTOP, 0, 344, 328, 121,
     25, kForm},
    {kIdButton2, 0, L"BUTTON", kButton2, BS_PUSHBUTTON | WS_GROUP | WS_TABSTOP, 0, 344, 360, 121,
     25, kForm},
    // Read-only and no tab stop; its text is filled in after creation.
    {kIdMemo1, 0, L"EDIT", "",
     ES_MULTILINE | ES_READONLY | ES_AUTOHSCROLL | ES_AUTOVSCROLL | WS_HSCROLL | WS_VSCROLL |
         WS_GROUP,
     WS_EX_CLIENTEDGE, 288, 40, 177, 153, kForm},
};

struct RadioRange {
  int first, last;
};
constexpr RadioRange kRadioGroups[] = {
    {kIdRadioButton1, kIdRadioButton2},
    {kIdRadioButton3, kIdRadioButton4},
    {kIdRadioGroup1Item0, kIdRadioGroup1Item0 + 3},
    {kIdRadioButton5, kIdRadioButton6},
};

}  // namespace

int ScaleToDpi(int value96, int dpi) { return ::MulDiv(value96, dpi, kDesignDpi); }

const ControlRow* FormLayoutBegin() { return std::begin(kRows); }
const ControlRow* FormLayoutEnd() { return std::end(kRows); }

const ControlRow* FindControlRow(int id) {
  for (const ControlRow& row : kRows)
    if (row.id == id) return &row;
  return nullptr;
}

bool RadioGroupOf(int id, int& first, int& last) {
  for (const RadioRange& range : kRadioGroups) {
    if (id >= range.first && id <= range.last) {
      first = range.first;
      last = range.last;
      return true;
    }
  }
  return false;
}

}  // namespace zumorika
