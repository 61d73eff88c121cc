#include <windows.h>

#include "util/Cp932.h"
#include "util/Cp932Unit.h"

namespace zumorika {
namespace cp932 {

bool DecodeUnit(std::string_view unit, char32_t& codePoint) {
  // Without MB_ERR_INVALID_CHARS an unmapped pair silently becomes the
  // code page's default character (U+30FB) instead of an error.
  wchar_t wide[2];
  int n = MultiByteToWideChar(932, MB_ERR_INVALID_CHARS, unit.data(), static_cast<int>(unit.size()),
                              wide, 2);
  if (n != 1) return false;
  codePoint = wide[0];
  return true;
}

bool EncodeCodePoint(char32_t codePoint, std::string& out) {
  wchar_t wide[2];
  int units = 1;
  if (codePoint >= 0x10000) {
    codePoint -= 0x10000;
    wide[0] = static_cast<wchar_t>(0xD800 + (codePoint >> 10));
    wide[1] = static_cast<wchar_t>(0xDC00 + (codePoint & 0x3FF));
    units = 2;
  } else {
    wide[0] = static_cast<wchar_t>(codePoint);
  }
  // WC_NO_BEST_FIT_CHARS: without it Windows writes look-alikes ("A" for
  // U+00C0) and the text would change its meaning unseen.
  char bytes[8];
  BOOL usedDefault = FALSE;
  int n = WideCharToMultiByte(932, WC_NO_BEST_FIT_CHARS, wide, units, bytes, sizeof bytes, nullptr,
                              &usedDefault);
  if (n <= 0 || usedDefault) return false;
  out.append(bytes, static_cast<size_t>(n));
  return true;
}

}  // namespace cp932

std::wstring Cp932ToWide(std::string_view sjis) {
  std::wstring out;
  out.reserve(sjis.size());
  for (char32_t cp : cp932::DecodeText(sjis)) {
    // Code page 932 maps only into the basic plane.
    out += static_cast<wchar_t>(cp);
  }
  return out;
}

std::string WideToCp932(std::wstring_view wide) {
  std::string out;
  out.reserve(wide.size() * 2);
  for (size_t i = 0; i < wide.size(); ++i) {
    char32_t cp = wide[i];
    if (cp >= 0xD800 && cp <= 0xDBFF && i + 1 < wide.size() && wide[i + 1] >= 0xDC00 &&
        wide[i + 1] <= 0xDFFF) {
      cp = 0x10000 + ((cp - 0xD800) << 10) + (wide[i + 1] - 0xDC00);
      ++i;
    }
    if (!cp932::EncodeChar(cp, out)) out += '?';
  }
  return out;
}

}  // namespace zumorika
