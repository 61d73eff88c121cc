// jwc-host: plays Jw_cad's part in an external transformation, so that the
// tool can be run and driven from scripts. It writes JWC_TEMP.TXT beside the
// tool, puts a picture on the clipboard, starts the tool, drives its window
// by control ID, answers its message boxes and hands back the exchange file
// the tool wrote.
//
// This file is the run; its parts are
//   HostOptions_win32     the command line (the step language: HostSteps)
//   HostClipboard_win32   the clipboard set up for the tool (ClipPictures:
//                         the bytes of the pictures real programs place)
//   ToolWindows_win32     finding, reading and pressing the tool's windows
//   Session_win32         the steps, one file per kind of thing they drive
//   VectorPictures_win32  metafiles made and played (--make-table-emf,
//                         --play-emf)
//   HostCommon_win32      exit codes, waits, output, text, files
#include <windows.h>

#include <cstdio>
#include <memory>
#include <string>

#include "BitmapOnRequest_win32.h"
#include "HostClipboard_win32.h"
#include "HostCommon_win32.h"
#include "HostOptions_win32.h"
#include "Session_win32.h"
#include "ToolWindows_win32.h"
#include "VectorPictures_win32.h"

namespace zumorika::host {
namespace {

LARGE_INTEGER Now() {
  LARGE_INTEGER now;
  QueryPerformanceCounter(&now);
  return now;
}

// Milliseconds since `start`, with one decimal.
std::string MillisecondsSince(LARGE_INTEGER start) {
  LARGE_INTEGER frequency;
  QueryPerformanceFrequency(&frequency);
  const double ms = static_cast<double>(Now().QuadPart - start.QuadPart) * 1000.0 /
                    static_cast<double>(frequency.QuadPart);
  char text[32];
  std::snprintf(text, sizeof text, "%.1f", ms);
  return text;
}

int Run(const Options& options) {
  UniqueWindow owner;
  if (const int made = MakeAndPlayMetafiles(options); made != kOk) return made;
  if (options.tool.empty() && !options.listFormats) return kOk;
  // --list-formats without a tool: the clipboard as asked, its formats shown.
  if (options.tool.empty()) return SetUpClipboard(options, owner);
  std::wstring tool = options.tool;
  if (!options.dir.empty()) {
    const std::wstring copy = WithSeparator(options.dir) + NameOf(tool);
    CreateDirectoryW(options.dir.c_str(), nullptr);
    if (!CopyFileW(tool.c_str(), copy.c_str(), FALSE)) {
      Err("jwc-host: " + LastErrorText("CopyFileW") + " for " + WideToUtf8(tool) + "\n");
      return kSetupFailed;
    }
    tool = copy;
  }
  wchar_t full[MAX_PATH * 4] = {};
  if (!GetFullPathNameW(tool.c_str(), MAX_PATH * 4, full, nullptr)) {
    Err("jwc-host: " + LastErrorText("GetFullPathNameW") + "\n");
    return kSetupFailed;
  }
  tool = full;
  const std::wstring folder = FolderOf(tool);
  const std::wstring exchangePath = folder + L"JWC_TEMP.TXT";

  if (!options.keepExchange) {
    if (options.exchange.empty()) {
      DeleteFileW(exchangePath.c_str());
    } else {
      std::string bytes;
      if (!ReadWholeFile(options.exchange, bytes) ||
          !WriteWholeFile(exchangePath, bytes)) {
        Err("jwc-host: cannot copy " + WideToUtf8(options.exchange) + " to " +
            WideToUtf8(exchangePath) + "\n");
        return kSetupFailed;
      }
    }
  }

  if (const int set = SetUpClipboard(options, owner); set != kOk) return set;

  std::unique_ptr<ClipboardSession> held;
  if (options.holdClipboard) {
    held = std::make_unique<ClipboardSession>(owner.get());
    if (!held->is_open()) {
      Err("jwc-host: clipboard: cannot keep it open\n");
      return kSetupFailed;
    }
  }

  const bool launched = !options.launch.empty();
  std::wstring commandLine = launched ? options.launch : L"\"" + tool + L"\"";
  if (!launched && !options.toolArgs.empty()) commandLine += L" " + options.toolArgs;
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION info{};
  const LARGE_INTEGER started = Now();
  if (!CreateProcessW(launched ? nullptr : tool.c_str(), commandLine.data(),
                      nullptr, nullptr, FALSE, 0, nullptr, folder.c_str(),
                      &startup, &info)) {
    Err("jwc-host: " + LastErrorText("CreateProcessW") + " for " +
        WideToUtf8(commandLine) + "\n");
    return kStartFailed;
  }
  UniqueKernelHandle process(info.hProcess);
  UniqueKernelHandle thread(info.hThread);

  Session session(options, process.get(), info.dwProcessId, info.dwThreadId,
                  launched);
  if (held && options.holdClipboardMs != 0) {
    // The tool opens the clipboard with a hidden static window of its own,
    // made for each open and kept while it waits for a busy clipboard; its
    // appearance marks the first try. A tool that gives up at once is gone
    // before it is seen: the clipboard is then held until the timeout.
    WaitForWindowMade(launched ? 0 : info.dwProcessId, L"Static", options.timeoutMs);
    Pause(options.holdClipboardMs);
    held.reset();
  }
  int result = session.WaitForWindow();
  if (options.timing && result == kOk) {
    Out("timing: start-up " + MillisecondsSince(started) + "\n");
  }
  held.reset();
  for (size_t i = 0; result == kOk && i < options.steps.size(); ++i) {
    result = session.RunStep(options.steps[i]);
  }
  if (result != kOk) {
    session.Kill();
    return result;
  }
  const LARGE_INTEGER stepsDone = Now();
  result = session.WaitForEnd();
  if (result != kOk) return result;
  if (options.timing) Out("timing: finish " + MillisecondsSince(stepsDone) + "\n");
  if (options.clip == ClipKind::kBmpBitmapOnRequest) {
    Out(std::string("clipboard: CF_BITMAP asked for: ") + (BitmapWasRequested() ? "yes" : "no") +
        "\n");
  }
  const int launcherResult = session.WaitForLauncher();

  std::string returned;
  if (!ReadWholeFile(exchangePath, returned)) {
    Err("jwc-host: the tool left no " + WideToUtf8(exchangePath) + "\n");
    return kNoExchangeFile;
  }
  if (!options.out.empty() && !WriteWholeFile(options.out, returned)) {
    Err("jwc-host: cannot write " + WideToUtf8(options.out) + "\n");
    return kSetupFailed;
  }
  if (options.print) Out(WideToUtf8(ToWide(returned, 932)));
  return launcherResult;
}

}  // namespace
}  // namespace zumorika::host

int wmain(int argc, wchar_t** argv) {
  // Per-monitor aware like the tool, so that the tool's rectangles reach us
  // in real pixels, not scaled to 96 dpi for an unaware caller.
  using SetContextFn = BOOL(WINAPI*)(HANDLE);
  if (auto setContext = reinterpret_cast<SetContextFn>(reinterpret_cast<void*>(
          GetProcAddress(GetModuleHandleW(L"user32.dll"), "SetProcessDpiAwarenessContext")))) {
    // Per-monitor v2, else v1 (Wine 8 knows v1 only).
    if (!setContext(reinterpret_cast<HANDLE>(static_cast<INT_PTR>(-4))))
      setContext(reinterpret_cast<HANDLE>(static_cast<INT_PTR>(-3)));
  }
  zumorika::host::Options options;
  const int parsed = zumorika::host::ParseOptions(argc, argv, options);
  if (parsed != zumorika::host::kOk) return parsed;
  return zumorika::host::Run(options);
}
