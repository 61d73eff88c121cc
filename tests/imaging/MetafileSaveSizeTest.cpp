#include "imaging/MetafileSaveSize.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace zumorika {
namespace {

TEST(MetafileSaveSize, PlaysAtPrintResolutionWithinItsBounds) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  struct Row {
    const char* what;
    int32_t ownWidth, ownHeight;
    double widthMm;
    int32_t width, height;
  };
  const Row rows[] = {
      {"a 150 x 60 mm table pasted 200 mm wide", 566, 227, 200, 2362, 947},
      {"height's half rounds up (590.5)", 320, 160, 100, 1181, 591},
      {"narrow paste keeps the own size", 566, 227, 40, 566, 227},
      {"exactly the own width", 2362, 100, 200, 2362, 100},
      {"64 million pixels at most", 566, 227, 999999, 12632, 5066},
      {"a tiny picture pasted wide", 3, 1, 999999, 13855, 4618},
      {"wide strip: its width held to 65500", 1000, 10, 10000, 65500, 655},
      {"tall strip: its height held to 65500", 10, 1000, 100, 655, 65500},
      {"already past the bounds: own size", 9000, 9000, 1000, 9000, 9000},
      {"zero-wide frame stays empty", 0, 227, 200, 0, 227},
      {"zero-high frame stays empty", 566, 0, 200, 566, 0},
      {"no width", 566, 227, 0, 566, 227},
      {"negative width", 566, 227, -200, 566, 227},
      {"width that is no number", 566, 227, nan, 566, 227},
      {"infinite width", 566, 227, HUGE_VAL, 12632, 5066},
  };
  for (const Row& row : rows) {
    const PixelSize size = MetafileSaveSize(row.ownWidth, row.ownHeight, row.widthMm);
    EXPECT_EQ(size.width, row.width) << row.what;
    EXPECT_EQ(size.height, row.height) << row.what;
  }
}

// The cap is the widest that fits: one pixel wider would pass a bound.
TEST(MetafileSaveSize, TakesTheWidestSizeThatFits) {
  const struct { int32_t w, h; double mm; } cases[] = {
      {566, 227, 999999}, {1000, 10, 10000}, {10, 1000, 100}, {7, 3, 50000}};
  for (const auto& c : cases) {
    const PixelSize size = MetafileSaveSize(c.w, c.h, c.mm);
    EXPECT_LE(int64_t{size.width} * size.height, kMaxMetafileSavePixels);
    const int64_t wider = size.width + 1;
    const int64_t widerHeight = (int64_t{c.h} * wider + c.w / 2) / c.w;
    EXPECT_TRUE(wider > kMaxMetafileSaveSide || widerHeight > kMaxMetafileSaveSide ||
                wider * widerHeight > kMaxMetafileSavePixels)
        << c.w << " x " << c.h;
  }
}

}  // namespace
}  // namespace zumorika
