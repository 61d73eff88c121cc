// The clipboard rules against the in-memory clipboard of builds without
// Windows; the same rules meet the real clipboard in the Windows tests.
#ifndef _WIN32

#include <gtest/gtest.h>

#include "TestPictures.h"
#include "imaging/Clipboard.h"
#include "imaging/ClipboardFormats.h"
#include "imaging/ClipboardStandIn.h"
#include "imaging/ImagingTexts.h"
#include "util/AppError.h"

namespace zumorika {
namespace {

std::shared_ptr<const WorkingImage> Bitmap(int32_t width, int32_t height) {
  return std::make_shared<WorkingImage>(
      test::ImageFrom(width, height, test::AsymmetricPixels(width, height)));
}

void ExpectLoadFails(TPicture& picture, const char* text) {
  try {
    LoadClipboardPicture(picture);
    ADD_FAILURE() << "no error";
  } catch (const AppError& e) {
    EXPECT_STREQ(e.what(), text);
  }
  EXPECT_EQ(StandInClipboardOpenCount(), 0) << "clipboard left open";
}

class ClipboardTest : public testing::Test {
 protected:
  ~ClipboardTest() override { SetStandInClipboard({}); }
};

// Which formats count
TEST_F(ClipboardTest, TextAloneIsNoPicture) {
  SetStandInClipboard({{kCfText, nullptr}, {kCfDib, nullptr}, {0xC123, nullptr}});
  EXPECT_FALSE(ClipboardHasPicture());
  TPicture picture;
  ExpectLoadFails(picture, kTextInvalidClipboardFormat);
  EXPECT_TRUE(picture.IsEmpty());
}

TEST_F(ClipboardTest, EachTableFormatCounts) {
  for (const uint32_t format : {kCfBitmap, kCfMetafilePict, kCfEnhMetafile}) {
    SetStandInClipboard({{kCfText, nullptr}, {format, nullptr}});
    EXPECT_TRUE(ClipboardHasPicture()) << format;
    EXPECT_EQ(StandInClipboardOpenCount(), 0);
  }
}

// Loading
TEST_F(ClipboardTest, TakesABitmapAsARasterPictureOfItsSize) {
  SetStandInClipboard({{kCfText, nullptr}, {kCfBitmap, Bitmap(5, 3)}, {kCfPalette, nullptr}});
  TPicture picture;
  LoadClipboardPicture(picture);
  EXPECT_EQ(picture.Kind(), PictureKind::Raster);
  EXPECT_EQ(PictureWidth(picture), 5);
  EXPECT_EQ(PictureHeight(picture), 3);
  const WorkingImage working = PrepareWorkingImage(picture);
  const auto expected = test::AsymmetricPixels(5, 3);
  for (int32_t y = 0; y < 3; ++y) {
    for (int32_t x = 0; x < 5; ++x) EXPECT_EQ(working.Pixel(x, y), expected[y * 5 + x]);
  }
  EXPECT_EQ(StandInClipboardOpenCount(), 0);
}

TEST_F(ClipboardTest, TheFirstOfferedFormatWinsEvenWhenItCannotBeFetched) {
  // Metafiles cannot be fetched here, so a metafile placed first fails the
  // load although a bitmap follows: nothing after the first format is tried.
  SetStandInClipboard({{kCfEnhMetafile, nullptr}, {kCfBitmap, Bitmap(2, 2)}});
  TPicture picture = PictureFromPixels(1, 1, test::AsymmetricPixels(1, 1).data());
  ExpectLoadFails(picture, kTextUnsupportedClipboardData);
  EXPECT_EQ(PictureWidth(picture), 1) << "the previous picture stays";
}

TEST_F(ClipboardTest, ABitmapWhoseDataIsMissingIsUnsupported) {
  SetStandInClipboard({{kCfBitmap, nullptr}});
  TPicture picture;
  ExpectLoadFails(picture, kTextUnsupportedClipboardData);
  EXPECT_TRUE(picture.IsEmpty());
}

// Access
TEST_F(ClipboardTest, ReportsAClipboardThatCannotBeOpened) {
  SetStandInClipboard({{kCfBitmap, Bitmap(2, 2)}}, /*openable=*/false);
  try {
    ClipboardHasPicture();
    ADD_FAILURE() << "no error";
  } catch (const AppError& e) {
    EXPECT_STREQ(e.what(), kTextCannotOpenClipboard);
  }
  TPicture picture;
  ExpectLoadFails(picture, kTextCannotOpenClipboard);
  EXPECT_TRUE(picture.IsEmpty());
}

}  // namespace
}  // namespace zumorika

#endif
