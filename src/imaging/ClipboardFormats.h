// The clipboard formats that make a picture, and which of them wins.
#pragma once

#include <cstdint>

namespace zumorika {

// Values of the Win32 standard clipboard formats.
constexpr uint32_t kCfText = 1;
constexpr uint32_t kCfBitmap = 2;
constexpr uint32_t kCfMetafilePict = 3;
constexpr uint32_t kCfDib = 8;
constexpr uint32_t kCfPalette = 9;
constexpr uint32_t kCfEnhMetafile = 14;

// Only these three count; a device-independent bitmap counts through the
// CF_BITMAP the system synthesizes from it, a registered format never.
constexpr bool IsPictureFormat(uint32_t format) {
  return format == kCfMetafilePict || format == kCfEnhMetafile || format == kCfBitmap;
}

// The format to fetch for an offered picture format: an old-style metafile
// picture is taken through the system's conversion to an enhanced metafile.
constexpr uint32_t FetchFormatFor(uint32_t format) {
  return format == kCfMetafilePict ? kCfEnhMetafile : format;
}

// The first picture format in the clipboard's own order, or 0. `next`
// behaves like EnumClipboardFormats: next(0) is the first, 0 ends the list.
template <typename NextFormat>
uint32_t FirstPictureFormat(NextFormat next) {
  for (uint32_t format = next(0); format != 0; format = next(format)) {
    if (IsPictureFormat(format)) return format;
  }
  return 0;
}

}  // namespace zumorika
