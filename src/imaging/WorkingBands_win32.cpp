// The working image in bands on Windows: raster pictures are drawn one band
// at a time into a DIB section of one band; metafiles are played once into a
// DIB section of the whole picture, at most 64 million pixels at print
// resolution (MetafileSaveSize).
#include <algorithm>
#include <optional>

#include "imaging/DrawGraphic_win32.h"
#include "imaging/PictureData_win32.h"
#include "imaging/WorkingBands.h"

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

std::unique_ptr<WorkingBands> MetafilePicture::Bands() const {
  return ScaledBands(Width(), Height());
}

std::unique_ptr<WorkingBands> MetafilePicture::ScaledBands(int32_t width, int32_t height) const {
  return std::make_unique<WholeDibBands>(DrawWholePicture(*this, width, height), width, height);
}

}  // namespace zumorika
