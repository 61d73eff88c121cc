#include "imaging/picture/Picture.h"

#include "imaging/picture/PictureData.h"

namespace zumorika {

TPicture::TPicture() = default;
TPicture::~TPicture() = default;
TPicture::TPicture(TPicture&&) noexcept = default;
TPicture& TPicture::operator=(TPicture&&) noexcept = default;

PictureKind TPicture::Kind() const {
  return data_ ? data_->Kind() : PictureKind::Empty;
}

void TPicture::Clear() { data_.reset(); }

void TPicture::Assign(std::unique_ptr<PictureData> data) { data_ = std::move(data); }

int32_t PictureWidth(const TPicture& picture) {
  return picture.Data() ? picture.Data()->Width() : 0;
}

int32_t PictureHeight(const TPicture& picture) {
  return picture.Data() ? picture.Data()->Height() : 0;
}

}  // namespace zumorika
