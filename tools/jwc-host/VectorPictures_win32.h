// Enhanced metafiles as office programs copy them: a table of grid lines
// and text, recorded on the screen, and the same metafile played at a
// given size, to hold the tool's saved picture against.
#pragma once

#include <string>

#include "HostOptions_win32.h"

namespace zumorika::host {

// --make-table-emf, then --play-emf, as the options ask: kOk, or
// kSetupFailed after printing what failed.
int MakeAndPlayMetafiles(const Options& options);

// Writes an enhanced metafile of a table 150 x 60 mm: a grey header row,
// 0.25 mm grid lines, a label in each cell in "ＭＳ ゴシック", recorded in
// hundredths of a millimetre on the screen as reference device. False with
// `error` set when GDI refuses.
bool MakeTableEmf(const std::wstring& path, std::string& error);

// Plays the enhanced metafile at `path` into width x height pixels the way
// a picture program draws one: a 32-bit DIB section of the screen, white,
// the background colour white and the text colour black, the frame onto
// (0, 0, width - 1, height - 1) (the edges inclusive). `bmp` gets the
// pixels as a bottom-up 24-bit BMP file.
bool PlayEmfAsBmp(const std::wstring& path, int width, int height, std::string& bmp,
                  std::string& error);

}  // namespace zumorika::host
