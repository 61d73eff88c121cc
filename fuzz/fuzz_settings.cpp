// The settings file reader against a model of its eleven lines, and a
// write/read/write cycle that must settle after the first write.
#include <unistd.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "util/MyFunc.h"
#include "window/WindowSettings.h"

namespace {

std::string TempPath(const char* suffix) {
  const char* dir = std::getenv("TMPDIR");
  return std::string(dir ? dir : "/tmp") + "/zumorika-fuzz-" + std::to_string(getpid()) + suffix;
}

std::string ReadAll(const std::string& path) {
  std::string bytes;
  if (std::FILE* f = std::fopen(path.c_str(), "rb")) {
    char buffer[4096];
    size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, f)) > 0) bytes.append(buffer, n);
    std::fclose(f);
  }
  return bytes;
}

void WriteAll(const std::string& path, std::string_view bytes) {
  std::FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) std::abort();
  std::fwrite(bytes.data(), 1, bytes.size(), f);
  std::fclose(f);
}

[[noreturn]] void Fail(const char* what) {
  std::fprintf(stderr, "settings: %s\n", what);
  std::abort();
}

bool SameReal(double a, double b) { return a == b || (std::isnan(a) && std::isnan(b)); }

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace zumorika;
  static const std::string path = TempPath(".dat");
  static const std::string again = TempPath("-again.dat");
  std::string_view bytes(reinterpret_cast<const char*>(data), size);
  WriteAll(path, bytes);

  WindowSettings s;
  s.WinLeft = 12345;  // must be overwritten by the defaults or the file
  LoadWindowSettings(path, s);

  // The model: LF ends a line, a CR right before it belongs to the line end,
  // a missing line reads as empty text. A lone CR or a Ctrl-Z is left to the
  // reader's own text rules, so such inputs are checked only for safety.
  bool plain = bytes.find('\x1A') == std::string_view::npos;
  std::vector<std::string> lines;
  size_t start = 0;
  while (lines.size() < 11 && start < bytes.size()) {
    size_t end = bytes.find('\n', start);
    if (end == std::string_view::npos) end = bytes.size();
    std::string line(bytes.substr(start, end - start));
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.find('\r') != std::string::npos) plain = false;
    lines.push_back(line);
    start = end + 1;
  }
  lines.resize(11);
  if (plain) {
    if (s.WinLeft != StrToIntOr0(lines[0]) || s.WinTop != StrToIntOr0(lines[1])) Fail("window position");
    if (s.SaveFolder != lines[2]) Fail("folder");
    if (s.FolderMode != StrToIntOr0(lines[3]) || s.FileKind != StrToIntOr0(lines[4]) ||
        s.BmpDepth != StrToIntOr0(lines[5]) || s.JpegColor != StrToIntOr0(lines[6]) ||
        s.JpegQuality != StrToIntOr0(lines[7]) || s.BasePoint != StrToIntOr0(lines[9]))
      Fail("integer field");
    if (!SameReal(s.WidthMm, StrToFloatOr0(lines[8])) || !SameReal(s.AngleDeg, StrToFloatOr0(lines[10])))
      Fail("real field");

    // What was written reads back to a file that writes the same bytes.
    if (!SaveWindowSettings(again, s)) Fail("write failed");
    std::string first = ReadAll(again);
    WindowSettings t;
    LoadWindowSettings(again, t);
    if (!SaveWindowSettings(again, t)) Fail("second write failed");
    if (ReadAll(again) != first) Fail("write/read/write does not settle");
    if (t.SaveFolder != s.SaveFolder) Fail("folder changed by a round trip");
  }
  std::remove(path.c_str());
  std::remove(again.c_str());
  return 0;
}
