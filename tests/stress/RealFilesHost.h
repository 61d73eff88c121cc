// A paste host on the real file system with a real picture: only the
// message box, the focus and the status label are recorded instead of shown.
#pragma once

#include <string>
#include <vector>

#include "imaging/saving/ImageFile.h"
#include "imaging/picture/Picture.h"
#include "util/Files.h"
#include "window/PasteAction.h"
#include "window/WindowSettings.h"

namespace zumorika::stress {

class RealFilesHost : public PasteHost {
 public:
  RealFilesHost(const TPicture& picture, std::string settingsPath)
      : picture_(picture), settingsPath_(std::move(settingsPath)) {}

  bool FolderExists(const std::string& path) override { return zumorika::FolderExists(path); }
  bool FileExists(const std::string& path) override { return zumorika::FileExists(path); }
  void SaveSettings(const WindowSettings& settings) override {
    settingsWritten = SaveWindowSettings(settingsPath_, settings);
  }
  void ShowStatus(std::string_view text) override { statuses.emplace_back(text); }
  NewFileResult SavePicture(const std::string& path, const WindowSettings& s) override {
    if (beforeSave) beforeSave();
    savedPath = path;
    ImageSaveSettings image{s.FileKind, s.BmpDepth, s.JpegColor, s.JpegQuality, s.WidthMm};
    return SaveNewImageFile(path, picture_, image);
  }
  void RemoveFile(const std::string& path) override { DeleteFileAt(path); }
  void ShowMessage(std::string_view text) override { messages.emplace_back(text); }
  void FocusControl(int id) override { focus = id; }

  PictureInfo Info() const {
    return {!picture_.IsEmpty(), PictureWidth(picture_), PictureHeight(picture_)};
  }

  // Runs just before the picture is written, after its name was checked.
  std::function<void()> beforeSave;
  bool settingsWritten = false;
  std::string savedPath;
  std::vector<std::string> statuses;
  std::vector<std::string> messages;
  int focus = 0;

 private:
  const TPicture& picture_;
  std::string settingsPath_;
};

}  // namespace zumorika::stress
