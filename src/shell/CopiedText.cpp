#include "shell/CopiedText.h"

#include "base/CharClasses.h"
#include "base/CodePoints.h"

namespace lexmora {

namespace {

bool IsControl(char32_t c) {
  return c < U' ' || (c >= 0x7F && c <= 0x9F);
}

// What goes from the ends of a copied text: white space, controls (a line's end) and punctuation.
bool TrimmedAtTheEnds(char32_t c) {
  return IsControl(c) || IsSeparator(c) || IsPunctuation(c);
}

// Control characters, line and paragraph separators included.
bool EndsOrBreaksALine(wchar_t c) {
  return IsControl(c) || c == 0x2028 || c == 0x2029;
}

}  // namespace

std::wstring CleanCopiedText(std::wstring_view text) {
  const std::wstring visible = WithoutFormatCharacters(text);
  const std::wstring_view all(visible);
  size_t begin = 0, end = all.size();
  while (begin < end) {
    const CodePointAt first = CodePointFrom(all, begin);
    if (!TrimmedAtTheEnds(first.code))
      break;
    begin += first.units;
  }
  while (end > begin) {
    const CodePointAt last = CodePointBefore(all, end);
    if (!TrimmedAtTheEnds(last.code))
      break;
    end -= last.units;
  }
  return std::wstring(all.substr(begin, end - begin));
}

std::optional<std::wstring> ShortCopiedText(std::wstring_view text) {
  std::wstring line = CleanCopiedText(text);
  if (line.empty() || line.size() > kMaxCopiedLength)
    return std::nullopt;
  for (wchar_t c : line) {
    if (EndsOrBreaksALine(c))
      return std::nullopt;
  }
  return line;
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
