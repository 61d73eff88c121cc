#include "HostOptions_win32.h"

#include <cstdlib>
#include <cwchar>

#include "HostCommon_win32.h"

namespace zumorika::host {
namespace {

const char kUsageText[] =
    "jwc-host: runs the tool the way Jw_cad runs an external transformation.\n"
    "\n"
    "Usage: jwc-host --tool PATH\\zumorika.exe [options] [--step STEP]...\n"
    "  --tool EXE          the tool to run\n"
    "  --tool-args ARGS    put ARGS on the tool's command line after its path\n"
    "                      (the host passes none; for the benchmark's references)\n"
    "  --launch CMDLINE    start this command instead (e.g. cmd /c ZUMORIKA.BAT)\n"
    "                      and drive the TForm1 window that appears; the command\n"
    "                      must not end before the tool does (as the host waits)\n"
    "  --dir DIR           copy the tool into DIR and run the copy there\n"
    "  --exchange FILE     written byte for byte as JWC_TEMP.TXT beside the tool;\n"
    "                      without it an old JWC_TEMP.TXT there is deleted\n"
    "  --keep-exchange     leave JWC_TEMP.TXT beside the tool as it is\n"
    "  --clip-bmp FILE     put a BMP file's picture on the clipboard as CF_DIB\n"
    "  --clip-bmp-bitmap-on-request FILE  as --clip-bmp, then CF_BITMAP by delayed\n"
    "                      rendering; prints \"clipboard: CF_BITMAP asked for: yes\"\n"
    "                      or \"no\" after the tool's end\n"
    "  --clip-emf FILE     an enhanced metafile as CF_ENHMETAFILE\n"
    "  --clip-wmf FILE     a Windows metafile (placeable or plain) as CF_METAFILEPICT\n"
    "  --clip-wmf-extents MM,X,Y  with --clip-wmf: METAFILEPICT's mapping mode and\n"
    "                      extents (7 MM_ISOTROPIC, 8 MM_ANISOTROPIC; negative\n"
    "                      extents give a ratio alone, zero none)\n"
    "  --clip-text TEXT    a text as CF_UNICODETEXT\n"
    "  --clip-browser BMP  what Chrome and Edge place for \"Copy image\": the\n"
    "                      registered \"PNG\" (the picture as PNG), then CF_DIBV5\n"
    "                      (BITMAPV5HEADER, 32 bits, BI_RGB, alpha mask\n"
    "                      0xFF000000, bottom-up, premultiplied BGRA); BMP is a\n"
    "                      24 or 32-bit BMP file, its alpha straight and read\n"
    "                      only where a V4/V5 header has the alpha mask 0xFF000000\n"
    "  --clip-browser-dib BMP  as --clip-browser, then also CF_DIB\n"
    "                      (BITMAPINFOHEADER, 32-bit premultiplied BGRA with its\n"
    "                      alpha byte), as Firefox places\n"
    "  --clip-paint BMP    what a paint program places: a 32-bit CF_DIB\n"
    "                      (BITMAPINFOHEADER, BI_RGB) whose fourth bytes are 0\n"
    "  --clip-png PNG      a PNG file's bytes as the registered \"PNG\" alone, as\n"
    "                      Wine offers image/png copied in a Linux program\n"
    "  --clip-files FILE   CF_HDROP naming FILE (full path, wide names), as\n"
    "                      Explorer's Copy; repeat it for several files\n"
    "  --clip-none         empty the clipboard\n"
    "                      (without a --clip option the clipboard is left alone)\n"
    "  --list-formats      print the clipboard's formats in EnumClipboardFormats\n"
    "                      order (\"format: ID NAME\"), after any --clip option;\n"
    "                      without --tool nothing else is done\n"
    "  --make-table-emf FILE  write an enhanced metafile of a 150 x 60 mm table\n"
    "                      (grid lines, a grey header row, text) recorded on the\n"
    "                      screen, as an office program copies one; done first,\n"
    "                      so --clip-emf can place it\n"
    "  --play-emf EMF W H BMP  play EMF into W x H pixels as a picture program\n"
    "                      draws one (white ground, the frame onto the whole\n"
    "                      rectangle) and write them as a 24-bit BMP\n"
    "                      (--make-table-emf and --play-emf without --tool:\n"
    "                      nothing else is done)\n"
    "  --clip-held         keep the clipboard open while the tool starts, as\n"
    "                      another program may; it is let go once the window shows\n"
    "  --clip-held-for MS  keep the clipboard open until MS milliseconds after the\n"
    "                      tool first tried to open it, as a clipboard tool does\n"
    "                      for a moment (a tool that does not wait for it meets\n"
    "                      a clipboard held until --timeout)\n"
    "  --step STEP         one step, see below; steps run in the given order\n"
    "  --script FILE       steps from a UTF-8 file, one per line\n"
    "  --timeout MS        limit of every wait (default 15000)\n"
    "  --out FILE          write the returned JWC_TEMP.TXT there, byte for byte\n"
    "  --print             print the returned JWC_TEMP.TXT as UTF-8 text\n"
    "  --timing            print the milliseconds from starting the tool to its\n"
    "                      window shown and idle (\"timing: start-up MS\") and\n"
    "                      from the last step to the tool's end (\"timing: finish\n"
    "                      MS\"); waits poll every millisecond\n"
    "\n"
    "After the steps jwc-host waits for the tool to end. A message box that no\n"
    "'message' step waits for is printed and fails the run.\n"
    "\n";

const char kExitText[] =
    "\nExit codes: 0 ok, 1 usage, 2 setup failed, 3 tool did not start or show\n"
    "its window, 4 a step failed, 5 the tool did not end in time (killed),\n"
    "6 an unexpected message box (killed), 7 the tool's exit code was not 0,\n"
    "8 the tool left no JWC_TEMP.TXT, 9 the --launch command ended before the tool.\n";

bool AddStep(const std::string& line, Options& options, std::string& error) {
  Step step;
  if (!ParseStep(line, step, error)) return false;
  if (step.verb.empty()) return true;
  if (!CheckStep(step, error)) return false;
  options.steps.push_back(step);
  return true;
}

}  // namespace

int ParseOptions(int argc, wchar_t** argv, Options& options) {
  std::string error;
  // "--option=value" is taken as "--option" "value".
  std::vector<std::wstring> args;
  for (int i = 1; i < argc; ++i) {
    const std::wstring arg = argv[i];
    const size_t equals = arg.find(L'=');
    if (arg.compare(0, 2, L"--") == 0 && equals != std::wstring::npos) {
      args.push_back(arg.substr(0, equals));
      args.push_back(arg.substr(equals + 1));
    } else {
      args.push_back(arg);
    }
  }
  argc = static_cast<int>(args.size()) + 1;
  for (int i = 1; i < argc; ++i) {
    const std::wstring arg = args[i - 1];
    if (arg == L"--help" || arg == L"-h") {
      Out(kUsageText);
      Out(StepHelp());
      Out(kExitText);
      std::exit(kOk);
    }
    const bool hasValue = i + 1 < argc;
    auto value = [&]() { return args[static_cast<size_t>(i++)]; };
    if (arg == L"--clip-none") {
      options.clip = ClipKind::kNone;
    } else if (arg == L"--print") {
      options.print = true;
    } else if (arg == L"--keep-exchange") {
      options.keepExchange = true;
    } else if (arg == L"--clip-held") {
      options.holdClipboard = true;
    } else if (arg == L"--timing") {
      options.timing = true;
    } else if (arg == L"--list-formats") {
      options.listFormats = true;
    } else if (!hasValue) {
      Err("jwc-host: " + WideToUtf8(arg) + " needs a value (or is unknown)\n");
      return kUsage;
    } else if (arg == L"--play-emf") {
      long width = 0, height = 0;
      if (i + 4 >= argc) {
        Err("jwc-host: --play-emf needs EMF WIDTH HEIGHT BMP\n");
        return kUsage;
      }
      options.playEmf = value();
      const std::string widthText = WideToUtf8(value());
      const std::string heightText = WideToUtf8(value());
      options.playBmp = value();
      if (!ParseInt(widthText, width) || !ParseInt(heightText, height)) {
        Err("jwc-host: --play-emf needs EMF WIDTH HEIGHT BMP\n");
        return kUsage;
      }
      options.playWidth = static_cast<int>(width);
      options.playHeight = static_cast<int>(height);
    } else if (arg == L"--make-table-emf") {
      options.makeTableEmf = value();
    } else if (arg == L"--clip-held-for") {
      options.holdClipboard = true;
      options.holdClipboardMs = static_cast<DWORD>(std::wcstoul(value().c_str(), nullptr, 10));
    } else if (arg == L"--tool") {
      options.tool = value();
    } else if (arg == L"--launch") {
      options.launch = value();
    } else if (arg == L"--tool-args") {
      options.toolArgs = value();
    } else if (arg == L"--dir") {
      options.dir = value();
    } else if (arg == L"--exchange") {
      options.exchange = value();
    } else if (arg == L"--clip-bmp") {
      options.clip = ClipKind::kBmp;
      options.clipSource = value();
    } else if (arg == L"--clip-bmp-bitmap-on-request") {
      options.clip = ClipKind::kBmpBitmapOnRequest;
      options.clipSource = value();
    } else if (arg == L"--clip-emf") {
      options.clip = ClipKind::kEmf;
      options.clipSource = value();
    } else if (arg == L"--clip-wmf") {
      options.clip = ClipKind::kWmf;
      options.clipSource = value();
    } else if (arg == L"--clip-wmf-extents") {
      const std::wstring text = value();
      int mode = 0, x = 0, y = 0;
      if (swscanf(text.c_str(), L"%d,%d,%d", &mode, &x, &y) != 3) {
        Err("jwc-host: --clip-wmf-extents wants MM,X,Y: " + WideToUtf8(text) + "\n");
        return kUsage;
      }
      options.wmfExtentsGiven = true;
      options.wmfMode = mode;
      options.wmfXExt = x;
      options.wmfYExt = y;
    } else if (arg == L"--clip-text") {
      options.clip = ClipKind::kText;
      options.clipSource = value();
    } else if (arg == L"--clip-browser") {
      options.clip = ClipKind::kBrowser;
      options.clipSource = value();
    } else if (arg == L"--clip-browser-dib") {
      options.clip = ClipKind::kBrowserDib;
      options.clipSource = value();
    } else if (arg == L"--clip-paint") {
      options.clip = ClipKind::kPaint;
      options.clipSource = value();
    } else if (arg == L"--clip-png") {
      options.clip = ClipKind::kPng;
      options.clipSource = value();
    } else if (arg == L"--clip-files") {
      options.clip = ClipKind::kFiles;
      options.clipFiles.push_back(value());
    } else if (arg == L"--step") {
      if (!AddStep(WideToUtf8(value()), options, error)) {
        Err("jwc-host: " + error + "\n");
        return kUsage;
      }
    } else if (arg == L"--script") {
      const std::wstring path = value();
      std::string text;
      if (!ReadWholeFile(path, text)) {
        Err("jwc-host: cannot read script " + WideToUtf8(path) + "\n");
        return kUsage;
      }
      if (!ParseScript(text, options.steps, error)) {
        Err("jwc-host: " + WideToUtf8(path) + ": " + error + "\n");
        return kUsage;
      }
    } else if (arg == L"--timeout") {
      long ms = 0;
      if (!ParseInt(WideToUtf8(value()), ms) || ms <= 0) {
        Err("jwc-host: --timeout needs a positive number of milliseconds\n");
        return kUsage;
      }
      options.timeoutMs = static_cast<DWORD>(ms);
    } else if (arg == L"--out") {
      options.out = value();
    } else {
      Err("jwc-host: unknown option " + WideToUtf8(arg) + "\n");
      return kUsage;
    }
  }
  const bool emfOnly = !options.makeTableEmf.empty() || !options.playEmf.empty();
  if (options.tool.empty() && !options.listFormats && !emfOnly) {
    Err("jwc-host: --tool is required (see --help)\n");
    return kUsage;
  }
  return kOk;
}

}  // namespace zumorika::host
