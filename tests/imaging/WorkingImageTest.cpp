#include "imaging/WorkingImage.h"

#include <gtest/gtest.h>

#include "TestPictures.h"
#include "imaging/ImagingTexts.h"
#include "util/AppError.h"

namespace zumorika {
namespace {

TEST(PrepareWorkingImage, CopiesARasterPicturePixelForPixel) {
  for (const int32_t width : {1, 2, 3, 5, 7, 8}) {
    const int32_t height = 10 - width;
    const auto pixels = test::AsymmetricPixels(width, height);
    const TPicture picture = PictureFromPixels(width, height, pixels.data());
    ASSERT_EQ(picture.Kind(), PictureKind::Raster);
    ASSERT_EQ(PictureWidth(picture), width);
    ASSERT_EQ(PictureHeight(picture), height);
    const WorkingImage image = PrepareWorkingImage(picture);
    ASSERT_EQ(image.Width(), width);
    ASSERT_EQ(image.Height(), height);
    for (int32_t y = 0; y < height; ++y) {
      for (int32_t x = 0; x < width; ++x) {
        ASSERT_EQ(image.Pixel(x, y) & 0xFFFFFF, pixels[y * width + x]) << x << "," << y;
      }
    }
  }
}

TEST(PrepareWorkingImage, IsEmptyForAnEmptyPicture) {
  const TPicture picture;
  EXPECT_EQ(PictureWidth(picture), 0);
  EXPECT_EQ(PictureHeight(picture), 0);
  EXPECT_TRUE(PrepareWorkingImage(picture).IsEmpty());
}

// Regression: a picture too large for memory crashed on allocation; it is
// refused with the tool's own message before anything is allocated.
TEST(WorkingImage, RefusesASizeThatCannotBeHeld) {
  try {
    WorkingImage image(100000, 100000);
    ADD_FAILURE() << "no error";
  } catch (const AppError& e) {
    EXPECT_STREQ(e.what(), kTextImageTooLarge);
  }
  EXPECT_THROW(CheckWorkingImageSize(INT32_MAX, INT32_MAX), AppError);
  EXPECT_NO_THROW(CheckWorkingImageSize(16384, 16384));
}

}  // namespace
}  // namespace zumorika
