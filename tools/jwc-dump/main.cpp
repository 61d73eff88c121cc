// jwc-dump FILE: reads an exchange file exactly as the tool does and prints
// the resulting exchange state as one JSON object (UTF-8).
#include <cstdio>
#include <string>

#include "ConsoleIo.h"
#include "JwcJson.h"
#include "exchange/JwwGaibu.h"
#include "util/Cp932.h"
#include "util/Files.h"

int main(int argc, char** argv) {
  using namespace zumorika;
  const std::vector<std::string> args = CommandLineArgsSjis(argc, argv);
  if (args.size() != 2) {
    std::fprintf(stderr, "usage: jwc-dump FILE\n");
    return 2;
  }
  const std::string& path = args[1];
  const std::string shownPath = Cp932ToUtf8(path);
  if (!FileExists(path)) {
    std::fprintf(stderr, "jwc-dump: %s: no such file\n", shownPath.c_str());
    return 1;
  }
  ResetJwcState();
  if (!LoadJwcTemp(path)) {
    std::fprintf(stderr, "jwc-dump: %s: could not be read to its end\n", shownPath.c_str());
    return 1;
  }
  const std::string json = JwcStateToJson(JwcState) + "\n";
  SetStdoutBinary();
  const bool written = std::fwrite(json.data(), 1, json.size(), stdout) == json.size();
  if (std::fflush(stdout) != 0 || !written) {
    std::fprintf(stderr, "jwc-dump: cannot write the output\n");
    return 1;
  }
  return 0;
}
