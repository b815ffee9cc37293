#pragma once
// Internal to the store: the entries of a dictionary file read whole, for a pass over all of
// them (the word index build).
#include <windows.h>

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "base/FileIO.h"
#include "store/MappedView.h"

namespace lexmora::detail {

// A dictionary file open for reading whole entries: through a view of it, or from a copy read into
// memory where no view is granted. Writing to the file is denied to others while it is open.
class WholeEntries {
 public:
  // Raises EFOpenError when the file cannot be opened, EDictionaryTooLarge when it is too large
  // for 32-bit offsets, and EInOutError when it cannot be read.
  explicit WholeEntries(const std::wstring& dataFileName);
  WholeEntries(const WholeEntries&) = delete;
  WholeEntries& operator=(const WholeEntries&) = delete;

  // The text of the entry at `offset` as ReadEntry gives it in full: at most kWholeEntryChars
  // units, up to its separator; nothing for an offset that cannot start an entry. Valid until the
  // next call. Read out of the view by guarded copies, so that a file cut shorter under the view
  // (which only programs outside Windows can do) raises "Read beyond end of file" instead of
  // faulting.
  std::wstring_view Text(int32_t offset);
  // The file's last-write time; while the file is open here, that of the text read. Raises
  // EInOutError.
  FILETIME LastWriteTime() const;

 private:
  // Most entries are short: a first piece is copied out of the view, and the rest of the entry
  // only when the piece holds no separator.
  static constexpr size_t kFirstPiece = 512;
  std::wstring_view ViewedText(int32_t offset);

  FileStream data_;
  int64_t size_;
  MappedView view_;
  std::vector<uint8_t> copy_;
  std::vector<wchar_t> buffer_;
};

}  // namespace lexmora::detail
