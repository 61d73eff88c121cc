#include "imaging/saving/ImageFile.h"

#include <cstdio>
#include <memory>

#include "imaging/saving/BmpWriter.h"
#include "imaging/saving/JpegEncoder.h"
#include "imaging/picture/WorkingBands.h"
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

// The file a save writes, fed band by band. It is created at the first
// byte, so a failure before that (a picture the JPEG library refuses)
// leaves the folder as it was; an error that passes through after it
// removes the file, which holds only part of the picture. A write that
// fails is the caller's "not written": that file stays for the caller.
class PictureFile : public ByteSink {
 public:
  PictureFile(const std::string& path, bool newOnly) : path_(path), newOnly_(newOnly) {}
  ~PictureFile() override {
    if (!file_ || settled_) return;
    file_.reset();
    DeleteFileAt(path_);
  }
  PictureFile(const PictureFile&) = delete;
  PictureFile& operator=(const PictureFile&) = delete;

  // Called from inside the JPEG library too: it must not throw.
  size_t Write(const void* data, size_t size) noexcept override {
    if (outcome_ != NewFileResult::Written || (!file_ && !Open())) return 0;
    const size_t written = std::fwrite(data, 1, size, file_.get());
    if (written != size) outcome_ = NewFileResult::Unfinished;
    return written;
  }

  // What became of the file once the writer has returned (`complete`
  // false: it stopped at a write). A picture with nothing to write gives
  // an empty file.
  NewFileResult Finish(bool complete) {
    settled_ = true;
    if (!complete && outcome_ == NewFileResult::Written) {
      outcome_ = file_ ? NewFileResult::Unfinished : NewFileResult::NotCreated;
    }
    if (outcome_ != NewFileResult::Written || (!file_ && !Open())) return outcome_;
    // A full disk often shows only when the last bytes are flushed.
    return CloseFileChecked(std::move(file_)) ? NewFileResult::Written : NewFileResult::Unfinished;
  }

 private:
  bool Open() noexcept {
    bool alreadyExists = false;
    try {
      file_ = newOnly_ ? CreateNewFile(path_, alreadyExists) : OpenFile(path_, "wb");
    } catch (...) {
      file_.reset();
    }
    if (!file_) outcome_ = alreadyExists ? NewFileResult::Exists : NewFileResult::NotCreated;
    return static_cast<bool>(file_);
  }

  const std::string& path_;
  bool newOnly_;
  UniqueFile file_;
  NewFileResult outcome_ = NewFileResult::Written;  // until something fails
  bool settled_ = false;  // Finish told the caller what became of the file
};

NewFileResult SaveImage(const std::string& path, const TPicture& picture,
                        const ImageSaveSettings& settings, bool newOnly) {
  const bool bmp = settings.FileKind == 0;
  const int bits = BitsForDepth(settings.BmpDepth);
  const PixelSize size = SaveSize(picture, settings.WidthMm);
  // Size first: a picture too large for the format is refused before
  // anything is drawn or created for it.
  if (bmp && size.width > 0 && size.height > 0) ComputeBmpLayout(size.width, size.height, bits);
  const std::unique_ptr<WorkingBands> bands = PrepareWorkingBands(picture, settings.WidthMm);
  PictureFile file(path, newOnly);
  const bool complete =
      bmp ? WriteBmpBands(file, *bands, bits)
          : EncodeJpeg(*bands, settings.JpegQuality & 0xFF, settings.JpegColor == 0, file);
  return file.Finish(complete);
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
