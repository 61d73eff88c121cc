// One character at a time between code page 932 and Unicode, supplied by the
// platform's converter (glibc iconv, or the Win32 code page functions). The
// splitting of a text into characters is shared, so both builds cut a text
// the same way and differ at most in the tables behind these two calls.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace zumorika {
namespace cp932 {

// Supplied by Cp932_posix.cpp or Cp932_win32.cpp:

// The code point of one one- or two-byte unit; false when it maps to none.
bool DecodeUnit(std::string_view unit, char32_t& codePoint);

// Appends the Shift-JIS bytes of one code point; false when it has none.
bool EncodeCodePoint(char32_t codePoint, std::string& out);

// Shared by both builds:

// The code points of a Shift-JIS text, U+FFFD for each unit that forms no
// character.
std::u32string DecodeText(std::string_view sjis);

// Appends the Shift-JIS bytes of one code point (one byte, or a lead byte and
// its trail); false, appending nothing, when it has none.
bool EncodeChar(char32_t codePoint, std::string& out);

// Strict UTF-8 (overlong forms, surrogates and points beyond U+10FFFF are
// errors): the length of the sequence at `i`, 0 on error.
size_t DecodeUtf8(std::string_view text, size_t i, char32_t& codePoint);

}  // namespace cp932
}  // namespace zumorika
