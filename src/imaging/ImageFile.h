// Writing the picture as a BMP or JPEG file.
#pragma once

#include <cstdint>
#include <string>

#include "imaging/Picture.h"

namespace zumorika {

struct ImageSaveSettings {
  int32_t FileKind = 0;      // 0 BMP, anything else JPEG
  int32_t BmpDepth = 2;      // 0..3: 1, 4, 8, 24 bits
  int32_t JpegColor = 1;     // 0 grey, anything else colour
  int32_t JpegQuality = 100; // low byte used
};

// Prepares the working image, converts and writes it. Returns whether the
// file was written; raises AppError when preparing, converting or encoding
// fails (these reach the application's error box).
bool SaveImageFile(const std::string& path, const TPicture& picture,
                   const ImageSaveSettings& settings);

}  // namespace zumorika
