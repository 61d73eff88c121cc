#include "imaging/clipboard/MetafilePictSize.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

namespace zumorika {
namespace {

// A Windows metafile: the 18-byte header, `records` (each its length in
// words, function and parameters, as 16-bit words), the end record.
std::vector<uint8_t> Wmf(const std::vector<std::vector<uint16_t>>& records) {
  std::vector<uint16_t> words = {1, 9, 0x300, 0, 0, 0, 0, 0, 0};
  for (const auto& record : records) words.insert(words.end(), record.begin(), record.end());
  words.insert(words.end(), {3, 0, 0});
  std::vector<uint8_t> bytes;
  for (uint16_t w : words) bytes.insert(bytes.end(), {static_cast<uint8_t>(w), static_cast<uint8_t>(w >> 8)});
  return bytes;
}

// An old-style metafile picture that gives no size of its own gets one:
// 100 mm on its longer side, its ratio from negative extents, else from
// its window extent, else square.
TEST(MetafilePictSize, GivesAPictureWithoutSizeItsRatioAtOneHundredMillimetres) {
  const std::vector<uint16_t> windowExt2To1 = {5, 0, 0x020C, 500, 1000};  // y, then x
  const std::vector<uint16_t> windowExtNegative = {5, 0, 0x020C, 0xFC18, 0xFE0C};  // -1000, -500
  const std::vector<uint16_t> windowExtZero = {5, 0, 0x020C, 0, 1000};
  const std::vector<uint16_t> rectangle = {7, 0, 0x041B, 50, 100, 0, 0};
  const std::vector<uint16_t> tooLong = {0xFFFF, 0xFFFF, 0x020C, 500, 1000};
  struct Row {
    const char* what;
    int32_t mm, xExt, yExt;
    std::vector<std::vector<uint16_t>> records;
    bool needsSize;
    int32_t width, height;
  };
  const Row rows[] = {
      {"a suggested size is kept", 8, 2000, 1000, {windowExt2To1}, false, 0, 0},
      {"a fixed mapping mode is kept", 1, -2, -1, {}, false, 0, 0},
      {"isotropic 2:1 ratio", 7, -2, -1, {windowExtZero}, true, 10000, 5000},
      {"anisotropic 1:3 ratio", 8, -1000, -3000, {}, true, 3333, 10000},
      {"zero extents: the window extent's ratio", 8, 0, 0, {rectangle, windowExt2To1}, true,
       10000, 5000},
      {"a negative window extent counts by its size", 8, 0, 0, {windowExtNegative}, true, 5000,
       10000},
      {"a window extent with a zero side is passed over", 8, 0, 0,
       {windowExtZero, windowExt2To1}, true, 10000, 5000},
      {"one extent negative, one zero: the window extent", 8, -5, 0, {windowExt2To1}, true, 10000,
       5000},
      {"no window extent: square", 8, 0, 0, {rectangle}, true, 10000, 10000},
      {"a record past the end is not read", 8, 0, 0, {tooLong}, true, 10000, 10000},
      {"a long strip keeps a 1 mm side", 8, -100000, -1, {}, true, 10000, 100},
      {"the most negative extents", 8, INT32_MIN, INT32_MIN / 2, {}, true, 10000, 5000},
  };
  for (const Row& row : rows) {
    EXPECT_EQ(NeedsSuggestedSize(row.mm, row.xExt, row.yExt), row.needsSize) << row.what;
    if (!row.needsSize) continue;
    const std::vector<uint8_t> wmf = Wmf(row.records);
    const HimetricSize size = SuggestedSizeFor(row.xExt, row.yExt, wmf.data(), wmf.size());
    EXPECT_EQ(size.width, row.width) << row.what;
    EXPECT_EQ(size.height, row.height) << row.what;
  }
  // A header cut short or a length that points nowhere: square, nothing read.
  const std::vector<uint8_t> wmf = Wmf({windowExt2To1});
  for (size_t cut : {size_t{0}, size_t{3}, size_t{18}, size_t{25}}) {
    const HimetricSize size = SuggestedSizeFor(0, 0, wmf.data(), cut);
    EXPECT_EQ(size.width, 10000) << cut;
    EXPECT_EQ(size.height, 10000) << cut;
  }
}

}  // namespace
}  // namespace zumorika
