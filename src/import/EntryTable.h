#pragma once
// Internal to the importer: the entries read from the sources, cleaned up and merged by
// headword, held compactly until they are written.
#include <cstdint>
#include <initializer_list>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "import/LineRuns.h"

namespace lexmora::import {

// Stands in for the entry separator (U+00B7 MIDDLE DOT) wherever source text holds one.
constexpr wchar_t kSeparatorReplacement = 0x2022;  // BULLET

// Text appended piece by piece into large blocks, so that a million small texts cost neither a
// million allocations nor the copies of a growing string.
class TextArena {
 public:
  struct Place {
    uint32_t block = 0;
    uint32_t offset = 0;
  };
  // Appends the parts one after the other, all in one block.
  Place Append(std::initializer_list<std::string_view> parts);
  std::string_view View(Place place, size_t length) const {
    return {blocks_[place.block].get() + place.offset, length};
  }

 private:
  std::vector<std::unique_ptr<char[]>> blocks_;
  size_t used_ = 0;      // bytes of the last block in use
  size_t capacity_ = 0;  // bytes of the last block
};

// The entries, each held as its text in UTF-8 with lines ended by '\n' (every UTF-16 code unit
// as one to three bytes, so that the text comes back unit for unit), and a table of headwords
// that finds the entry a new one merges into. A long meaning is held once for all the entries
// that have it (many headwords of a source pointing at one definition), so that memory grows
// with the text of the sources, not with the number of entries that repeat it.
class EntryTable {
 public:
  // Adds an entry whose meaning has its lines separated by '\n', '\r' or "\r\n", or folds it into
  // the earlier entry with the same headword; meaning lines that already stand there in a row
  // are not repeated. Entries without a headword or without any meaning text are counted and
  // left out.
  void Add(std::wstring_view headword, std::wstring_view meaning);
  // Frees what only adding needs. Nothing may be added after it.
  void EndAdding();

  size_t Size() const { return entries_.size(); }
  // The UTF-16 code units of all the entries' texts together.
  int64_t TextUnits() const { return textUnits_; }
  // Appends the entry's text as the dictionary file holds it, or its first `maxUnits` code
  // units: headword, CR LF, meaning lines joined by CR LF. It never contains the separator.
  void AppendText(size_t i, std::wstring& out, size_t maxUnits = SIZE_MAX) const;
  std::wstring Text(size_t i) const;

  int64_t added = 0;
  int64_t merged = 0;
  int64_t withoutHeadword = 0;
  int64_t withoutMeaning = 0;
  int64_t separatorsReplaced = 0;

 private:
  // An entry's text is in the arena; or, once a meaning has been merged into it, in a string of
  // its own (block kMerged, offset: the string's number); or, where its meaning is long, as its
  // headword in the arena and a meaning held once (block kShared, offset: its number in
  // sharing_).
  struct Entry {
    TextArena::Place place;
    uint32_t headwordBytes = 0;
    uint32_t textBytes = 0;
  };
  static constexpr uint32_t kMerged = UINT32_MAX;
  static constexpr uint32_t kShared = UINT32_MAX - 1;
  struct Sharing {
    TextArena::Place headword;
    uint32_t meaning = 0;  // its number in sharedMeanings_
  };
  struct SharedMeaning {
    TextArena::Place place;
    uint32_t bytes = 0;
  };
  // The lines of a long merged meaning and where each starts in the entry's text.
  struct IndexedMeaning {
    LineRuns runs;
    std::vector<uint32_t> starts;
  };

  std::string_view Headword(size_t i) const;
  std::string_view Meaning(size_t i) const;
  // Where a new entry made of headword_ and meaning_ keeps its text.
  Entry Store();
  // The number of meaning_ in sharedMeanings_, held there now if it was not.
  uint32_t ShareMeaning();
  // Clean forms in UTF-8 in headword_ and meaning_; each returns its length in code units.
  int64_t CleanHeadword(std::wstring_view text);
  int64_t CleanMeaning(std::wstring_view text);
  // The entry whose headword is headword_, or a new one made of headword_ and meaning_.
  uint32_t FindOrInsert(uint32_t hash, bool& inserted);
  void Grow();
  // Whether the lines of meaning_ already stand in a row in the meaning of entry `i`.
  bool HoldsLines(uint32_t i);
  void AppendMeaning(uint32_t i);

  TextArena arena_;
  std::vector<Entry> entries_;
  std::vector<std::string> mergedTexts_;
  std::vector<Sharing> sharing_;
  std::vector<SharedMeaning> sharedMeanings_;
  // The long meanings by hash, for finding one held already.
  std::unordered_multimap<uint64_t, uint32_t> sharedByHash_;
  // Open addressing: the headword's 32-bit hash in the high half, entry number + 1 in the low
  // half, 0 for a free slot.
  std::vector<uint64_t> slots_;
  std::unordered_map<uint32_t, IndexedMeaning> indexed_;
  int64_t textUnits_ = 0;
  std::string headword_;
  std::string meaning_;
};

}  // namespace lexmora::import
