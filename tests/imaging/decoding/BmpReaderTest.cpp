#include "imaging/decoding/BmpReader.h"

#include <gtest/gtest.h>

#include "TestPictures.h"

namespace zumorika {
namespace {

using test::Rgb;

void Put32(std::vector<uint8_t>& b, size_t at, uint32_t v) {
  for (int i = 0; i < 4; ++i) b[at + i] = static_cast<uint8_t>(v >> (8 * i));
}

// A 2 x 2 file of `bits` per pixel, red top-left, blue bottom-right.
std::vector<uint8_t> TinyBmp(int bits, bool topDown, uint32_t compression = 0) {
  const size_t offset = compression == 3 ? 66 : 54;
  const size_t stride = (2 * bits + 31) / 32 * 4;
  std::vector<uint8_t> b(offset + 2 * stride, 0);
  b[0] = 'B';
  b[1] = 'M';
  Put32(b, 10, static_cast<uint32_t>(offset));
  Put32(b, 14, 40);
  Put32(b, 18, 2);
  Put32(b, 22, topDown ? static_cast<uint32_t>(-2) : 2u);
  b[26] = 1;
  b[28] = static_cast<uint8_t>(bits);
  Put32(b, 30, compression);
  if (compression == 3) {
    Put32(b, 54, 0x00FF0000);
    Put32(b, 58, 0x0000FF00);
    Put32(b, 62, 0x000000FF);
  }
  const uint32_t top[2] = {Rgb(255, 0, 0), Rgb(1, 2, 3)};
  const uint32_t bottom[2] = {Rgb(4, 5, 6), Rgb(0, 0, 255)};
  for (int y = 0; y < 2; ++y) {
    const uint32_t* row = y == 0 ? top : bottom;
    const size_t stored = topDown ? y : 1 - y;
    for (int x = 0; x < 2; ++x) {
      uint8_t* p = b.data() + offset + stored * stride + x * (bits / 8);
      p[0] = row[x] & 0xFF;
      p[1] = (row[x] >> 8) & 0xFF;
      p[2] = (row[x] >> 16) & 0xFF;
    }
  }
  return b;
}

void ExpectTinyPixels(const std::vector<uint8_t>& file) {
  WorkingImage image;
  std::string reason;
  ASSERT_TRUE(ReadBmpPixels(file, image, reason)) << reason;
  ASSERT_EQ(image.Width(), 2);
  ASSERT_EQ(image.Height(), 2);
  EXPECT_EQ(image.Pixel(0, 0), Rgb(255, 0, 0));
  EXPECT_EQ(image.Pixel(1, 0), Rgb(1, 2, 3));
  EXPECT_EQ(image.Pixel(0, 1), Rgb(4, 5, 6));
  EXPECT_EQ(image.Pixel(1, 1), Rgb(0, 0, 255));
}

TEST(ReadBmpPixels, ReadsBothRowOrdersAndDepths) {
  ExpectTinyPixels(TinyBmp(24, false));
  ExpectTinyPixels(TinyBmp(24, true));
  ExpectTinyPixels(TinyBmp(32, false));
  ExpectTinyPixels(TinyBmp(32, true, 3));
}

TEST(ReadBmpPixels, RejectsWhatItCannotRead) {
  WorkingImage image;
  std::string reason;
  auto truncated = TinyBmp(24, false);
  truncated.pop_back();
  EXPECT_FALSE(ReadBmpPixels(truncated, image, reason));
  auto eightBit = TinyBmp(24, false);
  eightBit[28] = 8;
  EXPECT_FALSE(ReadBmpPixels(eightBit, image, reason));
  auto swappedFields = TinyBmp(32, false, 3);
  Put32(swappedFields, 54, 0x000000FF);
  EXPECT_FALSE(ReadBmpPixels(swappedFields, image, reason));
  auto zeroWidth = TinyBmp(24, false);
  Put32(zeroWidth, 18, 0);
  EXPECT_FALSE(ReadBmpPixels(zeroWidth, image, reason));
  EXPECT_FALSE(ReadBmpPixels({'B', 'M'}, image, reason));
  EXPECT_FALSE(reason.empty());
}

}  // namespace
}  // namespace zumorika
