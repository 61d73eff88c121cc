// Pictures at the size limits of the file formats: the JPEG library's
// 65500-pixel side and the BMP's 32-bit size fields. Past a limit the user
// gets a clear error and no file; nothing is allocated for a picture the
// format cannot hold.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "StressSupport.h"
#include "imaging/saving/BmpWriter.h"
#include "imaging/saving/ImageFile.h"
#include "imaging/ImagingTexts.h"
#include "imaging/picture/PictureData.h"
#include "imaging/WorkingImage.h"
#include "util/AppError.h"

namespace zumorika {
namespace {

using stress::Exists;
using stress::ScratchFolder;

std::string SaveError(const std::string& path, const TPicture& picture, ImageSaveSettings s) {
  try {
    SaveImageFile(path, picture, s);
  } catch (const AppError& e) {
    return e.what();
  }
  return "";
}

// --- JPEG side limit ---------------------------------------------------------------

TEST(JpegSizeLimit, SideOf65500IsEncoded) {
  ScratchFolder scratch;
  for (auto [w, h] : {std::pair{65500, 1}, std::pair{1, 65500}}) {
    TPicture picture = stress::TestPicture(w, h);
    const std::string path = scratch / "edge.JPG";
    ASSERT_TRUE(SaveImageFile(path, picture, {1, 2, 1, 90})) << w << " x " << h;
    std::string bytes = stress::ReadBytes(path);
    ASSERT_GT(bytes.size(), 4u);
    EXPECT_EQ(bytes.substr(0, 2), "\xFF\xD8");
    EXPECT_EQ(bytes.substr(bytes.size() - 2), "\xFF\xD9");
  }
}

TEST(JpegSizeLimit, SideOf65501GivesJpegErrorAndNoFile) {
  ScratchFolder scratch;
  for (auto [w, h] : {std::pair{65501, 1}, std::pair{1, 65501}}) {
    for (int32_t colour : {0, 1}) {
      TPicture picture = stress::TestPicture(w, h);
      const std::string path = scratch / "past.JPG";
      std::string error = SaveError(path, picture, {1, 2, colour, 90});
      EXPECT_EQ(error.rfind(kTextJpegErrorPrefix, 0), 0u) << w << " x " << h << ": " << error;
      EXPECT_GT(error.size(), std::strlen(kTextJpegErrorPrefix));  // the library's code follows
      EXPECT_FALSE(Exists(path));
    }
  }
}

// --- BMP 32-bit size fields --------------------------------------------------------

// Row bytes of a 24-bit BMP, padded to 4.
int64_t Row24(int64_t width) { return (width * 24 + 31) / 32 * 4; }

TEST(BmpSizeLimit, LargestFileThatFitsThirtyTwoBitsIsAccepted) {
  // The widest single-row 24-bit picture whose file size still fits.
  int64_t width = (int64_t{UINT32_MAX} - 54) / 3;
  while (54 + Row24(width) > int64_t{UINT32_MAX}) --width;
  BmpLayout layout = ComputeBmpLayout(width, 1, 24);
  EXPECT_EQ(layout.fileSize, 54 + Row24(width));
  EXPECT_LE(layout.fileSize, int64_t{UINT32_MAX});
  EXPECT_THROW(ComputeBmpLayout(width + 1, 1, 24), AppError);
}

TEST(BmpSizeLimit, OverflowingSizesAreRefusedForEveryDepth) {
  for (int bits : {1, 4, 8, 24}) {
    // height x row bytes beyond 4 GB, and products that wrap 32 and 64 bits.
    EXPECT_THROW(ComputeBmpLayout(200000, 200000, bits), AppError) << bits;
    EXPECT_THROW(ComputeBmpLayout(INT32_MAX, INT32_MAX, bits), AppError) << bits;
    EXPECT_THROW(ComputeBmpLayout(int64_t{INT32_MAX} + 1, 1, bits), AppError) << bits;
  }
}

// A picture that claims a size without holding any pixels: a save that
// tried to draw or allocate it would not get the size error first.
class ClaimedSizePicture : public PictureData {
 public:
  ClaimedSizePicture(int32_t w, int32_t h) : w_(w), h_(h) {}
  PictureKind Kind() const override { return PictureKind::Raster; }
  int32_t Width() const override { return w_; }
  int32_t Height() const override { return h_; }

 private:
  int32_t w_, h_;
};

TEST(BmpSizeLimit, SaveOfAnOversizedPictureFailsBeforeAllocating) {
  ScratchFolder scratch;
  TPicture picture;
  picture.Assign(std::make_unique<ClaimedSizePicture>(40000, 40000));  // 4.8 GB at 24 bits
  const std::string path = scratch / "huge.BMP";
  EXPECT_EQ(SaveError(path, picture, {0, 3, 1, 100}), kTextImageTooLarge);
  EXPECT_FALSE(Exists(path));
}

TEST(BmpSizeLimit, WorkingImageOverTwoGigabytesIsRefusedUpFront) {
  EXPECT_THROW(CheckWorkingImageSize(46341, 46341), AppError);  // just over 2^31 bytes
  EXPECT_NO_THROW(CheckWorkingImageSize(23170, 23170));
  EXPECT_THROW(CheckWorkingImageSize(INT32_MAX, INT32_MAX), AppError);
}

}  // namespace
}  // namespace zumorika
