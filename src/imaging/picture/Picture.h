// The clipboard picture: empty, a raster bitmap, or an enhanced metafile.
// Owned by the preview; read by every save; never changed by a save.
#pragma once

#include <cstdint>
#include <memory>

#include "imaging/WorkingImage.h"

namespace zumorika {

class PictureData;  // platform-specific payload (GDI handles on Windows)

enum class PictureKind { Empty, Raster, Metafile };

// Move-only owner of one picture.
class TPicture {
 public:
  TPicture();
  ~TPicture();
  TPicture(TPicture&&) noexcept;
  TPicture& operator=(TPicture&&) noexcept;
  TPicture(const TPicture&) = delete;
  TPicture& operator=(const TPicture&) = delete;

  PictureKind Kind() const;
  bool IsEmpty() const { return Kind() == PictureKind::Empty; }
  void Clear();

  // Used by the loaders and the renderers of this subsystem.
  PictureData* Data() const { return data_.get(); }
  void Assign(std::unique_ptr<PictureData> data);

 private:
  std::unique_ptr<PictureData> data_;
};

// The picture's own size in pixels; 0 x 0 when empty.
int32_t PictureWidth(const TPicture& picture);
int32_t PictureHeight(const TPicture& picture);

// A raster picture holding a copy of `pixels`: `height` rows from the top,
// each `width` values 0x00RRGGBB (in memory blue, green, red, unused: the
// layout of a 32-bit device-independent bitmap). On Windows it becomes a
// 32-bit DIB section, so it is drawn through the same GDI path as a
// clipboard bitmap. Raises AppError when the pixels cannot be allocated.
TPicture PictureFromPixels(int32_t width, int32_t height, const uint32_t* pixels);

// The picture drawn at (0, 0) at its own size onto a white image of that
// size; empty when either side is 0. Raster pixels come through unchanged; a
// monochrome bitmap shows its 0 bits black and its 1 bits white; a metafile
// is played into exactly its own size and leaves unpainted pixels white.
WorkingImage PrepareWorkingImage(const TPicture& picture);

}  // namespace zumorika
