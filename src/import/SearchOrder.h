#pragma once
// Internal to the importer: the order in which the entries are written so that the program's
// word search finds them.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "import/EntryTable.h"

namespace lexmora::import {

// Ascending by each entry's search key (the first 50 code units of its text, lower-cased) under
// the store's comparison; entries with equal keys keep their order. The entries are ranked by
// the first bytes of the system's sort keys of their search keys, entries that those bytes do
// not tell apart are put in order with the comparison itself, and the whole order is then
// checked pair by pair with the comparison; should the check fail, the order comes from
// SearchOrderByComparison instead, so that the result is the same in every case.
std::vector<uint32_t> SearchOrder(const EntryTable& entries);

// Lower-cases a search key as the store's search does (CharLowerBuffW), through a table of the
// system's mapping of each code unit, made once; a key with surrogates goes to the system.
void LowerCaseKey(std::wstring& key);

// SearchOrder's ranking, the system's sort key of the first `prefixUnits` code units of each
// search key standing for the whole key's where its primary weights fill the bytes ranked;
// nothing when the order does not pass the check.
std::optional<std::vector<uint32_t>> RankedOrder(const EntryTable& entries, size_t prefixUnits);

// Whether `order` ascends by the search keys under the comparison, equal keys in entry order.
bool InSearchOrder(const EntryTable& entries, const std::vector<uint32_t>& order);

// The same order from a stable sort that compares the search keys directly: many more
// comparisons, and every key in memory at once.
std::vector<uint32_t> SearchOrderByComparison(const EntryTable& entries);

}  // namespace lexmora::import
