// The working image in bands on Windows: raster pictures are drawn one band
// at a time into a DIB section of one band; metafiles are played once into a
// DIB section of the whole picture, at most 64 million pixels at print
// resolution (MetafileSaveSize), or less where there is no room for that.
#include <algorithm>
#include <cstring>
#include <new>
#include <optional>
#include <vector>

#include "imaging/picture/DrawGraphic_win32.h"
#include "imaging/ImagingTexts.h"
#include "imaging/picture/PictureData_win32.h"
#include "imaging/picture/WorkingBands.h"
#include "util/AppError.h"

namespace zumorika {

namespace {

static_assert(kBandRows % 8 == 0, "bands must keep GDI's 8 x 8 patterns aligned");

class RasterBands : public WorkingBands {
 public:
  explicit RasterBands(const GdiBitmapPicture& raster)
      : WorkingBands(raster.Width(), raster.Height()) {
    WindowDc screen(nullptr);
    void* bits = nullptr;
    band_ = CreateTopDownDib32(screen.get(), Width(), std::min(Height(), kBandRows), &bits);
    pixels_ = static_cast<const uint32_t*>(bits);
    dc_.reset(CreateCompatibleDC(screen.get()));
    if (!dc_) RaiseSystemError(GetLastError());
    selected_.emplace(dc_.get(), band_.get());
    if (!selected_->ok()) RaiseSystemError(GetLastError());
    copier_.emplace(dc_.get(), raster);
    if (!copier_->ok()) RaiseSystemError(GetLastError());
  }

  const uint32_t* Band(int32_t band) override {
    // SRCCOPY at 1:1 sets every pixel of the band: no white ground needed.
    if (!copier_->CopyRows(BandTop(band), BandHeight(band))) RaiseSystemError(GetLastError());
    GdiFlush();  // GDI may batch drawing; the pixels are read directly
    return pixels_;
  }

 private:
  // Released in reverse: the copier puts the band DC back, the band bitmap
  // leaves it, then DC and bitmap go.
  UniqueHbitmap band_;
  const uint32_t* pixels_ = nullptr;
  UniqueHdc dc_;
  std::optional<SelectedObject> selected_;
  std::optional<RasterCopier> copier_;
};

// A 24 or 32-bit DIB section's rows read where they lie; a band is copied
// only where the rows are not already 32-bit and top-down.
class DibRowBands : public WorkingBands {
 public:
  DibRowBands(const DibSectionPicture& picture, int bitsPerPixel)
      : WorkingBands(picture.Width(), picture.Height()),
        rows_(picture.StoredRows()),
        bitsPerPixel_(bitsPerPixel) {
    if (bitsPerPixel_ != 32 || !rows_.topDown) {
      try {
        band_.resize(static_cast<size_t>(Width()) * std::min(Height(), kBandRows));
      } catch (const std::bad_alloc&) {
        throw AppError(kTextImageTooLarge);
      }
    }
    GdiFlush();  // GDI may still be drawing into the section
  }

  const uint32_t* Band(int32_t band) override {
    const int32_t top = BandTop(band);
    if (band_.empty()) return reinterpret_cast<const uint32_t*>(StoredRow(top));
    const size_t width = static_cast<size_t>(Width());
    for (int32_t i = 0; i < BandHeight(band); ++i) {
      const uint8_t* src = StoredRow(top + i);
      uint32_t* dst = band_.data() + i * width;
      if (bitsPerPixel_ == 32) {
        std::memcpy(dst, src, width * sizeof(uint32_t));
      } else {
        for (size_t x = 0; x < width; ++x, src += 3) {
          dst[x] = static_cast<uint32_t>(src[0]) | static_cast<uint32_t>(src[1]) << 8 |
                   static_cast<uint32_t>(src[2]) << 16;
        }
      }
    }
    return band_.data();
  }

 private:
  const uint8_t* StoredRow(int32_t y) const {
    const int32_t stored = rows_.topDown ? y : Height() - 1 - y;
    return rows_.bits + static_cast<size_t>(stored) * rows_.stride;
  }

  DibSectionPicture::Rows rows_;
  int bitsPerPixel_;
  std::vector<uint32_t> band_;
};

class WholeDibBands : public WorkingBands {
 public:
  WholeDibBands(WholePictureDib drawn, int32_t width, int32_t height)
      : WorkingBands(width, height), drawn_(std::move(drawn)) {}

  const uint32_t* Band(int32_t band) override {
    return drawn_.pixels + static_cast<size_t>(BandTop(band)) * static_cast<size_t>(Width());
  }

 private:
  WholePictureDib drawn_;
};

}  // namespace

std::unique_ptr<WorkingBands> GdiBitmapPicture::Bands() const {
  if (Bitmap() == nullptr) return WhiteBands(Width(), Height());
  return std::make_unique<RasterBands>(*this);
}

std::unique_ptr<WorkingBands> DibSectionPicture::Bands() const {
  if (Bitmap() == nullptr) return WhiteBands(Width(), Height());
  return std::make_unique<DibRowBands>(*this, BitsPerPixel());
}

std::unique_ptr<WorkingBands> MetafilePicture::Bands() const {
  return ScaledBands(Width(), Height());
}

std::unique_ptr<WorkingBands> MetafilePicture::ScaledBands(int32_t width, int32_t height) const {
  // A section of print resolution (up to 256 MB at once) may find no room
  // where a smaller one would: each smaller size is tried down to the own
  // size, which the paste had before print resolution.
  PixelSize size{width, height};
  WholePictureDib drawn;
  const auto play = [&](const PixelSize& tried) {
    drawn = DrawWholePictureIfRoom(*this, tried.width, tried.height);
    return static_cast<bool>(drawn.dib);
  };
  if (!PlayWhereThereIsRoom(Width(), Height(), size, play)) throw AppError(kTextImageTooLarge);
  return std::make_unique<WholeDibBands>(std::move(drawn), size.width, size.height);
}

}  // namespace zumorika
