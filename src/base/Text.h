#pragma once
// Text helpers: 8-bit strings are in the system code page, wide strings are UTF-16.
#include <string>

namespace lexmora {

std::wstring ToWide(const std::string& text);
std::string ToAnsi(const std::wstring& text);

// The folder of the running executable, with its trailing backslash.
std::string ProgramFolder();

}  // namespace lexmora
