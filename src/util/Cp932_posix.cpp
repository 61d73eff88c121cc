#include <iconv.h>

#include <cstdint>

#include "util/Cp932Unit.h"

namespace zumorika {
namespace cp932 {

namespace {

// glibc's "CP932" is Microsoft's table (with the NEC and IBM extensions),
// unlike its "SHIFT_JIS", which maps 0x5C to the yen sign.
class Converter {
 public:
  Converter(const char* to, const char* from) : cd_(iconv_open(to, from)) {}
  ~Converter() {
    if (ok()) iconv_close(cd_);
  }
  Converter(const Converter&) = delete;
  Converter& operator=(const Converter&) = delete;

  bool ok() const { return cd_ != reinterpret_cast<iconv_t>(-1); }

  // Converts all of `in` into at most `capacity` bytes; false unless every
  // byte was taken.
  bool Convert(const char* in, size_t inSize, char* out, size_t capacity, size_t& written) {
    if (!ok()) return false;
    iconv(cd_, nullptr, nullptr, nullptr, nullptr);  // back to the initial state
    char* inPtr = const_cast<char*>(in);
    char* outPtr = out;
    size_t inLeft = inSize;
    size_t outLeft = capacity;
    size_t result = iconv(cd_, &inPtr, &inLeft, &outPtr, &outLeft);
    written = capacity - outLeft;
    return result != static_cast<size_t>(-1) && inLeft == 0;
  }

 private:
  iconv_t cd_;
};

// iconv descriptors carry state, so each thread keeps its own.
Converter& Decoder() {
  thread_local Converter converter("UTF-32LE", "CP932");
  return converter;
}

Converter& Encoder() {
  thread_local Converter converter("CP932", "UTF-32LE");
  return converter;
}

}  // namespace

bool DecodeUnit(std::string_view unit, char32_t& codePoint) {
  unsigned char out[8];
  size_t written = 0;
  if (!Decoder().Convert(unit.data(), unit.size(), reinterpret_cast<char*>(out), sizeof out,
                         written) ||
      written != 4) {
    return false;
  }
  codePoint = static_cast<char32_t>(out[0] | (out[1] << 8) | (out[2] << 16) |
                                    (static_cast<uint32_t>(out[3]) << 24));
  return true;
}

bool EncodeCodePoint(char32_t codePoint, std::string& out) {
  const char in[4] = {static_cast<char>(codePoint & 0xFF), static_cast<char>((codePoint >> 8) & 0xFF),
                      static_cast<char>((codePoint >> 16) & 0xFF),
                      static_cast<char>((codePoint >> 24) & 0xFF)};
  char bytes[8];
  size_t written = 0;
  if (!Encoder().Convert(in, sizeof in, bytes, sizeof bytes, written) || written == 0) return false;
  out.append(bytes, written);
  return true;
}

}  // namespace cp932
}  // namespace zumorika
