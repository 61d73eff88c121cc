// The program's arguments as Shift-JIS bytes, the tool's own text form, so
// that Japanese paths reach OpenFile unchanged on every platform.
#pragma once

#include <string>
#include <vector>

namespace zumorika {

std::vector<std::string> CommandLineArguments(int argc, char** argv);

}  // namespace zumorika
