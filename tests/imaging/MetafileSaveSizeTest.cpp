#include "imaging/MetafileSaveSize.h"

#include <gtest/gtest.h>

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
      {"64 million pixels at most", 566, 227, 999999, 12632, 5066},
      {"wide strip: its width held to 65500", 1000, 10, 10000, 65500, 655},
      {"tall strip: its height held to 65500", 10, 1000, 100, 655, 65500},
      {"already past the bounds: own size", 9000, 9000, 1000, 9000, 9000},
      {"zero-wide frame stays empty", 0, 227, 200, 0, 227},
      {"no width", 566, 227, 0, 566, 227},
      {"width that is no number", 566, 227, nan, 566, 227},
  };
  for (const Row& row : rows) {
    const PixelSize size = MetafileSaveSize(row.ownWidth, row.ownHeight, row.widthMm);
    EXPECT_EQ(size.width, row.width) << row.what;
    EXPECT_EQ(size.height, row.height) << row.what;
  }
}

}  // namespace
}  // namespace zumorika
