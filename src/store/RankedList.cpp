#include "store/RankedList.h"

#include <algorithm>

namespace lexmora::detail {

RankedList::RankedList(size_t leafCapacity) : leafCapacity_(std::max<size_t>(leafCapacity, 2)) {}

RankedList::Place RankedList::Locate(size_t position) const noexcept {
  if (position == size_)
    return {leaves_.size() - 1, leaves_.back().size()};
  size_t k = 0;
  size_t rest = position;
  for (size_t step = topStep_; step != 0; step >>= 1) {
    if (k + step <= leaves_.size() && tree_[k + step] <= rest) {
      k += step;
      rest -= tree_[k];
    }
  }
  return {k, rest};
}

int32_t RankedList::At(size_t position) const noexcept {
  const Place place = Locate(position);
  return leaves_[place.leaf][place.index];
}

void RankedList::Insert(size_t position, int32_t value) {
  if (leaves_.empty()) {
    leaves_.emplace_back().reserve(leafCapacity_);
    RebuildTree();
  }
  Place place = Locate(position);
  if (leaves_[place.leaf].size() >= leafCapacity_) {
    SplitLeaf(place.leaf);
    place = Locate(position);
  }
  std::vector<int32_t>& leaf = leaves_[place.leaf];
  leaf.insert(leaf.begin() + static_cast<ptrdiff_t>(place.index), value);
  for (size_t k = place.leaf + 1; k <= leaves_.size(); k += k & (~k + 1))
    ++tree_[k];
  ++size_;
}

void RankedList::SplitLeaf(size_t leaf) {
  std::vector<int32_t> upper;
  upper.reserve(leafCapacity_);
  std::vector<int32_t>& lower = leaves_[leaf];
  const auto half = static_cast<ptrdiff_t>(lower.size() / 2);
  upper.assign(lower.begin() + half, lower.end());
  lower.resize(static_cast<size_t>(half));
  leaves_.insert(leaves_.begin() + static_cast<ptrdiff_t>(leaf) + 1, std::move(upper));
  RebuildTree();
}

void RankedList::RebuildTree() {
  const size_t n = leaves_.size();
  tree_.assign(n + 1, 0);
  for (size_t k = 1; k <= n; ++k) {
    tree_[k] += static_cast<uint32_t>(leaves_[k - 1].size());
    const size_t parent = k + (k & (~k + 1));
    if (parent <= n)
      tree_[parent] += tree_[k];
  }
  topStep_ = 1;
  while (topStep_ * 2 <= n)
    topStep_ *= 2;
}

void RankedList::MoveTo(std::vector<int32_t>& out) {
  out.reserve(out.size() + size_);
  for (const auto& leaf : leaves_)
    out.insert(out.end(), leaf.begin(), leaf.end());
  leaves_.clear();
  tree_.clear();
  topStep_ = 0;
  size_ = 0;
}

}  // namespace lexmora::detail
