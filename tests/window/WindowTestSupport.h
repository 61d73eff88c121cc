// Scratch folders and file helpers shared by the window tests.
#pragma once

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

namespace zumorika::test {

// A fresh empty folder for one test, removed again at its end.
class ScratchFolder {
 public:
  explicit ScratchFolder(const std::string& name) {
    path_ = std::filesystem::temp_directory_path() / ("zumorika_window_" + name);
    std::filesystem::remove_all(path_);
    std::filesystem::create_directories(path_);
  }
  ~ScratchFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  }
  ScratchFolder(const ScratchFolder&) = delete;
  ScratchFolder& operator=(const ScratchFolder&) = delete;

  // The folder with a trailing separator, as the tool holds folders.
  std::string Folder() const {
    std::string folder = path_.string();
#ifdef _WIN32
    return folder + "\\";
#else
    return folder + "/";
#endif
  }
  std::string File(const std::string& name) const { return Folder() + name; }

 private:
  std::filesystem::path path_;
};

inline void WriteBytes(const std::string& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary);
  out << bytes;
}

inline std::string ReadBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline bool Exists(const std::string& path) { return std::filesystem::exists(path); }

}  // namespace zumorika::test
