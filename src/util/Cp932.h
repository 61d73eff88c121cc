// Conversions between the tool's Shift-JIS bytes and Unicode, for the
// platform boundary and the inspectors' UTF-8 output.
#pragma once

#include <string>
#include <string_view>

namespace zumorika {

// Decodes code page 932 to UTF-8; a byte that forms no character becomes
// U+FFFD.
std::string Cp932ToUtf8(std::string_view sjis);

// Encodes UTF-8 as code page 932; a character with no Shift-JIS form becomes "?".
std::string Utf8ToCp932(std::string_view utf8);

#ifdef _WIN32
std::wstring Cp932ToWide(std::string_view sjis);
std::string WideToCp932(std::wstring_view wide);
#endif

}  // namespace zumorika
