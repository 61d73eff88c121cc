#include "exchange/JwcTokenizer.h"

#include "util/MyFunc.h"

namespace zumorika {

void TokenizeJwcLine(std::string_view line, JwcTokens& tokens) {
  // Slots are cleared as the scan reaches them; the count hides the rest.
  tokens.Count = 0;
  if (line.empty()) return;

  int k = 0;
  bool separating = true;
  std::string* slot = &tokens.Slots[0];
  slot->clear();
  const std::size_t size = line.size();
  for (std::size_t i = 0; i < size; ++i) {
    const unsigned char b = static_cast<unsigned char>(line[i]);
    if (IsSjisLeadByte(b)) {
      // A lead byte without its trail byte is dropped. A pair is never a
      // separator, quote or equals sign, whatever its trail byte is.
      if (i + 1 == size) break;
      slot->push_back(line[i]);
      slot->push_back(line[i + 1]);
      ++i;
    } else if (separating && b == '"') {
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
    } else if (b >= 0x20 && b <= 0xFD) {
      slot->push_back(line[i]);
    }
    // Control bytes (a tab once the rest of the line is one token, a stray
    // CR), 0xFE and 0xFF are dropped.
  }
  tokens.Count = k + 1;
  if (tokens.Count == 1 && tokens.Slots[0].empty()) tokens.Count = 0;
}

}  // namespace zumorika
