#pragma once
// Internal to the importer: the readers of the three source formats.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "import/EntryTable.h"
#include "import/Import.h"

namespace lexmora::import {

struct ReadContext {
  EntryTable& entries;
  std::vector<std::string>& notes;
  const ImportProgress& progress;
  std::wstring title;  // set by the reader: the source's own title, or ""
  // Dictionary files of this many bytes or more are refused.
  int64_t maxOutputBytes = INT64_MAX;

  // Adds an entry to `entries`. Raises EImportError as soon as the entries read would make a
  // dictionary file of maxOutputBytes or more, so that a source whose entries repeat one long
  // text many times is refused before it has been read whole.
  void Add(std::wstring_view headword, std::wstring_view meaning);
};

// Lines of "headword<TAB>meaning", UTF-8 with or without a byte-order mark; "\n" in a meaning
// is a line break and "\\" a backslash.
void ReadTabText(const SourceSet& source, ReadContext& context);
// The same, reading the file `blockBytes` at a time.
void ReadTabText(const SourceSet& source, ReadContext& context, size_t blockBytes);
// NAME.index with NAME.dict or NAME.dict.dz.
void ReadDictd(const SourceSet& source, ReadContext& context);
// NAME.ifo with NAME.idx[.gz], NAME.dict[.dz] and an optional NAME.syn.
void ReadStarDict(const SourceSet& source, ReadContext& context);

}  // namespace lexmora::import
