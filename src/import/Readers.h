#pragma once
// Internal to the importer: the readers of the three source formats.
#include <string>
#include <vector>

#include "import/EntryTable.h"
#include "import/Import.h"

namespace lexmora::import {

struct ReadContext {
  EntryTable& entries;
  std::vector<std::string>& notes;
  const ImportProgress& progress;
  std::wstring title;  // set by the reader: the source's own title, or ""
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
