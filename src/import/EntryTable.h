#pragma once
// Internal to the importer: the entries read from the sources, cleaned up and merged by
// headword, and writing them as the program's dictionary file.
#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "import/Import.h"
#include "import/LineRuns.h"
#include "import/OutputTarget.h"

namespace lexmora::import {

// Stands in for the entry separator (U+00B7 MIDDLE DOT) wherever source text holds one.
constexpr wchar_t kSeparatorReplacement = 0x2022;  // BULLET

class EntryTable {
 public:
  // Adds an entry whose meaning has its lines separated by '\n' (or "\r\n"), or folds it into
  // the earlier entry with the same headword; a meaning already there is not repeated. Entries
  // without a headword or without any meaning text are counted and left out.
  void Add(std::wstring_view headword, std::wstring_view meaning);

  size_t Size() const { return entries_.size(); }
  // The entry's text as the dictionary file holds it: headword, CR LF, meaning lines joined by
  // CR LF. Never contains the separator.
  std::wstring Text(size_t i) const;
  size_t TextLength(size_t i) const {
    return entries_[i].headword.size() + 2 + entries_[i].meaning.size();
  }
  const std::wstring& Headword(size_t i) const { return entries_[i].headword; }

  int64_t added = 0;
  int64_t merged = 0;
  int64_t withoutHeadword = 0;
  int64_t withoutMeaning = 0;
  int64_t separatorsReplaced = 0;

 private:
  struct Entry {
    std::wstring headword;
    std::wstring meaning;  // lines joined by CR LF
  };
  // The lines of a merged meaning and where each starts, kept once the meaning is long.
  struct IndexedMeaning {
    LineRuns runs;
    std::vector<size_t> starts;
  };
  std::wstring CleanHeadword(std::wstring_view text);
  std::wstring CleanMeaning(std::wstring_view text);
  // Whether the lines of `text` already stand in a row in the meaning of entry `i`.
  bool HoldsLines(uint32_t i, const std::wstring& text);
  void AppendMeaning(uint32_t i, const std::wstring& text);

  std::vector<Entry> entries_;
  std::unordered_map<std::wstring, uint32_t> byHeadword_;
  std::unordered_map<uint32_t, IndexedMeaning> indexed_;
};

// The order in which the entries are to be written so that the program's word search finds
// them: ascending by the first 50 characters of each entry's text, lower-cased, under the
// store's comparison; entries with equal keys keep their order.
std::vector<uint32_t> SearchOrder(const EntryTable& entries);

// Writes the title and the entries, in `order`, to the target's temporary file and moves it into
// place when it is complete. Raises EImportError (nothing is left behind then) and refuses a
// result of `maxBytes` or more before writing anything. Returns the size of the file.
int64_t WriteDictionaryFile(OutputTarget& target, const std::wstring& title,
                            const EntryTable& entries, const std::vector<uint32_t>& order,
                            int64_t maxBytes, const ImportProgress& progress);

// Writes the index beside a complete dictionary file with the store's own scan, so that the
// program opens it without rebuilding. Returns false, with the reason in `note`, when the index
// is left for the program to build.
bool WriteFreshIndex(const OutputTarget& output, size_t expectedEntries, std::string& note);

}  // namespace lexmora::import
