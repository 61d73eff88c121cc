#include "TestPictures.h"

#include <atomic>
#include <fstream>
#include <iterator>

#include <gtest/gtest.h>

#include "imaging/saving/BmpWriter.h"
#include "imaging/saving/JpegEncoder.h"

namespace zumorika::test {

ScratchFolder::ScratchFolder() {
  static std::atomic<int> counter{0};
  const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
  std::string name = "zumorika-imaging-";
  name += info != nullptr ? info->name() : "test";
  name += "-" + std::to_string(counter++);
  path_ = std::filesystem::temp_directory_path() / name;
  std::filesystem::remove_all(path_);
  std::filesystem::create_directories(path_);
}

ScratchFolder::~ScratchFolder() {
  std::error_code ignored;
  std::filesystem::remove_all(path_, ignored);
}

std::vector<uint8_t> ReadAllBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::vector<uint8_t> FileFromWholeWorkingImage(const TPicture& picture,
                                               const ImageSaveSettings& settings) {
  const WorkingImage whole = PrepareWorkingImage(picture);
  if (settings.FileKind != 0) {
    std::vector<uint8_t> jpeg;
    EncodeJpeg(whole, settings.JpegQuality & 0xFF, settings.JpegColor == 0, jpeg);
    return jpeg;
  }
  const int depth = settings.BmpDepth;
  const int bits = depth == 0 ? 1 : depth == 1 ? 4 : depth == 2 ? 8 : 24;
  MemorySink sink;
  WriteBmp(sink, ConvertWorkingImage(whole, bits));
  return sink.bytes_;
}

}  // namespace zumorika::test
