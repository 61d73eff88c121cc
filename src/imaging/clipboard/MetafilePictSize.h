// The size an old-style metafile picture (CF_METAFILEPICT) is converted at
// when its METAFILEPICT gives none: scalable mapping modes may give only an
// aspect ratio (negative extents) or nothing at all (zero extents), and the
// system's conversion would then fill the whole screen with it.
#pragma once

#include <cstddef>
#include <cstdint>

namespace zumorika {

// A size in hundredths of a millimetre (MM_HIMETRIC), as METAFILEPICT's
// extents give a suggested size.
struct HimetricSize {
  int32_t width = 0;
  int32_t height = 0;
};

// Such a picture's longer side: 100 mm, the width a paste has by default.
constexpr int32_t kUnsizedPictureLongSide = 10000;
// Its shorter side is at least 1 mm (a few pixels on screen), so that a
// very long strip still has a picture.
constexpr int32_t kUnsizedPictureShortSide = 100;

// Values of the Win32 mapping modes METAFILEPICT.mm may hold.
constexpr int32_t kMmIsotropic = 7;
constexpr int32_t kMmAnisotropic = 8;

// Whether a METAFILEPICT of mapping mode `mm` and extents xExt, yExt gives
// no size of its own: a scalable mode (MM_ISOTROPIC, MM_ANISOTROPIC) with
// an extent that is not positive. Every other picture is converted by the
// system as it gives itself.
bool NeedsSuggestedSize(int32_t mm, int32_t xExt, int32_t yExt);

// The size such a picture is converted at: its aspect ratio from negative
// extents (their magnitudes only give the ratio), else from the first
// window extent its records set (META_SETWINDOWEXT, read from the Windows
// metafile's `size` bytes and never past them), else square; the longer side
// kUnsizedPictureLongSide, the shorter one by the ratio (to the nearest
// hundredth, halves up), at least kUnsizedPictureShortSide.
HimetricSize SuggestedSizeFor(int32_t xExt, int32_t yExt, const uint8_t* wmf, size_t size);

}  // namespace zumorika
