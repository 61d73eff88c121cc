#include <windows.h>
#include <shellapi.h>

#include "CommandLine.h"
#include "util/Cp932.h"

namespace zumorika {

// argv is in the system's ANSI code page, which need not be 932; the wide
// command line is converted instead.
std::vector<std::string> CommandLineArguments(int, char**) {
  int count = 0;
  wchar_t** wide = CommandLineToArgvW(GetCommandLineW(), &count);
  std::vector<std::string> arguments;
  for (int i = 1; i < count; ++i) arguments.push_back(WideToCp932(wide[i]));
  LocalFree(wide);
  return arguments;
}

}  // namespace zumorika
