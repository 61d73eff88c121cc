#include "imaging/clipboard/MetafilePictSize.h"

#include <algorithm>

namespace zumorika {

namespace {

// A Windows metafile: a header whose second word gives its own length in
// words, then records of a 32-bit length in words, a 16-bit function and
// its parameters.
constexpr size_t kHeaderSizeAt = 2;
constexpr size_t kRecordHead = 6;
constexpr uint16_t kMetaEof = 0x0000;
constexpr uint16_t kMetaSetWindowExt = 0x020C;  // parameters: y extent, then x extent

uint16_t Word(const uint8_t* at) { return static_cast<uint16_t>(at[0] | at[1] << 8); }

uint32_t DoubleWord(const uint8_t* at) {
  return Word(at) | static_cast<uint32_t>(Word(at + 2)) << 16;
}

// The first window extent with both sides non-zero, as magnitudes; false
// when the records set none.
bool FirstWindowExtent(const uint8_t* wmf, size_t size, int64_t& x, int64_t& y) {
  if (wmf == nullptr || size < kHeaderSizeAt + 2) return false;
  size_t at = size_t{Word(wmf + kHeaderSizeAt)} * 2;
  while (at <= size && size - at >= kRecordHead) {
    const uint64_t length = uint64_t{DoubleWord(wmf + at)} * 2;
    const uint16_t function = Word(wmf + at + 4);
    if (length < kRecordHead || length > size - at || function == kMetaEof) return false;
    if (function == kMetaSetWindowExt && length >= kRecordHead + 4) {
      y = static_cast<int16_t>(Word(wmf + at + kRecordHead));
      x = static_cast<int16_t>(Word(wmf + at + kRecordHead + 2));
      if (x != 0 && y != 0) {
        x = x < 0 ? -x : x;
        y = y < 0 ? -y : y;
        return true;
      }
    }
    at += static_cast<size_t>(length);
  }
  return false;
}

// short x long / longer side of the ratio, halves up, within the bounds.
int32_t ShortSide(int64_t shorter, int64_t longer) {
  const int64_t side = (shorter * kUnsizedPictureLongSide + longer / 2) / longer;
  return static_cast<int32_t>(std::max<int64_t>(side, kUnsizedPictureShortSide));
}

}  // namespace

bool NeedsSuggestedSize(int32_t mm, int32_t xExt, int32_t yExt) {
  return (mm == kMmIsotropic || mm == kMmAnisotropic) && (xExt <= 0 || yExt <= 0);
}

HimetricSize SuggestedSizeFor(int32_t xExt, int32_t yExt, const uint8_t* wmf, size_t size) {
  int64_t x = 1, y = 1;
  if (xExt < 0 && yExt < 0) {
    x = -int64_t{xExt};
    y = -int64_t{yExt};
  } else if (!FirstWindowExtent(wmf, size, x, y)) {
    x = y = 1;
  }
  if (x >= y) return HimetricSize{kUnsizedPictureLongSide, ShortSide(y, x)};
  return HimetricSize{ShortSide(x, y), kUnsizedPictureLongSide};
}

}  // namespace zumorika
