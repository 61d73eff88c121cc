// Helpers shared by the exchange tests: a scratch folder, byte files, and
// feeding lines through the reader the way LoadJwcTemp does.
#pragma once

#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <iterator>
#include <random>
#include <string>
#include <string_view>

#include "exchange/JwwGaibu.h"

namespace zumorika::testing {

// A fresh folder under the system's temporary folder, removed with its
// contents at the end of the test.
class ScratchFolder {
 public:
  ScratchFolder() {
    std::random_device seed;
    const auto base = std::filesystem::temp_directory_path();
    for (int attempt = 0; attempt < 100; ++attempt) {
      path_ = base / ("zumorika-exchange-" + std::to_string(seed()));
      if (std::filesystem::create_directory(path_)) return;
    }
    throw std::runtime_error("no scratch folder");
  }
  ~ScratchFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  }
  ScratchFolder(const ScratchFolder&) = delete;
  ScratchFolder& operator=(const ScratchFolder&) = delete;

  // A path inside the folder, as the tool's byte string (ASCII names only).
  std::string File(const std::string& name) const { return (path_ / name).string(); }
  const std::filesystem::path& Path() const { return path_; }

 private:
  std::filesystem::path path_;
};

inline void WriteBytes(const std::string& path, std::string_view bytes) {
  std::ofstream out(path, std::ios::binary);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

inline std::string ReadBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// Resets the state and hands each line to ParseJwcLine, in order.
inline void Feed(std::initializer_list<std::string_view> lines) {
  ResetJwcState();
  for (std::string_view line : lines) ParseJwcLine(line);
}

inline const ElementOrderEntry& OnlyElement() {
  if (JwcState.ElementOrder.size() != 1) throw std::runtime_error("expected one element");
  return JwcState.ElementOrder[0];
}

// "<ＭＳ ゴシック>" as the host writes it (an ordinary space, not an ideographic one).
constexpr std::string_view kMsGothic =
    "<\x82\x6C\x82\x72\x20\x83\x53\x83\x56\x83\x62\x83\x4E>";

}  // namespace zumorika::testing
