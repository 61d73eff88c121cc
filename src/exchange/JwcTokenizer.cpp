#include "exchange/JwcTokenizer.h"

#include <cstring>

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

// Most lines are ASCII numbers and keys: bytes 0x21..0x7E other than the
// quote and the equals sign, separated by blanks and tabs. Such a line is
// cut where it lies, without copying its bytes.
enum : unsigned char { kTokenByte, kBlankByte, kOtherByte };
struct AsciiClassTable {
  unsigned char kind[256];
  constexpr AsciiClassTable() : kind() {
    for (int b = 0; b < 256; ++b) {
      const bool token = b >= 0x21 && b <= 0x7E && b != '"' && b != '=';
      kind[b] = token ? kTokenByte : (b == ' ' || b == '\t') ? kBlankByte : kOtherByte;
    }
  }
};
constexpr AsciiClassTable kAsciiClass;

}  // namespace

// The plain-ASCII case of TokenizeJwcLine; false, with `tokens` to be
// refilled, when the line holds any other byte before its 32nd token ends.
bool TokenizePlainAsciiLine(std::string_view line, JwcTokens& tokens) {
  const unsigned char* const data = reinterpret_cast<const unsigned char*>(line.data());
  const std::size_t size = line.size();
  std::size_t i = 0;
  int k = 0;
  while (true) {
    const std::size_t blanks = i;
    while (i < size && kAsciiClass.kind[data[i]] == kBlankByte) ++i;
    if (i == size) {
      // Blanks after the last token leave an empty token behind it.
      if (k > 0 && i > blanks) {
        tokens.start_[static_cast<std::size_t>(k)] = static_cast<uint32_t>(i);
        tokens.length_[static_cast<std::size_t>(k)] = 0;
        ++k;
      }
      break;
    }
    const std::size_t start = i;
    while (i < size && kAsciiClass.kind[data[i]] == kTokenByte) ++i;
    if (i < size && kAsciiClass.kind[data[i]] == kOtherByte) return false;
    const std::size_t slot = static_cast<std::size_t>(k);
    tokens.start_[slot] = static_cast<uint32_t>(start);
    tokens.length_[slot] = static_cast<uint32_t>(i - start);
    if (++k == JwcTokens::kSlots) break;
  }
  tokens.count_ = k;
  tokens.base_ = line.data();
  tokens.plainAscii_ = true;
  return true;
}

void TokenizeJwcLine(std::string_view line, JwcTokens& tokens) {
  tokens.count_ = 0;
  tokens.plainAscii_ = false;
  if (line.empty()) return;
  if (TokenizePlainAsciiLine(line, tokens)) return;
  tokens.plainAscii_ = false;
  if (tokens.bytes_.size() < line.size()) tokens.bytes_.resize(line.size());
  tokens.base_ = tokens.bytes_.data();

  char* const out = tokens.bytes_.data();
  std::size_t written = 0;
  int k = 0;
  tokens.start_[0] = 0;
  bool separating = true;
  const char* const data = line.data();
  const std::size_t size = line.size();
  std::size_t i = 0;
  while (i < size) {
    // Runs of ordinary bytes are copied in one go.
    const std::size_t run = i;
    const bool* plain = separating ? kPlainBytes.separating : kPlainBytes.joined;
    while (i < size && plain[static_cast<unsigned char>(data[i])]) ++i;
    std::memcpy(out + written, data + run, i - run);
    written += i - run;
    if (i == size) break;

    const unsigned char b = static_cast<unsigned char>(data[i]);
    if (IsSjisLeadByte(b)) {
      // A lead byte without its trail byte is dropped. A pair is never a
      // separator, quote or equals sign, whatever its trail byte is.
      if (i + 1 == size) break;
      out[written++] = data[i];
      out[written++] = data[i + 1];
      i += 2;
      continue;
    }
    ++i;
    if (separating && b == '"') {
      separating = false;
    } else if (separating && b == '=') {
      out[written++] = '=';
      separating = false;
    } else if (separating && (b == ' ' || b == '\t')) {
      if (written > tokens.start_[static_cast<std::size_t>(k)]) {
        tokens.length_[static_cast<std::size_t>(k)] =
            static_cast<uint32_t>(written - tokens.start_[static_cast<std::size_t>(k)]);
        if (k + 1 == JwcTokens::kSlots) {
          // The 33rd token and everything after it are dropped; no record
          // reads past the 17th token.
          tokens.count_ = JwcTokens::kSlots;
          return;
        }
        ++k;
        tokens.start_[static_cast<std::size_t>(k)] = static_cast<uint32_t>(written);
      }
    }
    // Control bytes (a tab once the rest of the line is one token, a stray
    // CR), 0xFE and 0xFF are dropped.
  }
  const std::size_t last = static_cast<std::size_t>(k);
  tokens.length_[last] = static_cast<uint32_t>(written - tokens.start_[last]);
  tokens.count_ = k + 1;
  if (tokens.count_ == 1 && tokens.length_[0] == 0) tokens.count_ = 0;
}

}  // namespace zumorika
