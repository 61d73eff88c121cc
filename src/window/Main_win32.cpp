// Program entry of zumorika.exe. Jw_cad starts the tool without arguments
// after writing JWC_TEMP.TXT beside it; the tool ends when its window closes.
#include <windows.h>

#include "window/Unit1_win32.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int showCommand) {
  zumorika::TForm1 form(instance);
  form.Create();
  form.Run(showCommand);
  zumorika::ExeFolder.clear();
  // The host reads the exchange file, not the exit code; every run ends
  // normally once the window has closed.
  return 0;
}
