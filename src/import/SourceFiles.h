#pragma once
// Internal to the importer: reading whole source files, gzip and dictzip decompression, and UTF-8.
#include <cstdint>
#include <string>
#include <string_view>

#include "base/Handle.h"

namespace lexmora::import {

// A path in UTF-8, for messages.
std::string PathText(const std::wstring& path);

// The system's text for a Windows error code, in UTF-8 like the rest of a message.
std::string SystemText(uint32_t code);

bool PathExists(const std::wstring& path);

// The file opened for reading from start to end, and its size. Raises EImportError when it
// cannot be opened or is too large for any dictionary.
FileHandle OpenSourceFile(const std::wstring& path, int64_t& size);

// The whole file. Raises EImportError when it cannot be opened or read completely.
std::string ReadWholeFile(const std::wstring& path);

// The data of a gzip file (dictzip is gzip with a table of chunks in its header, which is
// checked against the data). Every member is checked against its CRC-32 and length. Raises
// EImportError naming `path` for anything that is not a complete, intact gzip file.
std::string Gunzip(std::string_view bytes, const std::wstring& path);

// The file's data, decompressed when its name ends in .gz or .dz.
std::string ReadSourceData(const std::wstring& path);

// Appends the UTF-16 form of strict UTF-8 text to `out`. Returns false (with `out` holding what
// came before the fault) for malformed sequences, overlong forms, surrogates and values past
// U+10FFFF.
bool AppendUtf8(std::string_view text, std::wstring& out);

// The text as UTF-16, or raises EImportError with `where` and "is not valid UTF-8".
std::wstring DecodeUtf8(std::string_view text, const std::string& where);

// Lower-case ASCII, for file name extensions.
std::wstring AsciiLower(std::wstring text);

}  // namespace lexmora::import
