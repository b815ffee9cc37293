#pragma once
// Searching inside the entries: the entries whose text holds given words anywhere, in any of
// their forms, best matches first, found through a word index kept in a file beside the
// dictionary.
//
// A word is a run of letters and digits. Combining marks (stress marks and the like, Unicode
// category Mn) inside or at the end of a word belong to it and are ignored when words are
// matched, so "къща" finds "къ́ща" and the other way round. Hyphens and apostrophes end words as
// spaces do: "ice-cream" is the two words "ice" and "cream". Words compare without regard to
// case and through the dictionary's letter conversion when it is on.
//
// Word forms come from the morphology language of the dictionary's meanings (the language its
// translations are written in): a searched word matches every word of the entries that shares a
// dictionary form with it, so "къща" finds "къщата" and "къщи", and "къщата" finds "къща". A
// word in double quotes ("дом") matches itself only, as every word does where the dictionary has
// no such language.
//
// The word index file is <name>.wix beside <name>.dat. It is built on the first search that
// needs it, not when the dictionary is opened, and built again when the dictionary file's
// last-write time, its index's entry order, the letter conversion, the language of the forms or
// that language's files differ from what it was built for, and when it is damaged.
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "store/ADictU.h"

namespace lexmora {

class MorphLanguage;

namespace detail {
struct WordRules;
}

// A word index built but not saved in its file (a folder of its name, a full disk, ...). The
// message names the file and the reason, and says that searching goes on without the file.
class EWordIndexNotSaved : public Exception {
 public:
  EWordIndexNotSaved(const std::wstring& fullPath, const std::wstring& reason);
};

// The entries whose text holds every word of `query` as a whole word, compared
// case-insensitively and through the dictionary's letter conversion when it is on, a word
// outside double quotes in any of its forms (`language`: the language of the dictionary's
// meanings, none when null). Each entry once, the most relevant first: those that give the
// words as a whole sense (a translation standing alone between commas, semicolons, sense numbers
// or line ends), then those whose headword holds them, then the rest, each group in entry
// order; the first `limit` of them, numbered in the dictionary's own entry order. A query
// without words finds nothing. Builds the word index first when it is missing, stale, damaged or
// made for another entry order or language. Raises EFOpenError or EInOutError when the
// dictionary file cannot be read, and EWordIndexNotSaved when a new word index cannot be
// written (the index built is kept for this dictionary's later searches all the same).
std::vector<int32_t> FindInText(TADict& dict, const std::wstring& query, int32_t limit,
                                MorphLanguage* language);
// The same, in the language of the dictionary's meanings (`dict.Languages().meanings`).
std::vector<int32_t> FindInText(TADict& dict, const std::wstring& query, int32_t limit);

// The word index file of a dictionary file: ".dat" replaced by ".wix" (appended to other names).
std::wstring WordIndexFileName(const std::wstring& dataFileName);
std::string WordIndexFileName(const std::string& dataFileName);  // in the system code page

// True when `dict`'s word index for forms of `language` is at hand: in memory, or in a fresh and
// sound file, which is then read. False when a search would build it first.
bool WordIndexReady(TADict& dict, MorphLanguage* language);
bool WordIndexReady(TADict& dict);  // in the language of the dictionary's meanings

// Where a word of a text stands: its first unit and its length in units, marks included.
struct TextSpan {
  size_t start = 0;
  size_t length = 0;
  bool operator==(const TextSpan&) const = default;
};

// The words of `text` that match a word of `query`, in text order, for showing the matches: its
// forms too where the word index for `language` is at hand, the words as written otherwise.
std::vector<TextSpan> MatchingWords(TADict& dict, const std::wstring& text,
                                    const std::wstring& query, MorphLanguage* language);
// In the language of the dictionary's meanings.
std::vector<TextSpan> MatchingWords(TADict& dict, const std::wstring& text,
                                    const std::wstring& query);

// A word index build that runs away from the dictionary's thread: made from the dictionary on its
// thread, run on any thread (once), and handed back to the dictionary on its thread.
class WordIndexBuild {
 public:
  // Called now and then with the entries done and the entry count; returning false stops the
  // build.
  using Progress = std::function<bool(int32_t done, int32_t total)>;

  // For forms of `language` (none when null), or of the language of the dictionary's meanings.
  WordIndexBuild(TADict& dict, MorphLanguage* language);
  explicit WordIndexBuild(TADict& dict);
  ~WordIndexBuild();
  WordIndexBuild(const WordIndexBuild&) = delete;
  WordIndexBuild& operator=(const WordIndexBuild&) = delete;

  // Reads the dictionary file in the entry order the dictionary had when this build was made,
  // asks the language for the forms of each distinct word, and writes its word index file. The
  // language is loaded first when it is not yet. Once every entry is read, `progress` is called
  // with (total, total) between the later steps and before each megabyte of the file is written, so
  // that returning false stops the build at any point within a few tens of milliseconds.
  // False when `progress` stopped it: no word index file is written then (an earlier one stays
  // as it was), no temporary file is left, and nothing is built to install. Raises EFOpenError
  // or EInOutError when the dictionary file cannot be read, and EWordIndexNotSaved when the file
  // cannot be written (the index built can still be installed then).
  bool Run(const Progress& progress);
  // Gives `dict` the index built, so that its searches need not read the file. Does nothing when
  // nothing was built or `dict` is not the dictionary the build was made from, or the index is
  // no longer the one for its files.
  void InstallInto(TADict& dict);

 private:
  struct Work;
  std::unique_ptr<Work> work_;
};

}  // namespace lexmora
