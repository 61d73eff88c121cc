// minimal-window: the least a windowed Win32 program does - register a class,
// create one window, show it and run the message loop until the window is
// closed. The start-up benchmark times it beside the tool, in the same run
// and the same way (jwc-host --timing), as the floor that Windows and Wine
// themselves set. The class is named like the tool's main window so that
// jwc-host finds it.
//
// With --clipboard it also takes the clipboard picture before showing the
// window, as the tool's show sequence must: the first picture format the
// clipboard offers (a bitmap the system makes from a device-independent
// bitmap counts), fetched with GetClipboardData and copied into a bitmap of
// its own. That is the floor of any start-up that shows the picture.
//
// With --dib it takes CF_DIB instead, once, and nothing else: the least a
// program pays to hold a picture that the source program placed as a DIB.
#include <windows.h>

#include <cwchar>

#include "util/WinHandles_win32.h"

namespace {

using zumorika::SelectedObject;
using zumorika::UniqueHbitmap;
using zumorika::UniqueHdc;
using zumorika::UniqueHenhmetafile;
using zumorika::WindowDc;

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_DESTROY) {
    PostQuitMessage(0);
    return 0;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

// The picture taken from the clipboard; kept until the program ends.
struct ClipboardPicture {
  UniqueHbitmap bitmap;
  UniqueHenhmetafile metafile;
};

UniqueHbitmap CopyBitmap(HBITMAP source) {
  BITMAP description{};
  if (GetObjectW(source, sizeof description, &description) == 0) return UniqueHbitmap();
  const int width = description.bmWidth;
  const int height = description.bmHeight < 0 ? -description.bmHeight : description.bmHeight;
  WindowDc screen(nullptr);
  UniqueHbitmap copy(CreateCompatibleBitmap(screen.get(), width, height));
  UniqueHdc sourceDc(CreateCompatibleDC(screen.get()));
  UniqueHdc targetDc(CreateCompatibleDC(screen.get()));
  if (!copy || !sourceDc || !targetDc) return UniqueHbitmap();
  SelectedObject selectedSource(sourceDc.get(), source);
  SelectedObject selectedTarget(targetDc.get(), copy.get());
  PatBlt(targetDc.get(), 0, 0, width, height, WHITENESS);
  BitBlt(targetDc.get(), 0, 0, width, height, sourceDc.get(), 0, 0, SRCCOPY);
  return copy;
}

void TakeClipboardPicture(HWND owner, ClipboardPicture& picture) {
  if (!OpenClipboard(owner)) return;
  UINT format = 0;
  while ((format = EnumClipboardFormats(format)) != 0) {
    if (format == CF_BITMAP) {
      if (auto bitmap = static_cast<HBITMAP>(GetClipboardData(CF_BITMAP)))
        picture.bitmap = CopyBitmap(bitmap);
      break;
    }
    if (format == CF_ENHMETAFILE || format == CF_METAFILEPICT) {
      if (auto metafile = static_cast<HENHMETAFILE>(GetClipboardData(CF_ENHMETAFILE)))
        picture.metafile.reset(CopyEnhMetaFileW(metafile, nullptr));
      break;
    }
  }
  CloseClipboard();
}

// Fetches CF_DIB (under Wine, copied from the server into this process) and
// looks at its header; the data stays the clipboard's.
void TakeClipboardDib(HWND owner) {
  if (!OpenClipboard(owner)) return;
  if (HANDLE dib = GetClipboardData(CF_DIB)) {
    if (const void* header = GlobalLock(dib)) {
      static_cast<void>(static_cast<const BITMAPINFOHEADER*>(header)->biWidth);
      GlobalUnlock(dib);
    }
  }
  CloseClipboard();
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR commandLine, int showCommand) {
  const bool clipboard = commandLine != nullptr && std::wcsstr(commandLine, L"--clipboard");
  const bool dib = commandLine != nullptr && std::wcsstr(commandLine, L"--dib");
  WNDCLASSW windowClass{};
  windowClass.lpfnWndProc = WindowProc;
  windowClass.hInstance = instance;
  windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  windowClass.lpszClassName = L"TForm1";
  if (!RegisterClassW(&windowClass)) return 1;
  HWND window = CreateWindowExW(0, L"TForm1", L"minimal-window", WS_OVERLAPPEDWINDOW,
                                CW_USEDEFAULT, CW_USEDEFAULT, 640, 480, nullptr, nullptr,
                                instance, nullptr);
  if (!window) return 1;
  ClipboardPicture picture;
  if (clipboard) TakeClipboardPicture(window, picture);
  if (dib) TakeClipboardDib(window);
  ShowWindow(window, showCommand);
  UpdateWindow(window);
  MSG message;
  while (GetMessageW(&message, nullptr, 0, 0) > 0) {
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
  return 0;
}
