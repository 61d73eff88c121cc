// The clipboard formats that make a picture, and which of them wins.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace zumorika {

// Values of the Win32 standard clipboard formats.
constexpr uint32_t kCfText = 1;
constexpr uint32_t kCfBitmap = 2;
constexpr uint32_t kCfMetafilePict = 3;
constexpr uint32_t kCfDib = 8;
constexpr uint32_t kCfPalette = 9;
constexpr uint32_t kCfEnhMetafile = 14;
constexpr uint32_t kCfHdrop = 15;
constexpr uint32_t kCfDibV5 = 17;

// Only these three count as the picture itself; a device-independent
// bitmap counts through the CF_BITMAP the system synthesizes from it. Where
// none is offered, a registered PNG or a copied file may stand in.
constexpr bool IsPictureFormat(uint32_t format) {
  return format == kCfMetafilePict || format == kCfEnhMetafile || format == kCfBitmap;
}

// The format to fetch for an offered picture format: an old-style metafile
// picture is taken through the system's conversion to an enhanced metafile.
constexpr uint32_t FetchFormatFor(uint32_t format) {
  return format == kCfMetafilePict ? kCfEnhMetafile : format;
}

enum class PictureSourceKind { None, Bitmap, Metafile, Png, CopiedFile };

// Where the picture comes from, and the format to fetch it by.
struct PictureSource {
  PictureSourceKind kind = PictureSourceKind::None;
  uint32_t format = 0;
  // The picture format as the clipboard lists it (CF_METAFILEPICT where
  // `format` is the CF_ENHMETAFILE made from it); 0 for the other kinds.
  uint32_t offered = 0;
  // For a bitmap: the DIBs the source program itself placed before
  // CF_BITMAP (the system's synthesized ones follow their own source), in
  // the clipboard's order; 0 where none. Where there is one, it is the
  // picture (TakeOwnDib): CF_BITMAP is made from it, and has lost any
  // alpha it had.
  uint32_t ownDibs[2] = {0, 0};
};

// Chooses in the clipboard's own order: the first bitmap or metafile; else
// a registered PNG; else a list of copied files. `next` behaves like
// EnumClipboardFormats: next(0) is the first, 0 ends the list. `isPng`
// tells a registered format named "PNG" or "image/png".
template <typename NextFormat, typename IsPngFormat>
PictureSource ChoosePictureSource(NextFormat next, IsPngFormat isPng) {
  PictureSource source;
  uint32_t png = 0;
  bool copiedFiles = false;
  size_t dibs = 0;
  for (uint32_t format = next(0); format != 0; format = next(format)) {
    if (IsPictureFormat(format)) {
      source.kind = format == kCfBitmap ? PictureSourceKind::Bitmap : PictureSourceKind::Metafile;
      source.format = FetchFormatFor(format);
      source.offered = format;
      if (format != kCfBitmap) source.ownDibs[0] = source.ownDibs[1] = 0;
      return source;
    }
    if (format == kCfDibV5 || format == kCfDib) {
      if (dibs < 2) source.ownDibs[dibs++] = format;
    } else if (format == kCfHdrop) {
      copiedFiles = true;
    } else if (png == 0 && isPng(format)) {
      png = format;
    }
  }
  source.ownDibs[0] = source.ownDibs[1] = 0;
  if (png != 0) {
    source.kind = PictureSourceKind::Png;
    source.format = png;
  } else if (copiedFiles) {
    source.kind = PictureSourceKind::CopiedFile;
    source.format = kCfHdrop;
  }
  return source;
}

// Whether a registered format's name is one a PNG picture is placed under:
// "PNG" by browsers, "image/png" by Wine for a Linux program's picture.
bool IsPngFormatName(const std::string& name);

}  // namespace zumorika
