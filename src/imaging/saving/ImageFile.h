// Writing the picture as a BMP or JPEG file.
#pragma once

#include <cstdint>
#include <string>

#include "imaging/picture/Picture.h"
#include "util/Files.h"

namespace zumorika {

struct ImageSaveSettings {
  int32_t FileKind = 0;      // 0 BMP, anything else JPEG
  int32_t BmpDepth = 2;      // 0..3: 1, 4, 8, 24 bits
  int32_t JpegColor = 1;     // 0 grey, anything else colour
  int32_t JpegQuality = 100; // low byte used
  double WidthMm = 0;        // the paste's paper width: a metafile is played
                             // at print resolution (MetafileSaveSize)
};

// Draws the picture's working image a band at a time, converting and
// writing each band before the next, so no copy of the whole picture is
// made. Returns whether the file was written; raises AppError when drawing,
// converting or encoding fails (these reach the application's error box),
// and then removes the file if it had been begun.
// The file is created or truncated at its first byte.
bool SaveImageFile(const std::string& path, const TPicture& picture,
                   const ImageSaveSettings& settings);

// The same, into a file that must be new: an existing file of that name,
// even one created a moment ago by another program, is never opened
// (Exists). A failed write leaves this call's own file as it is
// (Unfinished), for the caller to remove; an error passing through removes
// it here.
NewFileResult SaveNewImageFile(const std::string& path, const TPicture& picture,
                               const ImageSaveSettings& settings);

}  // namespace zumorika
