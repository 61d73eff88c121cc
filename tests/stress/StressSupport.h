// Helpers shared by the fault-injection tests: a scratch folder per test,
// whole-file reads and writes, and small coloured test pictures.
#pragma once

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

#include "imaging/picture/Picture.h"

namespace zumorika::stress {

// A fresh folder under the system's temporary folder, removed with its
// contents when the test ends. Paths are plain ASCII, so they are valid
// Shift-JIS bytes as they are.
class ScratchFolder {
 public:
  ScratchFolder() {
    std::random_device seed;
    auto base = std::filesystem::temp_directory_path();
    for (int attempt = 0; attempt < 100; ++attempt) {
      auto candidate = base / ("zumorika-stress-" + std::to_string(seed()));
      if (std::filesystem::create_directory(candidate)) {
        path_ = candidate;
        return;
      }
    }
    throw std::runtime_error("no scratch folder");
  }
  ~ScratchFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  }
  ScratchFolder(const ScratchFolder&) = delete;
  ScratchFolder& operator=(const ScratchFolder&) = delete;

  // The folder with a trailing separator, as the tool keeps folders.
  std::string Folder() const { return path_.string() + static_cast<char>(std::filesystem::path::preferred_separator); }
  std::string operator/(const std::string& name) const { return Folder() + name; }
  const std::filesystem::path& Path() const { return path_; }

 private:
  std::filesystem::path path_;
};

inline std::string ReadBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline void WriteBytes(const std::string& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

inline bool Exists(const std::string& path) {
  std::error_code ignored;
  return std::filesystem::exists(path, ignored);
}

// An odd-sized picture whose left column is red, top row blue and the rest a
// gradient, so a swapped channel, a flip or a cut shows.
inline std::vector<uint32_t> TestPixels(int32_t width, int32_t height) {
  std::vector<uint32_t> pixels(static_cast<size_t>(width) * static_cast<size_t>(height));
  for (int32_t y = 0; y < height; ++y) {
    for (int32_t x = 0; x < width; ++x) {
      uint32_t value = ((x * 7 + y * 3) & 0xFF) << 8 | ((x + y) & 0xFF);
      if (y == 0) value = 0x000000FF;
      if (x == 0) value = 0x00FF0000;
      pixels[static_cast<size_t>(y) * width + x] = value;
    }
  }
  return pixels;
}

inline TPicture TestPicture(int32_t width, int32_t height) {
  auto pixels = TestPixels(width, height);
  return PictureFromPixels(width, height, pixels.data());
}

// Noise, which compresses badly: every band of it adds tens of kilobytes to
// a JPEG, so a file grows while the picture is still being drawn.
inline void FillWithNoise(uint32_t* pixels, size_t count, uint32_t seed) {
  uint32_t state = seed | 1;
  for (size_t i = 0; i < count; ++i) {
    state ^= state << 13;
    state ^= state >> 17;
    state ^= state << 5;
    pixels[i] = state & 0x00FFFFFF;
  }
}

inline TPicture NoisePicture(int32_t width, int32_t height) {
  std::vector<uint32_t> pixels(static_cast<size_t>(width) * static_cast<size_t>(height));
  FillWithNoise(pixels.data(), pixels.size(), 0x2545F491u);
  return PictureFromPixels(width, height, pixels.data());
}

}  // namespace zumorika::stress
