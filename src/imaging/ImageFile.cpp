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

// Opens the file a save writes: a new file only, or one created or
// truncated. Null with the reason in `failure` when nothing was opened.
UniqueFile OpenForSave(const std::string& path, bool newOnly, NewFileResult& failure) {
  failure = NewFileResult::NotCreated;
  if (!newOnly) return OpenFile(path, "wb");
  bool alreadyExists = false;
  UniqueFile file = CreateNewFile(path, alreadyExists);
  if (alreadyExists) failure = NewFileResult::Exists;
  return file;
}

// The file step of a JPEG save: one write, then close. Failures here are
// the caller's "not written", never an error box.
bool WriteWholeFile(UniqueFile file, const std::vector<uint8_t>& data) {
  if (!data.empty() && std::fwrite(data.data(), 1, data.size(), file.get()) != data.size()) {
    return false;
  }
  return CloseFileChecked(std::move(file));
}

NewFileResult SaveImage(const std::string& path, const TPicture& picture,
                        const ImageSaveSettings& settings, bool newOnly) {
  const int32_t width = PictureWidth(picture);
  const int32_t height = PictureHeight(picture);
  NewFileResult failure;

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
    UniqueFile file = OpenForSave(path, newOnly, failure);
    if (!file) return failure;
    try {
      WriteBmpFile(std::move(file), converted);
    } catch (const AppError&) {
      return NewFileResult::Unfinished;
    }
    return NewFileResult::Written;
  }

  std::vector<uint8_t> jpeg;
  {
    const WorkingImage working = PrepareWorkingImage(picture);
    EncodeJpeg(working, settings.JpegQuality & 0xFF, settings.JpegColor == 0, jpeg);
  }
  UniqueFile file = OpenForSave(path, newOnly, failure);
  if (!file) return failure;
  return WriteWholeFile(std::move(file), jpeg) ? NewFileResult::Written : NewFileResult::Unfinished;
}

}  // namespace

bool SaveImageFile(const std::string& path, const TPicture& picture,
                   const ImageSaveSettings& settings) {
  return SaveImage(path, picture, settings, false) == NewFileResult::Written;
}

NewFileResult SaveNewImageFile(const std::string& path, const TPicture& picture,
                               const ImageSaveSettings& settings) {
  return SaveImage(path, picture, settings, true);
}

}  // namespace zumorika
