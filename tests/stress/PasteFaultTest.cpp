// The paste when the world changes under it: the picture's folder vanishes,
// the picture cannot be written, the clipboard changes between the test at
// show and the load. Each is reported, and nothing reaches the host's file.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "RealFilesHost.h"
#include "StressSupport.h"
#include "exchange/JwwGaibu.h"
#include "imaging/clipboard/Clipboard.h"
#include "imaging/clipboard/ClipboardFormats.h"
#include "imaging/saving/ImageFile.h"
#include "imaging/ImagingTexts.h"
#include "imaging/picture/PictureData.h"
#include "imaging/picture/WorkingBands.h"
#include "imaging/WorkingImage.h"
#include "util/AppError.h"
#include "window/WindowTexts.h"

#ifndef _WIN32
#include "ChildProcess.h"
#include "imaging/clipboard/ClipboardStandIn.h"
#endif

namespace zumorika {
namespace {

using stress::Exists;
using stress::ScratchFolder;

void LoadDrawing(const std::string& drawingPath) {
  ResetJwcState();
  ParseJwcLine("file=" + drawingPath);
  ParseJwcLine("hp1 10 20");
  ParseJwcLine("lc5");
  ResetOutAttrs();
}

// --- Picture not written ---------------------------------------------------------

TEST(PasteFault, DrawingFolderGoneBeforeOkIsReportedAndNothingBuffered) {
  ScratchFolder scratch;
  std::filesystem::create_directory(scratch.Path() / "dwg");
  LoadDrawing(scratch / "dwg/plan.jww");
  std::filesystem::remove_all(scratch.Path() / "dwg");

  TPicture picture = stress::TestPicture(5, 3);
  stress::RealFilesHost host(picture, scratch / "zumorika.dat");
  WindowSettings settings;
  EXPECT_FALSE(RunPasteAction(settings, host.Info(), host));
  ASSERT_EQ(host.messages.size(), 1u);
  EXPECT_EQ(host.messages[0], kMsgSaveFailed);
  EXPECT_EQ(JwcState.OutLineCount, 0);
  EXPECT_TRUE(JwcState.OutLines.empty());
  EXPECT_FALSE(Exists(scratch / "dwg"));
  // The status label does not go on claiming work.
  ASSERT_FALSE(host.statuses.empty());
  EXPECT_EQ(host.statuses.back(), kStatusIdle);
}

TEST(PasteFault, FolderRemovedWhileSavingIsReportedAndNothingBuffered) {
  ScratchFolder scratch;
  std::filesystem::create_directory(scratch.Path() / "pics");
  LoadDrawing(scratch / "plan.jww");
  TPicture picture = stress::TestPicture(3, 7);
  stress::RealFilesHost host(picture, scratch / "zumorika.dat");
  host.beforeSave = [&] { std::filesystem::remove_all(scratch.Path() / "pics"); };
  WindowSettings settings;
  settings.FolderMode = 1;
  settings.SaveFolder = scratch / "pics/";
  settings.FileKind = 1;  // JPEG: a one-shot write of the whole data
  EXPECT_FALSE(RunPasteAction(settings, host.Info(), host));
  EXPECT_EQ(host.messages, std::vector<std::string>{std::string(kMsgSaveFailed)});
  EXPECT_EQ(JwcState.OutLineCount, 0);
  // The exchange file then asks the host for nothing.
  ASSERT_TRUE(SaveJwcTemp(scratch / "JWC_TEMP.TXT"));
  EXPECT_EQ(stress::ReadBytes(scratch / "JWC_TEMP.TXT"), "hq\r\n");
}

TEST(PasteFault, PictureNameTakenBetweenTheCheckAndTheWriteIsLeftAlone) {
  // Regression: the write replaced a file another program created after the
  // name was checked.
  for (int32_t kind : {0, 1}) {
    ScratchFolder scratch;
    const std::string extension = kind ? ".JPG" : ".BMP";
    LoadDrawing(scratch / "plan.jww");
    TPicture picture = stress::TestPicture(4, 3);
    stress::RealFilesHost host(picture, scratch / "zumorika.dat");
    host.beforeSave = [&] {
      if (!Exists(scratch / ("plan_000" + extension)))
        stress::WriteBytes(scratch / ("plan_000" + extension), "theirs");
    };
    WindowSettings settings;
    settings.FileKind = kind;
    ASSERT_TRUE(RunPasteAction(settings, host.Info(), host)) << "kind " << kind;
    EXPECT_EQ(stress::ReadBytes(scratch / ("plan_000" + extension)), "theirs");
    EXPECT_EQ(host.savedPath, scratch / ("plan_001" + extension));
    EXPECT_GT(stress::ReadBytes(scratch / ("plan_001" + extension)).size(), 6u);
    EXPECT_NE(JwcState.OutLines[JwcState.OutLineCount - 1].find("plan_001" + extension), std::string::npos);
    EXPECT_TRUE(host.messages.empty());
  }
}

TEST(PasteFault, SaveImageFileIntoMissingFolderReportsFalseForEveryKind) {
  ScratchFolder scratch;
  TPicture picture = stress::TestPicture(3, 2);
  for (int32_t kind : {0, 1}) {
    for (int32_t depth : {0, 1, 2, 3}) {
      ImageSaveSettings s{kind, depth, depth % 2, 90};
      const std::string path = scratch / "gone/a.img";
      EXPECT_FALSE(SaveImageFile(path, picture, s)) << "kind " << kind << " depth " << depth;
      EXPECT_FALSE(Exists(path));
    }
  }
}

// Noise bands that stop part-way with the error GDI gives when it cannot
// draw, as a picture too big for the memory left may fail on a later band.
// It notes whether the picture's file had been begun by then.
class BandsFailingPartWay : public WorkingBands {
 public:
  BandsFailingPartWay(int32_t width, int32_t height, int failingCall, std::string path, bool& begun)
      : WorkingBands(width, height), failingCall_(failingCall), path_(std::move(path)),
        begun_(begun), band_(static_cast<size_t>(width) * kBandRows) {}
  const uint32_t* Band(int32_t band) override {
    if (++calls_ == failingCall_) {
      begun_ = Exists(path_);
      throw AppError(kTextOutOfResources);
    }
    stress::FillWithNoise(band_.data(), band_.size(), static_cast<uint32_t>(band) * 7919u);
    return band_.data();
  }

 private:
  int calls_ = 0;
  int failingCall_;
  std::string path_;
  bool& begun_;
  std::vector<uint32_t> band_;
};

class PictureFailingPartWay : public PictureData {
 public:
  PictureFailingPartWay(int32_t width, int32_t height, int failingCall, std::string path,
                        bool& begun)
      : width_(width), height_(height), failingCall_(failingCall), path_(std::move(path)),
        begun_(begun) {}
  PictureKind Kind() const override { return PictureKind::Raster; }
  int32_t Width() const override { return width_; }
  int32_t Height() const override { return height_; }
  std::unique_ptr<WorkingBands> Bands() const override {
    return std::make_unique<BandsFailingPartWay>(width_, height_, failingCall_, path_, begun_);
  }

 private:
  int32_t width_, height_;
  int failingCall_;
  std::string path_;
  bool& begun_;
};

TEST(PasteFault, PictureThatFailsPartWayIsRemovedAndNothingBuffered) {
  for (int32_t kind : {0, 1}) {
    ScratchFolder scratch;
    LoadDrawing(scratch / "plan.jww");
    const std::string picturePath = scratch / "plan_000." + std::string(kind ? "JPG" : "BMP");
    bool begun = false;
    // The fifth band: a JPEG of noise writes its first 64 KB in its third.
    TPicture picture;
    picture.Assign(std::make_unique<PictureFailingPartWay>(1001, 203, 5, picturePath, begun));
    stress::RealFilesHost host(picture, scratch / "zumorika.dat");
    WindowSettings settings;
    settings.FileKind = kind;
    settings.BmpDepth = 3;
    try {
      RunPasteAction(settings, host.Info(), host);
      ADD_FAILURE() << "kind " << kind << ": no error";
    } catch (const AppError& e) {
      EXPECT_STREQ(e.what(), kTextOutOfResources);  // for the application's error box
    }
    EXPECT_TRUE(begun) << "kind " << kind << ": the failure came before the file was begun";
    EXPECT_FALSE(Exists(picturePath)) << "kind " << kind << ": a partial picture was left behind";
    EXPECT_EQ(JwcState.OutLineCount, 0);
    EXPECT_TRUE(host.messages.empty());
  }
}

#ifndef _WIN32

TEST(PasteFault, DiskFillingDuringThePictureRemovesItAndBuffersNothing) {
  struct Case {
    int32_t kind;
    bool noise;
    int32_t width, height;
    rlim_t limit;
  };
  // The picture is written band by band while it is drawn, so the disk can
  // fill in the middle of the picture as well as at its first write.
  const Case cases[] = {
      {0, false, 301, 203, 64 * 1024},   // 24-bit BMP of 184 KB: full in its fifth band
      {1, false, 301, 203, 2000},        // small JPEG: full at its one write
      {1, true, 1001, 203, 160 * 1024},  // JPEG of 400 KB: full in its seventh band
  };
  for (const Case& c : cases) {
    ScratchFolder scratch;
    const std::string picturePath = scratch / "plan_000." + std::string(c.kind ? "JPG" : "BMP");
    int result = stress::RunInChild([&] {
      LoadDrawing(scratch / "plan.jww");
      TPicture picture = c.noise ? stress::NoisePicture(c.width, c.height)
                                 : stress::TestPicture(c.width, c.height);
      stress::RealFilesHost host(picture, scratch / "zumorika.dat");
      WindowSettings settings;
      settings.FileKind = c.kind;
      settings.BmpDepth = 3;
      stress::LimitFileSize(c.limit);
      if (RunPasteAction(settings, host.Info(), host)) return 1;
      if (host.messages != std::vector<std::string>{std::string(kMsgSaveFailed)}) return 2;
      if (JwcState.OutLineCount != 0) return 3;
      if (!host.settingsWritten) return 4;  // small enough to fit under the limit
      return 0;
    });
    EXPECT_EQ(result, 0) << "kind " << c.kind << ", limit " << c.limit;
    EXPECT_FALSE(Exists(picturePath)) << "a partial picture was left behind";
  }
}

#endif

// --- Clipboard changes -------------------------------------------------------------

#ifndef _WIN32

std::shared_ptr<const WorkingImage> Bitmap(int32_t w, int32_t h) {
  auto image = std::make_shared<WorkingImage>(w, h);
  auto pixels = stress::TestPixels(w, h);
  for (int32_t y = 0; y < h; ++y)
    std::copy(pixels.begin() + static_cast<long>(y) * w,
              pixels.begin() + static_cast<long>(y + 1) * w, image->Row(y));
  return image;
}

class ClipboardChange : public ::testing::Test {
 protected:
  void SetUp() override {
    picture_ = stress::TestPicture(3, 2);
    SetStandInClipboard({{kCfBitmap, Bitmap(5, 4)}});
    ASSERT_TRUE(ClipboardHasPicture());
  }
  void TearDown() override { SetStandInClipboard({}); }

  // Loads and expects `message`, the old picture intact, the clipboard closed.
  void ExpectLoadFails(const char* message) {
    try {
      LoadClipboardPicture(picture_);
      ADD_FAILURE() << "the load succeeded";
    } catch (const AppError& e) {
      EXPECT_STREQ(e.what(), message);
    }
    EXPECT_EQ(StandInClipboardOpenCount(), 0);
    ASSERT_EQ(PictureWidth(picture_), 3);
    ASSERT_EQ(PictureHeight(picture_), 2);
    WorkingImage pixels = PrepareWorkingImage(picture_);
    EXPECT_EQ(pixels.Pixel(0, 1), 0x00FF0000u);
    EXPECT_EQ(pixels.Pixel(2, 0), 0x000000FFu);
  }

  TPicture picture_;
};

TEST_F(ClipboardChange, EmptiedAfterTheTestGivesInvalidFormat) {
  SetStandInClipboard({});
  ExpectLoadFails(kTextInvalidClipboardFormat);
}

TEST_F(ClipboardChange, ReplacedByTextAfterTheTestGivesInvalidFormat) {
  SetStandInClipboard({{kCfText, nullptr}, {kCfDib, nullptr}});
  ExpectLoadFails(kTextInvalidClipboardFormat);
}

TEST_F(ClipboardChange, BitmapThatCannotBeFetchedGivesUnsupportedData) {
  SetStandInClipboard({{kCfBitmap, nullptr}});
  ExpectLoadFails(kTextUnsupportedClipboardData);
}

TEST_F(ClipboardChange, HeldByAnotherProgramGivesCannotOpen) {
  SetStandInClipboard({{kCfBitmap, Bitmap(5, 4)}}, /*openable=*/false);
  ExpectLoadFails(kTextCannotOpenClipboard);
  EXPECT_THROW(ClipboardHasPicture(), AppError);
  EXPECT_EQ(StandInClipboardOpenCount(), 0);
}

TEST_F(ClipboardChange, StillThereLoadsTheNewPicture) {
  LoadClipboardPicture(picture_);
  EXPECT_EQ(PictureWidth(picture_), 5);
  EXPECT_EQ(PictureHeight(picture_), 4);
  EXPECT_EQ(StandInClipboardOpenCount(), 0);
}

#endif

}  // namespace
}  // namespace zumorika
