#include "util/Files.h"

namespace zumorika {

bool CloseFileChecked(UniqueFile file) {
  if (!file) return false;
  std::FILE* raw = file.release();
  // A failed fwrite sets the error flag and leaves nothing for fflush to
  // report, so the flag is read first.
  bool ok = std::ferror(raw) == 0;
  if (std::fflush(raw) != 0) ok = false;
  if (std::fclose(raw) != 0) ok = false;
  return ok;
}

bool ReadAll(std::FILE* file, std::vector<uint8_t>& bytes) {
  uint8_t chunk[65536];
  size_t got = 0;
  while ((got = std::fread(chunk, 1, sizeof chunk, file)) > 0) {
    bytes.insert(bytes.end(), chunk, chunk + got);
  }
  return std::ferror(file) == 0;
}

}  // namespace zumorika
