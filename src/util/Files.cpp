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

}  // namespace zumorika
