// picsave IN.bmp OUT --bmp 0|1|2|3
// picsave IN.bmp OUT --jpeg QUALITY [--grey]
// Either form may end in --time: the save alone (what OK does once the
// picture is loaded) is timed and printed as "save: MS ms".
//
// Loads a 24- or 32-bit BMP as a raster picture and saves it exactly as the
// tool's OK button does. Exit 0 when the file was written; 1 with a one-line
// message on standard error otherwise.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "CommandLine.h"
#include "imaging/decoding/BmpReader.h"
#include "imaging/saving/ImageFile.h"
#include "util/AppError.h"
#include "util/Cp932.h"

namespace {

constexpr char kUsage[] =
    "usage: picsave IN.bmp OUT --bmp 0|1|2|3\n"
    "       picsave IN.bmp OUT --jpeg QUALITY [--grey]\n"
    "       (either may end in --time)\n";

int Fail(const std::string& utf8) {
  std::fprintf(stderr, "picsave: %s\n", utf8.c_str());
  return 1;
}

bool ParseInt(const std::string& text, int lo, int hi, int& value) {
  if (text.empty() || text.size() > 9) return false;
  for (const char c : text) {
    if (c < '0' || c > '9') return false;
  }
  value = std::atoi(text.c_str());
  return value >= lo && value <= hi;
}

}  // namespace

int main(int argc, char** argv) {
  using namespace zumorika;
  std::vector<std::string> args = CommandLineArguments(argc, argv);
  const bool timed = !args.empty() && args.back() == "--time";
  if (timed) args.pop_back();
  ImageSaveSettings settings;
  bool valid = args.size() >= 4;
  if (valid && args[2] == "--bmp" && args.size() == 4) {
    settings.FileKind = 0;
    valid = ParseInt(args[3], 0, 3, settings.BmpDepth);
  } else if (valid && args[2] == "--jpeg" && (args.size() == 4 || args.size() == 5)) {
    settings.FileKind = 1;
    valid = ParseInt(args[3], 1, 100, settings.JpegQuality);
    settings.JpegColor = 1;
    if (args.size() == 5) {
      valid = valid && args[4] == "--grey";
      settings.JpegColor = 0;
    }
  } else {
    valid = false;
  }
  if (!valid) {
    std::fputs(kUsage, stderr);
    return 1;
  }

  try {
    WorkingImage pixels;
    std::string reason;
    if (!ReadBmpFile(args[0], pixels, reason)) return Fail(Cp932ToUtf8(args[0]) + ": " + reason);
    const TPicture picture = PictureFromPixels(pixels.Width(), pixels.Height(), pixels.Row(0));
    const auto start = std::chrono::steady_clock::now();
    if (!SaveImageFile(args[1], picture, settings)) {
      return Fail(Cp932ToUtf8(args[1]) + ": the file could not be written");
    }
    if (timed) {
      const std::chrono::duration<double, std::milli> took = std::chrono::steady_clock::now() - start;
      std::printf("save: %.1f ms\n", took.count());
    }
  } catch (const AppError& e) {
    return Fail(Cp932ToUtf8(e.what()));
  }
  return 0;
}
