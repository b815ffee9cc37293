#include "import/EntryTable.h"

#include <windows.h>

#include <algorithm>
#include <optional>

#include "base/Errors.h"
#include "base/Handle.h"
#include "base/Text.h"
#include "import/SourceFiles.h"
#include "store/ADictU.h"
#include "store/TextCompare.h"

namespace lexmora::import {

namespace {

constexpr wchar_t kSeparator = 0x00B7;
constexpr size_t kKeyChars = 50;
constexpr size_t kWriteBufferChars = 1 << 19;
// A merged meaning this long or longer gets its lines indexed; a shorter one is searched.
constexpr size_t kIndexedMeaningChars = 1024;

bool IsBlank(wchar_t c) {
  return c == L' ' || c == L'\t' || c == L'\u00A0' || c == L'\u3000';
}

uint64_t LineHash(std::wstring_view line) {
  return std::hash<std::wstring_view>{}(line);
}

// Calls `line` with the start and the text of each line of a meaning (lines joined by CR LF).
template <typename Line>
void ForEachLine(std::wstring_view meaning, Line&& line) {
  for (size_t start = 0;;) {
    const size_t end = meaning.find(L"\r\n", start);
    line(start, meaning.substr(start, end - start));
    if (end == std::wstring_view::npos)
      return;
    start = end + 2;
  }
}

std::wstring_view Trim(std::wstring_view s) {
  while (!s.empty() && IsBlank(s.front()))
    s.remove_prefix(1);
  while (!s.empty() && IsBlank(s.back()))
    s.remove_suffix(1);
  return s;
}

class OutputFile {
 public:
  explicit OutputFile(const std::wstring& path)
      : path_(path),
        file_(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                          FILE_ATTRIBUTE_NORMAL, nullptr)) {
    if (!file_)
      throw EImportError("Cannot create \"" + PathText(path) +
                         "\": " + SysErrorMessage(GetLastError()));
    buffer_.reserve(kWriteBufferChars + 1024);
  }
  void Append(std::wstring_view text) {
    buffer_.append(text);
    if (buffer_.size() >= kWriteBufferChars)
      Flush();
  }
  void Append(wchar_t c) { buffer_.push_back(c); }
  void Flush() {
    const DWORD bytes = static_cast<DWORD>(buffer_.size() * sizeof(wchar_t));
    DWORD written = 0;
    if (!WriteFile(file_.Get(), buffer_.data(), bytes, &written, nullptr))
      throw EImportError("Cannot write \"" + PathText(path_) +
                         "\": " + SysErrorMessage(GetLastError()));
    if (written != bytes)
      throw EImportError("Cannot write \"" + PathText(path_) + "\": the disk is full");
    written_ += written;
    buffer_.clear();
  }
  int64_t Written() const { return written_ + static_cast<int64_t>(buffer_.size() * 2); }
  void Close() {
    Flush();
    if (!CloseHandle(file_.Release()))
      throw EImportError("Cannot write \"" + PathText(path_) +
                         "\": " + SysErrorMessage(GetLastError()));
  }

 private:
  std::wstring path_;
  FileHandle file_;
  std::wstring buffer_;
  int64_t written_ = 0;
};

// A name of the file that the store's 8-bit file functions can open: the name itself when the
// system code page holds all of it, else its short form.
std::optional<std::string> AnsiPathOf(const std::wstring& path) {
  const std::string ansi = ToAnsi(path);
  if (ToWide(ansi) == path)
    return ansi;
  wchar_t shortName[MAX_PATH];
  const DWORD length = GetShortPathNameW(path.c_str(), shortName, MAX_PATH);
  if (length == 0 || length >= MAX_PATH)
    return std::nullopt;
  const std::string shortAnsi = ToAnsi(shortName);
  if (ToWide(shortAnsi) != shortName)
    return std::nullopt;
  return shortAnsi;
}

}  // namespace

std::wstring EntryTable::CleanHeadword(std::wstring_view text) {
  std::wstring out;
  out.reserve(text.size());
  for (wchar_t c : Trim(text)) {
    if (c == kSeparator) {
      ++separatorsReplaced;
      c = kSeparatorReplacement;
    } else if (c < 0x20 || c == 0x7F || c == 0xFEFF) {
      c = L' ';  // a headword is one line
    }
    if (c == L' ' && (out.empty() || out.back() == L' '))
      continue;
    out.push_back(c);
  }
  while (!out.empty() && out.back() == L' ')
    out.pop_back();
  return out;
}

std::wstring EntryTable::CleanMeaning(std::wstring_view text) {
  std::wstring out;
  out.reserve(text.size() + 16);
  bool pendingEmptyLine = false;
  size_t start = 0;
  while (start <= text.size()) {
    size_t end = text.find_first_of(L"\r\n", start);
    if (end == std::wstring_view::npos)
      end = text.size();
    const std::wstring_view line = Trim(text.substr(start, end - start));
    if (line.empty()) {
      pendingEmptyLine = !out.empty();  // runs of empty lines become one, none at the ends
    } else {
      if (!out.empty())
        out += pendingEmptyLine ? L"\r\n\r\n" : L"\r\n";
      pendingEmptyLine = false;
      for (wchar_t c : line) {
        if (c == kSeparator) {
          ++separatorsReplaced;
          c = kSeparatorReplacement;
        } else if ((c < 0x20 && c != L'\t') || c == 0x7F || c == 0xFEFF) {
          continue;
        }
        out.push_back(c);
      }
    }
    if (end < text.size() && text[end] == L'\r' && end + 1 < text.size() && text[end + 1] == L'\n')
      ++end;
    start = end + 1;
  }
  return out;
}

void EntryTable::Add(std::wstring_view headword, std::wstring_view meaning) {
  ++added;
  std::wstring word = CleanHeadword(headword);
  if (word.empty()) {
    ++withoutHeadword;
    return;
  }
  std::wstring text = CleanMeaning(meaning);
  if (text.empty()) {
    ++withoutMeaning;
    return;
  }
  const auto [it, inserted] = byHeadword_.try_emplace(word, static_cast<uint32_t>(entries_.size()));
  if (inserted) {
    entries_.push_back({std::move(word), std::move(text)});
    return;
  }
  ++merged;
  // The same meaning given twice (a repeated line of a word list, a synonym of itself) is kept
  // once.
  if (!HoldsLines(it->second, text))
    AppendMeaning(it->second, text);
}

bool EntryTable::HoldsLines(uint32_t i, const std::wstring& text) {
  const std::wstring& meaning = entries_[i].meaning;
  auto found = indexed_.find(i);
  if (found == indexed_.end()) {
    if (meaning.size() < kIndexedMeaningChars) {
      for (size_t at = meaning.find(text); at != std::wstring::npos;
           at = meaning.find(text, at + 1)) {
        const size_t end = at + text.size();
        if ((at == 0 || meaning[at - 1] == L'\n') &&
            (end == meaning.size() || meaning[end] == L'\r'))
          return true;
      }
      return false;
    }
    IndexedMeaning& index = indexed_[i];
    ForEachLine(meaning, [&](size_t start, std::wstring_view line) {
      index.starts.push_back(start);
      index.runs.Append(LineHash(line));
    });
    found = indexed_.find(i);
  }
  const IndexedMeaning& index = found->second;
  std::vector<uint64_t> run;
  ForEachLine(text, [&](size_t, std::wstring_view line) { run.push_back(LineHash(line)); });
  return index.runs
      .Find(run,
            [&](size_t first) {
              const size_t start = index.starts[first];
              const size_t next = first + run.size();
              const size_t end =
                  next < index.starts.size() ? index.starts[next] - 2 : meaning.size();
              return meaning.compare(start, end - start, text) == 0;
            })
      .has_value();
}

void EntryTable::AppendMeaning(uint32_t i, const std::wstring& text) {
  std::wstring& meaning = entries_[i].meaning;
  const size_t offset = meaning.size() + 2;
  meaning += L"\r\n";
  meaning += text;
  const auto found = indexed_.find(i);
  if (found == indexed_.end())
    return;
  ForEachLine(text, [&](size_t start, std::wstring_view line) {
    found->second.starts.push_back(offset + start);
    found->second.runs.Append(LineHash(line));
  });
}

std::wstring EntryTable::Text(size_t i) const {
  const Entry& e = entries_[i];
  std::wstring text;
  text.reserve(e.headword.size() + 2 + e.meaning.size());
  text += e.headword;
  text += L"\r\n";
  text += e.meaning;
  return text;
}

std::vector<uint32_t> SearchOrder(const EntryTable& entries) {
  std::vector<std::wstring> keys(entries.Size());
  for (size_t i = 0; i < keys.size(); ++i) {
    std::wstring text = entries.Text(i);
    text.resize(std::min(text.size(), kKeyChars));
    keys[i] = LowerCase(std::move(text));
  }
  std::vector<uint32_t> order(entries.Size());
  for (size_t i = 0; i < order.size(); ++i)
    order[i] = static_cast<uint32_t>(i);
  std::stable_sort(order.begin(), order.end(),
                   [&](uint32_t a, uint32_t b) { return CompareText(keys[a], keys[b]) < 0; });
  return order;
}

int64_t WriteDictionaryFile(OutputTarget& target, const std::wstring& title,
                            const EntryTable& entries, const std::vector<uint32_t>& order,
                            int64_t maxBytes, const ImportProgress& progress) {
  std::wstring preamble = L"\uFEFF";
  for (wchar_t c : title) {
    if (c == kSeparator)
      c = kSeparatorReplacement;
    else if (c < 0x20)
      c = L' ';
    preamble.push_back(c);
  }
  preamble += L"\r\n";

  int64_t units = static_cast<int64_t>(preamble.size());
  for (uint32_t i : order)
    units += 1 + static_cast<int64_t>(entries.TextLength(i));
  const int64_t bytes = 2 * units;
  if (bytes >= maxBytes)
    throw EImportError(
        Format("The dictionary would be %lld bytes; dictionary files must be "
               "smaller than %lld bytes. Import fewer sources into one file.",
               static_cast<long long>(bytes), static_cast<long long>(maxBytes)));

  {
    OutputFile file(target.TemporaryPath());
    file.Append(preamble);
    size_t done = 0;
    for (uint32_t i : order) {
      file.Append(kSeparator);
      file.Append(entries.Text(i));
      if (progress && ++done % 4096 == 0)
        progress("Writing", file.Written(), bytes);
    }
    if (file.Written() != bytes)
      throw EImportError("Internal error: the dictionary file came out at an unexpected size");
    file.Close();
    if (progress)
      progress("Writing", bytes, bytes);
  }
  target.Commit();
  return bytes;
}

bool WriteFreshIndex(const OutputTarget& output, size_t expectedEntries, std::string& note) {
  const std::wstring& target = output.Path();
  const std::wstring& indexPath = output.IndexPath();
  // An index of an earlier file of this name would be stale now.
  DeleteFileW(indexPath.c_str());
  const std::optional<std::string> dataName = AnsiPathOf(target);
  const size_t slash = target.find_last_of(L"\\/");
  const std::optional<std::string> folderName = AnsiPathOf(target.substr(0, slash));
  const std::string indexName = ToAnsi(indexPath.substr(slash + 1));
  if (!dataName || !folderName || ToWide(indexName) != indexPath.substr(slash + 1)) {
    note =
        "The index is left for Lexmora to build at the first opening: the file's name cannot "
        "be written in the system code page.";
    return false;
  }
  try {
    TIndexList list;
    FILETIME storedTime{};
    ScanEntries(*dataName, false, list, storedTime, nullptr);
    if (list.size() != expectedEntries)
      throw EImportError(Format("the scan found %llu entries where %llu were written", list.size(),
                                expectedEntries));
    WriteIndexFile(*folderName + "\\" + indexName, list, storedTime);
  } catch (const std::exception& e) {
    DeleteFileW(indexPath.c_str());
    note = std::string("The index is left for Lexmora to build at the first opening: ") + e.what();
    return false;
  }
  return true;
}

}  // namespace lexmora::import
