#pragma once
// Internal to the store (its tests and tools use it too): a search inside the entries over a
// word index: the words of a query, the words of the index that each matches (itself and the
// other forms of its dictionary forms), and the entries holding them all, best matches first.
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "store/WordIndex.h"
#include "store/WordRules.h"

namespace lexmora {
class MorphLanguage;
}

namespace lexmora::detail {

struct QueryWord {
  std::wstring word;      // folded
  std::wstring spelling;  // lower-cased, not converted: what its dictionary forms are asked of
  bool exact = false;     // written in double quotes
};

// The distinct words of `query`, in the order they first appear (a word both quoted and not is
// there twice). Words between double quotes (" or the typographic “ ” „ « ») match themselves
// only; a quote left open runs to the end of the query.
std::vector<QueryWord> ParseQuery(const WordRules& rules, const std::wstring& query);

// The places in `index` of the words that `word` matches, ascending, each once: itself, and
// unless it is exact, each dictionary form that `language` (none when null) gives of its
// spelling, with every word of the index that is a form of it or of the word itself.
std::vector<uint32_t> MatchedPlaces(const WordIndex& index, const WordRules& rules,
                                    const QueryWord& word, MorphLanguage* language);

// The text of an entry, valid until the next call.
using EntryTextReader = std::function<std::wstring_view(int32_t entry)>;

// The entries that hold, for every query word, one of the words at its places in `matched`;
// each once, most relevant first:
//   1. those that give the query words as a whole sense (EntryParts.h): one query word a sense
//      of its own, several a sense of just those words in any order;
//   2. then those whose headword holds them all;
//   3. then the rest;
// each group in entry order, at most `limit` in all. `text` reads the entries in which several
// query words each stand in a short sense, to see whether one sense holds them all.
std::vector<int32_t> RankedEntries(const WordIndex& index, const WordRules& rules,
                                   const std::vector<std::vector<uint32_t>>& matched,
                                   const EntryTextReader& text, size_t limit);

}  // namespace lexmora::detail
