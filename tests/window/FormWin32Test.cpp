// TForm1 under Wine: the layout contract that drivers rely on, and the show
// and close sequences against the files beside the executable. Handlers
// that open message boxes are left to the end-to-end runs.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <map>
#include <set>
#include <string>
#include <string_view>

#include "util/Files.h"
#include "util/MyFunc.h"
#include "window/ControlIds.h"
#include "window/DensityLayout_win32.h"
#include "window/FormLayout_win32.h"
#include "window/Unit1_win32.h"
#include "window/WindowSettings.h"
#include "WindowTestSupport.h"

namespace zumorika {
namespace {

// Per-monitor aware like zumorika.exe (whose manifest says so), so that the
// form is laid out at the density Wine's LogPixels gives.
[[maybe_unused]] const bool kPerMonitorAware = [] {
  using SetContextFn = BOOL(WINAPI*)(HANDLE);
  auto setContext = reinterpret_cast<SetContextFn>(reinterpret_cast<void*>(
      ::GetProcAddress(::GetModuleHandleW(L"user32.dll"), "SetProcessDpiAwarenessContext")));
  if (setContext == nullptr) return false;
  // Per-monitor v2, else v1 (Wine 8 knows v1 only), as the manifest asks.
  return setContext(reinterpret_cast<HANDLE>(static_cast<INT_PTR>(-4))) != FALSE ||
         setContext(reinterpret_cast<HANDLE>(static_cast<INT_PTR>(-3))) != FALSE;
}();

class FormTest : public ::testing::Test {
 protected:
  void SetUp() override {
    folder_ = ExtractFolderPart(ExecutablePath());
    exchangePath_ = folder_ + "JWC_TEMP.TXT";
    settingsPath_ = SettingsFilePath(ExecutablePath());
    DeleteFileAt(exchangePath_);
    DeleteFileAt(settingsPath_);
    form_.Create();
    ASSERT_NE(form_.Handle(), nullptr);
  }
  void TearDown() override {
    DeleteFileAt(exchangePath_);
    DeleteFileAt(settingsPath_);
  }

  bool Checked(int id) {
    return ::SendMessageW(form_.Control(id), BM_GETCHECK, 0, 0) == BST_CHECKED;
  }
  int ComboSelection(int id) {
    return static_cast<int>(::SendMessageW(form_.Control(id), CB_GETCURSEL, 0, 0));
  }
  // A control's rectangle within its parent's client area.
  RECT RectInParent(HWND control) {
    RECT r{};
    ::GetWindowRect(control, &r);
    ::MapWindowPoints(nullptr, ::GetParent(control), reinterpret_cast<POINT*>(&r), 2);
    return r;
  }
  int FontHeight(HWND control) {
    LOGFONTW font{};
    ::GetObjectW(reinterpret_cast<HFONT>(::SendMessageW(control, WM_GETFONT, 0, 0)), sizeof font,
                 &font);
    return font.lfHeight;
  }
  POINT Position() {
    RECT r{};
    ::GetWindowRect(form_.Handle(), &r);
    return POINT{r.left, r.top};
  }

  std::string folder_, exchangePath_, settingsPath_;
  TForm1 form_{::GetModuleHandleW(nullptr)};
};

// --- Layout -----------------------------------------------------------------

TEST_F(FormTest, EveryControlCarriesItsOwnId) {
  std::map<int, int> seen;
  ::EnumChildWindows(
      form_.Handle(),
      [](HWND child, LPARAM data) -> BOOL {
        (*reinterpret_cast<std::map<int, int>*>(data))[::GetDlgCtrlID(child)]++;
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&seen));
  std::set<int> expected = {1,    2,    1003, 1011, 1012, 1013, 1021, 1022, 1023, 1024, 1025,
                            1026, 1030, 1031, 1032, 1033, 1034, 1041, 1042, 1051, 1061, 1062,
                            1071, 1072, 1081, 1082, 1083, 1084, 1085, 1086, 1087, 1091, 1092,
                            1093, 1094, 1101};
  for (int id : expected) EXPECT_EQ(seen[id], 1) << "control " << id;
}

// Every control sits in its designed parent at its designed place, scaled to
// the density the window is laid out for (96 dpi: exactly the design), and
// again after a move onto a monitor of another density. The end-to-end run
// repeats this at 120, 144 and 192 dpi.
TEST_F(FormTest, LayoutFollowsTheTableAtTheWindowsDensity) {
  // The end-to-end run names the density it set.
  if (const char* wanted = std::getenv("ZUMORIKA_EXPECT_DPI")) {
    EXPECT_EQ(form_.Dpi(), std::atoi(wanted));
  }
  auto expectLayout = [this](int dpi) {
    auto scaled = [dpi](int v) { return ScaleToDpi(v, dpi); };
    RECT client{};
    ::GetClientRect(form_.Handle(), &client);
    EXPECT_EQ(client.right, scaled(kClientWidth)) << "dpi " << dpi;
    EXPECT_EQ(client.bottom, scaled(kClientHeight)) << "dpi " << dpi;
    for (const ControlRow* row = FormLayoutBegin(); row != FormLayoutEnd(); ++row) {
      HWND control = form_.Control(row->id);
      ASSERT_NE(control, nullptr) << "control " << row->id;
      HWND parent = ::GetParent(control);
      EXPECT_EQ(parent, row->parent == 0 ? form_.Handle() : form_.Control(row->parent))
          << "parent of " << row->id;
      RECT r = RectInParent(control);
      EXPECT_EQ(r.left, scaled(row->x)) << "left of " << row->id << " at dpi " << dpi;
      EXPECT_EQ(r.top, scaled(row->y)) << "top of " << row->id << " at dpi " << dpi;
      // The preview keeps the picture's own size and LabelB1 sizes itself to
      // its text; a combo box's height is its edit field's, set by its font.
      if (row->id == kIdImage1 || row->id == kIdLabelB1) continue;
      EXPECT_EQ(r.right - r.left, scaled(row->width)) << "width of " << row->id << " at " << dpi;
      if (std::wstring_view(row->cls) != L"COMBOBOX") {
        EXPECT_EQ(r.bottom - r.top, scaled(row->height)) << "height of " << row->id;
      }
      if (row->font == FontKind::kForm) {
        EXPECT_EQ(FontHeight(control), -scaled(kFontHeight)) << "font of " << row->id;
      } else if (row->font == FontKind::kSmall) {
        EXPECT_EQ(FontHeight(control), -scaled(kSmallFontHeight)) << "font of " << row->id;
      }
    }
  };
  expectLayout(form_.Dpi());

  // Moved onto a monitor of another density (one that fits Wine's screen):
  // laid out again at the suggested place, the user's entries kept.
  form_.SetControlText(kIdEdit3, "12.5");
  ::SendMessageW(form_.Control(kIdRadioButton4), BM_CLICK, 0, 0);
  const int other = form_.Dpi() == 96 ? 144 : 96;
  RECT suggested{40, 30, 40 + 1000, 30 + 1000};
  ::SendMessageW(form_.Handle(), WM_DPICHANGED, MAKEWPARAM(other, other),
                 reinterpret_cast<LPARAM>(&suggested));
  EXPECT_EQ(form_.Dpi(), other);
  EXPECT_EQ(Position().x, 40);
  EXPECT_EQ(Position().y, 30);
  expectLayout(other);
  EXPECT_EQ(form_.ControlText(kIdEdit3), "12.5");
  EXPECT_TRUE(Checked(kIdRadioButton4));

  // Asked first for its size at the new density (Windows 10 1703 on), it
  // names the frame around its client area at that density, so that the
  // rectangle the system then suggests (placed to keep the window under the
  // cursor) is the one it takes.
  const int third = 120;
  SIZE size{};
  ASSERT_TRUE(::SendMessageW(form_.Handle(), kMsgGetDpiScaledSize, third,
                             reinterpret_cast<LPARAM>(&size)));
  RECT frame{0, 0, ScaleToDpi(kClientWidth, third), ScaleToDpi(kClientHeight, third)};
  using AdjustFn = BOOL(WINAPI*)(LPRECT, DWORD, BOOL, DWORD, UINT);
  auto adjustForDpi = reinterpret_cast<AdjustFn>(reinterpret_cast<void*>(
      ::GetProcAddress(::GetModuleHandleW(L"user32.dll"), "AdjustWindowRectExForDpi")));
  if (adjustForDpi != nullptr) {
    adjustForDpi(&frame, kFormStyle, FALSE, 0, third);
  } else {
    ::AdjustWindowRectEx(&frame, kFormStyle, FALSE, 0);
  }
  EXPECT_EQ(size.cx, frame.right - frame.left);
  EXPECT_EQ(size.cy, frame.bottom - frame.top);
  const RECT offered{50, 60, 50 + size.cx, 60 + size.cy};
  ::SendMessageW(form_.Handle(), WM_DPICHANGED, MAKEWPARAM(third, third),
                 reinterpret_cast<LPARAM>(&offered));
  EXPECT_EQ(Position().x, 50);
  EXPECT_EQ(Position().y, 60);
  expectLayout(third);
}

// Regression: LabelB1 sized to a long drawing name ran over GroupBox4.
TEST_F(FormTest, LabelB1EndsAtGroupBox2sRightEdge) {
  test::WriteBytes(exchangePath_,
                   "file=C:\\a\\very\\long\\folder\\name\\for\\the\\drawing\\plan.jww\r\n");
  form_.FormShow();
  HWND label = form_.Control(kIdLabelB1);
  RECT shown{}, labelRect{}, box{};
  ::GetWindowRect(label, &labelRect);
  ::GetWindowRect(::GetParent(label), &box);
  ASSERT_GT(labelRect.right, box.right) << "the name should be longer than the box";
  ::IntersectRect(&shown, &labelRect, &box);
  ::MapWindowPoints(nullptr, form_.Handle(), reinterpret_cast<POINT*>(&shown), 2);
  EXPECT_EQ(shown.right, ScaleToDpi(281, form_.Dpi()));
}

// Typing past an edit box's byte limit is undone; a double-byte character
// counts two bytes.
TEST_F(FormTest, TypingKeepsEditBoxesWithinTheirShiftJisBytes) {
  struct Row {
    int id;
    std::wstring before;
    wchar_t typed;
    std::wstring after;
  };
  const Row rows[] = {
      {kIdEdit2, L"10", L'0', L"100"},
      {kIdEdit2, L"1", L'\xFF11', L"1\xFF11"},  // "1１": 3 bytes
      {kIdEdit2, L"10", L'\xFF11', L"10"},       // "10１" would be 4 bytes
      {kIdEdit1, std::wstring(253, L'a'), L'\x3042', std::wstring(253, L'a') + L'\x3042'},
      {kIdEdit1, std::wstring(254, L'a'), L'\x3042', std::wstring(254, L'a')},
  };
  for (const Row& row : rows) {
    HWND edit = form_.Control(row.id);
    ::SendMessageW(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(row.before.c_str()));
    ::SendMessageW(edit, EM_SETSEL, row.before.size(), row.before.size());
    ::SendMessageW(edit, WM_CHAR, row.typed, 1);
    wchar_t text[300] = {};
    ::GetWindowTextW(edit, text, 300);
    EXPECT_EQ(std::wstring(text), row.after) << "control " << row.id << ", " << row.before.size()
                                             << " characters before";
  }
}

TEST_F(FormTest, WindowHasTheDesignedClassAndClientSize) {
  wchar_t name[32] = {};
  ::GetClassNameW(form_.Handle(), name, 32);
  EXPECT_STREQ(name, L"TForm1");
  RECT client{};
  ::GetClientRect(form_.Handle(), &client);
  EXPECT_EQ(client.right, 470);
  EXPECT_EQ(client.bottom, 415);
  LONG style = ::GetWindowLongW(form_.Handle(), GWL_STYLE);
  EXPECT_FALSE(style & WS_THICKFRAME);
  EXPECT_FALSE(style & WS_MAXIMIZEBOX);
  EXPECT_TRUE(style & WS_MINIMIZEBOX);
}

// --- Show -------------------------------------------------------------------

TEST_F(FormTest, FirstRunShowsTheDefaults) {
  form_.FormShow();
  EXPECT_EQ(Position().x, 0);
  EXPECT_EQ(Position().y, 0);
  EXPECT_TRUE(Checked(kIdRadioButton1));
  EXPECT_TRUE(Checked(kIdRadioButton3));
  EXPECT_TRUE(Checked(kIdRadioGroup1Item0 + 2));
  EXPECT_TRUE(Checked(kIdRadioButton6));
  EXPECT_EQ(form_.ControlText(kIdEdit2), "100");
  EXPECT_EQ(form_.ControlText(kIdEdit3), "100");
  EXPECT_EQ(ComboSelection(kIdComboBox1), 0);
  EXPECT_EQ(form_.ControlText(kIdComboBox2), "0");
  EXPECT_EQ(form_.ControlText(kIdLabelB1), "");
}

TEST_F(FormTest, OutOfRangeDepthAndBasePointKeepTheDesignedSelections) {
  test::WriteBytes(settingsPath_,
                   "-8\r\n6\r\nC:\\pics\\\r\n1\r\n1\r\n7\r\n0\r\n250\r\n12.5\r\n12\r\n30\r\n");
  form_.FormShow();
  EXPECT_EQ(Position().x, -8);
  EXPECT_EQ(Position().y, 6);
  EXPECT_EQ(form_.ControlText(kIdEdit1), "C:\\pics\\");
  EXPECT_TRUE(Checked(kIdRadioButton2));
  EXPECT_FALSE(Checked(kIdRadioButton1));
  EXPECT_TRUE(Checked(kIdRadioButton4));
  EXPECT_TRUE(Checked(kIdRadioGroup1Item0 + 2));
  EXPECT_TRUE(Checked(kIdRadioButton5));
  EXPECT_EQ(form_.ControlText(kIdEdit2), "250");  // clamped only at OK
  EXPECT_EQ(form_.ControlText(kIdEdit3), "12.5");
  EXPECT_EQ(ComboSelection(kIdComboBox1), 0);
  EXPECT_EQ(form_.ControlText(kIdComboBox2), "30");
}

TEST_F(FormTest, InRangeDepthAndBasePointAreSelected) {
  test::WriteBytes(settingsPath_, "0\r\n0\r\n\r\n0\r\n0\r\n0\r\n1\r\n80\r\n50\r\n8\r\n0\r\n");
  form_.FormShow();
  EXPECT_TRUE(Checked(kIdRadioGroup1Item0));
  EXPECT_FALSE(Checked(kIdRadioGroup1Item0 + 2));
  EXPECT_EQ(ComboSelection(kIdComboBox1), 8);
}

TEST_F(FormTest, DrawingNameIsShownAsTheHostWroteIt) {
  // "C:\図面\plan.jww" in Shift-JIS.
  test::WriteBytes(exchangePath_, "file=C:\\\x90}\x96\xCA\\plan.jww\r\n");
  form_.FormShow();
  EXPECT_EQ(form_.ControlText(kIdLabelB1), "C:\\\x90}\x96\xCA\\plan.jww");
}

// --- Close ------------------------------------------------------------------

TEST_F(FormTest, ClosingWithoutOkAsksTheHostForNothing) {
  test::WriteBytes(exchangePath_, "file=C:\\jww\\plan.jww\r\nhp1 10 20\r\n");
  form_.FormShow();
  ::SendMessageW(form_.Handle(), WM_CLOSE, 0, 0);
  EXPECT_EQ(form_.Handle(), nullptr);
  EXPECT_EQ(test::ReadBytes(exchangePath_), "hq\r\n");
  EXPECT_FALSE(test::Exists(settingsPath_));
}

TEST_F(FormTest, EscapeClosesLikeCancel) {
  form_.FormShow();
  ::SendMessageW(form_.Handle(), WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
  EXPECT_EQ(form_.Handle(), nullptr);
  EXPECT_EQ(test::ReadBytes(exchangePath_), "hq\r\n");
}

}  // namespace
}  // namespace zumorika
