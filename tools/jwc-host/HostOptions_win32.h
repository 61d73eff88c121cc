// jwc-host's command line: what to place on the clipboard, how to start the
// tool, the steps to run and where the returned exchange file goes.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "HostSteps.h"

namespace zumorika::host {

// What goes on the clipboard. The kinds after kText copy what real programs
// place for a picture, format by format in their order.
enum class ClipKind {
  kKeep, kNone, kBmp, kEmf, kWmf, kText,
  kBrowser,     // "PNG", CF_DIBV5 (Chrome, Edge)
  kBrowserDib,  // "PNG", CF_DIBV5, CF_DIB (Firefox)
  kPaint,       // a 32-bit CF_DIB whose fourth bytes are 0
  kPng,         // "PNG" alone (Wine's image/png from Linux programs)
  kFiles,       // CF_HDROP (files copied in Explorer)
  kBmpBitmapOnRequest,  // CF_DIB, then CF_BITMAP by delayed rendering
};

struct Options {
  std::wstring tool;
  std::wstring launch;  // a command line that starts the tool (a BAT file)
  std::wstring toolArgs;  // after the tool's quoted path on its command line
  std::wstring dir;
  std::wstring exchange;
  bool keepExchange = false;
  bool holdClipboard = false;  // kept open until the tool's window is shown
  DWORD holdClipboardMs = 0;   // or this long after the tool's first try
  ClipKind clip = ClipKind::kKeep;
  std::wstring clipSource;  // a path, or the text for kText
  std::vector<std::wstring> clipFiles;  // for kFiles, in the given order
  // For kWmf: METAFILEPICT's mapping mode and extents as given, instead of
  // MM_ANISOTROPIC and the placeable header's size.
  bool wmfExtentsGiven = false;
  LONG wmfMode = MM_ANISOTROPIC;
  LONG wmfXExt = 0;
  LONG wmfYExt = 0;
  bool listFormats = false;  // print the clipboard's formats before the run
  std::wstring makeTableEmf;  // written before anything else
  std::wstring playEmf;       // played at playWidth x playHeight into playBmp
  int playWidth = 0;
  int playHeight = 0;
  std::wstring playBmp;
  std::vector<Step> steps;
  std::wstring out;
  bool print = false;
  bool timing = false;  // print the start-up and finish times
  DWORD timeoutMs = 15000;
};

// Reads the command line into options; prints the help and exits on --help.
// Returns kOk, or kUsage after printing what is wrong.
int ParseOptions(int argc, wchar_t** argv, Options& options);

}  // namespace zumorika::host
