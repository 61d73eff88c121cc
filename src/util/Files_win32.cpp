#include <windows.h>

#include <fcntl.h>
#include <io.h>

#include <cerrno>
#include <cstring>
#include <cwchar>
#include <vector>

#include "util/Cp932.h"
#include "util/Files.h"

namespace zumorika {

namespace {

// The wide form of a Shift-JIS path, or false when a byte forms no character
// (it would turn into U+FFFD, a legal file-name character, and so name
// another file) or the path holds a NUL byte.
bool WidePath(const std::string& path, std::wstring& wide) {
  if (path.empty() || path.find('\0') != std::string::npos) return false;
  wide = Cp932ToWide(path);
  return wide.find(L'\xFFFD') == std::wstring::npos;
}

DWORD Attributes(const std::string& path) {
  std::wstring wide;
  if (!WidePath(path, wide)) return INVALID_FILE_ATTRIBUTES;
  return GetFileAttributesW(wide.c_str());
}

// _wfopen's "w" asks for CREATE_ALWAYS, which Windows refuses with
// ERROR_ACCESS_DENIED for an existing hidden or system file. Truncating the
// file as it is (TRUNCATE_EXISTING) is allowed and keeps its attributes.
UniqueFile TruncateHiddenFile(const std::wstring& widePath, const char* mode) {
  const DWORD attributes = GetFileAttributesW(widePath.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0 ||
      (attributes & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM)) == 0) {
    return nullptr;
  }
  HANDLE handle = CreateFileW(widePath.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                              nullptr, TRUNCATE_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (handle == INVALID_HANDLE_VALUE) return nullptr;
  const int fd = _open_osfhandle(reinterpret_cast<intptr_t>(handle), _O_WRONLY | _O_BINARY);
  if (fd == -1) {
    CloseHandle(handle);
    return nullptr;
  }
  UniqueFile file(_fdopen(fd, mode));
  if (!file) _close(fd);
  return file;
}

}  // namespace

UniqueFile OpenFile(const std::string& path, const char* mode) {
  std::wstring widePath;
  if (!WidePath(path, widePath)) return nullptr;
  std::wstring wideMode;
  for (const char* p = mode; *p != '\0'; ++p) wideMode += static_cast<wchar_t>(static_cast<unsigned char>(*p));
  UniqueFile file(_wfopen(widePath.c_str(), wideMode.c_str()));
  if (!file && errno == EACCES && mode[0] == 'w' && std::strchr(mode, '+') == nullptr)
    file = TruncateHiddenFile(widePath, mode);
  return file;
}

UniqueFile CreateNewFile(const std::string& path, bool& alreadyExists) {
  alreadyExists = false;
  std::wstring wide;
  if (!WidePath(path, wide)) return nullptr;
  // CREATE_NEW fails with ERROR_FILE_EXISTS when a file of that name exists
  // (ERROR_ALREADY_EXISTS or ERROR_ACCESS_DENIED for a folder, which does not
  // count); the sharing is _wfopen's.
  HANDLE handle = CreateFileW(wide.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                              nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (handle == INVALID_HANDLE_VALUE) {
    const DWORD error = GetLastError();
    alreadyExists = (error == ERROR_FILE_EXISTS || error == ERROR_ALREADY_EXISTS ||
                     error == ERROR_ACCESS_DENIED) &&
                    FileExists(path);
    return nullptr;
  }
  // The C stream takes over the descriptor, the descriptor the handle.
  const int fd = _open_osfhandle(reinterpret_cast<intptr_t>(handle), _O_WRONLY | _O_BINARY);
  if (fd == -1) {
    CloseHandle(handle);
  } else if (UniqueFile file{_fdopen(fd, "wb")}) {
    return file;
  } else {
    _close(fd);
  }
  // The empty file is this call's own.
  DeleteFileW(wide.c_str());
  return nullptr;
}

bool MayWriteFile(const std::string& path) {
  std::wstring wide;
  if (!WidePath(path, wide)) return false;
  // A file that is there is opened for writing: neither its content nor its
  // times change while nothing is written. Another program holding it
  // without write sharing holds it for a moment; its folder is writable.
  HANDLE handle = CreateFileW(wide.c_str(), GENERIC_WRITE,
                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (handle == INVALID_HANDLE_VALUE) {
    const DWORD error = GetLastError();
    if (error == ERROR_SHARING_VIOLATION) return true;
    if (error != ERROR_FILE_NOT_FOUND) return false;
    // Where there is none, one is made; FILE_FLAG_DELETE_ON_CLOSE removes
    // it again with the handle.
    handle = CreateFileW(wide.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                         FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
    if (handle == INVALID_HANDLE_VALUE) return false;
  }
  CloseHandle(handle);
  return true;
}

bool FileExists(const std::string& path) {
  DWORD attributes = Attributes(path);
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

bool FolderExists(const std::string& path) {
  DWORD attributes = Attributes(path);
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

bool DeleteFileAt(const std::string& path) {
  std::wstring wide;
  return WidePath(path, wide) && DeleteFileW(wide.c_str()) != 0;
}

std::string ExecutablePath() {
  // GetModuleFileNameW truncates silently when the buffer is short (a long
  // path beyond MAX_PATH), returning the full buffer size: grow and retry.
  std::vector<wchar_t> buffer(MAX_PATH);
  for (;;) {
    DWORD n = GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
    if (n == 0) return {};
    if (n < buffer.size()) return WideToCp932(std::wstring_view(buffer.data(), n));
    if (buffer.size() >= 32768) return {};
    buffer.resize(buffer.size() * 2);
  }
}

}  // namespace zumorika
