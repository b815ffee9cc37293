#include "base/Errors.h"
#include "import/Readers.h"
#include "import/SourceFiles.h"

namespace lexmora::import {

void ReadTabText(const SourceSet& source, ReadContext& context) {
  const std::string bytes = ReadSourceData(source.primary);
  const std::string file = PathText(source.primary);
  size_t at = bytes.starts_with("\xEF\xBB\xBF") ? 3 : 0;
  int64_t lineNumber = 0;
  std::wstring meaning;
  while (at < bytes.size()) {
    // A line ends at CR, LF or CR LF.
    size_t end = bytes.find_first_of("\r\n", at);
    if (end == std::string::npos)
      end = bytes.size();
    const std::string_view line(bytes.data() + at, end - at);
    at = end + (bytes.compare(end, 2, "\r\n") == 0 ? 2 : 1);
    ++lineNumber;
    if (line.find_first_not_of(" \t") == std::string_view::npos)
      continue;
    const std::string where =
        Format("%s, line %lld", file.c_str(), static_cast<long long>(lineNumber));
    const size_t tab = line.find('\t');
    if (tab == std::string_view::npos)
      throw EImportError(where + ": no tab between the headword and the meaning");
    const std::wstring headword = DecodeUtf8(line.substr(0, tab), where);
    const std::wstring raw = DecodeUtf8(line.substr(tab + 1), where);
    meaning.clear();
    for (size_t i = 0; i < raw.size(); ++i) {
      if (raw[i] == L'\\' && i + 1 < raw.size() && (raw[i + 1] == L'n' || raw[i + 1] == L'\\')) {
        meaning.push_back(raw[i + 1] == L'n' ? L'\n' : L'\\');
        ++i;
      } else {
        meaning.push_back(raw[i]);
      }
    }
    context.entries.Add(headword, meaning);
    if (context.progress && lineNumber % 8192 == 0)
      context.progress("Reading " + file, static_cast<int64_t>(at),
                       static_cast<int64_t>(bytes.size()));
  }
  const std::wstring name = source.primary.substr(source.primary.find_last_of(L"\\/") + 1);
  context.title = name.substr(0, name.find_last_of(L'.'));
}

}  // namespace lexmora::import
