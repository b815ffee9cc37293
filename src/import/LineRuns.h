#pragma once
// Internal to the importer: finding a run of lines in the lines of a growing text without
// reading the whole text each time.
#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <unordered_map>
#include <vector>

namespace lexmora::import {

// The lines of a text, each known by a hash of its content, in order, with where each hash
// occurs. Finding a run of n lines looks only at the places of the run's rarest line, so a
// text that gains lines one meaning at a time is checked in time that grows with the meanings,
// not with the text.
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
  std::vector<uint64_t> lines_;
  std::unordered_map<uint64_t, std::vector<uint32_t>> places_;
};

}  // namespace lexmora::import
