// Whole exchange files through LoadJwcTemp, compared with the same bytes cut
// into lines by a model of the host's text file and handed to ParseJwcLine:
// the file reader must neither lose, join nor alter lines.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "JwcDigest.h"
#include "exchange/JwwGaibu.h"

namespace {

std::string TempPath() {
  const char* dir = std::getenv("TMPDIR");
  return std::string(dir ? dir : "/tmp") + "/zumorika-fuzz-" + std::to_string(getpid()) +
         "-JWC_TEMP.TXT";
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace zumorika;
  static const std::string path = TempPath();
  std::FILE* file = std::fopen(path.c_str(), "wb");
  if (!file) std::abort();
  std::fwrite(data, 1, size, file);
  std::fclose(file);

  ResetJwcState();
  bool loaded = LoadJwcTemp(path);
  std::string fromFile = reference::DigestOf(JwcState);
  std::string broken = reference::BrokenInvariant(JwcState);
  if (!loaded) {
    std::fprintf(stderr, "LoadJwcTemp failed on a readable file\n");
    std::abort();
  }
  if (!broken.empty()) {
    std::fprintf(stderr, "invariant broken: %s\n", broken.c_str());
    std::abort();
  }

  ResetJwcState();
  std::string_view bytes(reinterpret_cast<const char*>(data), size);
  for (const auto& line : reference::SplitExchangeText(bytes)) ParseJwcLine(line);
  if (reference::DigestOf(JwcState) != fromFile) {
    std::fprintf(stderr, "LoadJwcTemp and line-by-line parsing disagree\n");
    std::abort();
  }
  ReleaseJwcState();
  std::remove(path.c_str());
  return 0;
}
