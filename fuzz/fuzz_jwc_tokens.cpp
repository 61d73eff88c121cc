// The exchange-line tokenizer against a model written from the host's record
// rules: blanks and tabs separate until the first unpaired quote or equals
// sign, Shift-JIS pairs (lead bytes 0x80..0x9F, 0xE0..0xFD) stay whole, a
// lead byte at the end is dropped, control bytes and 0xFE, 0xFF are dropped.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "exchange/JwcTokenizer.h"
#include "util/MyFunc.h"

namespace {

std::vector<std::string> ModelTokens(std::string_view line) {
  std::vector<std::string> slots(1);
  bool separating = true;
  for (size_t i = 0; i < line.size(); ++i) {
    const unsigned char b = static_cast<unsigned char>(line[i]);
    if (zumorika::IsSjisLeadByte(b)) {
      if (i + 1 == line.size()) break;
      slots.back() += line[i];
      slots.back() += line[i + 1];
      ++i;
    } else if (b == '"' && separating) {
      separating = false;
    } else if (b == '=' && separating) {
      slots.back() += '=';
      separating = false;
    } else if ((b == ' ' || b == '\t') && separating) {
      if (!slots.back().empty()) slots.emplace_back();
    } else if (b >= 0x20 && b <= 0xFD) {
      slots.back() += static_cast<char>(b);
    }
  }
  if (slots.size() == 1 && slots[0].empty()) slots.clear();
  if (slots.size() > 32) slots.resize(32);
  return slots;
}

void Dump(const char* what, std::string_view text) {
  std::fprintf(stderr, "%s [", what);
  for (unsigned char c : text) std::fprintf(stderr, c >= 0x20 && c < 0x7F ? "%c" : "\\x%02X", c);
  std::fprintf(stderr, "]\n");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string_view line(reinterpret_cast<const char*>(data), size);
  static zumorika::JwcTokens tokens;  // reused, as the reader reuses it
  zumorika::TokenizeJwcLine(line, tokens);
  const auto model = ModelTokens(line);
  bool same = tokens.Count() == static_cast<int>(model.size());
  for (int i = 0; same && i < tokens.Count(); ++i) same = tokens[i] == model[i];
  if (!same) {
    Dump("line", line);
    std::fprintf(stderr, "tokenizer gave %d tokens, model %zu\n", tokens.Count(), model.size());
    for (int i = 0; i < tokens.Count(); ++i) Dump("  got", tokens[i]);
    for (const auto& t : model) Dump("  want", t);
    std::abort();
  }
  return 0;
}
