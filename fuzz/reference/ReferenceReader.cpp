// Compiled with zumorika renamed to zumorika_reference, like the rest of the
// reference reader.
#include "ReferenceReader.h"

#include "JwcDigest.h"
#include "exchange/JwwGaibu.h"
#include "util/MyFunc.h"

std::string ReferenceReaderDigest(const std::string* lines, size_t count) {
  using namespace zumorika;
  ResetJwcState();
  for (size_t i = 0; i < count; ++i) ParseJwcLine(lines[i]);
  std::string digest = reference::DigestOf(JwcState);
  ReleaseJwcState();
  return digest;
}

double ReferenceStrToFloatOr0(std::string_view text) { return zumorika::StrToFloatOr0(text); }
