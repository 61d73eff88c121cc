#include "window/WindowSettings.h"

#include <cstdio>

#include "util/Files.h"
#include "util/MyFunc.h"

namespace zumorika {

namespace {

// One line up to LF or CR LF, of any length. At the end of the file, or after
// a read error, the text is empty: a short file gives empty lines, never a
// failure.
std::string ReadLine(std::FILE* file) {
  std::string line;
  if (file == nullptr) return line;
  int c;
  while ((c = std::fgetc(file)) != EOF) {
    if (c == '\n') break;
    line.push_back(static_cast<char>(c));
  }
  if (c == '\n' && !line.empty() && line.back() == '\r') line.pop_back();
  if (c == EOF && !line.empty() && line.back() == '\r') line.pop_back();
  return line;
}

}  // namespace

std::string SettingsFilePath(const std::string& exePath) {
  return ReplaceExtension(exePath, ".dat");
}

void LoadWindowSettings(const std::string& path, WindowSettings& settings) {
  settings = WindowSettings{};
  if (!FileExists(path)) return;
  UniqueFile file = OpenFile(path, "rb");
  if (!file) return;
  std::FILE* f = file.get();
  // Once reading fails the file is abandoned: the remaining fields keep
  // their defaults rather than reading as 0.
  auto next = [&](auto store) {
    if (std::ferror(f)) return;
    std::string line = ReadLine(f);
    if (std::ferror(f)) return;
    store(line);
  };
  next([&](const std::string& s) { settings.WinLeft = StrToIntOr0(s); });
  next([&](const std::string& s) { settings.WinTop = StrToIntOr0(s); });
  next([&](const std::string& s) { settings.SaveFolder = s; });
  next([&](const std::string& s) { settings.FolderMode = StrToIntOr0(s); });
  next([&](const std::string& s) { settings.FileKind = StrToIntOr0(s); });
  next([&](const std::string& s) { settings.BmpDepth = StrToIntOr0(s); });
  next([&](const std::string& s) { settings.JpegColor = StrToIntOr0(s); });
  next([&](const std::string& s) { settings.JpegQuality = StrToIntOr0(s); });
  next([&](const std::string& s) { settings.WidthMm = StrToFloatOr0(s); });
  next([&](const std::string& s) { settings.BasePoint = StrToIntOr0(s); });
  next([&](const std::string& s) { settings.AngleDeg = StrToFloatOr0(s); });
}

bool SaveWindowSettings(const std::string& path, const WindowSettings& settings) {
  std::string text;
  auto line = [&](const std::string& s) {
    text += s;
    text += "\r\n";
  };
  line(FormatInt(settings.WinLeft));
  line(FormatInt(settings.WinTop));
  line(settings.SaveFolder);
  line(FormatInt(settings.FolderMode));
  line(FormatInt(settings.FileKind));
  line(FormatInt(settings.BmpDepth));
  line(FormatInt(settings.JpegColor));
  line(FormatInt(settings.JpegQuality));
  line(FormatReal(settings.WidthMm));
  line(FormatInt(settings.BasePoint));
  line(FormatReal(settings.AngleDeg));

  UniqueFile file = OpenFile(path, "wb");
  // Not opened: whatever is at the path was not touched by this run (a
  // hidden file, one another program holds open) and stays.
  if (!file) return false;
  bool written = std::fwrite(text.data(), 1, text.size(), file.get()) == text.size();
  bool closed = CloseFileChecked(std::move(file));
  if (written && closed) return true;
  // Created or truncated by this run and unfinished: no partial file.
  DeleteFileAt(path);
  return false;
}

}  // namespace zumorika
