#pragma once
// A dictionary's title: the first line of its dictionary file, which names the dictionary.
#include <cstdint>
#include <string>

namespace lexmora {

// The longest title read, in characters; a longer first line is cut there.
inline constexpr size_t kMaxTitleChars = 200;

// The first line of the dictionary file at `dataPath` (UTF-16LE after its byte-order mark): its
// characters up to the first line break or entry separator, at most kMaxTitleChars, without the
// spaces around them. Empty when the file holds no such text. Raises EFOpenError when the file
// cannot be opened.
std::wstring ReadDictionaryTitle(const std::wstring& dataPath);

}  // namespace lexmora
