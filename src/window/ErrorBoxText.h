// The text of the application's error box.
#pragma once

#include <string>
#include <string_view>

namespace zumorika {

// The message with "." added when its last character sorts after ".".
// The last character is found by scanning Shift-JIS from the start, so a
// trail byte is never taken for a character of its own; a double-byte
// character sorts after "." as a whole (both of its bytes lie above 0x2E),
// so a Japanese message always gets its ".". An empty message stays empty.
std::string ErrorBoxText(std::string_view sjisMessage);

}  // namespace zumorika
