// TForm1 under Wine: the layout contract that drivers rely on, and the show
// and close sequences against the files beside the executable. Handlers
// that open message boxes are left to the end-to-end runs.
#include <windows.h>

#include <gtest/gtest.h>

#include <map>
#include <set>

#include "util/Files.h"
#include "util/MyFunc.h"
#include "window/ControlIds.h"
#include "window/Unit1_win32.h"
#include "window/WindowSettings.h"
#include "WindowTestSupport.h"

namespace zumorika {
namespace {

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

  bool Checked(int id) { return ::IsDlgButtonChecked(form_.Handle(), id) == BST_CHECKED; }
  int ComboSelection(int id) {
    return static_cast<int>(::SendMessageW(form_.Control(id), CB_GETCURSEL, 0, 0));
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
