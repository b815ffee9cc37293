#include "import/LineRuns.h"

#include <algorithm>

namespace lexmora::import {

namespace {

constexpr size_t kFirstSlots = 64;

size_t SlotOf(uint64_t hash, size_t mask) {
  return static_cast<size_t>(hash ^ hash >> 29) & mask;
}

}  // namespace

const LineRuns::Slot* LineRuns::FindSlot(uint64_t hash) const {
  if (slots_.empty())
    return nullptr;
  const size_t mask = slots_.size() - 1;
  for (size_t at = SlotOf(hash, mask);; at = (at + 1) & mask) {
    if (slots_[at].count == 0)
      return nullptr;
    if (slots_[at].hash == hash)
      return &slots_[at];
  }
}

void LineRuns::Grow() {
  std::vector<Slot> slots(std::max(kFirstSlots, slots_.size() * 2));
  const size_t mask = slots.size() - 1;
  for (const Slot& slot : slots_) {
    if (slot.count == 0)
      continue;
    size_t at = SlotOf(slot.hash, mask);
    while (slots[at].count != 0)
      at = (at + 1) & mask;
    slots[at] = slot;
  }
  slots_.swap(slots);
}

void LineRuns::Append(uint64_t lineHash) {
  if ((distinct_ + 1) * 2 > slots_.size())
    Grow();
  const size_t mask = slots_.size() - 1;
  size_t at = SlotOf(lineHash, mask);
  while (slots_[at].count != 0 && slots_[at].hash != lineHash)
    at = (at + 1) & mask;
  Slot& slot = slots_[at];
  if (slot.count == 0) {
    slot.hash = lineHash;
    ++distinct_;
  }
  previous_.push_back(slot.last);
  slot.last = static_cast<uint32_t>(lines_.size());
  ++slot.count;
  lines_.push_back(lineHash);
}

std::optional<size_t> LineRuns::Find(std::span<const uint64_t> run,
                                     const std::function<bool(size_t first)>& confirm) const {
  if (run.size() > lines_.size())
    return std::nullopt;
  // The line of the run that occurs least often decides where the run can stand.
  size_t anchor = 0;
  const Slot* anchorSlot = nullptr;
  for (size_t i = 0; i < run.size(); ++i) {
    const Slot* slot = FindSlot(run[i]);
    if (slot == nullptr)
      return std::nullopt;
    if (anchorSlot == nullptr || slot->count < anchorSlot->count) {
      anchor = i;
      anchorSlot = slot;
    }
  }
  if (anchorSlot == nullptr)  // an empty run
    return std::nullopt;
  for (uint32_t place = anchorSlot->last; place != kNone; place = previous_[place]) {
    if (place < anchor || place - anchor + run.size() > lines_.size())
      continue;
    const size_t first = place - anchor;
    bool same = true;
    for (size_t i = 0; same && i < run.size(); ++i)
      same = lines_[first + i] == run[i];
    if (same && confirm(first))
      return first;
  }
  return std::nullopt;
}

}  // namespace lexmora::import
