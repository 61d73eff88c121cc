// Program entry of zumorika.exe. Jw_cad starts the tool without arguments
// after writing JWC_TEMP.TXT beside it; the tool ends when its window closes.
#include <windows.h>

#include "window/StartupMarks_win32.h"
#include "window/Unit1_win32.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int showCommand) {
  ZUMORIKA_STARTUP_MARK("process start to entry");
  zumorika::TForm1 form(instance);
  form.Create();
  ZUMORIKA_STARTUP_MARK("windows, controls and fonts");
  form.Run(showCommand);
  zumorika::ExeFolder.clear();
  ZUMORIKA_STARTUP_WRITE();
  // The host reads the exchange file, not the exit code; every run ends
  // normally once the window has closed.
  return 0;
}
