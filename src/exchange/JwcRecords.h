// The record handlers behind ParseJwcLine, one per family of records.
#pragma once

#include <string_view>

#include "exchange/JwcTokenizer.h"

namespace zumorika {

inline bool StartsWith(std::string_view token, std::string_view key) {
  return token.substr(0, key.size()) == key;
}

// Header, attribute and marker records (the keyed records read before any
// element test). Returns false when the line is none of them.
bool ParseKeyedRecord(const JwcTokens& tokens);

// Element records: circles, arcs, texts, points, blocks, solids and bare
// lines. A line that is no element is ignored.
void ParseElementRecord(const JwcTokens& tokens);

}  // namespace zumorika
