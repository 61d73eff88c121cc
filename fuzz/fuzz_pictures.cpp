// Pictures that arrive as bytes: the first byte picks the reader (a
// clipboard DIB, or a PNG, BMP or JPEG file), the rest is its data. Every
// reader either refuses or gives an image of the size it claims; none reads
// outside the data (AddressSanitizer watches). What the tool hands GDI is
// read inside GDI, where the sanitizer cannot look: those spans are held
// to Microsoft's rules (GdiDibSpans.h) and to the data's size instead.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "GdiDibSpans.h"
#include "imaging/decoding/PictureDecoding.h"
#include "util/AppError.h"

using namespace zumorika;

namespace {

// A DIB the layout accepts: every span the tool reads itself or gives GDI
// (colour table, bits or runs) lies inside the data and where GDI finds it.
void CheckGdiSpans(const uint8_t* data, size_t size, const PackedDib& dib) {
  fuzz::GdiDibSpans gdi;
  if (!fuzz::GdiSpansOf(data, size, gdi)) std::abort();
  const size_t bitsAt = static_cast<size_t>(dib.pixels - data);
  if (dib.pixels < data || !fuzz::Inside(bitsAt, dib.pixelBytes, size)) std::abort();
  const size_t tableAt = static_cast<size_t>(dib.colourTable - data);
  if (dib.colourTable != nullptr &&
      (dib.colourTable < data ||
       !fuzz::Inside(tableAt, uint64_t{dib.colourEntries} * dib.colourEntrySize, size))) {
    std::abort();
  }
  if (!gdi.runLength && (dib.stride != gdi.rowBytes || dib.pixelBytes != gdi.bitsBytes)) {
    std::abort();
  }
  if (!gdi.known) return;
  if (dib.colourTable != nullptr &&
      (tableAt != gdi.tableAt || dib.colourEntries != gdi.tableEntries)) {
    std::abort();
  }
  // The one place the tool parts from GDI: masks written again after a
  // header that holds them, the bytes right there.
  const bool masksRepeated = dib.compression == 3 && bitsAt == gdi.bitsAt + 12 &&
                             std::memcmp(data + gdi.bitsAt, data + 40, 12) == 0;
  if (bitsAt != gdi.bitsAt && !masksRepeated) std::abort();
  // Runs: never more than biSizeImage when the data holds that many.
  if (gdi.runLength && gdi.bitsBytes != 0 && fuzz::Inside(gdi.bitsAt, gdi.bitsBytes, size) &&
      dib.pixelBytes > gdi.bitsBytes) {
    std::abort();
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  const uint8_t reader = data[0] % 4;
  const uint8_t* bytes = data + 1;
  const size_t length = size - 1;
  WorkingImage image;
  std::string reason;
  try {
    bool read = false;
    switch (reader) {
      case 0: {
        read = ComposeTransparentDib(bytes, length, image);
        // The same DIB read in place, as a program's own DIB is kept: its
        // rows lie inside the data, and one with alpha composes in full.
        PackedDib dib;
        if (ReadPackedDib(bytes, length, dib, reason)) {
          CheckGdiSpans(bytes, length, dib);
          if (dib.alpha != DibAlpha::Opaque) {
            CheckWorkingImageSize(dib.width, dib.height);
            WorkingImage composed = WorkingImage::ToBeFilled(dib.width, dib.height);
            ComposeDibRows(dib, composed.Row(0), static_cast<size_t>(dib.width));
          }
        }
        reason.clear();
        break;
      }
      case 1: read = DecodePng(bytes, length, image, reason); break;
      case 2: read = DecodeBmpFile(bytes, length, image, reason); break;
      default: read = DecodeJpeg(bytes, length, image, reason); break;
    }
    if (read && (image.Width() <= 0 || image.Height() <= 0)) std::abort();
    if (!read && reader != 0 && reason.empty()) std::abort();
    // Touch every pixel: a short image would show here.
    uint32_t sum = 0;
    for (int32_t y = 0; y < image.Height(); ++y) {
      for (int32_t x = 0; x < image.Width(); ++x) sum += image.Pixel(x, y);
    }
    volatile uint32_t sink = sum;
    (void)sink;
  } catch (const AppError&) {
    // "too large": a size claimed beyond what a working image holds
  }
  return 0;
}
