// Writing a converted image as an uncompressed Windows BMP.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "imaging/saving/ByteSink.h"
#include "imaging/saving/ColourConvert.h"
#include "imaging/picture/WorkingBands.h"
#include "util/Files.h"

namespace zumorika {

// Sizes and offsets of one BMP, computed in 64 bits.
struct BmpLayout {
  int64_t rowStride = 0;
  int64_t imageSize = 0;
  int64_t dataOffset = 0;
  int64_t fileSize = 0;
  int colourEntries = 0;
};

// Raises AppError ("画像が大きすぎます") when the file would not fit the
// format's 32-bit size fields, so no corrupt file is written. Width and
// height must not be negative.
BmpLayout ComputeBmpLayout(int64_t width, int64_t height, int bitsPerPixel);

// File header, information header, colour table, then the rows as stored.
// An image with a 0 side writes nothing. A short write raises AppError
// ("ストリームへの書き込みエラー").
void WriteBmp(ByteSink& sink, const ConvertedImage& image);

// The working image converted to `bitsPerPixel` (as ConvertWorkingImage)
// and written as WriteBmp writes it, a band at a time: the bands are drawn
// from the bottom up, the order of the file. Returns false when the sink
// took fewer bytes than it was given; raises AppError when the image is too
// large for the format or a band cannot be drawn.
bool WriteBmpBands(ByteSink& sink, WorkingBands& bands, int bitsPerPixel);

// WriteBmp into a file created or truncated at the Shift-JIS path. Raises
// AppError when the file cannot be created or written; a partly written file
// may remain.
void WriteBmpFile(const std::string& path, const ConvertedImage& image);

// WriteBmp into a file already open for writing, then closes it. Raises
// AppError when a write or the close fails.
void WriteBmpFile(UniqueFile file, const ConvertedImage& image);

}  // namespace zumorika
