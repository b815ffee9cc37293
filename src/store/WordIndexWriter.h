#pragma once
// Internal to the store (its tests use it too): writing a word index file so that a failed or
// abandoned write never leaves a file that passes for it.
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace lexmora::detail {

// Called before each piece of a word index file is written, with the bytes written so far;
// returning false abandons the write.
using WordIndexWriteHook = std::function<bool(size_t bytesWritten)>;
constexpr size_t kWritePieceBytes = size_t{1} << 20;

// Writes the file as a TemporaryFile ("<fileName>.<process>-<thread>.tmp") and only then moves it
// onto `fileName`, so that a failed or abandoned write never leaves a file of that name behind;
// the temporary is removed then, and so are those that killed writes of this file left. Returns
// false when `beforePiece` abandoned the write. Raises EInOutError.
bool WriteWordIndexFile(const std::wstring& fileName, const std::vector<uint8_t>& image,
                        const WordIndexWriteHook& beforePiece = nullptr,
                        size_t pieceBytes = kWritePieceBytes);

}  // namespace lexmora::detail
