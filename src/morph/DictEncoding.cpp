#include "morph/DictEncoding.h"

#include <array>
#include <climits>
#include <utility>
#include <vector>

#include "morph/TextLines.h"

namespace lexmora {

namespace {

// Hunspell's 8-bit tables by their normalized names, with the matching Windows code pages.
// ISO8859-10 and ISO8859-14 have none.
constexpr std::array<std::pair<std::string_view, UINT>, 20> kEightBitTables{{
    {"iso88591", 28591},  {"iso88592", 28592},        {"iso88593", 28593},
    {"iso88594", 28594},  {"iso88595", 28595},        {"iso88596", 28596},
    {"iso88597", 28597},  {"iso88598", 28598},        {"iso88599", 28599},
    {"tis620", 874},      {"tis6202533", 874},        {"iso885911", 874},
    {"iso885913", 28603}, {"iso885915", 28605},       {"koi8r", 20866},
    {"koi8u", 21866},     {"cp1251", 1251},           {"microsoftcp1251", 1251},
    {"xisciias", 57002},  {"isciidevanagari", 57002},
}};

// An encoding name as Hunspell looks it up among its tables: ASCII letters in lower case and
// digits, everything else left out.
std::string NormalizedEncodingName(const std::string& name) {
  std::string normalized;
  for (char c : name) {
    if (c >= 'A' && c <= 'Z')
      normalized.push_back(static_cast<char>(c - 'A' + 'a'));
    else if ((c >= 'a' && c <= 'z') || (c >= '0' && c <= '9'))
      normalized.push_back(c);
  }
  return normalized;
}

}  // namespace

std::string DeclaredEncoding(std::string_view affixText) {
  if (affixText.substr(0, 3) == "\xEF\xBB\xBF")
    affixText.remove_prefix(3);
  for (std::string_view line : LinesOf(affixText)) {
    const std::vector<std::string_view> fields = FieldsOf(line);
    if (fields.size() >= 2 && fields[0] == "SET")
      return std::string(fields[1]);
  }
  return "ISO8859-1";
}

UINT CodePageOfEncoding(const std::string& name) {
  if (name == "UTF-8")
    return CP_UTF8;
  const std::string normalized = NormalizedEncodingName(name);
  for (const auto& [table, codePage] : kEightBitTables) {
    if (normalized == table)
      return IsValidCodePage(codePage) ? codePage : 0;
  }
  return 0;
}

std::optional<std::string> ToCodePage(std::wstring_view word, UINT codePage) {
  if (word.empty())
    return std::string();
  if (word.size() > INT_MAX / 4)
    return std::nullopt;
  const int units = static_cast<int>(word.size());
  // UTF-8 refuses unpaired surrogates; other code pages report any character they lack.
  const DWORD flags = codePage == CP_UTF8 ? WC_ERR_INVALID_CHARS : WC_NO_BEST_FIT_CHARS;
  BOOL lacking = FALSE;
  BOOL* lackingOut = codePage == CP_UTF8 ? nullptr : &lacking;
  const int size =
      WideCharToMultiByte(codePage, flags, word.data(), units, nullptr, 0, nullptr, lackingOut);
  if (size <= 0 || lacking)
    return std::nullopt;
  std::string bytes(static_cast<size_t>(size), '\0');
  if (WideCharToMultiByte(codePage, flags, word.data(), units, bytes.data(), size, nullptr,
                          lackingOut) != size ||
      lacking)
    return std::nullopt;
  return bytes;
}

std::wstring FromCodePage(std::string_view text, UINT codePage) {
  if (text.empty() || text.size() > INT_MAX)
    return std::wstring();
  const int bytes = static_cast<int>(text.size());
  const int size = MultiByteToWideChar(codePage, 0, text.data(), bytes, nullptr, 0);
  if (size <= 0)
    return std::wstring();
  std::wstring wide(static_cast<size_t>(size), L'\0');
  MultiByteToWideChar(codePage, 0, text.data(), bytes, wide.data(), size);
  return wide;
}

bool IsTextOfCodePage(std::string_view text, UINT codePage) {
  if (text.empty())
    return true;
  if (text.size() > INT_MAX)
    return false;
  return MultiByteToWideChar(codePage, MB_ERR_INVALID_CHARS, text.data(),
                             static_cast<int>(text.size()), nullptr, 0) > 0;
}

}  // namespace lexmora
