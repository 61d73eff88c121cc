#include "util/Cp932.h"

#include <cstdint>

#include "util/Cp932Unit.h"

namespace zumorika {

namespace {

constexpr char32_t kReplacement = 0xFFFD;

// Code page 932's own lead bytes (narrower than the range the tool treats as
// lead bytes when it scans text, see IsSjisLeadByte).
bool IsCp932Lead(unsigned char b) { return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC); }
bool IsCp932Trail(unsigned char b) { return b >= 0x40 && b <= 0xFC && b != 0x7F; }

// Single bytes with a fixed meaning. Windows maps the bytes that are neither
// ASCII, katakana nor lead bytes to U+0080 and private-use points; glibc
// refuses them. Both builds use the Windows mapping, so such a byte survives a
// round trip through Unicode.
bool DecodeSingleByte(unsigned char b, char32_t& codePoint) {
  if (b < 0x80) {
    codePoint = b;
  } else if (b >= 0xA1 && b <= 0xDF) {
    codePoint = 0xFF61 + (b - 0xA1);  // half-width katakana
  } else if (b == 0x80) {
    codePoint = 0x80;
  } else if (b == 0xA0) {
    codePoint = 0xF8F0;
  } else if (b >= 0xFD) {
    codePoint = 0xF8F1 + (b - 0xFD);
  } else {
    return false;
  }
  return true;
}

bool EncodeSingleByte(char32_t cp, std::string& out) {
  unsigned b;
  if (cp < 0x81) {
    b = static_cast<unsigned>(cp);
  } else if (cp >= 0xFF61 && cp <= 0xFF9F) {
    b = 0xA1 + static_cast<unsigned>(cp - 0xFF61);
  } else if (cp == 0xF8F0) {
    b = 0xA0;
  } else if (cp >= 0xF8F1 && cp <= 0xF8F3) {
    b = 0xFD + static_cast<unsigned>(cp - 0xF8F1);
  } else {
    return false;
  }
  out += static_cast<char>(b);
  return true;
}

void AppendUtf8(char32_t cp, std::string& out) {
  if (cp < 0x80) {
    out += static_cast<char>(cp);
  } else if (cp < 0x800) {
    out += static_cast<char>(0xC0 | (cp >> 6));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else if (cp < 0x10000) {
    out += static_cast<char>(0xE0 | (cp >> 12));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (cp >> 18));
    out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  }
}

}  // namespace

namespace cp932 {

std::u32string DecodeText(std::string_view sjis) {
  std::u32string out;
  out.reserve(sjis.size());
  for (size_t i = 0; i < sjis.size();) {
    unsigned char b = static_cast<unsigned char>(sjis[i]);
    char32_t cp = kReplacement;
    if (!IsCp932Lead(b)) {
      DecodeSingleByte(b, cp);
      i += 1;
    } else if (i + 1 < sjis.size() && IsCp932Trail(static_cast<unsigned char>(sjis[i + 1]))) {
      // A well-formed pair that the table leaves empty is one bad character.
      if (!DecodeUnit(sjis.substr(i, 2), cp)) cp = kReplacement;
      i += 2;
    } else {
      // A lead byte without its trail: only the lead byte is lost; what
      // follows is read afresh.
      i += 1;
    }
    out += cp;
  }
  return out;
}

bool EncodeChar(char32_t cp, std::string& out) {
  if (EncodeSingleByte(cp, out)) return true;
  if (cp >= 0xD800 && cp <= 0xDFFF) return false;
  std::string bytes;
  if (!EncodeCodePoint(cp, bytes)) return false;
  // Accept only a pair that reads back as the same character: glibc maps a
  // few look-alikes one way (the yen sign to 0x5C), which would change the
  // text unseen and make the two builds disagree.
  char32_t back;
  if (bytes.size() != 2 || !IsCp932Lead(static_cast<unsigned char>(bytes[0])) ||
      !IsCp932Trail(static_cast<unsigned char>(bytes[1])) || !DecodeUnit(bytes, back) ||
      back != cp) {
    return false;
  }
  out += bytes;
  return true;
}

size_t DecodeUtf8(std::string_view text, size_t i, char32_t& cp) {
  unsigned char b = static_cast<unsigned char>(text[i]);
  size_t length;
  char32_t min;
  if (b < 0x80) {
    cp = b;
    return 1;
  } else if (b >= 0xC2 && b <= 0xDF) {
    length = 2, cp = b & 0x1F, min = 0x80;
  } else if (b >= 0xE0 && b <= 0xEF) {
    length = 3, cp = b & 0x0F, min = 0x800;
  } else if (b >= 0xF0 && b <= 0xF4) {
    length = 4, cp = b & 0x07, min = 0x10000;
  } else {
    return 0;
  }
  if (i + length > text.size()) return 0;
  for (size_t k = 1; k < length; ++k) {
    unsigned char c = static_cast<unsigned char>(text[i + k]);
    if ((c & 0xC0) != 0x80) return 0;
    cp = (cp << 6) | (c & 0x3F);
  }
  if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return 0;
  return length;
}

}  // namespace cp932

std::string Cp932ToUtf8(std::string_view sjis) {
  std::string out;
  out.reserve(sjis.size() * 3 / 2);
  for (char32_t cp : cp932::DecodeText(sjis)) AppendUtf8(cp, out);
  return out;
}

std::string Utf8ToCp932(std::string_view utf8) {
  std::string out;
  out.reserve(utf8.size());
  for (size_t i = 0; i < utf8.size();) {
    char32_t cp;
    size_t length = cp932::DecodeUtf8(utf8, i, cp);
    if (length == 0 || !cp932::EncodeChar(cp, out)) out += '?';
    i += length == 0 ? 1 : length;
  }
  return out;
}

}  // namespace zumorika
