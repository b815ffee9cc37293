#include "store/WholeEntries.h"

#include <algorithm>

#include "base/Errors.h"
#include "store/ADictU.h"
#include "store/DictFormat.h"

namespace lexmora::detail {

namespace {

std::wstring_view EntryText(const wchar_t* units, int64_t fileSize, int32_t offset) {
  if (offset < 2 || offset % 2 != 0 || offset >= fileSize)
    return {};
  const wchar_t* text = units + offset / 2;
  const auto length = static_cast<size_t>(
      std::min<int64_t>(dict_format::kWholeEntryChars, (fileSize - offset) / 2));
  const wchar_t* end = std::find(text, text + length, dict_format::kEntrySeparator);
  return {text, static_cast<size_t>(end - text)};
}

}  // namespace

WholeEntries::WholeEntries(const std::wstring& dataFileName)
    : data_(FileStream::OpenRead(dataFileName, FileStream::Share::DenyWrite)), size_(data_.Size()) {
  if (size_ >= kMaxDictionaryFileSize)
    throw EDictionaryTooLarge(ExpandFileName(dataFileName));
  if (!view_.Map(data_.Handle(), size_) && size_ > 0) {
    copy_.resize(static_cast<size_t>(size_));
    ReadFully(data_.Handle(), copy_.data(), copy_.size());
  }
}

std::wstring_view WholeEntries::Text(int32_t offset) {
  if (view_.Size() > 0)
    return ViewedText(offset);
  return EntryText(reinterpret_cast<const wchar_t*>(copy_.data()), size_, offset);
}

std::wstring_view WholeEntries::ViewedText(int32_t offset) {
  const int64_t size = view_.Size();
  if (offset < 2 || offset % 2 != 0 || offset >= size)
    return {};
  const auto length =
      static_cast<size_t>(std::min<int64_t>(dict_format::kWholeEntryChars, (size - offset) / 2));
  buffer_.resize(length);
  size_t have = 0;
  for (size_t piece = kFirstPiece; have < length; piece = length) {
    const size_t upTo = std::min(piece, length);
    if (!view_.CopyOut(buffer_.data() + have, offset + int64_t{2} * have, (upTo - have) * 2))
      throw EInOutError(io_error::kReadBeyondEnd);
    const size_t end =
        std::wstring_view(buffer_.data(), upTo).find(dict_format::kEntrySeparator, have);
    if (end != std::wstring_view::npos)
      return {buffer_.data(), end};
    have = upTo;
  }
  return {buffer_.data(), length};
}

FILETIME WholeEntries::LastWriteTime() const {
  FILETIME time{};
  if (!GetFileTime(data_.Handle(), nullptr, nullptr, &time))
    RaiseLastError();
  return time;
}

}  // namespace lexmora::detail
