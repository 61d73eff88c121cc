// Growth of the exchange's tables: the element stores, ElementOrder and the
// output buffer grow by 1000 entries at a time, never one by one.
#pragma once

#include <cstddef>
#include <vector>

#include "exchange/BlockStore.h"

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

// The block store follows the same rule by itself, without moving entries.
template <typename T>
T& AppendGrown(BlockStore<T>& store) {
  return store.Append();
}

// Gives the storage back (clear() alone keeps the capacity).
template <typename T>
void ReleaseTable(std::vector<T>& table) {
  std::vector<T>().swap(table);
}

template <typename T>
void ReleaseTable(BlockStore<T>& store) {
  store.Release();
}

}  // namespace zumorika
