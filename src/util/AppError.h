// The error that ends a handler and reaches the application's error box.
// Its text is Shift-JIS, like every text of the tool.
#pragma once

#include <stdexcept>
#include <string>

namespace zumorika {

class AppError : public std::runtime_error {
 public:
  explicit AppError(const std::string& sjisMessage) : std::runtime_error(sjisMessage) {}
};

}  // namespace zumorika
