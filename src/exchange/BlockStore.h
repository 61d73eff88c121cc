// The element stores: a table that grows by whole blocks of 1000 entries and
// never moves what it holds. A drawing of 200,000 elements takes 200 block
// allocations and no copying, where a contiguous array resized by 1000 at a
// time would copy its contents 200 times over.
#pragma once

#include <array>
#include <cstddef>
#include <iterator>
#include <memory>
#include <stdexcept>
#include <vector>

namespace zumorika {

template <typename T, std::size_t kBlockSize = 1000>
class BlockStore {
  using Block = std::array<T, kBlockSize>;

 public:
  BlockStore() = default;
  BlockStore(BlockStore&&) noexcept = default;
  BlockStore& operator=(BlockStore&&) noexcept = default;
  BlockStore(const BlockStore& other) : size_(other.size_) {
    blocks_.reserve(other.blocks_.size());
    for (const auto& block : other.blocks_) blocks_.push_back(std::make_unique<Block>(*block));
  }
  BlockStore& operator=(const BlockStore& other) {
    if (this != &other) *this = BlockStore(other);
    return *this;
  }

  std::size_t size() const { return size_; }
  bool empty() const { return size_ == 0; }
  // Entries allocated: always a whole number of blocks.
  std::size_t capacity() const { return blocks_.size() * kBlockSize; }

  T& operator[](std::size_t i) { return (*blocks_[i / kBlockSize])[i % kBlockSize]; }
  const T& operator[](std::size_t i) const { return (*blocks_[i / kBlockSize])[i % kBlockSize]; }
  T& at(std::size_t i) { return (*this)[Checked(i)]; }
  const T& at(std::size_t i) const { return (*this)[Checked(i)]; }
  T& back() { return (*this)[size_ - 1]; }
  const T& back() const { return (*this)[size_ - 1]; }

  // Appends a default-made entry. When the new count leaves the remainder 1
  // by the block size, a new block is added first: the capacity becomes the
  // count plus 999.
  T& Append() {
    if (size_ == capacity()) blocks_.push_back(std::make_unique<Block>());
    return (*this)[size_++];
  }

  // Empties the store and gives its storage back.
  void Release() {
    std::vector<std::unique_ptr<Block>>().swap(blocks_);
    size_ = 0;
  }

  class const_iterator {
   public:
    using iterator_category = std::forward_iterator_tag;
    using value_type = T;
    using difference_type = std::ptrdiff_t;
    using pointer = const T*;
    using reference = const T&;

    const_iterator(const BlockStore* store, std::size_t i) : store_(store), i_(i) {}
    reference operator*() const { return (*store_)[i_]; }
    pointer operator->() const { return &(*store_)[i_]; }
    const_iterator& operator++() {
      ++i_;
      return *this;
    }
    bool operator==(const const_iterator& o) const { return i_ == o.i_; }
    bool operator!=(const const_iterator& o) const { return i_ != o.i_; }

   private:
    const BlockStore* store_;
    std::size_t i_;
  };
  const_iterator begin() const { return const_iterator(this, 0); }
  const_iterator end() const { return const_iterator(this, size_); }

 private:
  std::size_t Checked(std::size_t i) const {
    if (i >= size_) throw std::out_of_range("BlockStore index");
    return i;
  }

  std::vector<std::unique_ptr<Block>> blocks_;
  std::size_t size_ = 0;
};

}  // namespace zumorika
