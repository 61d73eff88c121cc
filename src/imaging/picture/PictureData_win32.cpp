#include <cstring>

#include "imaging/picture/DrawGraphic_win32.h"
#include "imaging/ImagingTexts.h"
#include "imaging/picture/PictureData_win32.h"
#include "imaging/WorkingImage.h"
#include "util/AppError.h"

namespace zumorika {

UniqueHbitmap CreateTopDownDib32(HDC dc, int32_t width, int32_t height, void** bits) {
  UniqueHbitmap dib = TryCreateTopDownDib32(dc, width, height, bits);
  if (!dib) RaiseSystemError(GetLastError());
  return dib;
}

UniqueHbitmap TryCreateTopDownDib32(HDC dc, int32_t width, int32_t height, void** bits) {
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  *bits = nullptr;
  UniqueHbitmap dib(CreateDIBSection(dc, &info, DIB_RGB_COLORS, bits, nullptr, 0));
  if (*bits == nullptr) dib.reset();
  return dib;
}

WholePictureDib DrawWholePicture(const PictureData& data, int32_t width, int32_t height) {
  WholePictureDib drawn = DrawWholePictureIfRoom(data, width, height);
  if (!drawn.dib) RaiseSystemError(GetLastError());
  return drawn;
}

WholePictureDib DrawWholePictureIfRoom(const PictureData& data, int32_t width, int32_t height) {
  WindowDc screen(nullptr);
  WholePictureDib drawn;
  void* bits = nullptr;
  drawn.dib = TryCreateTopDownDib32(screen.get(), width, height, &bits);
  if (!drawn.dib) return drawn;
  UniqueHdc dc(CreateCompatibleDC(screen.get()));
  if (!dc) RaiseSystemError(GetLastError());
  SelectedObject selected(dc.get(), drawn.dib.get());
  if (!selected.ok()) RaiseSystemError(GetLastError());
  PatBlt(dc.get(), 0, 0, width, height, WHITENESS);
  if (!DrawGraphicChecked(dc.get(), RECT{0, 0, width, height}, data)) {
    if (data.Kind() == PictureKind::Metafile) throw AppError(kTextMetafileNotPlayed);
    RaiseSystemError(GetLastError());
  }
  GdiFlush();  // GDI may batch drawing; the pixels are read directly
  drawn.pixels = static_cast<const uint32_t*>(bits);
  return drawn;
}

std::unique_ptr<MetafilePicture> CopyMetafilePicture(HENHMETAFILE source) {
  UniqueHenhmetafile copy(CopyEnhMetaFileW(source, nullptr));
  if (!copy) RaiseSystemError(GetLastError());
  ENHMETAHEADER header{};
  if (GetEnhMetaFileHeader(copy.get(), sizeof header, &header) == 0) {
    RaiseSystemError(GetLastError());
  }
  MetafileGeometry geometry;
  // In 64 bits: edges of -2^31 and 2^31 - 1 lie 2^32 - 1 apart.
  geometry.frameWidth = int64_t{header.rclFrame.right} - header.rclFrame.left;
  geometry.frameHeight = int64_t{header.rclFrame.bottom} - header.rclFrame.top;
  geometry.devicePixelsX = header.szlDevice.cx;
  geometry.devicePixelsY = header.szlDevice.cy;
  geometry.deviceMillimetresX = header.szlMillimeters.cx;
  geometry.deviceMillimetresY = header.szlMillimeters.cy;
  return std::make_unique<MetafilePicture>(std::move(copy), geometry);
}

TPicture PictureFromPixels(int32_t width, int32_t height, const uint32_t* pixels) {
  TPicture picture;
  if (width <= 0 || height <= 0) {
    picture.Assign(std::make_unique<GdiBitmapPicture>(UniqueHbitmap(), UniqueHpalette(), 0, 0,
                                                      32, false));
    return picture;
  }
  CheckWorkingImageSize(width, height);
  WindowDc screen(nullptr);
  void* bits = nullptr;
  UniqueHbitmap dib = CreateTopDownDib32(screen.get(), width, height, &bits);
  std::memcpy(bits, pixels, static_cast<size_t>(width) * height * sizeof(uint32_t));
  const DibSectionPicture::Rows rows{static_cast<const uint8_t*>(bits),
                                     static_cast<size_t>(width) * sizeof(uint32_t), true};
  picture.Assign(std::make_unique<DibSectionPicture>(std::move(dib), UniqueHpalette(), width,
                                                     height, 32, rows));
  return picture;
}

WorkingImage PrepareWorkingImage(const TPicture& picture) {
  const int32_t width = PictureWidth(picture);
  const int32_t height = PictureHeight(picture);
  if (width <= 0 || height <= 0) return WorkingImage();
  CheckWorkingImageSize(width, height);

  const WholePictureDib drawn = DrawWholePicture(*picture.Data(), width, height);
  WorkingImage image = WorkingImage::ToBeFilled(width, height);
  for (int32_t y = 0; y < height; ++y) {
    const uint32_t* row = drawn.pixels + static_cast<size_t>(y) * width;
    uint32_t* out = image.Row(y);
    // Metafile records may write the unused byte; only colour counts.
    for (int32_t x = 0; x < width; ++x) out[x] = row[x] & 0x00FFFFFF;
  }
  return image;
}

}  // namespace zumorika
