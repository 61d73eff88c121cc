#include "exchange/JwcTokenizer.h"

#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

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
#if !defined(__SSE2__)
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
#endif

}  // namespace

#if defined(__SSE2__)

namespace {

// Bit i of each mask stands for byte i of 16.
struct ByteClasses {
  uint32_t blank;  // blank or tab
  uint32_t token;  // 0x21..0x7E other than the quote and the equals sign
};

ByteClasses Classify(__m128i bytes) {
  const __m128i blank = _mm_or_si128(_mm_cmpeq_epi8(bytes, _mm_set1_epi8(' ')),
                                     _mm_cmpeq_epi8(bytes, _mm_set1_epi8('\t')));
  // Signed comparison: bytes from 0x80 on count as negative, so this keeps
  // 0x21..0x7F, and 0x7F goes with the excluded ones.
  const __m128i printable = _mm_cmpgt_epi8(bytes, _mm_set1_epi8(0x20));
  const __m128i excluded = _mm_or_si128(_mm_or_si128(_mm_cmpeq_epi8(bytes, _mm_set1_epi8('"')),
                                                     _mm_cmpeq_epi8(bytes, _mm_set1_epi8('='))),
                                        _mm_cmpeq_epi8(bytes, _mm_set1_epi8(0x7F)));
  return {static_cast<uint32_t>(_mm_movemask_epi8(blank)),
          static_cast<uint32_t>(_mm_movemask_epi8(_mm_andnot_si128(excluded, printable)))};
}

// The classes of bytes [pos, pos + 16) of the line, or of what is left of it,
// without reading outside the line.
ByteClasses ClassifyAt(const char* data, std::size_t size, std::size_t pos) {
  const std::size_t left = size - pos;
  if (left >= 16) return Classify(_mm_loadu_si128(reinterpret_cast<const __m128i*>(data + pos)));
  const uint32_t valid = (1u << left) - 1;
  ByteClasses c;
  if (size >= 16) {
    // The line's last 16 bytes, shifted down past those already seen.
    c = Classify(_mm_loadu_si128(reinterpret_cast<const __m128i*>(data + size - 16)));
    c.blank >>= 16 - left;
    c.token >>= 16 - left;
  } else {
    alignas(16) char tail[16] = {};
    std::memcpy(tail, data + pos, left);
    c = Classify(_mm_load_si128(reinterpret_cast<const __m128i*>(tail)));
  }
  c.blank &= valid;
  c.token &= valid;
  return c;
}

}  // namespace

// The plain-ASCII case of TokenizeJwcLine; false, with `stop` telling how
// far it got, when the line holds any other byte before its 32nd token ends.
// Sixteen bytes are classified at a time, and the tokens' starts and ends
// are taken from the bit masks: a line costs a few steps per token, not a
// test and a branch per byte.
bool TokenizePlainAsciiLine(std::string_view line, JwcTokens& tokens, PlainAsciiStop& stop) {
  constexpr uint32_t kSlots = JwcTokens::kSlots;
  const char* const data = line.data();
  const std::size_t size = line.size();
  uint32_t begun = 0;  // tokens whose start is known
  uint32_t ended = 0;  // tokens whose end is known
  uint32_t tokenBefore = 0;  // 1 when the byte before the block is a token byte
  bool blankAtEnd = false;
  for (std::size_t pos = 0; pos < size; pos += 16) {
    const std::size_t left = size - pos;
    const uint32_t valid = left >= 16 ? 0xFFFFu : (1u << left) - 1;
    const ByteClasses c = ClassifyAt(data, size, pos);
    const uint32_t other = valid & ~(c.blank | c.token);
    const uint32_t after = (c.token << 1) | tokenBefore;  // bit i: byte i - 1 is a token byte
    // Only what lies before the first other byte counts here; that byte
    // ends the plain reading unless the 32nd token ended before it.
    const uint32_t seen = other ? (other & (0u - other)) - 1 : valid;
    for (uint32_t starts = c.token & ~after & seen; starts != 0; starts &= starts - 1) {
      if (begun < kSlots)
        tokens.start_[begun] = static_cast<uint32_t>(pos) + static_cast<uint32_t>(__builtin_ctz(starts));
      ++begun;
    }
    for (uint32_t ends = c.blank & after & seen; ends != 0; ends &= ends - 1) {
      const uint32_t end = static_cast<uint32_t>(pos) + static_cast<uint32_t>(__builtin_ctz(ends));
      tokens.length_[ended] = end - tokens.start_[ended];
      if (++ended == kSlots) {
        tokens.count_ = static_cast<int>(kSlots);
        tokens.base_ = data;
        tokens.plainAscii_ = true;
        return true;
      }
    }
    if (other) {
      stop.at = pos + static_cast<std::size_t>(__builtin_ctz(other));
      stop.ended = ended;
      stop.current = begun > ended ? tokens.start_[ended] : stop.at;
      return false;
    }
    const uint32_t lastBit = 1u << ((left >= 16 ? 16 : left) - 1);
    tokenBefore = (c.token & lastBit) ? 1 : 0;
    blankAtEnd = (c.blank & lastBit) != 0;
  }
  if (tokenBefore) {
    // The last token runs to the end of the line.
    tokens.length_[ended] = static_cast<uint32_t>(size) - tokens.start_[ended];
    ++ended;
  } else if (blankAtEnd && ended > 0) {
    // Blanks after the last token leave an empty token behind it.
    tokens.start_[ended] = static_cast<uint32_t>(size);
    tokens.length_[ended] = 0;
    ++ended;
  }
  tokens.count_ = static_cast<int>(ended);
  tokens.base_ = data;
  tokens.plainAscii_ = true;
  return true;
}

#else

// The plain-ASCII case of TokenizeJwcLine; false, with `stop` telling how
// far it got, when the line holds any other byte before its 32nd token ends.
bool TokenizePlainAsciiLine(std::string_view line, JwcTokens& tokens, PlainAsciiStop& stop) {
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
    if (i < size && kAsciiClass.kind[data[i]] == kOtherByte) {
      stop.at = i;
      stop.ended = static_cast<uint32_t>(k);
      stop.current = start;
      return false;
    }
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

#endif

void TokenizeJwcLine(std::string_view line, JwcTokens& tokens) {
  TokenizeJwcLine(line, tokens, RoundsToNearest());
}

void TokenizeJwcLine(std::string_view line, JwcTokens& tokens, bool roundsToNearest) {
  tokens.count_ = 0;
  tokens.plainAscii_ = false;
  tokens.roundsToNearest_ = roundsToNearest;
  if (line.empty()) return;
  PlainAsciiStop stop;
  if (TokenizePlainAsciiLine(line, tokens, stop)) return;
  if (tokens.bytes_.size() < line.size()) tokens.bytes_.resize(line.size());
  tokens.base_ = tokens.bytes_.data();

  char* const out = tokens.bytes_.data();
  const char* const data = line.data();
  const std::size_t size = line.size();
  // Up to the stop the line was plain: its tokens are packed one after the
  // other, as the loop below would have packed them, and the reading goes on
  // from there.
  std::size_t written = 0;
  for (uint32_t j = 0; j < stop.ended; ++j) {
    std::memcpy(out + written, data + tokens.start_[j], tokens.length_[j]);
    tokens.start_[j] = static_cast<uint32_t>(written);
    written += tokens.length_[j];
  }
  int k = static_cast<int>(stop.ended);
  tokens.start_[static_cast<std::size_t>(k)] = static_cast<uint32_t>(written);
  std::memcpy(out + written, data + stop.current, stop.at - stop.current);
  written += stop.at - stop.current;
  bool separating = true;
  std::size_t i = stop.at;
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
