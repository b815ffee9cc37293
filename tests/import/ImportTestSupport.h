#pragma once
// Test helpers: sources in each format written from tables of entries, gzip and dictzip files,
// and reading an imported dictionary back through the store.
#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "import/Import.h"

namespace lexmora::test {

void WriteFile(const std::string& path, const std::string& bytes);
std::string ReadFile(const std::string& path);

// A gzip file of `data`, with the file name in its header when one is given.
std::string Gzip(const std::string& data, const std::string& name = "");
// A dictzip file: gzip with the "RA" table, compressed in chunks of `chunkLength` bytes.
// Returns the number of chunks in `chunks` when asked. With `separateEnd`, every chunk ends with
// a full flush and the stream is closed by an empty final block after the last chunk, outside
// the table, as files in the wild are.
std::string Dictzip(const std::string& data, uint32_t chunkLength, size_t* chunks = nullptr,
                    bool separateEnd = false);

// A number in the base64 digits of a dictd index.
std::string Base64Number(uint64_t value);

struct WordAndText {
  std::string word;  // UTF-8
  std::string text;  // UTF-8
};

// Writes NAME.index and NAME.dict (or NAME.dict.dz in chunks of `chunkLength`); returns the
// path of the .index.
std::string WriteDictd(const std::string& base, const std::vector<WordAndText>& entries,
                       bool compress = false, uint32_t chunkLength = 64);

struct StarDictSource {
  std::string bookname = "Test book";
  std::string sameTypeSequence;  // "" for typed fields in the data
  bool offsets64 = false;
  bool gzipIndex = false;
  bool dictzipData = false;
  std::vector<WordAndText> entries;  // text: the whole data of the entry
  std::vector<std::pair<std::string, uint32_t>> synonyms;
  std::string extraInfo;  // appended to the .ifo
};
// Writes NAME.ifo, .idx[.gz], .dict[.dz] and, with synonyms, .syn; returns the .ifo's path.
std::string WriteStarDict(const std::string& base, const StarDictSource& source);

// Imports `sources` into `output` (sorted unless told otherwise).
import::ImportResult Import(const std::vector<std::string>& sources, const std::string& output,
                            bool sort = true);

// The message of the import error that importing `sources` into `output` raises; nothing when
// the import succeeds.
std::optional<std::string> ImportError(const std::vector<std::string>& sources,
                                       const std::string& output);

// Expects the import of `source` into `output` to fail with a message holding `wanted` and to
// leave no `output`; the failures name the case `name`.
void ExpectRefused(const std::string& name, const std::string& source, const std::string& output,
                   const std::string& wanted);

// Every entry of a dictionary read through TADict, whole, in index order.
std::vector<std::wstring> EntriesOf(const std::string& dat);

// The names of the files in a folder.
std::vector<std::string> FilesIn(const std::string& folder);

}  // namespace lexmora::test
