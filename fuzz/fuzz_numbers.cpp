// StrToIntOr0 and StrToFloatOr0 against slow models of the number rules: the
// fuzzer looks for wrong answers, not only for crashes.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string_view>

#include "NumberReference.h"
#include "util/MyFunc.h"

namespace {

void Fail(const char* what, std::string_view text) {
  std::fprintf(stderr, "%s for text [", what);
  for (unsigned char c : text) std::fprintf(stderr, c >= 0x20 && c < 0x7F ? "%c" : "\\x%02X", c);
  std::fprintf(stderr, "]\n");
  std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string_view text(reinterpret_cast<const char*>(data), size);

  int32_t gotInt = zumorika::StrToIntOr0(text);
  int32_t wantInt = zumorika::reference::StrToInt(text);
  if (gotInt != wantInt) {
    std::fprintf(stderr, "StrToIntOr0 gave %d, expected %d\n", gotInt, wantInt);
    Fail("integer mismatch", text);
  }

  double gotReal = zumorika::StrToFloatOr0(text);
  double wantReal = 0;
  if (!zumorika::reference::AcceptableReal(text, gotReal, &wantReal)) {
    std::fprintf(stderr, "StrToFloatOr0 gave %.17g, expected %.17g\n", gotReal, wantReal);
    Fail("real mismatch", text);
  }
  return 0;
}
