#include "import/LineRuns.h"

namespace lexmora::import {

void LineRuns::Append(uint64_t lineHash) {
  places_[lineHash].push_back(static_cast<uint32_t>(lines_.size()));
  lines_.push_back(lineHash);
}

std::optional<size_t> LineRuns::Find(std::span<const uint64_t> run,
                                     const std::function<bool(size_t first)>& confirm) const {
  if (run.size() > lines_.size())
    return std::nullopt;
  // The line of the run that occurs least often decides where the run can stand.
  size_t anchor = 0;
  const std::vector<uint32_t>* anchorPlaces = nullptr;
  for (size_t i = 0; i < run.size(); ++i) {
    const auto found = places_.find(run[i]);
    if (found == places_.end())
      return std::nullopt;
    if (anchorPlaces == nullptr || found->second.size() < anchorPlaces->size()) {
      anchor = i;
      anchorPlaces = &found->second;
    }
  }
  if (anchorPlaces == nullptr)  // an empty run
    return std::nullopt;
  for (const uint32_t place : *anchorPlaces) {
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
