// What the tool writes, read back the way the host reads it: a text record
// and a font record go through the output buffer, SaveJwcTemp and
// LoadJwcTemp, and must come back with the same position, direction, text and
// font name (minus what the line rules drop: control bytes, 0xFE, 0xFF, a
// lead byte at the very end, everything past 255 bytes).
#include <unistd.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>

#include "exchange/JwwGaibu.h"
#include "util/MyFunc.h"

namespace {

// The bytes of `text` that survive a line of the exchange file after the
// quote: pairs stay, a final lead byte goes, control bytes and 0xFE/0xFF go.
std::string AfterQuote(std::string_view text) {
  std::string out;
  for (size_t i = 0; i < text.size(); ++i) {
    const unsigned char b = static_cast<unsigned char>(text[i]);
    if (zumorika::IsSjisLeadByte(b)) {
      if (i + 1 == text.size()) break;
      out += text.substr(i, 2);
      ++i;
    } else if (b >= 0x20 && b <= 0xFD) {
      out += static_cast<char>(b);
    }
  }
  return out;
}

[[noreturn]] void Fail(const char* what) {
  std::fprintf(stderr, "round trip: %s\n", what);
  std::abort();
}

double ReadDouble(const uint8_t* p) {
  double v;
  std::memcpy(&v, p, sizeof v);
  return v;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace zumorika;
  if (size < 34) return 0;
  const double x = ReadDouble(data), y = ReadDouble(data + 8);
  const double dx = ReadDouble(data + 16), dy = ReadDouble(data + 24);
  const int32_t kind = static_cast<int8_t>(data[32]);
  const size_t split = data[33];
  std::string_view rest(reinterpret_cast<const char*>(data + 34), size - 34);
  std::string_view font = rest.substr(0, std::min(split, rest.size()));
  std::string_view text = rest.substr(font.size());
  // Line breaks inside a text or a font name cannot come from the window's
  // one-line fields or from a file name.
  for (std::string_view s : {font, text})
    if (s.find_first_of("\r\n\x1A") != std::string_view::npos) return 0;
  // A record holding "file=" anywhere in its first token is the drawing's
  // name to the host; a font name read from the host's file never holds it.
  // (The reader drops control bytes before it looks, so look the same way.)
  if (AfterQuote(font).find("file=") != std::string::npos) return 0;
  // A buffered line that ends in a quote is joined with the next one (that is
  // how a text head meets its text), so a font name ending in a quote would
  // swallow the text record; no font or file name ends in one.
  const std::string fontLine = ("cn\"$" + std::string(font)).substr(0, 255);
  if (!font.empty() && fontLine.back() == '"') return 0;
  for (double v : {x, y, dx, dy})
    if (!std::isfinite(v)) return 0;

  static const std::string path = "/tmp/zumorika-fuzz-rt-" + std::to_string(getpid()) + ".TXT";
  ResetJwcState();
  ResetOutAttrs();
  OutFontName(font);
  OutText(kind, text, x, y, dx, dy);
  if (!SaveJwcTemp(path)) Fail("save failed");
  ResetJwcState();
  if (!LoadJwcTemp(path)) Fail("load failed");
  std::remove(path.c_str());

  // The font record: "cn", a quote, "$" and the name; an empty name leaves
  // the first-occurrence font open.
  // An empty name or "<>" stands for the current font, which is empty here.
  const std::string fontName = font.empty() || font == "<>" ? "" : std::string(font);
  if (JwcState.CurFontName != AfterQuote(fontName.substr(0, 255 - 4))) {
    std::fprintf(stderr, "got %zu bytes, expected %zu\n", JwcState.CurFontName.size(),
                 AfterQuote(fontName.substr(0, 255 - 4)).size());
    Fail("font name");
  }

  const bool tooShort = std::fabs(dx) < 1e-8 && std::fabs(dy) < 1e-8;
  const bool written = !tooShort && !CleanText(text).empty();
  const auto& texts = JwcState.Texts;
  if (!written) {
    if (texts.size() != 0) Fail("a dropped text came back");
    return 0;
  }
  // A text whose cut head would not hold its own numbers is no record the
  // host reads either; the head is short, so that never happens here.
  if (texts.size() != 1) Fail("text record count");
  const auto& t = texts[0];
  static const int32_t kSubKinds[] = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9};
  const int32_t sub = kind >= 0 && kind <= 9 ? kSubKinds[kind] : 0;
  if (t.SubKind != sub) Fail("kind");
  if (t.X != StrToFloatOr0(FormatReal(x)) || t.Y != StrToFloatOr0(FormatReal(y)) ||
      t.DX != StrToFloatOr0(FormatReal(dx)) || t.DY != StrToFloatOr0(FormatReal(dy)))
    Fail("position or direction");
  if (t.Text != AfterQuote(text.substr(0, 255)).substr(0, 255)) Fail("text");
  return 0;
}
