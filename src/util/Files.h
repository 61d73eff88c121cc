// File-system access by Shift-JIS path. On Windows the bytes are converted
// with code page 932 to UTF-16 and the wide APIs are used, so a Japanese
// drawing or folder name works on any system locale; elsewhere the bytes are
// handed to the C library as they are.
#pragma once

#include <cstdio>
#include <memory>
#include <string>

namespace zumorika {

struct FileCloser {
  void operator()(std::FILE* file) const noexcept { std::fclose(file); }
};
using UniqueFile = std::unique_ptr<std::FILE, FileCloser>;

// fopen by Shift-JIS path; mode as for fopen (always use "b" modes: the tool
// writes CR LF itself). Null when the file cannot be opened.
UniqueFile OpenFile(const std::string& path, const char* mode);

// Closes the file and reports whether everything written reached it
// (a full disk often shows only at the final flush).
bool CloseFileChecked(UniqueFile file);

bool FileExists(const std::string& path);    // a file, not a folder
bool FolderExists(const std::string& path);  // a folder; a trailing separator is allowed
bool DeleteFileAt(const std::string& path);

// Full path of the running executable (Shift-JIS bytes).
std::string ExecutablePath();

}  // namespace zumorika
