#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include <vector>

#include "util/Files.h"

namespace zumorika {

namespace {

// A NUL byte would cut the path short and name another file.
bool UsablePath(const std::string& path) {
  return !path.empty() && path.find('\0') == std::string::npos;
}

}  // namespace

UniqueFile OpenFile(const std::string& path, const char* mode) {
  if (!UsablePath(path)) return nullptr;
  return UniqueFile(std::fopen(path.c_str(), mode));
}

UniqueFile CreateNewFile(const std::string& path, bool& alreadyExists) {
  alreadyExists = false;
  if (!UsablePath(path)) return nullptr;
  const int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL, 0666);
  if (fd < 0) {
    alreadyExists = errno == EEXIST && FileExists(path);
    return nullptr;
  }
  UniqueFile file(fdopen(fd, "wb"));
  if (!file) {
    // The empty file is this call's own.
    close(fd);
    unlink(path.c_str());
  }
  return file;
}

bool MayWriteFile(const std::string& path) {
  if (!UsablePath(path)) return false;
  int fd = open(path.c_str(), O_WRONLY);
  if (fd >= 0) {
    close(fd);
    return true;
  }
  if (errno != ENOENT) return false;
  fd = open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL, 0644);
  if (fd < 0) return false;
  close(fd);
  unlink(path.c_str());
  return true;
}

bool FileExists(const std::string& path) {
  struct stat info;
  return UsablePath(path) && stat(path.c_str(), &info) == 0 && !S_ISDIR(info.st_mode);
}

bool FolderExists(const std::string& path) {
  struct stat info;
  return UsablePath(path) && stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

bool DeleteFileAt(const std::string& path) {
  return UsablePath(path) && unlink(path.c_str()) == 0;
}

std::string ExecutablePath() {
  std::vector<char> buffer(256);
  for (;;) {
    ssize_t n = readlink("/proc/self/exe", buffer.data(), buffer.size());
    if (n < 0) return {};
    if (static_cast<size_t>(n) < buffer.size()) return std::string(buffer.data(), static_cast<size_t>(n));
    buffer.resize(buffer.size() * 2);  // possibly cut short: try a larger buffer
  }
}

}  // namespace zumorika
