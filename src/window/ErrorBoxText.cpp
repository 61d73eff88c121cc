#include "window/ErrorBoxText.h"

#include "util/MyFunc.h"

namespace zumorika {

std::string ErrorBoxText(std::string_view sjisMessage) {
  std::string text(sjisMessage);
  std::size_t last = std::string_view::npos;
  for (std::size_t i = 0; i < sjisMessage.size();) {
    last = i;
    bool pair = IsSjisLeadByte(static_cast<unsigned char>(sjisMessage[i])) &&
                i + 1 < sjisMessage.size();
    i += pair ? 2 : 1;
  }
  if (last != std::string_view::npos &&
      static_cast<unsigned char>(sjisMessage[last]) > static_cast<unsigned char>('.'))
    text += '.';
  return text;
}

}  // namespace zumorika
