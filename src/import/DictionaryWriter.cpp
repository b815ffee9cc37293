#include "import/DictionaryWriter.h"

#include <windows.h>

#include "base/Errors.h"
#include "base/Handle.h"
#include "base/Text.h"
#include "import/SourceFiles.h"
#include "store/ADictU.h"
#include "store/DictFormat.h"

namespace lexmora::import {

namespace {

constexpr size_t kWriteBufferChars = 1 << 19;

// Buffered writes to an open file.
class OutputFile {
 public:
  OutputFile(HANDLE file, const std::wstring& path) : path_(path), file_(file) {
    buffer_.reserve(kWriteBufferChars + 1024);
  }
  void Append(std::wstring_view text) {
    buffer_.append(text);
    if (buffer_.size() >= kWriteBufferChars)
      Flush();
  }
  void Append(wchar_t c) { buffer_.push_back(c); }
  void Flush() {
    const DWORD bytes = static_cast<DWORD>(buffer_.size() * sizeof(wchar_t));
    DWORD written = 0;
    if (!WriteFile(file_, buffer_.data(), bytes, &written, nullptr))
      throw EImportError("Cannot write \"" + PathText(path_) + "\": " + SystemText(GetLastError()));
    if (written != bytes)
      throw EImportError("Cannot write \"" + PathText(path_) + "\": the disk is full");
    written_ += written;
    buffer_.clear();
  }
  int64_t Written() const { return written_ + static_cast<int64_t>(buffer_.size() * 2); }

 private:
  std::wstring path_;
  HANDLE file_;
  std::wstring buffer_;
  int64_t written_ = 0;
};

}  // namespace

int64_t UntitledFileBytes(const EntryTable& entries) {
  return 2 * (3 + static_cast<int64_t>(entries.Size()) + entries.TextUnits());
}

EImportError TooLarge(int64_t bytes, int64_t maxBytes, bool atLeast) {
  return EImportError(Format(
      "The dictionary would be %s%lld bytes; dictionary files must be "
      "smaller than %lld bytes. Import fewer sources into one file.",
      atLeast ? "at least " : "", static_cast<long long>(bytes), static_cast<long long>(maxBytes)));
}

int64_t WriteDictionaryFile(OutputTarget& target, const std::wstring& title,
                            const EntryTable& entries, const std::vector<uint32_t>& order,
                            int64_t maxBytes, const ImportProgress& progress) {
  std::wstring preamble = L"\uFEFF";
  for (wchar_t c : title) {
    if (c == dict_format::kEntrySeparator)
      c = kSeparatorReplacement;
    else if (c < 0x20)
      c = L' ';
    preamble.push_back(c);
  }
  preamble += L"\r\n";

  const int64_t units = static_cast<int64_t>(preamble.size()) + static_cast<int64_t>(order.size()) +
                        entries.TextUnits();
  const int64_t bytes = 2 * units;
  if (bytes >= maxBytes)
    throw TooLarge(bytes, maxBytes, false);

  {
    OutputFile file(target.TemporaryHandle(), target.TemporaryPath());
    file.Append(preamble);
    size_t done = 0;
    std::wstring text;
    for (uint32_t i : order) {
      text.clear();
      entries.AppendText(i, text);
      file.Append(dict_format::kEntrySeparator);
      file.Append(text);
      if (progress && ++done % 4096 == 0)
        progress("Writing", file.Written(), bytes);
    }
    if (file.Written() != bytes)
      throw EImportError("Internal error: the dictionary file came out at an unexpected size");
    file.Flush();
    if (progress)
      progress("Writing", bytes, bytes);
  }
  target.Commit();
  return bytes;
}

bool WriteFreshIndex(const OutputTarget& output, size_t expectedEntries, std::string& note) {
  const std::wstring& target = output.Path();
  const std::wstring& indexPath = output.IndexPath();
  // An index of an earlier file of this name would be stale now.
  DeleteFileW(indexPath.c_str());
  try {
    TIndexList list;
    FILETIME storedTime{};
    ScanEntries(target, false, list, storedTime, nullptr);
    if (list.size() != expectedEntries)
      throw EImportError(Format("the scan found %llu entries where %llu were written", list.size(),
                                expectedEntries));
    WriteIndexFile(indexPath, list, storedTime);
  } catch (const std::exception& e) {
    DeleteFileW(indexPath.c_str());
    note =
        "The index is left for Lexmora to build at the first opening: " + ToUtf8(WideMessageOf(e));
    return false;
  }
  return true;
}

}  // namespace lexmora::import
