#include "base/Text.h"

#include <windows.h>

#include <vector>

namespace lexmora {

namespace {

std::wstring Decode(UINT codePage, const std::string& text) {
  if (text.empty())
    return {};
  const int size = static_cast<int>(text.size());
  int n = MultiByteToWideChar(codePage, 0, text.data(), size, nullptr, 0);
  std::wstring out(static_cast<size_t>(n), L'\0');
  MultiByteToWideChar(codePage, 0, text.data(), size, out.data(), n);
  return out;
}

std::string Encode(UINT codePage, const std::wstring& text) {
  if (text.empty())
    return {};
  const int size = static_cast<int>(text.size());
  int n = WideCharToMultiByte(codePage, 0, text.data(), size, nullptr, 0, nullptr, nullptr);
  std::string out(static_cast<size_t>(n), '\0');
  WideCharToMultiByte(codePage, 0, text.data(), size, out.data(), n, nullptr, nullptr);
  return out;
}

}  // namespace

std::wstring ToWide(const std::string& text) {
  return Decode(CP_ACP, text);
}

std::string ToAnsi(const std::wstring& text) {
  return Encode(CP_ACP, text);
}

std::string ToUtf8(const std::wstring& text) {
  return Encode(CP_UTF8, text);
}

std::wstring FromUtf8(const std::string& text) {
  return Decode(CP_UTF8, text);
}

bool SpelledInCodePage(const std::wstring& text) {
  return ToWide(ToAnsi(text)) == text;
}

std::wstring ProgramFolderW() {
  std::vector<wchar_t> buf(MAX_PATH);
  for (;;) {
    DWORD n = GetModuleFileNameW(nullptr, buf.data(), static_cast<DWORD>(buf.size()));
    if (n == 0)
      return {};
    if (n < buf.size()) {
      std::wstring path(buf.data(), n);
      return path.substr(0, path.find_last_of(L"\\/:") + 1);
    }
    buf.resize(buf.size() * 2);
  }
}

std::vector<std::wstring> LetterRuns(const std::wstring& text) {
  std::vector<std::wstring> words;
  size_t i = 0;
  while (i < text.size()) {
    while (i < text.size() && !IsCharAlphaW(text[i]))
      ++i;
    const size_t start = i;
    while (i < text.size() && IsCharAlphaW(text[i]))
      ++i;
    if (i > start)
      words.push_back(text.substr(start, i - start));
  }
  return words;
}

std::string ProgramFolder() {
  return ToAnsi(ProgramFolderW());
}

}  // namespace lexmora
