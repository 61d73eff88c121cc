// Reading an uncompressed 24- or 32-bit BMP into pixels (the picture tool's
// input, and the tests' way to look at written files).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "imaging/WorkingImage.h"

namespace zumorika {

// Reads bottom-up or top-down files of 24 or 32 bits with no compression.
// Returns false with a reason (plain ASCII) for anything else.
bool ReadBmpPixels(const std::vector<uint8_t>& file, WorkingImage& pixels, std::string& reason);
bool ReadBmpFile(const std::string& path, WorkingImage& pixels, std::string& reason);

}  // namespace zumorika
