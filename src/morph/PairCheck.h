#pragma once
// Checks of a Hunspell dictionary's files before Hunspell reads them. Hunspell takes damaged
// files without a word: a table of affix rules cut short ends its reading of the affix file
// there, a huge word count becomes a huge allocation, a cut line becomes a wrong rule. Each
// check returns why the file cannot be used, as the user reads it, or nothing when it can.
#include <windows.h>

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace lexmora {

// Size limits well above every published Hunspell dictionary.
inline constexpr int64_t kMaxAffixFileBytes = 16 << 20;
inline constexpr int64_t kMaxWordListBytes = 64 << 20;
inline constexpr int64_t kMaxIrregularFormsBytes = 16 << 20;

// A file read whole; `problem` is set instead when it is missing, unreadable, empty or larger
// than `maxBytes`.
struct FileText {
  std::string bytes;
  std::wstring problem;
};
FileText ReadFileText(const std::wstring& path, int64_t maxBytes);

// Text in code page `codePage` (comment lines, starting with #, may be in any), without control
// characters, ending with a line break. `name` is the file's name for the message.
std::wstring CheckText(const std::wstring& name, std::string_view text, UINT codePage);

// An affix file's tables of rules (PFX, SFX, REP, MAP, AF, ...): each header's count of lines
// is there and that many lines of its kind follow.
std::wstring CheckAffixTables(const std::wstring& name, std::string_view text);

// A word list's first line is its word count, and no fewer than 99 % of that follow (the count
// may be approximate; fewer words mean the file was cut short).
std::wstring CheckWordList(const std::wstring& name, std::string_view text);

}  // namespace lexmora
