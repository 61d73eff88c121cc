// Baseline JPEG through the IJG library (interface version 62).
#pragma once

#include <cstdint>
#include <vector>

#include "imaging/saving/ByteSink.h"
#include "imaging/picture/WorkingBands.h"
#include "imaging/WorkingImage.h"

namespace zumorika {

// Encodes the working image into `sink` a band at a time, the rows reaching
// the library from the top as they are drawn: JFIF 1.01, density unit 0,
// 1 x 1, standard Huffman tables, quality `quality` with force baseline;
// colour is YCbCr with 2 x 2 / 1 x 1 / 1 x 1 sampling, grey one component.
// An empty image writes nothing. Returns false when the sink took fewer
// bytes than it was given (the encoding stops there). A library error
// raises AppError "JPEG エラー #<message code>", a band that cannot be drawn
// its own error; warnings are ignored. Nothing of the library's stays
// allocated after any of these.
bool EncodeJpeg(WorkingBands& bands, int quality, bool grey, ByteSink& sink);

// The same from a whole image into `out` (replaced; empty after an error).
// Memory running out for `out` is the library's JERR_OUT_OF_MEMORY.
void EncodeJpeg(const WorkingImage& image, int quality, bool grey, std::vector<uint8_t>& out);

}  // namespace zumorika
