#include "store/WordIndexWriter.h"

#include <windows.h>

#include <algorithm>

#include "base/Errors.h"
#include "base/FileIO.h"
#include "base/Handle.h"

namespace lexmora::detail {

bool WriteWordIndexFile(const std::wstring& fileName, const std::vector<uint8_t>& image,
                        const WordIndexWriteHook& beforePiece, size_t pieceBytes) {
  const size_t slash = fileName.find_last_of(L"\\/");
  const std::wstring name = fileName.substr(slash == std::wstring::npos ? 0 : slash + 1);
  RemoveLeftoverTemporaries(fileName.substr(0, fileName.size() - name.size()), name + L".*.tmp");
  const std::wstring temporary = TemporaryNameFor(fileName, L".tmp");
  FileHandle file(CreateFileW(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file)
    RaiseLastError();
  size_t done = 0;
  try {
    while (done < image.size() && (!beforePiece || beforePiece(done))) {
      const size_t piece = std::min(std::max<size_t>(pieceBytes, 1), image.size() - done);
      WriteFully(file.Get(), image.data() + done, piece);
      done += piece;
    }
    file.Reset();
    if (done == image.size() &&
        !MoveFileExW(temporary.c_str(), fileName.c_str(), MOVEFILE_REPLACE_EXISTING)) {
      RaiseLastError();
    }
  } catch (...) {
    file.Reset();
    DeleteFileW(temporary.c_str());
    throw;
  }
  if (done < image.size())
    DeleteFileW(temporary.c_str());  // abandoned
  return done == image.size();
}

}  // namespace lexmora::detail
