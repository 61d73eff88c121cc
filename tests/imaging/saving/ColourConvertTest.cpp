#include "imaging/saving/ColourConvert.h"

#include <random>

#include <gtest/gtest.h>

#include "TestPictures.h"

namespace zumorika {
namespace {

using test::ImageFrom;
using test::Rgb;

uint32_t ColourOf(const RgbQuad& q) { return Rgb(q.red, q.green, q.blue); }

// Index of pixel x in a packed row of `bits` per pixel, leftmost pixel in the
// most significant bits.
int PackedIndex(const uint8_t* row, int x, int bits) {
  const int perByte = 8 / bits;
  const int shift = 8 - bits * (x % perByte + 1);
  return (row[x / perByte] >> shift) & ((1 << bits) - 1);
}

// Row stride
TEST(BmpRowStride, PadsEachRowToWholeWords) {
  EXPECT_EQ(BmpRowStride(640, 24), 1920);
  EXPECT_EQ(BmpRowStride(3, 4), 4);
  EXPECT_EQ(BmpRowStride(1, 1), 4);
  EXPECT_EQ(BmpRowStride(33, 1), 8);
  EXPECT_EQ(BmpRowStride(10, 8), 12);
  EXPECT_EQ(BmpRowStride(5, 24), 16);
  EXPECT_EQ(BmpRowStride(INT32_MAX, 24), 6442450944);  // no 32-bit wrap
}

// Monochrome
TEST(ConvertTo1Bit, OnlyExactWhiteStaysWhite) {
  const std::vector<uint32_t> pixels = {
      Rgb(255, 255, 255), Rgb(254, 255, 255), Rgb(255, 255, 254), Rgb(0, 0, 0),
      Rgb(255, 255, 255), Rgb(200, 200, 200), Rgb(255, 255, 255), Rgb(255, 255, 255),
      Rgb(255, 255, 255), Rgb(1, 2, 3),  // ninth and tenth pixel: a second byte
  };
  const ConvertedImage out = ConvertWorkingImage(ImageFrom(10, 1, pixels), 1);
  ASSERT_EQ(out.colourTable.size(), 2u);
  EXPECT_EQ(ColourOf(out.colourTable[0]), Rgb(0, 0, 0));
  EXPECT_EQ(ColourOf(out.colourTable[1]), Rgb(255, 255, 255));
  ASSERT_EQ(out.rows.size(), 4u);
  EXPECT_EQ(out.rows[0], 0b10001011);
  EXPECT_EQ(out.rows[1], 0b10000000);  // padding bits are zero
  EXPECT_EQ(out.rows[2], 0);
  EXPECT_EQ(out.rows[3], 0);
}

TEST(ConvertTo1Bit, StoresTheBottomRowFirst) {
  const std::vector<uint32_t> pixels = {Rgb(255, 255, 255), Rgb(0, 0, 0),   // top
                                        Rgb(0, 0, 0), Rgb(0, 0, 0),
                                        Rgb(0, 0, 0), Rgb(255, 255, 255)};  // bottom
  const ConvertedImage out = ConvertWorkingImage(ImageFrom(2, 3, pixels), 1);
  EXPECT_EQ(out.Row(0)[0], 0b01000000);
  EXPECT_EQ(out.Row(1)[0], 0);
  EXPECT_EQ(out.Row(2)[0], 0b10000000);
}

// 16 colours
TEST(ConvertTo4Bit, KeepsEveryTableColourExactly) {
  const auto& table = SixteenColourTable();
  std::vector<uint32_t> pixels;
  for (int i = 15; i >= 0; --i) pixels.push_back(ColourOf(table[i]));
  for (int i = 0; i < 5; ++i) pixels.push_back(ColourOf(table[(i * 7) % 16]));
  const int32_t width = 7, height = 3;  // 21 pixels: odd width, a half byte at each row's end
  const ConvertedImage out = ConvertWorkingImage(ImageFrom(width, height, pixels), 4);
  ASSERT_EQ(out.colourTable.size(), 16u);
  for (int i = 0; i < 16; ++i) EXPECT_EQ(ColourOf(out.colourTable[i]), ColourOf(table[i]));
  for (int32_t y = 0; y < height; ++y) {
    const uint8_t* row = out.Row(height - 1 - y);
    for (int32_t x = 0; x < width; ++x) {
      EXPECT_EQ(ColourOf(table[PackedIndex(row, x, 4)]), pixels[y * width + x])
          << "pixel " << x << "," << y;
    }
    EXPECT_EQ(row[3] & 0x0F, 0) << "padding nibble of row " << y;
  }
}

TEST(SixteenColourTable, IsTheListedTable) {
  const auto& t = SixteenColourTable();
  EXPECT_EQ(ColourOf(t[1]), Rgb(128, 0, 0));  // dark red: index 1, not dark blue
  EXPECT_EQ(ColourOf(t[4]), Rgb(0, 0, 128));
  EXPECT_EQ(ColourOf(t[8]), Rgb(192, 192, 192));
  EXPECT_EQ(ColourOf(t[9]), Rgb(255, 0, 0));
  EXPECT_EQ(ColourOf(t[12]), Rgb(0, 0, 255));
  EXPECT_EQ(ColourOf(t[15]), Rgb(255, 255, 255));
}

// Nearest colour
TEST(NearestColourIndex, AgreesWithBruteForceOnRandomColours) {
  std::mt19937 random(12345);
  const auto halftone = HalftonePalette();
  std::vector<std::vector<RgbQuad>> tables = {
      std::vector<RgbQuad>(halftone.begin(), halftone.end()),
      std::vector<RgbQuad>(SixteenColourTable().begin(), SixteenColourTable().end())};
  // A random table with duplicates and near-duplicates, so ties happen.
  std::vector<RgbQuad> randomTable;
  for (int i = 0; i < 256; ++i) {
    const uint32_t c = random() & 0xE0E0E0;
    randomTable.push_back(MakeRgbQuad(c >> 16, (c >> 8) & 0xFF, c & 0xFF));
  }
  tables.push_back(randomTable);
  for (const auto& table : tables) {
    NearestColourIndex index(table.data(), table.size());
    for (int i = 0; i < 200000; ++i) {
      // Every few colours repeat the previous one, through the cache.
      const uint32_t colour = (i % 7 == 3) ? (random() & 0xF0F0F0) : (random() & 0xFFFFFF);
      ASSERT_EQ(index.Find(colour), NearestColourBruteForce(table.data(), table.size(), colour))
          << "colour " << std::hex << colour << " table size " << std::dec << table.size();
    }
  }
}

TEST(NearestColourIndex, ChoosesTheLowestIndexOnATie) {
  const RgbQuad table[] = {MakeRgbQuad(10, 0, 0), MakeRgbQuad(0, 0, 0), MakeRgbQuad(0, 0, 0),
                           MakeRgbQuad(20, 0, 0)};
  NearestColourIndex index(table, 4);
  EXPECT_EQ(index.Find(Rgb(5, 0, 0)), 0);   // equally far from 0 and 10
  EXPECT_EQ(index.Find(Rgb(0, 0, 0)), 1);   // duplicates: the first
  EXPECT_EQ(index.Find(Rgb(15, 0, 0)), 0);  // 10 and 20 tie
}

// 256 colours
TEST(HalftonePalette, HoldsBlackAndWhite) {
  const auto palette = HalftonePalette();
  bool black = false, white = false;
  for (const RgbQuad& q : palette) {
    black |= ColourOf(q) == Rgb(0, 0, 0);
    white |= ColourOf(q) == Rgb(255, 255, 255);
  }
  EXPECT_TRUE(black);
  EXPECT_TRUE(white);
}

TEST(ConvertTo8Bit, MapsEachPixelToItsNearestPaletteEntry) {
  const int32_t width = 5, height = 3;
  const auto pixels = test::AsymmetricPixels(width, height);
  const ConvertedImage out = ConvertWorkingImage(ImageFrom(width, height, pixels), 8);
  const auto palette = HalftonePalette();
  ASSERT_EQ(out.colourTable.size(), 256u);
  ASSERT_EQ(out.rows.size(), 8u * height);
  for (int32_t y = 0; y < height; ++y) {
    for (int32_t x = 0; x < width; ++x) {
      EXPECT_EQ(out.Row(height - 1 - y)[x],
                NearestColourBruteForce(palette.data(), 256, pixels[y * width + x]));
    }
  }
  const uint8_t* top = out.Row(height - 1);
  EXPECT_EQ(ColourOf(out.colourTable[top[0]]), Rgb(255, 0, 0));
  EXPECT_EQ(ColourOf(out.colourTable[out.Row(0)[width - 1]]), Rgb(0, 0, 255));
}

// True colour
TEST(ConvertTo24Bit, StoresBlueGreenRedBottomUpExactly) {
  const int32_t width = 3, height = 2;
  const auto pixels = test::AsymmetricPixels(width, height);
  const ConvertedImage out = ConvertWorkingImage(ImageFrom(width, height, pixels), 24);
  EXPECT_TRUE(out.colourTable.empty());
  ASSERT_EQ(out.rows.size(), 24u);
  for (int32_t y = 0; y < height; ++y) {
    const uint8_t* row = out.Row(height - 1 - y);
    for (int32_t x = 0; x < width; ++x) {
      const uint32_t p = pixels[y * width + x];
      EXPECT_EQ(row[3 * x + 0], p & 0xFF);
      EXPECT_EQ(row[3 * x + 1], (p >> 8) & 0xFF);
      EXPECT_EQ(row[3 * x + 2], (p >> 16) & 0xFF);
    }
    for (int i = 9; i < 12; ++i) EXPECT_EQ(row[i], 0) << "padding";
  }
  // Top-left red lands in the last stored row, red byte third.
  EXPECT_EQ(out.Row(1)[2], 255);
  EXPECT_EQ(out.Row(1)[0], 0);
}

}  // namespace
}  // namespace zumorika
