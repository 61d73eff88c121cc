#include "imaging/picture/MetafileSaveSize.h"

#include <gtest/gtest.h>

#include <limits>
#include <vector>

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


// Where the picture of print resolution finds no room, each smaller size
// is tried in turn, down to the own size.
TEST(MetafileSaveSize, FindsNoRoomForPrintResolutionThenTriesSmallerSizesDownToTheOwnSize) {
  struct Row {
    const char* what;
    int32_t ownWidth, ownHeight;
    PixelSize first;
    int64_t room;  // pixels: a larger picture finds no room
    std::vector<PixelSize> tried;
    bool played;
  };
  const Row rows[] = {
      {"room for print resolution", 566, 227, {12632, 5066}, 64'000'000, {{12632, 5066}}, true},
      {"room for a quarter", 566, 227, {12632, 5066}, 20'000'000,
       {{12632, 5066}, {6316, 2533}}, true},
      {"halved down to the own size", 566, 227, {12632, 5066}, 566 * 227,
       {{12632, 5066}, {6316, 2533}, {3158, 1267}, {1579, 633}, {789, 316}, {566, 227}}, true},
      {"half the width below the own size: the own size next", 1000, 500, {1500, 750}, 500'000,
       {{1500, 750}, {1000, 500}}, true},
      {"no room at all", 566, 227, {1132, 454}, 0, {{1132, 454}, {566, 227}}, false},
      {"no room at the own size: nothing smaller", 566, 227, {566, 227}, 0, {{566, 227}}, false},
  };
  for (const Row& row : rows) {
    std::vector<PixelSize> tried;
    PixelSize size = row.first;
    const bool played = PlayWhereThereIsRoom(row.ownWidth, row.ownHeight, size, [&](PixelSize s) {
      tried.push_back(s);
      return tried.size() < 40 && int64_t{s.width} * s.height <= row.room;
    });
    EXPECT_EQ(played, row.played) << row.what;
    ASSERT_EQ(tried.size(), row.tried.size()) << row.what;
    for (size_t i = 0; i < tried.size(); ++i) {
      EXPECT_EQ(tried[i].width, row.tried[i].width) << row.what << " " << i;
      EXPECT_EQ(tried[i].height, row.tried[i].height) << row.what << " " << i;
    }
    EXPECT_EQ(size.width, tried.back().width) << row.what;
  }
}

}  // namespace
}  // namespace zumorika
