#include "CommandLine.h"

namespace zumorika {

// Outside Windows paths are bytes already; they are passed on as given.
std::vector<std::string> CommandLineArguments(int argc, char** argv) {
  return std::vector<std::string>(argv + 1, argv + argc);
}

}  // namespace zumorika
