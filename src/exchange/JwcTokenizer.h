// Splitting one exchange-file line into tokens, the way the host's records
// are meant to be read: blanks separate, the first unpaired double quote or
// equals sign makes the rest of the line one token, Shift-JIS pairs are never
// taken apart.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "util/MyFunc.h"

namespace zumorika {

// Where the plain-ASCII reading of a line stopped, so that the full reading
// can go on from there.
struct PlainAsciiStop {
  std::size_t at = 0;       // the first byte it could not take
  uint32_t ended = 0;       // tokens complete before it
  std::size_t current = 0;  // where the token running into it began (at when none)
};

class JwcTokens {
 public:
  static constexpr int kSlots = 32;

  int Count() const { return count_; }  // 0 when the line held no token

  // The line held only blanks, tabs and printable ASCII other than the
  // double quote and the equals sign, and was cut where it lies.
  bool PlainAscii() const { return plainAscii_; }

  // Token i, or an empty token past the count. Valid until the next line is
  // split into this object, and no longer than the line itself.
  std::string_view operator[](int i) const {
    if (i < 0 || i >= count_) return std::string_view();
    const std::size_t slot = static_cast<std::size_t>(i);
    return std::string_view(base_ + start_[slot], length_[slot]);
  }

  // StrToFloatOr0 of token i, under the rounding mode seen when the line was
  // split (by LoadJwcTemp, once for the line's block): nothing the tool runs
  // in between can change it.
  double Real(int i) const { return StrToFloatOr0((*this)[i], roundsToNearest_); }

 private:
  friend void TokenizeJwcLine(std::string_view line, JwcTokens& tokens, bool roundsToNearest);
  friend bool TokenizePlainAsciiLine(std::string_view line, JwcTokens& tokens, PlainAsciiStop& stop);

  // The tokens' bytes one after the other. A token never holds more bytes
  // than its line, and the buffer is reused from line to line, so a long file
  // costs no allocation per line.
  std::string bytes_;
  // Where the tokens' bytes lie: bytes_, or the line itself when no byte of
  // it needed dropping or joining.
  const char* base_ = nullptr;
  std::array<uint32_t, kSlots> start_{};
  std::array<uint32_t, kSlots> length_{};
  int count_ = 0;
  bool plainAscii_ = false;
  bool roundsToNearest_ = false;
};

// Fills `tokens` from `line`. A line with more tokens than slots keeps the
// first 32 and drops the rest; nothing is written outside the slots.
void TokenizeJwcLine(std::string_view line, JwcTokens& tokens);

// The same, for a caller that has looked at the rounding mode itself
// (RoundsToNearest) since any code but the reader's own last ran.
void TokenizeJwcLine(std::string_view line, JwcTokens& tokens, bool roundsToNearest);

}  // namespace zumorika
