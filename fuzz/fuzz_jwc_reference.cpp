// The exchange reader against the reader as it was before its fast paths:
// every field of the exchange state must come out equal, bit for bit, on any
// input, and StrToFloatOr0 must give the same double for every line and
// every token-like piece of it.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include "JwcDigest.h"
#include "exchange/JwwGaibu.h"
#include "reference/ReferenceReader.h"
#include "util/MyFunc.h"

namespace {

void CompareNumber(std::string_view text) {
  const double ours = zumorika::StrToFloatOr0(text);
  const double theirs = ReferenceStrToFloatOr0(text);
  if (std::memcmp(&ours, &theirs, sizeof ours) != 0) {
    std::fprintf(stderr, "StrToFloatOr0 gave %.17g, the reference %.17g, for [%.*s]\n", ours,
                 theirs, static_cast<int>(text.size()), text.data());
    std::abort();
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace zumorika;
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  const std::vector<std::string> lines = reference::SplitExchangeText(bytes);

  ResetJwcState();
  for (const auto& line : lines) ParseJwcLine(line);
  const std::string ours = reference::DigestOf(JwcState);
  ReleaseJwcState();
  if (ours != ReferenceReaderDigest(lines.data(), lines.size())) {
    std::fprintf(stderr, "the exchange state differs from the reference reader's\n");
    std::abort();
  }

  for (const auto& line : lines) {
    CompareNumber(line);
    size_t from = 0;
    while (from <= line.size()) {
      const size_t blank = line.find(' ', from);
      const size_t end = blank == std::string::npos ? line.size() : blank;
      CompareNumber(std::string_view(line).substr(from, end - from));
      from = end + 1;
    }
  }
  return 0;
}
