#pragma once
// Internal to the store: a list of 32-bit values with reading and inserting by position in
// logarithmic time, for building sorted indexes of millions of entries.
#include <cstddef>
#include <cstdint>
#include <vector>

namespace lexmora::detail {

// The values are kept in order in leaves of at most `leafCapacity` values; a Fenwick tree over
// the leaf sizes maps a position to its leaf and the place in it. A full leaf is split in two
// before an insertion into it, and the tree is then rebuilt, which happens once per
// leafCapacity / 2 insertions at most.
class RankedList {
 public:
  static constexpr size_t kDefaultLeafCapacity = 2048;

  explicit RankedList(size_t leafCapacity = kDefaultLeafCapacity);

  size_t Size() const noexcept { return size_; }
  // The value at `position`; requires position < Size().
  int32_t At(size_t position) const noexcept;
  // Inserts `value` before the value now at `position`; position == Size() appends.
  void Insert(size_t position, int32_t value);
  // Appends all values, in order, to `out` and empties the list.
  void MoveTo(std::vector<int32_t>& out);

 private:
  struct Place {
    size_t leaf;
    size_t index;
  };
  // The leaf holding `position` and the index in it; for position == Size(), the end of the
  // last leaf.
  Place Locate(size_t position) const noexcept;
  void SplitLeaf(size_t leaf);
  void RebuildTree();

  size_t leafCapacity_;
  std::vector<std::vector<int32_t>> leaves_;
  std::vector<uint32_t> tree_;  // 1-based: tree_[k] sums the sizes of leaves (k - lowbit(k), k]
  size_t topStep_ = 0;          // the highest power of two not above leaves_.size()
  size_t size_ = 0;
};

}  // namespace lexmora::detail
