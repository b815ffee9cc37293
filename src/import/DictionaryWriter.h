#pragma once
// Internal to the importer: writing the entries as the program's dictionary file, and its index.
#include <cstdint>
#include <string>
#include <vector>

#include "import/EntryTable.h"
#include "import/Import.h"
#include "import/OutputTarget.h"

namespace lexmora::import {

// The dictionary file's size in bytes without its title: the byte-order mark, the line break
// after the title, and each entry with its separator.
int64_t UntitledFileBytes(const EntryTable& entries);
// The refusal of a dictionary file of `bytes` bytes, or of at least that many when `atLeast`,
// where files must be smaller than `maxBytes`.
EImportError TooLarge(int64_t bytes, int64_t maxBytes, bool atLeast);

// Writes the title and the entries, in `order` (every entry once), to the target's temporary
// file and moves it into place when it is complete. Raises EImportError (nothing is left behind
// then) and refuses a result of `maxBytes` or more before writing anything. Returns the size of
// the file.
int64_t WriteDictionaryFile(OutputTarget& target, const std::wstring& title,
                            const EntryTable& entries, const std::vector<uint32_t>& order,
                            int64_t maxBytes, const ImportProgress& progress);

// Writes the index beside a complete dictionary file with the store's own scan, so that the
// program opens it without rebuilding. Returns false, with the reason in `note`, when the index
// is left for the program to build.
bool WriteFreshIndex(const OutputTarget& output, size_t expectedEntries, std::string& note);

}  // namespace lexmora::import
