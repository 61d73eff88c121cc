#include "exchange/JwcTokenizer.h"

#include "util/MyFunc.h"

namespace zumorika {

namespace {

// A byte that is simply appended to the current token: printable, no lead
// byte, and while separating neither a blank, a quote nor an equals sign.
// Single-byte katakana (0xA0..0xDF) are ordinary characters. Looked up in a
// table: this test runs for every byte of the file.
struct PlainByteTable {
  bool separating[256];
  bool joined[256];  // after the first quote or equals sign
  constexpr PlainByteTable() : separating(), joined() {
    for (int b = 0; b < 256; ++b) {
      const bool printable = b >= 0x20 && b <= 0xFD && !IsSjisLeadByte(static_cast<unsigned char>(b));
      joined[b] = printable;
      separating[b] = printable && b != ' ' && b != '"' && b != '=';
    }
  }
};
constexpr PlainByteTable kPlainBytes;

}  // namespace

void TokenizeJwcLine(std::string_view line, JwcTokens& tokens) {
  // Slots are cleared as the scan reaches them; the count hides the rest.
  tokens.Count = 0;
  if (line.empty()) return;

  int k = 0;
  bool separating = true;
  std::string* slot = &tokens.Slots[0];
  slot->clear();
  const char* const data = line.data();
  const std::size_t size = line.size();
  std::size_t i = 0;
  while (i < size) {
    // Runs of ordinary bytes go into the slot in one append.
    const std::size_t run = i;
    const bool* plain = separating ? kPlainBytes.separating : kPlainBytes.joined;
    while (i < size && plain[static_cast<unsigned char>(data[i])]) ++i;
    if (i > run) slot->append(data + run, i - run);
    if (i == size) break;

    const unsigned char b = static_cast<unsigned char>(data[i]);
    if (IsSjisLeadByte(b)) {
      // A lead byte without its trail byte is dropped. A pair is never a
      // separator, quote or equals sign, whatever its trail byte is.
      if (i + 1 == size) break;
      slot->append(data + i, 2);
      i += 2;
      continue;
    }
    ++i;
    if (separating && b == '"') {
      separating = false;
    } else if (separating && b == '=') {
      slot->push_back('=');
      separating = false;
    } else if (separating && (b == ' ' || b == '\t')) {
      if (!slot->empty()) {
        if (k + 1 == JwcTokens::kSlots) {
          // The 33rd token and everything after it are dropped; no record
          // reads past the 17th token.
          tokens.Count = JwcTokens::kSlots;
          return;
        }
        ++k;
        slot = &tokens.Slots[static_cast<std::size_t>(k)];
        slot->clear();
      }
    }
    // Control bytes (a tab once the rest of the line is one token, a stray
    // CR), 0xFE and 0xFF are dropped.
  }
  tokens.Count = k + 1;
  if (tokens.Count == 1 && tokens.Slots[0].empty()) tokens.Count = 0;
}

}  // namespace zumorika
