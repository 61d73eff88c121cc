#include "ConsoleIo.h"

namespace zumorika {

// Paths are bytes here already.
std::vector<std::string> CommandLineArgsSjis(int argc, char** argv) {
  return std::vector<std::string>(argv, argv + argc);
}

void SetStdoutBinary() {}

}  // namespace zumorika
