#include <algorithm>
#include <cstring>

#include "base/Errors.h"
#include "base/Text.h"
#include "import/Readers.h"
#include "import/SourceFiles.h"
#include "store/TextCompare.h"

namespace lexmora::import {

namespace {

// A number written in the index's base64 digits, most significant first. Returns false for an
// empty number, a character that is not a digit, or a value past 2^53.
bool DecodeBase64Number(std::string_view digits, uint64_t& value) {
  static constexpr char kDigits[] =
      "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
  if (digits.empty() || digits.size() > 9)
    return false;
  value = 0;
  for (char c : digits) {
    const char* p = c == '\0' ? nullptr : std::strchr(kDigits, c);
    if (p == nullptr)
      return false;
    value = value * 64 + static_cast<uint64_t>(p - kDigits);
  }
  return true;
}

bool IsDatabaseEntry(std::string_view headword) {
  return headword.starts_with("00-database-") || headword.starts_with("00database");
}

// The definition without the copy of the headword that usually opens it, with indentation and
// the braces of cross-references removed. A first line that holds the headword and more (a
// pronunciation, a part of speech) keeps the more. Indexes often hold headwords in small letters
// only: `headword` becomes the definition's own spelling when its first line has one.
std::wstring CleanDefinition(std::wstring& headword, const std::wstring& text) {
  size_t start = 0;
  while (start < text.size() && (text[start] == L'\n' || text[start] == L'\r'))
    ++start;
  size_t firstEnd = text.find(L'\n', start);
  if (firstEnd == std::wstring::npos)
    firstEnd = text.size();
  std::wstring first = text.substr(start, firstEnd - start);
  while (!first.empty() && (first.back() == L'\r' || first.back() == L' ' || first.back() == L'\t'))
    first.pop_back();
  std::wstring rest;
  const std::wstring lowerHead = LowerCase(headword);
  if (LowerCase(first) == lowerHead) {
    headword = first;
    rest = text.substr(std::min(firstEnd + 1, text.size()));
  } else if (first.size() > headword.size() &&
             LowerCase(first.substr(0, headword.size())) == lowerHead &&
             (first[headword.size()] == L' ' || first[headword.size()] == L'\t')) {
    const size_t length = headword.size();
    headword = first.substr(0, length);
    rest = first.substr(length + 1) + L"\n" + text.substr(std::min(firstEnd + 1, text.size()));
  } else {
    rest = text.substr(start);
  }
  std::wstring out;
  out.reserve(rest.size());
  bool lineStart = true;
  for (wchar_t c : rest) {
    if (lineStart && (c == L' ' || c == L'\t'))
      continue;
    lineStart = c == L'\n';
    if (c == L'{' || c == L'}')
      continue;
    out.push_back(c);
  }
  return out;
}

}  // namespace

void ReadDictd(const SourceSet& source, ReadContext& context) {
  const std::string indexFile = PathText(source.primary);
  const std::string dataFile = PathText(source.data);
  const std::string index = ReadWholeFile(source.primary);
  if (context.progress)
    context.progress("Reading " + dataFile, 0, 0);
  const std::string data = ReadSourceData(source.data);

  size_t at = 0;
  int64_t lineNumber = 0;
  int64_t total = 0;
  while (at < index.size()) {
    size_t end = index.find('\n', at);
    if (end == std::string::npos)
      end = index.size();
    std::string_view line(index.data() + at, end - at);
    at = end + 1;
    ++lineNumber;
    if (!line.empty() && line.back() == '\r')
      line.remove_suffix(1);
    if (line.empty())
      continue;
    const std::string where =
        Format("%s, line %lld", indexFile.c_str(), static_cast<long long>(lineNumber));
    const size_t lengthTab = line.rfind('\t');
    const size_t offsetTab = lengthTab == std::string_view::npos || lengthTab == 0
                                 ? std::string_view::npos
                                 : line.rfind('\t', lengthTab - 1);
    if (offsetTab == std::string_view::npos)
      throw EImportError(where + ": expected a headword, an offset and a length separated by tabs");
    const std::string_view word = line.substr(0, offsetTab);
    std::wstring headword = DecodeUtf8(word, where);
    const std::string shown = ToUtf8(headword);
    uint64_t offset = 0, length = 0;
    if (!DecodeBase64Number(line.substr(offsetTab + 1, lengthTab - offsetTab - 1), offset) ||
        !DecodeBase64Number(line.substr(lengthTab + 1), length))
      throw EImportError(where + ": the offset or length of \"" + shown +
                         "\" is not a base64 number");
    if (offset > data.size() || length > data.size() - offset)
      throw EImportError(
          Format("%s: the definition of \"%s\" (bytes %llu to %llu) lies beyond "
                 "the end of %s (%llu bytes)",
                 where.c_str(), shown.c_str(), static_cast<unsigned long long>(offset),
                 static_cast<unsigned long long>(offset + length), dataFile.c_str(), data.size()));
    const std::wstring definition =
        DecodeUtf8(std::string_view(data).substr(offset, length),
                   dataFile + ": the definition of \"" + shown + "\" (" + where + ")");
    if (IsDatabaseEntry(word)) {
      if (word == "00-database-short" || word == "00databaseshort") {
        std::wstring title = CleanDefinition(headword, definition);
        title.resize(std::min(title.find(L'\n'), title.size()));
        while (!title.empty() && (title.back() == L' ' || title.back() == L'\r'))
          title.pop_back();
        context.title = title;
      }
      continue;
    }
    context.Add(headword, CleanDefinition(headword, definition));
    ++total;
    if (context.progress && total % 8192 == 0)
      context.progress("Reading " + indexFile, static_cast<int64_t>(at),
                       static_cast<int64_t>(index.size()));
  }
  if (total == 0)
    context.notes.push_back(indexFile + ": the dictionary holds no entries");
}

}  // namespace lexmora::import
