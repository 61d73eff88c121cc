// Growth of the exchange's tables: the element stores, ElementOrder and the
// output buffer grow by 1000 entries at a time, never one by one, so a
// drawing of tens of thousands of elements costs a few dozen reallocations.
#pragma once

#include <cstddef>
#include <utility>
#include <vector>

namespace zumorika {

constexpr std::size_t kGrowthBlock = 1000;

// Appends one default-made entry and returns it. When the new count c leaves
// the remainder 1 by 1000 the capacity becomes exactly c + 999; reserve never
// gives less, and push_back below capacity never reallocates, so the capacity
// runs 1000, 2000, 3000 ...
template <typename T>
T& AppendGrown(std::vector<T>& table) {
  const std::size_t count = table.size() + 1;
  if (count % kGrowthBlock == 1) table.reserve(count + kGrowthBlock - 1);
  table.emplace_back();
  return table.back();
}

// Gives the storage back (clear() alone keeps the capacity).
template <typename T>
void ReleaseTable(std::vector<T>& table) {
  std::vector<T>().swap(table);
}

}  // namespace zumorika
