// A small writer of compact JSON text (UTF-8), for the inspectors. Commas
// are put in by the writer; the caller opens and closes objects and arrays.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace zumorika {

class JsonWriter {
 public:
  void BeginObject();
  void EndObject();
  void BeginArray();
  void EndArray();
  void Key(std::string_view utf8);  // followed by one value

  void Int(int64_t value);
  void Bool(bool value);
  // The shortest text that reads back to the same double; a value with no
  // JSON form (infinite, NaN) is written as null.
  void Double(double value);
  void String(std::string_view utf8);
  // Shift-JIS bytes, decoded as code page 932.
  void SjisString(std::string_view sjis);

  const std::string& Text() const { return text_; }

 private:
  void BeforeValue();

  std::string text_;
  std::vector<bool> first_;  // per open container: no element written yet
  bool afterKey_ = false;
};

// The shortest decimal text that reads back to exactly `value` (finite).
std::string ShortestDouble(double value);

}  // namespace zumorika
