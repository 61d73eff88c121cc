#include <exception>
#include <utility>

#include "exchange/JwcLineReader.h"
#include "exchange/JwwGaibu.h"
#include "util/Files.h"

namespace zumorika {

bool LoadJwcTemp(const std::string& path) {
  if (!FileExists(path)) return false;
  UniqueFile file = OpenFile(path, "rb");
  if (!file) return false;
  bool complete = false;
  try {
    complete = ReadJwcLines(file.get(), [](std::string_view line) { ParseJwcLine(line); });
  } catch (...) {
    // Whatever a line raised, reading ends quietly with what was read so far;
    // nothing read from the host's file may bring up a message.
    complete = false;
  }
  const bool closed = CloseFileChecked(std::move(file));
  return complete && closed;
}

}  // namespace zumorika
