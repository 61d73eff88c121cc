#include "imaging/saving/BmpWriter.h"

#include <algorithm>
#include <filesystem>
#include <fstream>

#include <gtest/gtest.h>

#include "TestPictures.h"
#include "imaging/decoding/BmpReader.h"
#include "imaging/saving/ImageFile.h"
#include "imaging/ImagingTexts.h"
#include "imaging/picture/PictureData.h"
#include "util/AppError.h"

namespace zumorika {
namespace {

using test::Le16;
using test::Le32;
using test::MemorySink;

// Takes `limit` bytes in all, then writes short, like a full disk.
class FullDiskSink : public ByteSink {
 public:
  explicit FullDiskSink(size_t limit) : left_(limit) {}
  size_t Write(const void*, size_t size) override {
    const size_t taken = std::min(size, left_);
    left_ -= taken;
    return taken;
  }

 private:
  size_t left_;
};

std::vector<uint8_t> BmpBytes(int32_t width, int32_t height, int bits) {
  const auto pixels = test::AsymmetricPixels(width, height);
  MemorySink sink;
  WriteBmp(sink, ConvertWorkingImage(test::ImageFrom(width, height, pixels), bits));
  return sink.bytes_;
}

struct LayoutCase {
  int32_t width, height;
  int bits;
  uint32_t rowSize, dataOffset, fileSize, coloursUsed;
};

// Header layout
TEST(WriteBmp, LaysOutHeadersForEachDepth) {
  const LayoutCase cases[] = {
      {640, 480, 24, 1920, 54, 921654, 0},
      {3, 2, 4, 4, 118, 126, 16},
      {1, 1, 1, 4, 62, 66, 2},
      {10, 10, 8, 12, 1078, 1198, 256},
  };
  for (const LayoutCase& c : cases) {
    SCOPED_TRACE(testing::Message() << c.width << "x" << c.height << "/" << c.bits);
    const std::vector<uint8_t> b = BmpBytes(c.width, c.height, c.bits);
    ASSERT_EQ(b.size(), c.fileSize);
    EXPECT_EQ(b[0], 'B');
    EXPECT_EQ(b[1], 'M');
    EXPECT_EQ(Le32(b, 2), c.fileSize);
    EXPECT_EQ(Le32(b, 6), 0u);  // both reserved fields
    EXPECT_EQ(Le32(b, 10), c.dataOffset);
    EXPECT_EQ(Le32(b, 14), 40u);
    EXPECT_EQ(Le32(b, 18), static_cast<uint32_t>(c.width));
    EXPECT_EQ(Le32(b, 22), static_cast<uint32_t>(c.height));
    EXPECT_EQ(Le16(b, 26), 1u);
    EXPECT_EQ(Le16(b, 28), static_cast<uint32_t>(c.bits));
    EXPECT_EQ(Le32(b, 30), 0u);
    EXPECT_EQ(Le32(b, 34), c.rowSize * c.height);
    EXPECT_EQ(Le32(b, 38), 0u);
    EXPECT_EQ(Le32(b, 42), 0u);
    EXPECT_EQ(Le32(b, 46), c.coloursUsed);
    EXPECT_EQ(Le32(b, 50), 0u);
  }
}

TEST(WriteBmp, WritesTheColourTableAsBlueGreenRedZero) {
  const std::vector<uint8_t> b = BmpBytes(3, 2, 4);
  const auto& table = SixteenColourTable();
  for (size_t i = 0; i < 16; ++i) {
    EXPECT_EQ(b[54 + 4 * i + 0], table[i].blue);
    EXPECT_EQ(b[54 + 4 * i + 1], table[i].green);
    EXPECT_EQ(b[54 + 4 * i + 2], table[i].red);
    EXPECT_EQ(b[54 + 4 * i + 3], 0);
  }
  EXPECT_EQ(b[54 + 4 * 9 + 2], 255);  // entry 9 is red
}

TEST(WriteBmp, RoundTripsTrueColourPixels) {
  for (const int32_t width : {1, 2, 3, 5, 7, 8}) {
    const int32_t height = 9 - width;
    const auto pixels = test::AsymmetricPixels(width, height);
    MemorySink sink;
    WriteBmp(sink, ConvertWorkingImage(test::ImageFrom(width, height, pixels), 24));
    WorkingImage back;
    std::string reason;
    ASSERT_TRUE(ReadBmpPixels(sink.bytes_, back, reason)) << reason;
    ASSERT_EQ(back.Width(), width);
    ASSERT_EQ(back.Height(), height);
    for (int32_t y = 0; y < height; ++y) {
      for (int32_t x = 0; x < width; ++x) {
        ASSERT_EQ(back.Pixel(x, y), pixels[y * width + x]) << width << ": " << x << "," << y;
      }
    }
  }
}

TEST(WriteBmp, WritesNothingForAnEmptyImage) {
  MemorySink sink;
  WriteBmp(sink, ConvertWorkingImage(WorkingImage(), 24));
  EXPECT_TRUE(sink.bytes_.empty());
}

// Failures
TEST(WriteBmp, TreatsAShortWriteAsAnError) {
  const ConvertedImage image = ConvertWorkingImage(test::ImageFrom(3, 2, test::AsymmetricPixels(3, 2)), 8);
  for (const size_t limit : {size_t{0}, size_t{53}, size_t{54}, size_t{1077}, size_t{1078 + 7}}) {
    FullDiskSink sink(limit);
    try {
      WriteBmp(sink, image);
      ADD_FAILURE() << "no error after " << limit << " bytes";
    } catch (const AppError& e) {
      EXPECT_STREQ(e.what(), kTextStreamWriteError);
    }
  }
}

// Regression: sizes were 32-bit, so a huge picture wrapped the size fields
// and wrote a corrupt file. They are computed in 64 bits and refused.
TEST(ComputeBmpLayout, RefusesFilesBeyondTheThirtyTwoBitSizeFields) {
  const BmpLayout largest = ComputeBmpLayout(1, (int64_t{UINT32_MAX} - 54) / 4, 24);
  EXPECT_LE(largest.fileSize, int64_t{UINT32_MAX});
  EXPECT_THROW(ComputeBmpLayout(1, (int64_t{UINT32_MAX} - 54) / 4 + 1, 24), AppError);
  EXPECT_THROW(ComputeBmpLayout(40000, 40000, 24), AppError);
  EXPECT_THROW(ComputeBmpLayout(int64_t{INT32_MAX} + 1, 1, 1), AppError);
  EXPECT_NO_THROW(ComputeBmpLayout(40000, 40000, 8));  // 1.6 GB fits
  try {
    ComputeBmpLayout(65536, 65536, 8);
    ADD_FAILURE();
  } catch (const AppError& e) {
    EXPECT_STREQ(e.what(), kTextImageTooLarge);
  }
}

// Saving through the file
class SaveImageFileTest : public testing::Test {
 protected:
  test::ScratchFolder folder_;
  TPicture picture_ = PictureFromPixels(7, 5, test::AsymmetricPixels(7, 5).data());
};

TEST_F(SaveImageFileTest, WritesEachBmpDepth) {
  const uint32_t expectedSizes[] = {62 + 4 * 5, 118 + 4 * 5, 1078 + 8 * 5, 54 + 24 * 5};
  for (int32_t depth = 0; depth < 4; ++depth) {
    ImageSaveSettings settings;
    settings.FileKind = 0;
    settings.BmpDepth = depth;
    const std::string path = folder_.File("out" + std::to_string(depth) + ".BMP");
    ASSERT_TRUE(SaveImageFile(path, picture_, settings));
    EXPECT_EQ(test::ReadAllBytes(path).size(), expectedSizes[depth]) << "depth " << depth;
  }
}

// The save draws, converts and writes a band of rows at a time; the files
// must be byte for byte those made from the whole working image.
TEST_F(SaveImageFileTest, WritesTheBytesOfTheWholeWorkingImage) {
  struct Size {
    int32_t width, height;
  };
  // One row, one band, a band and a row, several bands with a short last one.
  const Size sizes[] = {{1, 1}, {7, 5}, {3, 16}, {5, 17}, {37, 50}};
  std::vector<ImageSaveSettings> settings;
  for (int32_t depth = 0; depth < 4; ++depth) settings.push_back({0, depth, 1, 100});
  for (int32_t quality : {1, 75, 100}) {
    for (int32_t colour : {0, 1}) settings.push_back({1, 2, colour, quality});
  }
  for (const Size& size : sizes) {
    const TPicture picture =
        PictureFromPixels(size.width, size.height, test::AsymmetricPixels(size.width, size.height).data());
    for (const ImageSaveSettings& s : settings) {
      SCOPED_TRACE(testing::Message() << size.width << " x " << size.height << " kind " << s.FileKind
                                      << " depth " << s.BmpDepth << " colour " << s.JpegColor
                                      << " quality " << s.JpegQuality);
      const std::string path = folder_.File("bands");
      ASSERT_TRUE(SaveImageFile(path, picture, s));
      EXPECT_EQ(test::ReadAllBytes(path), test::FileFromWholeWorkingImage(picture, s));
    }
  }
}

TEST_F(SaveImageFileTest, TruncatesAnExistingFile) {
  const std::string path = folder_.File("old.BMP");
  { std::ofstream(path, std::ios::binary) << std::string(5000, 'x'); }
  ImageSaveSettings settings;
  settings.FileKind = 0;
  settings.BmpDepth = 0;
  ASSERT_TRUE(SaveImageFile(path, picture_, settings));
  EXPECT_EQ(test::ReadAllBytes(path).size(), 82u);
}

TEST_F(SaveImageFileTest, WritesAnEmptyFileForAnEmptyPicture) {
  const TPicture empty;
  for (const int32_t kind : {0, 1}) {
    ImageSaveSettings settings;
    settings.FileKind = kind;
    const std::string path = folder_.File("empty" + std::to_string(kind));
    ASSERT_TRUE(SaveImageFile(path, empty, settings));
    EXPECT_TRUE(std::filesystem::exists(path));
    EXPECT_EQ(std::filesystem::file_size(path), 0u);
  }
}

TEST_F(SaveImageFileTest, ReportsFalseForAMissingFolder) {
  for (const int32_t kind : {0, 1}) {
    ImageSaveSettings settings;
    settings.FileKind = kind;
    const std::string path = folder_.File("no-such-folder/out.BMP");
    EXPECT_FALSE(SaveImageFile(path, picture_, settings));
    EXPECT_FALSE(std::filesystem::exists(path));
  }
}


// A picture that only claims a size: no pixels exist, so nothing may be
// allocated for it before the size is refused.
class ClaimedSizePicture : public PictureData {
 public:
  ClaimedSizePicture(int32_t width, int32_t height) : width_(width), height_(height) {}
  PictureKind Kind() const override { return PictureKind::Metafile; }
  int32_t Width() const override { return width_; }
  int32_t Height() const override { return height_; }

 private:
  int32_t width_, height_;
};

// Regression: a picture whose file would exceed the format's 32-bit sizes,
// or whose pixels cannot be held, wrapped its sizes or crashed.
TEST_F(SaveImageFileTest, RefusesAPictureTooLargeBeforeAllocatingIt) {
  TPicture huge;
  huge.Assign(std::make_unique<ClaimedSizePicture>(100000, 100000));
  for (const int32_t kind : {0, 1}) {
    for (int32_t depth = 0; depth < 4; ++depth) {
      ImageSaveSettings settings;
      settings.FileKind = kind;
      settings.BmpDepth = depth;
      const std::string path = folder_.File("huge");
      try {
        SaveImageFile(path, huge, settings);
        ADD_FAILURE() << "kind " << kind << " depth " << depth << ": no error";
      } catch (const AppError& e) {
        EXPECT_STREQ(e.what(), kTextImageTooLarge) << "kind " << kind << " depth " << depth;
      }
      EXPECT_FALSE(std::filesystem::exists(path));
    }
  }
}

}  // namespace
}  // namespace zumorika
