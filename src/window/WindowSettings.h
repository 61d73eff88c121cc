// The window settings of TForm1 and the settings file that keeps them from
// one run to the next: eleven Shift-JIS lines beside the executable, with
// the executable's name and the extension ".dat".
#pragma once

#include <cstdint>
#include <string>

namespace zumorika {

struct WindowSettings {
  int32_t WinLeft = 0;
  int32_t WinTop = 0;
  std::string SaveFolder;   // Shift-JIS, used when FolderMode is 1
  int32_t FolderMode = 0;   // 0 drawing's folder, 1 SaveFolder
  int32_t FileKind = 0;     // 0 BMP, 1 JPEG
  int32_t BmpDepth = 2;     // 0..3: "白黒", "16色", "256色", "24bit色"
  int32_t JpegColor = 1;    // 0 grey, 1 colour
  int32_t JpegQuality = 100;
  double WidthMm = 100.0;   // paper millimetres
  int32_t BasePoint = 0;    // 0..8, index into ComboBox1
  double AngleDeg = 0.0;
};

// The executable's path with its extension replaced by ".dat".
std::string SettingsFilePath(const std::string& exePath);

// Sets every field to its default, then reads the file when there is one.
// Lines past the end of a short file read as empty text, so they store 0
// (or an empty folder), not the default. Read failures are absorbed: the
// fields read so far keep their values.
void LoadWindowSettings(const std::string& path, WindowSettings& settings);

// Writes the eleven lines with CR LF. On any failure the file is closed and
// deleted, so no partial file is left; returns whether the file was written.
bool SaveWindowSettings(const std::string& path, const WindowSettings& settings);

}  // namespace zumorika
