// The exchange state as one JSON object, keyed by the state's field names.
#pragma once

#include <string>

#include "exchange/JwwGaibu.h"

namespace zumorika {

std::string JwcStateToJson(const TJwcState& state);

}  // namespace zumorika
