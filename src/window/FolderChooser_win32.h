// The folder chooser behind the "..." button: the system's save-file dialog,
// used only to pick a folder.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>

namespace zumorika {

// Runs the save-file dialog modally over `owner`, opening at `initialFolder`
// (Shift-JIS, with its trailing separator; empty, or a folder that does not
// exist, leaves the folder to the dialog) with the file name "　", so that the user can confirm it without
// typing a name. True, with the
// chosen file's full Shift-JIS path, when the user confirmed; no file is
// created. Raises AppError when the dialog's DLL cannot be loaded.
bool ChooseFileInFolder(HWND owner, std::string_view initialFolder, std::string& chosenPath);

}  // namespace zumorika
