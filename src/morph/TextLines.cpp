#include "morph/TextLines.h"

#include <algorithm>

namespace lexmora {

std::vector<std::string_view> LinesOf(std::string_view text) {
  std::vector<std::string_view> lines;
  size_t pos = 0;
  while (pos < text.size()) {
    size_t end = text.find('\n', pos);
    if (end == std::string_view::npos)
      end = text.size();
    std::string_view line = text.substr(pos, end - pos);
    if (!line.empty() && line.back() == '\r')
      line.remove_suffix(1);
    lines.push_back(line);
    pos = end + 1;
  }
  return lines;
}

std::vector<std::string_view> FieldsOf(std::string_view line) {
  std::vector<std::string_view> fields;
  size_t pos = 0;
  while (pos < line.size()) {
    pos = line.find_first_not_of(" \t", pos);
    if (pos == std::string_view::npos)
      break;
    const size_t start = pos;
    pos = std::min(line.find_first_of(" \t", start), line.size());
    fields.push_back(line.substr(start, pos - start));
  }
  return fields;
}

}  // namespace lexmora
