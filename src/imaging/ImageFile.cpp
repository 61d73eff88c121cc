#include "imaging/ImageFile.h"

#include <vector>

#include "imaging/BmpWriter.h"
#include "imaging/ColourConvert.h"
#include "imaging/JpegEncoder.h"
#include "imaging/WorkingImage.h"
#include "util/AppError.h"
#include "util/Files.h"

namespace zumorika {

namespace {

int BitsForDepth(int32_t bmpDepth) {
  switch (bmpDepth) {
    case 0: return 1;
    case 1: return 4;
    case 2: return 8;
    default: return 24;
  }
}

// The file step of a save: create or truncate, write, close. Failures here
// are the caller's "not written", never an error box.
bool WriteWholeFile(const std::string& path, const std::vector<uint8_t>& data) {
  UniqueFile file = OpenFile(path, "wb");
  if (!file) return false;
  if (!data.empty() && std::fwrite(data.data(), 1, data.size(), file.get()) != data.size()) {
    return false;
  }
  return CloseFileChecked(std::move(file));
}

}  // namespace

bool SaveImageFile(const std::string& path, const TPicture& picture,
                   const ImageSaveSettings& settings) {
  const int32_t width = PictureWidth(picture);
  const int32_t height = PictureHeight(picture);

  if (settings.FileKind == 0) {
    const int bits = BitsForDepth(settings.BmpDepth);
    // Size first: a picture too large for the format is refused before
    // gigabytes are allocated for it.
    if (width > 0 && height > 0) ComputeBmpLayout(width, height, bits);
    ConvertedImage converted;
    {
      const WorkingImage working = PrepareWorkingImage(picture);
      converted = ConvertWorkingImage(working, bits);
    }
    try {
      WriteBmpFile(path, converted);
    } catch (const AppError&) {
      return false;
    }
    return true;
  }

  std::vector<uint8_t> jpeg;
  {
    const WorkingImage working = PrepareWorkingImage(picture);
    EncodeJpeg(working, settings.JpegQuality & 0xFF, settings.JpegColor == 0, jpeg);
  }
  return WriteWholeFile(path, jpeg);
}

}  // namespace zumorika
