#include "window/PasteAction.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <set>
#include <stdexcept>
#include <vector>

#include "exchange/JwwGaibu.h"
#include "window/ControlIds.h"
#include "window/WindowTexts.h"

namespace zumorika {
namespace {

// Records every platform call in order, so a test sees what was written,
// what was shown and where the focus went.
class FakePasteHost : public PasteHost {
 public:
  std::set<std::string> Folders;
  std::set<std::string> Files;
  bool SaveResult = true;
  bool SaveLeavesPartialFile = false;
  bool SaveThrows = false;
  // Names another program creates between the existence check and the write.
  std::set<std::string> CreatedByOthersAtSave;
  std::vector<std::string> Calls;
  std::vector<std::string> Messages;
  std::vector<int> Focus;
  std::vector<std::string> Statuses;
  WindowSettings SavedSettings;
  std::string SavedPicture;

  bool FolderExists(const std::string& path) override { return Folders.count(path) != 0; }
  bool FileExists(const std::string& path) override { return Files.count(path) != 0; }
  void SaveSettings(const WindowSettings& settings) override {
    Calls.push_back("settings");
    SavedSettings = settings;
  }
  void ShowStatus(std::string_view text) override {
    Calls.push_back("status");
    Statuses.emplace_back(text);
  }
  NewFileResult SavePicture(const std::string& path, const WindowSettings&) override {
    Calls.push_back("picture");
    if (SaveThrows) throw std::runtime_error("JPEG error");
    if (CreatedByOthersAtSave.erase(path) != 0) Files.insert(path);
    // The picture file is created only when new.
    if (Files.count(path) != 0) return NewFileResult::Exists;
    SavedPicture = path;
    if (SaveResult || SaveLeavesPartialFile) Files.insert(path);
    if (SaveResult) return NewFileResult::Written;
    return SaveLeavesPartialFile ? NewFileResult::Unfinished : NewFileResult::NotCreated;
  }
  void RemoveFile(const std::string& path) override {
    Calls.push_back("remove");
    Files.erase(path);
  }
  void ShowMessage(std::string_view text) override {
    Calls.push_back("message");
    Messages.emplace_back(text);
  }
  void FocusControl(int id) override { Focus.push_back(id); }

  bool WroteAnything() const {
    for (const std::string& call : Calls)
      if (call == "settings" || call == "picture") return true;
    return false;
  }
};

std::vector<std::string> BufferedLines() {
  const TJwcState& s = JwcState;
  return std::vector<std::string>(s.OutLines.begin(), s.OutLines.begin() + s.OutLineCount);
}

class PasteActionTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetJwcState();
    JwcState.DrawingFileName = "C:\\jww\\plan.jww";
    ResetOutAttrs();
    host.Folders = {"D:\\img\\", "D:\\img"};
    picture = PictureInfo{true, 640, 480};
  }
  void TearDown() override { ReleaseJwcState(); }

  bool Run() { return RunPasteAction(settings, picture, host); }

  // The refusal leaves everything as it was: nothing saved, nothing
  // buffered, the window stays open.
  void ExpectRefused(std::string_view message, int focus) {
    EXPECT_FALSE(Run());
    ASSERT_EQ(host.Messages.size(), 1u);
    EXPECT_EQ(host.Messages[0], message);
    if (focus == 0) {
      EXPECT_TRUE(host.Focus.empty());
    } else {
      EXPECT_EQ(host.Focus, std::vector<int>{focus});
    }
    EXPECT_FALSE(host.WroteAnything());
    EXPECT_EQ(JwcState.OutLineCount, 0);
  }

  WindowSettings settings;
  PictureInfo picture;
  FakePasteHost host;
};

// --- Checks, in order -------------------------------------------------------

TEST_F(PasteActionTest, MissingFolderIsRefusedEvenWhenTheDrawingsFolderIsSelected) {
  settings.SaveFolder = "D:\\nothere\\";
  settings.FolderMode = 0;
  ExpectRefused(kMsgFolderNotFound, kIdEdit1);
}

TEST_F(PasteActionTest, ChosenFolderModeWithoutFolderIsRefused) {
  settings.FolderMode = 1;
  ExpectRefused(kMsgChooseFolder, kIdEdit1);
}

TEST_F(PasteActionTest, WidthMustLieBetweenZeroAndAMillion) {
  for (double width : {0.0, -5.0, 1000000.0, 2e9, std::nan("")}) {
    SCOPED_TRACE(width);
    host = FakePasteHost{};
    settings.WidthMm = width;
    ExpectRefused(kMsgCheckSize, kIdEdit3);
  }
  host = FakePasteHost{};
  settings.WidthMm = 999999.999;
  EXPECT_TRUE(Run());
}

TEST_F(PasteActionTest, UntitledDrawingNeedsAChosenFolder) {
  JwcState.DrawingFileName.clear();
  ExpectRefused(kMsgUntitled, kIdRadioButton1);
}

TEST_F(PasteActionTest, NoPictureIsRefusedWithoutMovingTheFocus) {
  picture.HasPicture = false;
  ExpectRefused(kMsgNoPicture, 0);
}

TEST_F(PasteActionTest, PictureWithoutWidthOrHeightCountsAsNoPicture) {
  // Regression: a zero width divided the height by zero for the ratio.
  picture = PictureInfo{true, 0, 480};
  ExpectRefused(kMsgNoPicture, 0);
  host = FakePasteHost{};
  picture = PictureInfo{true, 640, 0};
  ExpectRefused(kMsgNoPicture, 0);
}

TEST_F(PasteActionTest, FirstFailingCheckWins) {
  settings.SaveFolder = "D:\\nothere\\";
  settings.WidthMm = 0;
  picture.HasPicture = false;
  ExpectRefused(kMsgFolderNotFound, kIdEdit1);
}

// --- Quality ----------------------------------------------------------------

TEST_F(PasteActionTest, ClampedQualityIsWhatTheSettingsFileGets) {
  settings.JpegQuality = 500;
  ASSERT_TRUE(Run());
  EXPECT_EQ(host.SavedSettings.JpegQuality, 100);
  EXPECT_EQ(settings.JpegQuality, 100);
}

// --- Naming -----------------------------------------------------------------

bool NoneExist(const std::string&) { return false; }

TEST(MakeImageFileName, SkipsTakenNumbersOfTheSameKindOnly) {
  WindowSettings s;
  std::set<std::string> taken = {"C:\\jww\\plan_000.BMP", "C:\\jww\\plan_001.BMP",
                                 "C:\\jww\\plan_002.JPG"};
  auto exists = [&](const std::string& p) { return taken.count(p) != 0; };
  ImageFileName bmp = MakeImageFileName(s, "C:\\jww\\plan.jww", exists);
  ASSERT_TRUE(bmp.Found);
  EXPECT_EQ(bmp.FileName, "plan_002.BMP");
  EXPECT_EQ(bmp.FullPath, "C:\\jww\\plan_002.BMP");
  s.FileKind = 1;
  EXPECT_EQ(MakeImageFileName(s, "C:\\jww\\plan.jww", exists).FileName, "plan_000.JPG");
}

TEST(MakeImageFileName, BaseDropsOnlyTheLastExtension) {
  WindowSettings s;
  EXPECT_EQ(MakeImageFileName(s, "C:\\jww\\a.b.jww", NoneExist).FileName, "a.b_000.BMP");
  EXPECT_EQ(MakeImageFileName(s, "C:\\j.w\\plan", NoneExist).FileName, "plan_000.BMP");
}

TEST(MakeImageFileName, UntitledDrawingInChosenFolderIsNamedMudai) {
  WindowSettings s;
  s.FolderMode = 1;
  s.SaveFolder = "D:\\img\\";
  std::set<std::string> taken = {"D:\\img\\\x96\xB3\x91\xE8_000.BMP"};
  ImageFileName name =
      MakeImageFileName(s, "", [&](const std::string& p) { return taken.count(p) != 0; });
  EXPECT_EQ(name.FileName, "\x96\xB3\x91\xE8_001.BMP");  // 無題_001.BMP
  EXPECT_EQ(name.FullPath, "D:\\img\\\x96\xB3\x91\xE8_001.BMP");
}

TEST(MakeImageFileName, NumbersGrowPastThreeDigitsUnpadded) {
  WindowSettings s;
  auto below = [](int limit) {
    return [limit](const std::string& p) {
      std::string digits = p.substr(p.find('_') + 1, p.find('.', p.find('_')) - p.find('_') - 1);
      return std::stoi(digits) < limit;
    };
  };
  EXPECT_EQ(MakeImageFileName(s, "x.jww", below(1000)).FileName, "x_1000.BMP");
  EXPECT_EQ(MakeImageFileName(s, "x.jww", below(99999)).FileName, "x_99999.BMP");
}

TEST(MakeImageFileName, ChosenFolderTypedWithoutSeparatorGetsOne) {
  // Regression: "D:\img" + "plan_000.BMP" gave D:\imgplan_000.BMP.
  WindowSettings s;
  s.FolderMode = 1;
  s.SaveFolder = "D:\\img";
  EXPECT_EQ(MakeImageFileName(s, "C:\\jww\\plan.jww", NoneExist).FullPath,
            "D:\\img\\plan_000.BMP");
}

TEST_F(PasteActionTest, AllNamesTakenIsRefusedAndNothingIsOverwritten) {
  for (int n = 0; n <= 99999; ++n) {
    std::string digits = std::to_string(n);
    if (digits.size() < 3) digits.insert(0, 3 - digits.size(), '0');
    host.Files.insert("C:\\jww\\plan_" + digits + ".BMP");
  }
  ExpectRefused(kMsgNoFreeName, 0);
}

// --- Placement --------------------------------------------------------------

TEST(ComputePlacement, CentreBasePointOfA640By480Picture) {
  WindowSettings s;
  s.WidthMm = 100;
  s.BasePoint = 4;  // 中中
  Placement p = ComputePlacement(s, "plan_000.BMP", PictureInfo{true, 640, 480}, 10, 20);
  EXPECT_EQ(p.W, 100);
  EXPECT_EQ(p.H, 75);
  EXPECT_EQ(p.Reference, "^@BMplan_000.BMP,100,75");
  EXPECT_DOUBLE_EQ(p.PX, -40);
  EXPECT_DOUBLE_EQ(p.PY, -17.5);
  EXPECT_EQ(p.DX, 10);
  EXPECT_EQ(p.DY, 0);
}

TEST(ComputePlacement, TurnedPictureCarriesTheAngleInItsReference) {
  WindowSettings s;
  s.AngleDeg = 30;
  Placement p = ComputePlacement(s, "plan_000.BMP", PictureInfo{true, 640, 480}, 0, 0);
  EXPECT_EQ(p.Reference, "^@BMplan_000.BMP,100,75,0,0,1,30");
}

TEST(ComputePlacement, AngleThatRoundsToZeroIsLeftOut) {
  WindowSettings s;
  s.AngleDeg = 0.00004;  // rounds to 0 at four places
  Placement p = ComputePlacement(s, "a_000.BMP", PictureInfo{true, 3, 2}, 0, 0);
  EXPECT_EQ(p.Reference, "^@BMa_000.BMP,100,66.667");
  EXPECT_EQ(p.DX, 10);
  EXPECT_EQ(p.DY, 0);
}

TEST(ComputePlacement, HeightComesFromTheRoundedWidth) {
  WindowSettings s;
  s.WidthMm = 10.0005;  // rounds half away from zero to 10.001
  s.AngleDeg = -45.00005;
  Placement p = ComputePlacement(s, "a_000.BMP", PictureInfo{true, 1, 3}, 0, 0);
  EXPECT_EQ(p.W, 10.001);
  EXPECT_EQ(p.H, 30.003);
  EXPECT_EQ(p.A, -45.0001);
}

TEST(ComputePlacement, QuarterTurnWithLowerLeftBaseStartsAtThePoint) {
  WindowSettings s;
  s.AngleDeg = 90;
  Placement p = ComputePlacement(s, "a_000.BMP", PictureInfo{true, 640, 480}, 10, 20);
  EXPECT_EQ(p.PX, 10);
  EXPECT_EQ(p.PY, 20);
  EXPECT_EQ(p.DY, 10);
  EXPECT_NE(p.DX, 0);  // 10 * cos(90°) in floating point
  EXPECT_LT(std::fabs(p.DX), 1e-14);
}

TEST(ComputePlacement, BasePointOffsetIsTurnedWithThePicture) {
  WindowSettings s;
  s.AngleDeg = 90;
  s.BasePoint = 8;  // 右上: the corner lies W to the left and H below
  Placement p = ComputePlacement(s, "a_000.BMP", PictureInfo{true, 640, 480}, 0, 0);
  // (-100, -75) turned a quarter: (75, -100).
  EXPECT_NEAR(p.PX, 75, 1e-12);
  EXPECT_NEAR(p.PY, -100, 1e-12);
}

TEST(BasePointOffset, UnknownIndexFallsBackToLowerLeft) {
  for (int other : {-1, 9, 12}) {
    double dx = 1, dy = 1;
    BasePointOffset(other, 10, 4, dx, dy);
    EXPECT_EQ(dx, 0) << other;
    EXPECT_EQ(dy, 0) << other;
  }
}

// --- The whole action -------------------------------------------------------

TEST_F(PasteActionTest, SuccessWritesSettingsThenPictureThenBuffers) {
  host.Files = {"C:\\jww\\plan_000.BMP"};
  ASSERT_TRUE(Run());
  EXPECT_EQ(host.Calls, (std::vector<std::string>{"settings", "status", "picture", "status"}));
  EXPECT_EQ(host.Statuses, (std::vector<std::string>{std::string(kStatusWorking),
                                                     std::string(kStatusWriting)}));
  EXPECT_EQ(host.SavedPicture, "C:\\jww\\plan_001.BMP");
  EXPECT_TRUE(host.Messages.empty());
  std::vector<std::string> lines = BufferedLines();
  ASSERT_FALSE(lines.empty());
  EXPECT_EQ(lines.front(), "lg0");
  EXPECT_EQ(lines.back(), "^@BMplan_001.BMP,100,75");
}

TEST_F(PasteActionTest, ChosenFolderIsReferencedByFullPath) {
  settings.FolderMode = 1;
  settings.SaveFolder = "D:\\img\\";
  ASSERT_TRUE(Run());
  EXPECT_EQ(BufferedLines().back(), "^@BMD:\\img\\plan_000.BMP,100,75");
}

TEST_F(PasteActionTest, BufferFollowsTheHostsCurrentAttributes) {
  JwcState.CurLayerGroup = 10;
  JwcState.CurLayer = 3;
  JwcState.CurLineColor = 5;
  JwcState.HpPoints[1].X = 10;
  JwcState.HpPoints[1].Y = 20;
  settings.BasePoint = 4;
  ASSERT_TRUE(Run());
  std::vector<std::string> lines = BufferedLines();
  ASSERT_GE(lines.size(), 4u);
  EXPECT_EQ(lines[0], "lgA");
  EXPECT_EQ(lines[1], "ly3");
  EXPECT_EQ(lines[2], "lc5");
  EXPECT_EQ(lines[lines.size() - 2], "ch -40 -17.5 10 0 \"");
}

TEST_F(PasteActionTest, BzComesFirstOnlyWhenTheHostGaveIt) {
  ASSERT_TRUE(Run());
  EXPECT_NE(BufferedLines().front(), "bz");

  ResetJwcState();
  JwcState.DrawingFileName = "C:\\jww\\plan.jww";
  JwcState.BzFlag = true;
  ResetOutAttrs();
  ASSERT_TRUE(Run());
  EXPECT_EQ(BufferedLines().front(), "bz");
  EXPECT_EQ(BufferedLines()[1], "lg0");
}

// --- Failures after the checks ----------------------------------------------

TEST_F(PasteActionTest, PictureThatCouldNotBeWrittenIsReportedAndNotReferenced) {
  // Regression: a failed save still buffered a reference to a missing file.
  host.SaveResult = false;
  host.SaveLeavesPartialFile = true;
  EXPECT_FALSE(Run());
  EXPECT_EQ(host.Messages, std::vector<std::string>{std::string(kMsgSaveFailed)});
  EXPECT_EQ(JwcState.OutLineCount, 0);
  EXPECT_EQ(host.Files.count("C:\\jww\\plan_000.BMP"), 0u);  // partial file removed
  EXPECT_EQ(host.Statuses.back(), kStatusIdle);
}

TEST_F(PasteActionTest, PictureThatCouldNotBeCreatedRemovesNothing) {
  host.SaveResult = false;
  EXPECT_FALSE(Run());
  EXPECT_EQ(host.Messages, std::vector<std::string>{std::string(kMsgSaveFailed)});
  EXPECT_EQ(std::count(host.Calls.begin(), host.Calls.end(), "remove"), 0);
  EXPECT_EQ(JwcState.OutLineCount, 0);
}

TEST_F(PasteActionTest, NameTakenBetweenTheCheckAndTheWriteMovesOnToTheNextNumber) {
  // Regression: the write replaced a file another program had just created.
  host.Files = {"C:\\jww\\plan_000.BMP"};
  host.CreatedByOthersAtSave = {"C:\\jww\\plan_001.BMP", "C:\\jww\\plan_002.BMP"};
  ASSERT_TRUE(Run());
  EXPECT_EQ(host.SavedPicture, "C:\\jww\\plan_003.BMP");
  EXPECT_EQ(std::count(host.Calls.begin(), host.Calls.end(), "picture"), 3);
  EXPECT_EQ(std::count(host.Calls.begin(), host.Calls.end(), "remove"), 0);
  EXPECT_EQ(std::count(host.Calls.begin(), host.Calls.end(), "settings"), 1);
  EXPECT_EQ(BufferedLines().back(), "^@BMplan_003.BMP,100,75");
}

TEST_F(PasteActionTest, ErrorWhileSavingLeavesNothingBufferedAndResetsTheStatus) {
  host.SaveThrows = true;
  EXPECT_THROW(Run(), std::runtime_error);
  EXPECT_EQ(JwcState.OutLineCount, 0);
  EXPECT_EQ(host.Statuses.back(), kStatusIdle);
}

TEST_F(PasteActionTest, ReferenceLongerThanALineIsRefusedBeforeAnythingIsWritten) {
  // Regression: the buffer cut the reference at 255 bytes, pointing the host
  // at a path that does not exist.
  std::string folder = "D:\\" + std::string(229, 'f') + "\\";
  host.Folders.insert(folder);
  settings.FolderMode = 1;
  settings.SaveFolder = folder;
  ExpectRefused(kMsgPathTooLong, kIdEdit1);
}

TEST_F(PasteActionTest, ReferenceOfExactlyALineIsAccepted) {
  // "^@BM" + folder + "plan_000.BMP" + ",100,75" is 4 + f + 12 + 7 bytes.
  std::string folder = "D:\\" + std::string(255 - 4 - 12 - 7 - 4, 'f') + "\\";
  host.Folders.insert(folder);
  settings.FolderMode = 1;
  settings.SaveFolder = folder;
  ASSERT_TRUE(Run());
  EXPECT_EQ(BufferedLines().back().size(), 255u);
}

}  // namespace
}  // namespace zumorika
