#include "imaging/picture/MulDiv.h"

#include <gtest/gtest.h>

namespace zumorika {
namespace {

// Rounding
TEST(MulDiv, RoundsHalvesAwayFromZero) {
  EXPECT_EQ(MulDiv(5, 1, 2), 3);
  EXPECT_EQ(MulDiv(-5, 1, 2), -3);
  EXPECT_EQ(MulDiv(5, -1, 2), -3);
  EXPECT_EQ(MulDiv(5, 1, -2), -3);
  EXPECT_EQ(MulDiv(-5, 1, -2), 3);
  EXPECT_EQ(MulDiv(7, 1, 3), 2);    // 2.33
  EXPECT_EQ(MulDiv(8, 1, 3), 3);    // 2.67
  EXPECT_EQ(MulDiv(-8, 1, 3), -3);
}

TEST(MulDiv, KeepsTheProductInSixtyFourBits) {
  EXPECT_EQ(MulDiv(2000000000, 2000000000, 2000000000), 2000000000);
  EXPECT_EQ(MulDiv(INT32_MAX, INT32_MAX, INT32_MAX), INT32_MAX);
  EXPECT_EQ(MulDiv(-INT32_MAX, INT32_MAX, INT32_MAX), -INT32_MAX);
}

// Out of range, as GDI reports it
TEST(MulDiv, GivesMinusOneForZeroDivisorOrOverflow) {
  EXPECT_EQ(MulDiv(1, 1, 0), -1);
  EXPECT_EQ(MulDiv(INT32_MAX, 2, 1), -1);
  EXPECT_EQ(MulDiv(INT32_MIN, 1, 1), -1);
  EXPECT_EQ(MulDiv(INT32_MIN, -1, 1), -1);
}

// Metafile own size
TEST(MetafileOwnSize, ScalesTheFrameByTheReferenceDevice) {
  MetafileGeometry g;
  g.frameWidth = 10000;  // 100 mm on a 1024-pixel, 320 mm wide device
  g.frameHeight = 7500;
  g.devicePixelsX = 1024;
  g.devicePixelsY = 768;
  g.deviceMillimetresX = 320;
  g.deviceMillimetresY = 240;
  EXPECT_EQ(MetafileOwnWidth(g), 320);
  EXPECT_EQ(MetafileOwnHeight(g), 240);
}

TEST(MetafileOwnSize, IsZeroForAZeroFrame) {
  MetafileGeometry g{0, 500, 1024, 768, 320, 240};
  EXPECT_EQ(MetafileOwnWidth(g), 0);
  EXPECT_EQ(MetafileOwnHeight(g), 16);
}

// Regression: a header with zero millimetres or an inverted frame gave -1
// or a negative size, which flowed on as a picture width.
TEST(MetafileOwnSize, IsZeroRatherThanNegativeForABrokenHeader) {
  EXPECT_EQ(MetafileOwnWidth(MetafileGeometry{1000, 1000, 1024, 768, 0, 240}), 0);
  EXPECT_EQ(MetafileOwnWidth(MetafileGeometry{-1000, 1000, 1024, 768, 320, 240}), 0);
  EXPECT_EQ(MetafileOwnWidth(MetafileGeometry{1000, 1000, 1024, 768, INT32_MAX, 240}), 0);
  // A frame of 4 * 10^9 hundredths of a millimetre (past 2^31): 12800 pixels
  // on a device 1024 pixels and 3.2 km wide, past 32 bits on one 1 mm wide.
  EXPECT_EQ(MetafileOwnWidth(MetafileGeometry{4'000'000'000, 1000, 1024, 768, 3'200'000, 240}),
            12800);
  EXPECT_EQ(MetafileOwnWidth(MetafileGeometry{4'000'000'000, 1000, 1024, 768, 1, 240}), 0);
}

}  // namespace
}  // namespace zumorika
