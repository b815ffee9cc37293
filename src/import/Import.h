#pragma once
// Turning dictionaries of other formats (dictd, StarDict, tab-separated text) into the
// program's own dictionary file, with a fresh index beside it.
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "base/Errors.h"

namespace lexmora::import {

// A source that cannot be used or an output that cannot be written. The message names the file,
// the entry or line where that helps, and the reason. The importer builds its messages in UTF-8,
// so that they quote any file name and headword as it is; WideMessage() gives them exactly.
class EImportError : public Exception {
 public:
  explicit EImportError(const std::string& utf8Message);
};

enum class SourceFormat { Dictd, StarDict, TabText };

// One dictionary to read: its format and the files it is made of.
struct SourceSet {
  SourceFormat format = SourceFormat::TabText;
  std::wstring name;      // the path the user named, for messages
  std::wstring primary;   // .index, .ifo or the text file
  std::wstring data;      // .dict or .dict.dz ("" for text)
  std::wstring index;     // StarDict: .idx or .idx.gz
  std::wstring synonyms;  // StarDict: .syn, or ""
};

// Reports what the import is doing: a stage in UTF-8 ("Reading x.dict", "Sorting", "Writing") and
// how far it has got, `done` of `total` (total 0: no measure).
using ImportProgress = std::function<void(const std::string& stage, int64_t done, int64_t total)>;

struct ImportOptions {
  std::vector<std::wstring> sources;  // any file of each dictionary
  std::wstring output;                // the .dat to write; the .ind goes beside it
  bool sort = true;                   // false: entries stay in the order the sources give them
  // Sorts with the comparison alone: the same order, found more slowly (for checking the other).
  bool sortByComparisonOnly = false;
  std::optional<std::wstring> title;  // default: the first source's own title
  ImportProgress progress;
  // Outputs of this many bytes or more are refused before anything is written.
  int64_t maxOutputBytes = int64_t{1} << 31;
};

struct ImportResult {
  int64_t entriesWritten = 0;
  int64_t entriesRead = 0;    // headwords read from the sources, synonyms included
  int64_t entriesMerged = 0;  // read entries folded into an earlier one with the same headword
  int64_t outputBytes = 0;
  std::wstring title;
  bool indexWritten = false;  // false: the program builds the index when it first opens the file
  std::vector<std::string> notes;  // things skipped or changed, one line each, in UTF-8
};

// Finds the dictionaries that the named files belong to, one set per dictionary (naming two
// files of one dictionary gives it once). Raises EImportError for a file that does not exist
// or belongs to no dictionary it can read.
std::vector<SourceSet> ResolveSources(const std::vector<std::wstring>& paths);

// Reads every source, merges entries with the same headword, orders them, writes the .dat under
// a temporary name, moves it into place and writes its index. On failure nothing of the output
// is left behind and an existing file of that name is untouched. Raises EImportError.
ImportResult ImportDictionary(const ImportOptions& options);

}  // namespace lexmora::import
