#include "shell/CopiedText.h"

namespace lexmora {

namespace {

bool IsBlank(wchar_t c) {
  return c <= L' ' || c == 0x85 || c == 0xA0 || c == 0x1680 || (c >= 0x2000 && c <= 0x200B) ||
         c == 0x2028 || c == 0x2029 || c == 0x202F || c == 0x205F || c == 0x3000 || c == 0xFEFF;
}

// Control characters, line and paragraph separators included.
bool EndsOrBreaksALine(wchar_t c) {
  return c < L' ' || (c >= 0x7F && c <= 0x9F) || c == 0x2028 || c == 0x2029;
}

}  // namespace

std::optional<std::wstring> ShortCopiedText(std::wstring_view text) {
  size_t begin = 0, end = text.size();
  while (begin < end && IsBlank(text[begin]))
    ++begin;
  while (end > begin && IsBlank(text[end - 1]))
    --end;
  const std::wstring_view line = text.substr(begin, end - begin);
  if (line.empty() || line.size() > kMaxCopiedLength)
    return std::nullopt;
  for (wchar_t c : line) {
    if (EndsOrBreaksALine(c))
      return std::nullopt;
  }
  return std::wstring(line);
}

std::optional<std::wstring> CopyTwiceDetector::Copied(std::optional<std::wstring_view> text,
                                                      uint64_t ms) {
  std::optional<std::wstring> line = text ? ShortCopiedText(*text) : std::nullopt;
  if (!line) {
    Forget();
    return std::nullopt;
  }
  const bool sameCopy = latest_ && latest_->text == *line && ms - latest_->ms < kOneCopyMs;
  latest_ = Copy{*line, ms};
  if (sameCopy)
    return std::nullopt;
  if (waiting_ && waiting_->text == *line && ms - waiting_->ms <= kCopyTwiceMs) {
    waiting_.reset();
    return line;
  }
  waiting_ = Copy{*line, ms};
  return std::nullopt;
}

void CopyTwiceDetector::Forget() noexcept {
  waiting_.reset();
  latest_.reset();
}

}  // namespace lexmora
