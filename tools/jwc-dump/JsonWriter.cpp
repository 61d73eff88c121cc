#include "JsonWriter.h"

#include <charconv>
#include <cmath>

#include "util/Cp932.h"

namespace zumorika {

std::string ShortestDouble(double value) {
  // std::to_chars without a precision gives the shortest round-trip form,
  // computed by the library itself rather than the C runtime's printf, so the
  // native and the Windows builds write the same digits.
  char buffer[64];
  const std::to_chars_result r = std::to_chars(buffer, buffer + sizeof buffer, value);
  return std::string(buffer, r.ptr);
}

void JsonWriter::BeforeValue() {
  if (afterKey_) {
    afterKey_ = false;
    return;
  }
  if (!first_.empty()) {
    if (!first_.back()) text_ += ',';
    first_.back() = false;
  }
}

void JsonWriter::BeginObject() {
  BeforeValue();
  text_ += '{';
  first_.push_back(true);
}

void JsonWriter::EndObject() {
  first_.pop_back();
  text_ += '}';
}

void JsonWriter::BeginArray() {
  BeforeValue();
  text_ += '[';
  first_.push_back(true);
}

void JsonWriter::EndArray() {
  first_.pop_back();
  text_ += ']';
}

void JsonWriter::Key(std::string_view utf8) {
  String(utf8);
  text_ += ':';
  afterKey_ = true;
}

void JsonWriter::Int(int64_t value) {
  BeforeValue();
  text_ += std::to_string(value);
}

void JsonWriter::Bool(bool value) {
  BeforeValue();
  text_ += value ? "true" : "false";
}

void JsonWriter::Double(double value) {
  BeforeValue();
  text_ += std::isfinite(value) ? ShortestDouble(value) : std::string("null");
}

void JsonWriter::String(std::string_view utf8) {
  BeforeValue();
  static const char kHex[] = "0123456789abcdef";
  text_ += '"';
  for (char c : utf8) {
    const unsigned char b = static_cast<unsigned char>(c);
    if (c == '"' || c == '\\') {
      text_ += '\\';
      text_ += c;
    } else if (b < 0x20) {
      text_ += "\\u00";
      text_ += kHex[b >> 4];
      text_ += kHex[b & 15];
    } else {
      text_ += c;
    }
  }
  text_ += '"';
}

void JsonWriter::SjisString(std::string_view sjis) { String(Cp932ToUtf8(sjis)); }

}  // namespace zumorika
