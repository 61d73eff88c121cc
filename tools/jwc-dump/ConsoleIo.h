// What an inspector needs from the console: its arguments as Shift-JIS bytes
// (the tool's own text form) and a standard output that writes bytes as
// they are, so the Windows build prints LF line ends like the native one.
#pragma once

#include <string>
#include <vector>

namespace zumorika {

std::vector<std::string> CommandLineArgsSjis(int argc, char** argv);
void SetStdoutBinary();

}  // namespace zumorika
