#include "store/DictTitle.h"

#include "base/FileIO.h"
#include "store/DictFormat.h"

namespace lexmora {

namespace {

constexpr uint32_t kByteOrderMarkBytes = 2;

bool EndsTitle(wchar_t c) {
  return c == L'\r' || c == L'\n' || c == dict_format::kEntrySeparator;
}

}  // namespace

std::wstring ReadDictionaryTitle(const std::wstring& dataPath) {
  FileStream file = FileStream::OpenRead(dataPath, FileStream::Share::DenyNone);
  unsigned char bytes[kByteOrderMarkBytes + 2 * kMaxTitleChars];
  const uint32_t got = file.Read(bytes, sizeof bytes);
  std::wstring title;
  for (uint32_t at = kByteOrderMarkBytes; at + 1 < got; at += 2) {
    const auto c = static_cast<wchar_t>(bytes[at] | (bytes[at + 1] << 8));
    if (EndsTitle(c))
      break;
    title += c;
  }
  const size_t first = title.find_first_not_of(L' ');
  if (first == std::wstring::npos)
    return {};
  return title.substr(first, title.find_last_not_of(L' ') - first + 1);
}

}  // namespace lexmora
