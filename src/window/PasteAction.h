// The OK action of TForm1, kept free of Win32 so the whole order of checks,
// naming, saving and buffering runs under test with a fake host. The window
// supplies the platform pieces through PasteHost.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "util/Files.h"
#include "window/WindowSettings.h"

namespace zumorika {

// What the action needs from the window and the platform.
class PasteHost {
 public:
  virtual ~PasteHost() = default;
  virtual bool FolderExists(const std::string& path) = 0;
  virtual bool FileExists(const std::string& path) = 0;
  virtual void SaveSettings(const WindowSettings& settings) = 0;
  // The status label's new text, repainted before the action goes on.
  virtual void ShowStatus(std::string_view sjisText) = 0;
  // Writes the preview's picture into a new file at path; never opens a
  // file that is already there (Exists).
  virtual NewFileResult SavePicture(const std::string& path, const WindowSettings& settings) = 0;
  virtual void RemoveFile(const std::string& path) = 0;
  // A modal message with one OK button.
  virtual void ShowMessage(std::string_view sjisText) = 0;
  // Moves the keyboard focus to the control with this ID.
  virtual void FocusControl(int controlId) = 0;
};

// The preview's picture as the action sees it.
struct PictureInfo {
  bool HasPicture = false;
  int32_t Width = 0;
  int32_t Height = 0;
};

// Why OK was refused: the message and the control that gets the focus
// (0 leaves the focus where it is).
struct PasteRefusal {
  std::string_view Message;
  int FocusId = 0;
};

// The five checks of the user's input, in order; the first failure wins.
// A picture with no width or no height counts as no picture: it gives no
// height-to-width ratio.
std::optional<PasteRefusal> CheckPasteInput(const WindowSettings& settings,
                                            const std::string& drawingFileName,
                                            const PictureInfo& picture, PasteHost& host);

int32_t ClampJpegQuality(int32_t quality);

struct ImageFileName {
  bool Found = false;     // false when every number up to 99999 is taken
  std::string FullPath;
  std::string FileName;
};

// The first free picture name: the drawing's name without its extension
// ("無題" for an untitled drawing), "_", at least three digits, ".BMP" or
// ".JPG". Only files count as taken. A chosen folder typed without a
// trailing separator gets one.
ImageFileName MakeImageFileName(const WindowSettings& settings,
                                const std::string& drawingFileName,
                                const std::function<bool(const std::string&)>& fileExists);

// Where and how the picture is placed on the drawing.
struct Placement {
  double W = 0, H = 0, A = 0;  // rounded width, height and angle
  double PX = 0, PY = 0;       // text start: the picture's lower-left corner
  double DX = 0, DY = 0;       // text direction
  std::string Reference;       // "^@BM..." image reference
};

// The picture's lower-left corner relative to the base point; unknown
// indexes count as lower-left.
void BasePointOffset(int32_t basePoint, double w, double h, double& dx, double& dy);

Placement ComputePlacement(const WindowSettings& settings, const std::string& referencePath,
                           const PictureInfo& picture, double hpX, double hpY);

// The longest reference a buffered line holds whole.
inline constexpr std::size_t kMaxReferenceBytes = 255;

// Appends "bz" (when the host asked for it), the current attributes and the
// text record to the output buffer.
void BufferPlacement(const Placement& placement);

// The whole OK action after the controls were copied into `settings`.
// Returns true when the window should close. A refusal writes nothing: no
// settings file, no picture, no buffered line. When another program takes
// the chosen name between the check and the write, the next free name is
// used and referenced.
bool RunPasteAction(WindowSettings& settings, const PictureInfo& picture, PasteHost& host);

}  // namespace zumorika
