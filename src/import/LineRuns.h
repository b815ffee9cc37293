#pragma once
// Internal to the importer: finding a run of lines in the lines of a growing text without
// reading the whole text each time.
#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <vector>

namespace lexmora::import {

// The lines of a text, each known by a hash of its content, in order, with where each hash
// occurs. Finding a run of n lines looks only at the places of the run's rarest line, so a
// text that gains lines one meaning at a time is checked in time that grows with the meanings,
// not with the text. About 50 bytes a line.
class LineRuns {
 public:
  void Append(uint64_t lineHash);
  size_t Size() const { return lines_.size(); }
  // The number of the first line of an occurrence of the run (the hashes of its lines, at least
  // one) that `confirm` accepts; `confirm` is given that number and compares the text itself,
  // as different lines may share a hash. Nothing when there is none.
  std::optional<size_t> Find(std::span<const uint64_t> run,
                             const std::function<bool(size_t first)>& confirm) const;

 private:
  static constexpr uint32_t kNone = UINT32_MAX;
  // One hash that occurs: where it occurs last and how often. Open addressing; `count` 0 marks
  // a free slot.
  struct Slot {
    uint64_t hash = 0;
    uint32_t last = kNone;
    uint32_t count = 0;
  };
  const Slot* FindSlot(uint64_t hash) const;
  void Grow();

  std::vector<uint64_t> lines_;
  std::vector<uint32_t> previous_;  // for each line, the line before it with the same hash
  std::vector<Slot> slots_;
  size_t distinct_ = 0;
};

}  // namespace lexmora::import
