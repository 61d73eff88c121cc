// Baseline JPEG through the IJG library (interface version 62).
#pragma once

#include <cstdint>
#include <vector>

#include "imaging/WorkingImage.h"

namespace zumorika {

// Encodes the image into `out` (replaced): JFIF 1.01, density unit 0,
// 1 x 1, standard Huffman tables, quality `quality` with force baseline;
// colour is YCbCr with 2 x 2 / 1 x 1 / 1 x 1 sampling, grey one component.
// An empty image gives empty data. A library error raises AppError
// "JPEG エラー #<message code>"; warnings are ignored.
void EncodeJpeg(const WorkingImage& image, int quality, bool grey, std::vector<uint8_t>& out);

}  // namespace zumorika
