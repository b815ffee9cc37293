#include "morph/PairCheck.h"

#include <array>
#include <charconv>
#include <vector>

#include "base/Errors.h"
#include "base/FileIO.h"
#include "morph/DictEncoding.h"
#include "morph/TextLines.h"

namespace lexmora {

namespace {

// A whole field of decimal digits as a count above 0; 0 when it is none.
int64_t CountOf(std::string_view field) {
  int64_t value = 0;
  const auto [end, error] = std::from_chars(field.data(), field.data() + field.size(), value);
  return error == std::errc() && end == field.data() + field.size() && value > 0 ? value : 0;
}

bool IsControl(unsigned char c) {
  return (c < 0x20 && c != '\t' && c != '\r') || c == 0x7F;
}

bool IsComment(std::string_view line) {
  const std::vector<std::string_view> fields = FieldsOf(line);
  return !fields.empty() && fields[0][0] == '#';
}

std::wstring LineProblem(const std::wstring& name, size_t lineIndex, const std::wstring& what) {
  return name + L" is damaged on line " + std::to_wstring(lineIndex + 1) + L": " + what + L".";
}

// The tables of an affix file: lines starting with these open a table of a counted number of
// lines, each starting with the same word (Hunspell compares the beginnings of lines).
struct TableKind {
  std::string_view keyword;
  bool affix;  // PFX and SFX: "SFX flag cross count", then lines "SFX flag strip affix ..."
};
constexpr std::array<TableKind, 12> kTables{{{"PFX", true},
                                             {"SFX", true},
                                             {"REP", false},
                                             {"MAP", false},
                                             {"AF ", false},
                                             {"AM ", false},
                                             {"PHONE", false},
                                             {"BREAK", false},
                                             {"ICONV", false},
                                             {"OCONV", false},
                                             {"CHECKCOMPOUNDPATTERN", false},
                                             {"COMPOUNDRULE", false}}};

const TableKind* TableOpenedBy(std::string_view line) {
  for (const TableKind& kind : kTables) {
    if (line.substr(0, kind.keyword.size()) == kind.keyword)
      return &kind;
  }
  return nullptr;
}

std::wstring Ascii(std::string_view text) {
  return std::wstring(text.begin(), text.end());
}

}  // namespace

FileText ReadFileText(const std::wstring& path, int64_t maxBytes) {
  const std::wstring name = path.substr(path.find_last_of(L"\\/") + 1);
  FileText file;
  if (!FileExists(path)) {
    file.problem = name + L" is missing.";
    return file;
  }
  try {
    FileStream stream = FileStream::OpenRead(path, FileStream::Share::DenyWrite);
    const int64_t size = stream.Size();
    if (size == 0) {
      file.problem = name + L" is empty.";
    } else if (size > maxBytes) {
      file.problem = name + L" is larger than " + std::to_wstring(maxBytes >> 20) + L" MiB.";
    } else {
      file.bytes.resize(static_cast<size_t>(size));
      if (stream.Read(file.bytes.data(), static_cast<uint32_t>(size)) != size) {
        file.bytes.clear();
        file.problem = name + L" could not be read whole.";
      }
    }
  } catch (const std::exception& e) {
    file.problem = name + L" cannot be read: " + WideMessageOf(e);
  }
  return file;
}

std::wstring CheckText(const std::wstring& name, std::string_view text, UINT codePage) {
  if (text.empty())
    return name + L" is empty.";
  if (text.back() != '\n')
    return name + L" ends in the middle of a line: it was cut short.";
  const std::vector<std::string_view> lines = LinesOf(text);
  for (size_t i = 0; i < lines.size(); ++i) {
    for (char c : lines[i]) {
      if (IsControl(static_cast<unsigned char>(c)))
        return LineProblem(name, i, L"it holds a control character, which no text has");
    }
  }
  if (IsTextOfCodePage(text, codePage))
    return std::wstring();
  for (size_t i = 0; i < lines.size(); ++i) {
    if (!IsComment(lines[i]) && !IsTextOfCodePage(lines[i], codePage)) {
      return LineProblem(
          name, i,
          L"it is not text in its encoding (code page " + std::to_wstring(codePage) + L")");
    }
  }
  return std::wstring();
}

std::wstring CheckAffixTables(const std::wstring& name, std::string_view text) {
  const std::vector<std::string_view> lines = LinesOf(text);
  size_t i = 0;
  while (i < lines.size()) {
    const TableKind* kind = TableOpenedBy(lines[i]);
    if (kind == nullptr) {
      ++i;
      continue;
    }
    const std::vector<std::string_view> header = FieldsOf(lines[i]);
    std::string_view keyword = kind->keyword;
    while (keyword.back() == ' ')
      keyword.remove_suffix(1);
    const size_t countField = kind->affix ? 3 : 1;
    const int64_t count = header.size() > countField ? CountOf(header[countField]) : 0;
    const std::wstring table =
        Ascii(header[0]) +
        (kind->affix && header.size() > 1 ? L" " + Ascii(header[1]) : std::wstring());
    if (count == 0)
      return LineProblem(name, i, table + L" gives no count of its lines");
    if (count > static_cast<int64_t>(lines.size() - i - 1)) {
      return LineProblem(name, i,
                         table + L" announces " + std::to_wstring(count) +
                             L" lines, but the file ends after " +
                             std::to_wstring(lines.size() - i - 1));
    }
    for (int64_t n = 1; n <= count; ++n) {
      const std::vector<std::string_view> fields = FieldsOf(lines[i + n]);
      const bool sameKind = !fields.empty() && fields[0].substr(0, keyword.size()) == keyword;
      const bool sameAffix = !kind->affix || (fields.size() >= 4 && fields[1] == header[1]);
      if (!sameKind || !sameAffix) {
        return LineProblem(name, i + n,
                           L"line " + std::to_wstring(n) + L" of the " + std::to_wstring(count) +
                               L" of " + table + L" is not one of them");
      }
    }
    i += static_cast<size_t>(count) + 1;
  }
  return std::wstring();
}

std::wstring CheckWordList(const std::wstring& name, std::string_view text) {
  const std::vector<std::string_view> lines = LinesOf(text);
  std::string_view first = lines.empty() ? std::string_view() : lines[0];
  if (first.substr(0, 3) == "\xEF\xBB\xBF")
    first.remove_prefix(3);
  const std::vector<std::string_view> fields = FieldsOf(first);
  const int64_t announced = fields.empty() ? 0 : CountOf(fields[0]);
  if (announced == 0)
    return name + L" does not start with its number of words.";
  int64_t words = 0;
  for (size_t i = 1; i < lines.size(); ++i) {
    if (!FieldsOf(lines[i]).empty())
      ++words;
  }
  if (words == 0 || words < announced - announced / 100) {
    return name + L" holds " + std::to_wstring(words) + L" words where its first line announces " +
           std::to_wstring(announced) + L": it was cut short.";
  }
  return std::wstring();
}

}  // namespace lexmora
