// The exchange reader as it was before its fast paths (the integer reading
// of plain decimals and the in-place cutting of ASCII lines), built in a
// namespace of its own beside the product's.
#pragma once

#include <string>
#include <string_view>

// The exchange state's digest (JwcDigest.h) after the reference reader has
// taken these lines, each through ParseJwcLine, from a reset state.
std::string ReferenceReaderDigest(const std::string* lines, size_t count);

// The reference StrToFloatOr0.
double ReferenceStrToFloatOr0(std::string_view text);
