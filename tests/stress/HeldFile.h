// A file at a path that this process cannot open for writing while the
// holder lives, as another program can make it, with no file permissions
// involved (the tests may run as root). On Windows the holder keeps a handle
// that lets others read and delete the file but not write it; elsewhere the
// path is a bound socket, which open() refuses for anyone.
#pragma once

#include <filesystem>
#include <stdexcept>
#include <string>

#ifdef _WIN32
#include <windows.h>
#else
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstring>
#endif

#include "StressSupport.h"

namespace zumorika::stress {

class FileHeldAgainstWriting {
 public:
  // `bytes` are the file's contents where the platform keeps a regular file.
  FileHeldAgainstWriting(const std::string& path, const std::string& bytes) {
#ifdef _WIN32
    WriteBytes(path, bytes);
    handle_ = CreateFileW(std::filesystem::path(path).wstring().c_str(), GENERIC_READ,
                          FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                          FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle_ == INVALID_HANDLE_VALUE) throw std::runtime_error("cannot hold " + path);
#else
    (void)bytes;
    socket_ = socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    if (socket_ < 0 || path.size() >= sizeof address.sun_path) throw std::runtime_error("no socket");
    std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
    if (bind(socket_, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0)
      throw std::runtime_error("cannot bind " + path);
#endif
  }
  ~FileHeldAgainstWriting() {
#ifdef _WIN32
    CloseHandle(handle_);
#else
    close(socket_);
#endif
  }
  FileHeldAgainstWriting(const FileHeldAgainstWriting&) = delete;
  FileHeldAgainstWriting& operator=(const FileHeldAgainstWriting&) = delete;

  // Whether the file still holds `bytes` (a socket has none to compare).
  static bool Holds(const std::string& path, const std::string& bytes) {
#ifdef _WIN32
    return ReadBytes(path) == bytes;
#else
    (void)bytes;
    return std::filesystem::is_socket(path);
#endif
  }

 private:
#ifdef _WIN32
  HANDLE handle_ = INVALID_HANDLE_VALUE;
#else
  int socket_ = -1;
#endif
};

#ifdef _WIN32
// Gives a file the hidden attribute, as Explorer's "Hidden" box does.
inline bool MakeHidden(const std::string& path) {
  return SetFileAttributesW(std::filesystem::path(path).wstring().c_str(), FILE_ATTRIBUTE_HIDDEN) != 0;
}
#endif

}  // namespace zumorika::stress
