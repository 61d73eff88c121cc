#include <exception>
#include <utility>

#include "exchange/JwcLineReader.h"
#include "exchange/JwwGaibu.h"
#include "util/Files.h"
#include "util/MyFunc.h"

namespace zumorika {

bool LoadJwcTemp(const std::string& path) {
  if (!FileExists(path)) return false;
  UniqueFile file = OpenFile(path, "rb");
  if (!file) return false;
  bool complete = false;
  try {
    // The rounding mode is looked at after each block is read: only the
    // reader's own code runs between that and the block's lines.
    bool roundsToNearest = false;
    complete = ReadJwcLines(
        file.get(), [&roundsToNearest](std::string_view line) { ParseJwcLine(line, roundsToNearest); },
        [&roundsToNearest] { roundsToNearest = RoundsToNearest(); });
  } catch (...) {
    // Whatever a line raised, reading ends quietly with what was read so far;
    // nothing read from the host's file may bring up a message.
    complete = false;
  }
  const bool closed = CloseFileChecked(std::move(file));
  return complete && closed;
}

}  // namespace zumorika
