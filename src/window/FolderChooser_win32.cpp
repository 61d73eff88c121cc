#include "window/FolderChooser_win32.h"

#include <commdlg.h>

#include <algorithm>
#include <vector>

#include "imaging/picture/GdiHandles_win32.h"
#include "util/Cp932.h"
#include "util/Files.h"
#include "window/SystemLibrary_win32.h"

namespace zumorika {

namespace {

// GetSaveFileNameW, from comdlg32.dll loaded at the first call. Linked in,
// comdlg32 would bring shell32 and its company into every start of the
// tool, which most runs never use.
using GetSaveFileNameFn = BOOL(WINAPI*)(LPOPENFILENAMEW);
GetSaveFileNameFn SaveFileDialog() {
  auto getSaveFileName = SystemFunction<GetSaveFileNameFn>(L"comdlg32.dll", "GetSaveFileNameW");
  if (getSaveFileName == nullptr) RaiseSystemError(::GetLastError());
  return getSaveFileName;
}

}  // namespace

bool ChooseFileInFolder(HWND owner, std::string_view initialFolder, std::string& chosenPath) {
  // The folder goes into the file name, not lpstrInitialDir: from Windows 7
  // on, lpstrInitialDir gives way to the folder the user chose last time
  // whenever it equals what the program passed the first time, and a path
  // in lpstrFile comes before both. The name "　" lets the user confirm the
  // dialog without typing one. A folder that is not there (or no folder
  // name at all: a bad path makes the dialog refuse to open) leaves the
  // folder to the dialog, as lpstrInitialDir did.
  std::wstring folder = FolderExists(std::string(initialFolder)) ? Cp932ToWide(initialFolder)
                                                                 : std::wstring();
  std::wstring initialName = folder + L'\x3000';
  std::vector<wchar_t> file(32768, L'\0');
  initialName.copy(file.data(), std::min(initialName.size(), file.size() - 1));

  OPENFILENAMEW dialog{};
  dialog.lStructSize = sizeof dialog;
  dialog.hwndOwner = owner;
  dialog.lpstrFile = file.data();
  dialog.nMaxFile = static_cast<DWORD>(file.size());
  dialog.Flags = OFN_HIDEREADONLY | OFN_NOCHANGEDIR | OFN_EXPLORER;
  if (!SaveFileDialog()(&dialog)) return false;
  chosenPath = WideToCp932(file.data());
  return true;
}

}  // namespace zumorika
