// Exchange lines, one by one through ParseJwcLine after ResetJwcState, as the
// reader hands them over. Checks the state's invariants after every line.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "JwcDigest.h"
#include "exchange/JwwGaibu.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace zumorika;
  std::string_view bytes(reinterpret_cast<const char*>(data), size);
  ResetJwcState();
  size_t start = 0;
  while (start <= bytes.size()) {
    size_t end = bytes.find('\n', start);
    if (end == std::string_view::npos) end = bytes.size();
    // Lines reach the parser with every byte the file held, control bytes
    // included: the parser alone decides what to drop.
    ParseJwcLine(bytes.substr(start, end - start));
    std::string broken = reference::BrokenInvariant(JwcState);
    if (!broken.empty()) {
      std::fprintf(stderr, "invariant broken after line at offset %zu: %s\n", start,
                   broken.c_str());
      std::abort();
    }
    start = end + 1;
  }
  ReleaseJwcState();
  return 0;
}
