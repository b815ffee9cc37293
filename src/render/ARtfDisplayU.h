#pragma once
// Dictionary entries as small RTF documents, and loading such a document into a rich-text pane.
// A document is pure ASCII: every character of the entry is written as a \u escape, and the font
// name's special and non-ASCII characters as RTF escapes. The empty string is the empty document.
#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

namespace lexmora {

// The full entry: each line its own paragraph, and the words in the script of the entry's first
// code unit bold. Empty text gives the empty string.
std::string FormatEntryRtf(const std::wstring& text, const std::string& fontName, int32_t fontSize);

// A run of entry text shown highlighted: its first unit and its number of units.
struct RtfMark {
  size_t start = 0;
  size_t length = 0;
  bool operator==(const RtfMark&) const = default;
};

// As above, with the units of `marks` (ascending, apart from each other) on a highlight colour;
// the same document as above when there are no marks.
std::string FormatEntryRtf(const std::wstring& text, const std::string& fontName, int32_t fontSize,
                           const std::vector<RtfMark>& marks);

// One entry of a document of several: the heading line of its dictionary (none when empty), its
// text and its marks.
struct RtfSection {
  std::wstring heading;
  std::wstring text;
  std::vector<RtfMark> marks;
  bool operator==(const RtfSection&) const = default;
};

// The entries one after another, each as FormatEntryRtf draws it, under its heading: a line of
// smaller grey text with a grey rule below it, apart from the entry above. Empty sections (no
// heading, no text) give the empty string.
std::string FormatEntriesRtf(const std::vector<RtfSection>& sections, const std::string& fontName,
                             int32_t fontSize);

// A one-line plain preview: CR becomes a space, LF disappears. Empty text gives the empty string.
std::string FormatPreviewRtf(const std::wstring& text, const std::string& fontName,
                             int32_t fontSize);

// Appends "\u<unsigned value>?" for `c`; nothing for CR and LF.
void AppendRtfChar(std::string& rtf, wchar_t c);

// U+0401 to U+04CC.
bool IsCyrillicChar(wchar_t c);
// A-Z, a-z, U+00C0-U+00D6, U+00D8-U+00F6, U+00F8-U+01FF, U+0250-U+02A8.
bool IsLatinChar(wchar_t c);

// Replaces the whole content of the rich-text pane with `rtf`, with the pane's redrawing off
// while it loads. A document the pane does not take as RTF is loaded as plain text instead.
// Raises EStreamError "Failed to Load Stream" when the pane takes neither.
void LoadRtfIntoPane(const std::string& rtf, HWND pane);

}  // namespace lexmora
