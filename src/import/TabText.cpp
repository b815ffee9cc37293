#include <windows.h>

#include <utility>

#include "base/Errors.h"
#include "import/Readers.h"
#include "import/SourceFiles.h"

namespace lexmora::import {

namespace {

constexpr size_t kBlockBytes = size_t{1} << 20;
constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

// Turns the lines of a tab-separated source into entries, reusing its buffers from line to line.
class LineParser {
 public:
  LineParser(std::string file, ReadContext& context) : file_(std::move(file)), context_(context) {}

  void Parse(std::string_view line, int64_t lineNumber) {
    if (lineNumber == 1 && line.starts_with(kByteOrderMark))
      line.remove_prefix(kByteOrderMark.size());
    if (line.find_first_not_of(" \t") == std::string_view::npos)
      return;
    const size_t tab = line.find('\t');
    if (tab == std::string_view::npos)
      throw EImportError(Where(lineNumber) + ": no tab between the headword and the meaning");
    headword_.clear();
    meaning_.clear();
    if (!AppendUtf8(line.substr(0, tab), headword_) || !AppendUtf8(line.substr(tab + 1), meaning_))
      throw EImportError(Where(lineNumber) + " is not valid UTF-8");
    // "\n" and "\\" in place: the text only shrinks.
    size_t to = 0;
    for (size_t from = 0; from < meaning_.size(); ++from, ++to) {
      wchar_t c = meaning_[from];
      if (c == L'\\' && from + 1 < meaning_.size() &&
          (meaning_[from + 1] == L'n' || meaning_[from + 1] == L'\\'))
        c = meaning_[++from] == L'n' ? L'\n' : L'\\';
      meaning_[to] = c;
    }
    meaning_.resize(to);
    context_.Add(headword_, meaning_);
  }

 private:
  std::string Where(int64_t lineNumber) const {
    return Format("%s, line %lld", file_.c_str(), static_cast<long long>(lineNumber));
  }

  std::string file_;
  ReadContext& context_;
  std::wstring headword_, meaning_;
};

// The length of the line that `text` begins with and the character that ends it: CR, LF, or
// '\0' when the text ends first.
std::pair<size_t, char> NextLine(std::string_view text) {
  size_t length = 0;
  while (length < text.size() && text[length] != '\n' && text[length] != '\r')
    ++length;
  return {length, length < text.size() ? text[length] : '\0'};
}

}  // namespace

void ReadTabText(const SourceSet& source, ReadContext& context) {
  ReadTabText(source, context, kBlockBytes);
}

void ReadTabText(const SourceSet& source, ReadContext& context, size_t blockBytes) {
  const std::string file = PathText(source.primary);
  int64_t size = 0;
  const FileHandle handle = OpenSourceFile(source.primary, size);
  LineParser parser(file, context);
  // The bytes read and not yet parsed, from `at` on; `before` bytes of the file came before them.
  std::string data;
  size_t at = 0;
  int64_t before = 0;
  int64_t lineNumber = 0;
  bool ended = false;
  for (;;) {
    // A line ends at CR, LF or CR LF; a CR at the end of what was read may be followed by LF.
    const auto [length, ending] = NextLine(std::string_view(data).substr(at));
    const size_t end = at + length;
    const bool complete = ending == '\n' || (ending == '\r' && (end + 1 < data.size() || ended));
    if (complete || (ended && at < data.size())) {
      parser.Parse(std::string_view(data).substr(at, length), ++lineNumber);
      at = !complete ? data.size()
                     : end + (ending == '\r' && data.compare(end, 2, "\r\n") == 0 ? 2 : 1);
      if (context.progress && lineNumber % 8192 == 0)
        context.progress("Reading " + file, before + static_cast<int64_t>(at), size);
      continue;
    }
    if (ended)
      break;
    data.erase(0, at);
    before += static_cast<int64_t>(at);
    at = 0;
    const size_t kept = data.size();
    data.resize(kept + blockBytes);
    DWORD got = 0;
    if (!ReadFile(handle.Get(), data.data() + kept, static_cast<DWORD>(blockBytes), &got, nullptr))
      throw EImportError(file + ": cannot read it: " + SystemText(GetLastError()));
    data.resize(kept + got);
    ended = got == 0;
  }
  const std::wstring name = source.primary.substr(source.primary.find_last_of(L"\\/") + 1);
  context.title = name.substr(0, name.find_last_of(L'.'));
}

}  // namespace lexmora::import
