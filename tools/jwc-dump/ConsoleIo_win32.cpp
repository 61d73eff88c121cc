#include "ConsoleIo.h"

#include <windows.h>

#include <fcntl.h>
#include <io.h>
#include <shellapi.h>

#include <cstdio>
#include <memory>

#include "util/Cp932.h"

namespace zumorika {

namespace {

struct LocalFreer {
  void operator()(LPWSTR* p) const noexcept { LocalFree(p); }
};

}  // namespace

// argv holds the arguments in the ANSI code page, which need not be 932;
// the wide command line keeps a Japanese path whatever the system locale.
std::vector<std::string> CommandLineArgsSjis(int argc, char** argv) {
  int count = 0;
  std::unique_ptr<LPWSTR, LocalFreer> wide(CommandLineToArgvW(GetCommandLineW(), &count));
  if (!wide) return std::vector<std::string>(argv, argv + argc);
  std::vector<std::string> args;
  for (int i = 0; i < count; ++i) args.push_back(WideToCp932(wide.get()[i]));
  return args;
}

void SetStdoutBinary() {
  std::fflush(stdout);
  _setmode(_fileno(stdout), _O_BINARY);
}

}  // namespace zumorika
