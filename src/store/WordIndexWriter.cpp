#include "store/WordIndexWriter.h"

#include <algorithm>

#include "base/FileIO.h"
#include "base/TemporaryFile.h"

namespace lexmora::detail {

bool WriteWordIndexFile(const std::wstring& fileName, const std::vector<uint8_t>& image,
                        const WordIndexWriteHook& beforePiece, size_t pieceBytes) {
  const std::wstring name = fileName.substr(fileName.find_last_of(L"\\/") + 1);
  TemporaryFile file(fileName, L".tmp", name + L".*.tmp");
  for (size_t done = 0; done < image.size();) {
    if (beforePiece && !beforePiece(done))
      return false;  // abandoned: the temporary goes with `file`
    const size_t piece = std::min(std::max<size_t>(pieceBytes, 1), image.size() - done);
    WriteFully(file.Handle(), image.data() + done, piece);
    done += piece;
  }
  file.MoveOntoTarget();
  return true;
}

}  // namespace lexmora::detail
