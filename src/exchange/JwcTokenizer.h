// Splitting one exchange-file line into tokens, the way the host's records
// are meant to be read: blanks separate, the first unpaired double quote or
// equals sign makes the rest of the line one token, Shift-JIS pairs are never
// taken apart.
#pragma once

#include <array>
#include <string>
#include <string_view>

namespace zumorika {

struct JwcTokens {
  static constexpr int kSlots = 32;

  // Reused from line to line: clearing a std::string keeps its capacity, so
  // a long file costs no allocation per line once the slots have grown.
  std::array<std::string, kSlots> Slots;
  int Count = 0;  // 0 when the line held no token

  // Token i, or an empty token past the count.
  const std::string& operator[](int i) const {
    static const std::string kEmpty;
    return (i >= 0 && i < Count) ? Slots[static_cast<std::size_t>(i)] : kEmpty;
  }
};

// Fills `tokens` from `line`. A line with more tokens than slots keeps the
// first 32 and drops the rest; nothing is written outside the array.
void TokenizeJwcLine(std::string_view line, JwcTokens& tokens);

}  // namespace zumorika
