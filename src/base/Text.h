#pragma once
// Text helpers: 8-bit strings are in the system code page unless a name says UTF-8, wide strings
// are UTF-16. File and folder names are wide: the system code page cannot spell every name.
#include <string>
#include <vector>

namespace lexmora {

std::wstring ToWide(const std::string& text);
// Characters the system code page lacks come out as "?".
std::string ToAnsi(const std::wstring& text);

// UTF-8, as console output to a file or pipe and messages built from file names use it.
std::string ToUtf8(const std::wstring& text);
// Invalid bytes come out as U+FFFD.
std::wstring FromUtf8(const std::string& text);

// The words of a text as runs of letters (IsCharAlphaW), in their order, as spelled.
std::vector<std::wstring> LetterRuns(const std::wstring& text);

// True when the system code page spells `text` exactly.
bool SpelledInCodePage(const std::wstring& text);

// The folder of the running executable, with its trailing backslash.
std::wstring ProgramFolderW();
// The same in the system code page, for folders it can spell.
std::string ProgramFolder();

}  // namespace lexmora
