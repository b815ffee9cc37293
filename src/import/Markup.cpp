#include "import/Markup.h"

#include <cwctype>

namespace lexmora::import {

namespace {

// Tags that end a line in the text shown.
bool IsBreakingTag(std::wstring_view name) {
  static constexpr std::wstring_view kNames[] = {
      L"br", L"p",  L"div", L"li", L"tr", L"h1", L"h2",         L"h3",    L"h4",  L"h5",
      L"h6", L"dt", L"dd",  L"ol", L"ul", L"hr", L"blockquote", L"table", L"def", L"k"};
  for (std::wstring_view n : kNames) {
    if (name == n)
      return true;
  }
  return false;
}

std::wstring LowerAscii(std::wstring_view text) {
  std::wstring out(text);
  for (wchar_t& c : out) {
    if (c >= L'A' && c <= L'Z')
      c = static_cast<wchar_t>(c - L'A' + L'a');
  }
  return out;
}

void AppendCodePoint(std::wstring& out, uint32_t value) {
  if (value == 0 || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF)) {
    out.push_back(L'\uFFFD');
  } else if (value >= 0x10000) {
    value -= 0x10000;
    out.push_back(static_cast<wchar_t>(0xD800 + (value >> 10)));
    out.push_back(static_cast<wchar_t>(0xDC00 + (value & 0x3FF)));
  } else {
    out.push_back(static_cast<wchar_t>(value));
  }
}

// Decodes the reference starting at text[at] == '&'; returns the characters it took, or 0
// when it is not one that is known.
size_t DecodeEntity(std::wstring_view text, size_t at, std::wstring& out) {
  const size_t end = text.find(L';', at);
  if (end == std::wstring_view::npos || end - at > 12 || end == at + 1)
    return 0;
  const std::wstring_view name = text.substr(at + 1, end - at - 1);
  if (name[0] == L'#') {
    const bool hex = name.size() > 1 && (name[1] == L'x' || name[1] == L'X');
    const std::wstring_view digits = name.substr(hex ? 2 : 1);
    if (digits.empty() || digits.size() > 7)
      return 0;
    uint32_t value = 0;
    for (wchar_t c : digits) {
      uint32_t d;
      if (c >= L'0' && c <= L'9')
        d = c - L'0';
      else if (hex && c >= L'a' && c <= L'f')
        d = c - L'a' + 10;
      else if (hex && c >= L'A' && c <= L'F')
        d = c - L'A' + 10;
      else
        return 0;
      value = value * (hex ? 16 : 10) + d;
    }
    AppendCodePoint(out, value);
    return end - at + 1;
  }
  static constexpr struct {
    std::wstring_view name;
    wchar_t value;
  } kNamed[] = {{L"amp", L'&'},        {L"lt", L'<'},         {L"gt", L'>'},
                {L"quot", L'"'},       {L"apos", L'\''},      {L"nbsp", L'\u00A0'},
                {L"ndash", L'\u2013'}, {L"mdash", L'\u2014'}, {L"hellip", L'\u2026'},
                {L"laquo", L'\u00AB'}, {L"raquo", L'\u00BB'}, {L"copy", L'\u00A9'},
                {L"shy", L'\u00AD'}};
  for (const auto& named : kNamed) {
    if (name == named.name) {
      out.push_back(named.value);
      return end - at + 1;
    }
  }
  return 0;
}

}  // namespace

std::wstring StripMarkup(std::wstring_view text, MarkupKind kind) {
  std::wstring out;
  out.reserve(text.size());
  auto isSpace = [](wchar_t c) { return c == L' ' || c == L'\t' || c == L'\r' || c == L'\n'; };
  size_t i = 0;
  while (i < text.size()) {
    const wchar_t c = text[i];
    if (c == L'<') {
      if (text.substr(i, 4) == L"<!--") {
        const size_t end = text.find(L"-->", i + 4);
        i = end == std::wstring_view::npos ? text.size() : end + 3;
        continue;
      }
      const size_t end = text.find(L'>', i + 1);
      if (end == std::wstring_view::npos) {
        out.push_back(c);  // a lone '<' is text
        ++i;
        continue;
      }
      std::wstring_view tag = text.substr(i + 1, end - i - 1);
      const bool closing = !tag.empty() && tag[0] == L'/';
      if (closing)
        tag.remove_prefix(1);
      size_t nameLength = 0;
      while (nameLength < tag.size() && !isSpace(tag[nameLength]) && tag[nameLength] != L'/')
        ++nameLength;
      const std::wstring name = LowerAscii(tag.substr(0, nameLength));
      if (name.empty() || !(std::iswalpha(name[0]) || name[0] == L'!' || name[0] == L'?')) {
        out.push_back(c);  // "a < b" and the like
        ++i;
        continue;
      }
      i = end + 1;
      if (!closing && (name == L"script" || name == L"style")) {
        const std::wstring lower = LowerAscii(text.substr(i));
        const size_t close = lower.find(L"</" + name);
        i = close == std::wstring::npos ? text.size() : i + close;
        continue;
      }
      // <br> is a line break of its own; other block tags only start a new line.
      if (name == L"br") {
        if (!closing)
          out.push_back(L'\n');
      } else if (IsBreakingTag(name) && !out.empty() && out.back() != L'\n') {
        out.push_back(L'\n');
      }
      continue;
    }
    if (c == L'&') {
      const size_t taken = DecodeEntity(text, i, out);
      if (taken > 0) {
        i += taken;
        continue;
      }
    }
    if (kind == MarkupKind::Html && isSpace(c)) {
      if (!out.empty() && out.back() != L' ' && out.back() != L'\n')
        out.push_back(L' ');
      ++i;
      continue;
    }
    out.push_back(c);
    ++i;
  }
  return out;
}

}  // namespace lexmora::import
