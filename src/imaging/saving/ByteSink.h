// Where a file writer's bytes go: a file, or memory in the tests and the
// benchmarks.
#pragma once

#include <cstddef>

namespace zumorika {

// Write returns how many bytes it took; fewer than asked is a failed write.
class ByteSink {
 public:
  virtual ~ByteSink() = default;
  virtual size_t Write(const void* data, size_t size) = 0;
};

}  // namespace zumorika
