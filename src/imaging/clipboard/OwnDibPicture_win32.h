// The picture made from a DIB that the source program placed on the
// clipboard itself, kept at the DIB's own depth: no bitmap of the display's
// depth is made, and CF_BITMAP is not asked for.
#pragma once

#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <memory>

#include "imaging/picture/GdiHandles_win32.h"
#include "imaging/picture/PictureData_win32.h"
#include "imaging/decoding/PictureDecoding.h"

namespace zumorika {

// A copy of the DIB (`layout` read from it by ReadPackedDib) as a DIB
// section: the same depth, colour table or masks and row order for an
// uncompressed DIB; 24 bits for a run-length one, whose pixels GDI unpacks
// as it does for the system's CF_BITMAP from the bytes of runs the layout
// found in the block (pixels the runs skip or never reach stay black);
// a top-down 32-bit section composed on white for one whose alpha means
// something. `palette` is the offered CF_PALETTE's copy, kept for drawing.
// Null when GDI holds no section of this kind (the caller takes CF_BITMAP,
// which the system makes, or refuses, the same way). Raises AppError when
// GDI cannot make the section.
std::unique_ptr<GdiBitmapPicture> PictureFromOwnDib(const PackedDib& layout,
                                                    UniqueHpalette palette);

}  // namespace zumorika
