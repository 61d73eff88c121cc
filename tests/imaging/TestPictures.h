// Small, odd-sized, asymmetric pictures for the imaging tests, coloured so
// that a red/blue swap or a flip shows.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "imaging/saving/ByteSink.h"
#include "imaging/saving/ImageFile.h"
#include "imaging/WorkingImage.h"

namespace zumorika::test {

constexpr uint32_t Rgb(uint32_t r, uint32_t g, uint32_t b) { return r << 16 | g << 8 | b; }

// Every pixel distinct in red and blue, with the top-left corner pure red
// and the bottom-right pure blue.
inline std::vector<uint32_t> AsymmetricPixels(int32_t width, int32_t height) {
  std::vector<uint32_t> pixels(static_cast<size_t>(width) * height);
  for (int32_t y = 0; y < height; ++y) {
    for (int32_t x = 0; x < width; ++x) {
      pixels[static_cast<size_t>(y) * width + x] =
          Rgb((x * 37 + y * 11 + 40) & 0xFF, (x * 5 + y * 71) & 0xFF, (y * 53 + x * 3 + 9) & 0xFF);
    }
  }
  pixels.front() = Rgb(255, 0, 0);
  pixels.back() = Rgb(0, 0, 255);
  return pixels;
}

inline WorkingImage ImageFrom(int32_t width, int32_t height, const std::vector<uint32_t>& pixels) {
  WorkingImage image(width, height);
  for (int32_t y = 0; y < height; ++y) {
    for (int32_t x = 0; x < width; ++x) image.Row(y)[x] = pixels[static_cast<size_t>(y) * width + x];
  }
  return image;
}

// A folder of its own per test, removed afterwards.
class ScratchFolder {
 public:
  ScratchFolder();
  ~ScratchFolder();
  ScratchFolder(const ScratchFolder&) = delete;
  ScratchFolder& operator=(const ScratchFolder&) = delete;
  std::string File(const std::string& name) const { return (path_ / name).string(); }
  const std::filesystem::path& Path() const { return path_; }

 private:
  std::filesystem::path path_;
};

std::vector<uint8_t> ReadAllBytes(const std::string& path);

// Keeps every byte written to it.
class MemorySink : public ByteSink {
 public:
  size_t Write(const void* data, size_t size) override {
    const auto* bytes = static_cast<const uint8_t*>(data);
    bytes_.insert(bytes_.end(), bytes, bytes + size);
    return size;
  }
  std::vector<uint8_t> bytes_;
};

// The file SaveImageFile writes, made the way it was made before saves went
// band by band: the whole working image prepared, then converted and
// written, or encoded, in one piece.
std::vector<uint8_t> FileFromWholeWorkingImage(const TPicture& picture,
                                               const ImageSaveSettings& settings);

inline uint32_t Le32(const std::vector<uint8_t>& b, size_t at) {
  return b[at] | b[at + 1] << 8 | b[at + 2] << 16 | static_cast<uint32_t>(b[at + 3]) << 24;
}
inline uint32_t Le16(const std::vector<uint8_t>& b, size_t at) { return b[at] | b[at + 1] << 8; }

}  // namespace zumorika::test
