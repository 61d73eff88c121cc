// The working image: the picture rendered 1:1 on white at its own size,
// 8 bits per channel. Rows run from the top; each pixel is 0x00RRGGBB, which
// in memory is blue, green, red, unused - the layout of a 32-bit DIB section,
// so the Windows renderer copies rows without reordering.
#pragma once

#include <cstdint>
#include <memory>
#include <new>
#include <utility>
#include <vector>

namespace zumorika {

constexpr uint32_t kWhitePixel = 0x00FFFFFF;

// Leaves elements that a vector makes by resize() uninitialised, so a
// picture-sized store that is written in full right after costs one pass over
// the memory instead of two.
template <typename T>
struct DefaultInitAllocator : std::allocator<T> {
  template <typename U>
  struct rebind {
    using other = DefaultInitAllocator<U>;
  };
  DefaultInitAllocator() = default;
  template <typename U>
  DefaultInitAllocator(const DefaultInitAllocator<U>&) noexcept {}
  template <typename U>
  void construct(U* p) noexcept {
    ::new (static_cast<void*>(p)) U;
  }
  template <typename U, typename... Args>
  void construct(U* p, Args&&... args) {
    ::new (static_cast<void*>(p)) U(std::forward<Args>(args)...);
  }
};

class WorkingImage {
 public:
  WorkingImage() = default;
  // Every pixel white. Raises AppError ("画像が大きすぎます") when the
  // pixels cannot be held; a size with a 0 (or negative) side is empty.
  WorkingImage(int32_t width, int32_t height);
  // A copy of width x height pixels stored row after row from the top.
  // Raises the same "too large" error.
  WorkingImage(int32_t width, int32_t height, const uint32_t* pixels);
  // Pixels left unset: the caller writes every one of them before anything
  // reads the image. Raises the same "too large" error.
  static WorkingImage ToBeFilled(int32_t width, int32_t height);

  int32_t Width() const { return width_; }
  int32_t Height() const { return height_; }
  bool IsEmpty() const { return width_ == 0 || height_ == 0; }

  uint32_t* Row(int32_t y) { return pixels_.data() + static_cast<size_t>(y) * width_; }
  const uint32_t* Row(int32_t y) const {
    return pixels_.data() + static_cast<size_t>(y) * width_;
  }
  uint32_t Pixel(int32_t x, int32_t y) const { return Row(y)[x]; }

 private:
  int32_t width_ = 0;
  int32_t height_ = 0;
  void Allocate(int32_t width, int32_t height);

  std::vector<uint32_t, DefaultInitAllocator<uint32_t>> pixels_;
};

// Raises the "too large" error when width x height pixels of 4 bytes cannot
// be held (the same bound on every platform: GDI refuses DIB sections of
// 2 GB and more).
void CheckWorkingImageSize(int64_t width, int64_t height);

}  // namespace zumorika
