#include "imaging/clipboard/OwnDibPicture_win32.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace zumorika {

namespace {

// The header GDI is given, made here rather than passed on from the
// clipboard's block, so that GDI reads nothing the layout did not check:
// BITMAPINFOHEADER, then the three masks or the colour table (RGBQUAD, also
// after a BITMAPCOREHEADER's three-byte entries). `runBytes` is the length
// of run-length bits (biSizeImage), 0 for uncompressed ones.
std::vector<uint8_t> GdiInfo(const PackedDib& layout, DWORD compression, size_t runBytes) {
  const uint32_t entries = std::min(layout.colourEntries, 256u);
  std::vector<uint8_t> storage(sizeof(BITMAPINFOHEADER) + 256 * sizeof(RGBQUAD));
  auto* info = reinterpret_cast<BITMAPINFO*>(storage.data());
  info->bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  info->bmiHeader.biWidth = layout.width;
  info->bmiHeader.biHeight = layout.topDown ? -layout.height : layout.height;
  info->bmiHeader.biPlanes = 1;
  info->bmiHeader.biBitCount = static_cast<WORD>(layout.bits);
  info->bmiHeader.biCompression = compression;
  info->bmiHeader.biSizeImage = static_cast<DWORD>(runBytes);
  info->bmiHeader.biClrUsed = entries;
  if (compression == BI_BITFIELDS) {
    const DWORD masks[3] = {layout.redMask, layout.greenMask, layout.blueMask};
    std::memcpy(info->bmiColors, masks, sizeof masks);
  }
  for (uint32_t i = 0; i < entries; ++i) {
    const uint8_t* entry = layout.colourTable + size_t{i} * layout.colourEntrySize;
    info->bmiColors[i] = RGBQUAD{entry[0], entry[1], entry[2], 0};
  }
  return storage;
}

// The header of a section holding the DIB's own pixels.
std::vector<uint8_t> SectionInfo(const PackedDib& layout) {
  return GdiInfo(layout, layout.compression == BI_BITFIELDS ? BI_BITFIELDS : BI_RGB, 0);
}

struct Section {
  UniqueHbitmap bitmap;
  uint8_t* bits = nullptr;
};

Section CreateSection(const BITMAPINFO* info) {
  WindowDc screen(nullptr);
  Section section;
  void* bits = nullptr;
  section.bitmap.reset(CreateDIBSection(screen.get(), info, DIB_RGB_COLORS, &bits, nullptr, 0));
  if (!section.bitmap || bits == nullptr) RaiseSystemError(GetLastError());
  section.bits = static_cast<uint8_t*>(bits);
  return section;
}

DibSectionPicture::Rows RowsOf(const Section& section, const PackedDib& layout, int bits,
                               bool topDown) {
  const size_t stride = (static_cast<size_t>(layout.width) * bits + 31) / 32 * 4;
  return DibSectionPicture::Rows{section.bits, stride, topDown};
}

std::unique_ptr<GdiBitmapPicture> Composed(const PackedDib& layout, UniqueHpalette palette) {
  WindowDc screen(nullptr);
  void* bits = nullptr;
  UniqueHbitmap dib = CreateTopDownDib32(screen.get(), layout.width, layout.height, &bits);
  ComposeDibRows(layout, static_cast<uint32_t*>(bits), static_cast<size_t>(layout.width));
  const DibSectionPicture::Rows rows{static_cast<const uint8_t*>(bits),
                                     static_cast<size_t>(layout.width) * sizeof(uint32_t), true};
  return std::make_unique<DibSectionPicture>(std::move(dib), std::move(palette), layout.width,
                                             layout.height, 32, rows);
}

// GDI unpacks the runs into a 24-bit section, as it does into the bitmap it
// makes for CF_BITMAP. It reads biSizeImage bytes of runs: it is given the
// length the layout found inside the block, never the block's own field.
// Pixels the runs do not reach stay as the section was created, black, as
// GDI leaves skipped pixels; so do all of them when there are no runs or
// GDI refuses them. Falling back to CF_BITMAP instead would have the system
// read the block by its own, unchecked, length.
std::unique_ptr<GdiBitmapPicture> RunLength(const PackedDib& layout, UniqueHpalette palette) {
  PackedDib unpacked = layout;
  unpacked.bits = 24;
  unpacked.compression = BI_RGB;
  unpacked.colourEntries = 0;
  const std::vector<uint8_t> info = SectionInfo(unpacked);
  Section section = CreateSection(reinterpret_cast<const BITMAPINFO*>(info.data()));
  if (layout.pixelBytes != 0 && layout.pixelBytes <= MAXDWORD) {
    const std::vector<uint8_t> runsInfo = GdiInfo(layout, layout.compression, layout.pixelBytes);
    WindowDc screen(nullptr);
    SetDIBits(screen.get(), section.bitmap.get(), 0, static_cast<UINT>(layout.height),
              layout.pixels, reinterpret_cast<const BITMAPINFO*>(runsInfo.data()), DIB_RGB_COLORS);
  }
  const DibSectionPicture::Rows rows = RowsOf(section, layout, 24, false);
  return std::make_unique<DibSectionPicture>(std::move(section.bitmap), std::move(palette),
                                             layout.width, layout.height, 24, rows);
}

}  // namespace

std::unique_ptr<GdiBitmapPicture> PictureFromOwnDib(const PackedDib& layout,
                                                    UniqueHpalette palette) {
  if (layout.alpha != DibAlpha::Opaque) return Composed(layout, std::move(palette));
  if (layout.compression == BI_RLE8 || layout.compression == BI_RLE4) {
    return RunLength(layout, std::move(palette));
  }
  if (layout.compression != BI_RGB && layout.compression != BI_BITFIELDS) return nullptr;

  const std::vector<uint8_t> info = SectionInfo(layout);
  Section section = CreateSection(reinterpret_cast<const BITMAPINFO*>(info.data()));
  std::memcpy(section.bits, layout.pixels, layout.stride * static_cast<size_t>(layout.height));
  const int bits = static_cast<int>(layout.bits);
  if (layout.compression == BI_RGB && (bits == 24 || bits == 32)) {
    const DibSectionPicture::Rows rows = RowsOf(section, layout, bits, layout.topDown);
    return std::make_unique<DibSectionPicture>(std::move(section.bitmap), std::move(palette),
                                               layout.width, layout.height, bits, rows);
  }
  return std::make_unique<GdiBitmapPicture>(std::move(section.bitmap), std::move(palette),
                                            layout.width, layout.height, bits, false);
}

}  // namespace zumorika
