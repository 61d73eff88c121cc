// How many pixels a metafile is played into when it is saved: lines and
// text are drawn at the resolution the paste will be printed at, not at the
// size the picture had on the screen it was copied from.
#pragma once

#include <cstdint>

namespace zumorika {

struct PixelSize {
  int32_t width = 0;
  int32_t height = 0;
};

// Print resolution of a saved metafile, in dots per inch of paper.
constexpr double kMetafileSaveDpi = 300;
// At most this many pixels (256 MB as a 32-bit image): a wider paste is
// played at a lower resolution.
constexpr int64_t kMaxMetafileSavePixels = 64'000'000;
// Nor a side longer than the JPEG format holds, so that a paste that saves
// at its own size today never fails for being enlarged.
constexpr int32_t kMaxMetafileSaveSide = 65500;

// The size a metafile of `ownWidth` x `ownHeight` pixels is played into for
// a paste `widthMm` paper millimetres wide: round(widthMm / 25.4 x 300)
// pixels wide, as high as its own proportions give (own height x width /
// own width, to the nearest pixel with halves up, the rounding of its own
// size), lowered until both bounds above hold. Never smaller than its own
// size: a narrow paste, a size that cannot be computed (a width that is no
// positive number) and a picture already past the bounds keep the own size;
// an own size with a 0 side stays empty.
PixelSize MetafileSaveSize(int32_t ownWidth, int32_t ownHeight, double widthMm);

// The next size to play a metafile at when a picture of `size` pixels could
// not be made (no room for up to 256 MB at once): half as wide, as high as
// its own proportions give (rounded as above), but never below its own
// size. False, and `size` as it was, when `size` is already the own size or
// smaller: nothing smaller is tried.
bool SmallerMetafileSaveSize(int32_t ownWidth, int32_t ownHeight, PixelSize& size);

// Plays a metafile by `play(size)`, which gives false where it finds no
// room for a picture of that size; then at each smaller size in turn
// (SmallerMetafileSaveSize) down to the own size. True with `size` the size
// played at; false when even the own size found no room.
template <typename Play>
bool PlayWhereThereIsRoom(int32_t ownWidth, int32_t ownHeight, PixelSize& size, Play play) {
  for (;;) {
    if (play(size)) return true;
    if (!SmallerMetafileSaveSize(ownWidth, ownHeight, size)) return false;
  }
}

}  // namespace zumorika
