// File-system access by Shift-JIS path. On Windows the bytes are converted
// with code page 932 to UTF-16 and the wide APIs are used, so a Japanese
// drawing or folder name works on any system locale; elsewhere the bytes are
// handed to the C library as they are.
#pragma once

#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

namespace zumorika {

struct FileCloser {
  void operator()(std::FILE* file) const noexcept { std::fclose(file); }
};
using UniqueFile = std::unique_ptr<std::FILE, FileCloser>;

// fopen by Shift-JIS path; mode as for fopen (always use "b" modes: the tool
// writes CR LF itself). Null when the file cannot be opened.
UniqueFile OpenFile(const std::string& path, const char* mode);

// Creates a new file for writing ("wb"), never opening one that is already
// there: the check and the creation are one step of the file system, so a
// file another program creates at the same moment is not overwritten. Null
// when nothing was created; alreadyExists then says whether a file of that
// name was in the way (a folder of that name only makes the creation fail).
UniqueFile CreateNewFile(const std::string& path, bool& alreadyExists);

// What became of a file that had to be new.
enum class NewFileResult {
  Written,     // created by this call and written completely
  Exists,      // the name was taken: nothing was created or touched
  NotCreated,  // could not be created (missing folder, access denied ...)
  Unfinished,  // created by this call, then a write failed: may hold part of the data
};

// Closes the file and reports whether everything written reached it
// (a full disk often shows only at the final flush).
bool CloseFileChecked(UniqueFile file);

// Whether this program may write the file at `path`, found out without
// changing anything: a file that is there is opened for writing and closed
// unchanged; where there is none, one is created and removed at once. False
// for a folder that cannot be written (a read-only share, one the user has
// no right to, a missing one) and for a folder in the file's place.
bool MayWriteFile(const std::string& path);

// The whole of an open file, read from where it stands; false on a read
// error (the bytes then hold what was read).
bool ReadAll(std::FILE* file, std::vector<uint8_t>& bytes);

bool FileExists(const std::string& path);    // a file, not a folder
bool FolderExists(const std::string& path);  // a folder; a trailing separator is allowed
bool DeleteFileAt(const std::string& path);

// Full path of the running executable (Shift-JIS bytes).
std::string ExecutablePath();

}  // namespace zumorika
