#include "render/ARtfDisplayU.h"

#include <richedit.h>

#include <algorithm>
#include <charconv>
#include <cstring>
#include <exception>
#include <string_view>
#include <utility>

#include "base/Errors.h"

namespace lexmora {
namespace {

constexpr wchar_t kCr = 13;
constexpr wchar_t kLf = 10;
constexpr wchar_t kSpace = 32;
// The longest piece one code unit adds: a paragraph break "\par\li90\sa100".
constexpr size_t kMaxPieceSize = 14;

// A face name holds at most this many characters (LF_FACESIZE less its NUL); the reader of the
// panes fails on a much longer name in the font table.
constexpr int kMaxFaceNameChars = LF_FACESIZE - 1;

void AppendHexEscape(std::string& rtf, unsigned char byte) {
  static constexpr char kHex[] = "0123456789abcdef";
  rtf += "\\'";
  rtf += kHex[byte >> 4];
  rtf += kHex[byte & 15];
}

// Appends the font name so that the reader takes it as the name and nothing else: at most
// kMaxFaceNameChars characters and not past a ";" (which ends a font-table entry and which no
// escape can carry), with \, { and } escaped by a backslash, and control characters and bytes
// above 127 written as \'hh.
void AppendFontName(std::string& rtf, std::string_view name) {
  int chars = 0;
  for (size_t i = 0; i < name.size() && name[i] != ';' && chars < kMaxFaceNameChars; ++i, ++chars) {
    const char c = name[i];
    const auto byte = static_cast<unsigned char>(c);
    if (c == '\\' || c == '{' || c == '}') {
      rtf += '\\';
      rtf += c;
    } else if (byte < 32 || byte > 126) {
      AppendHexEscape(rtf, byte);
      // The trail byte of a double-byte character belongs to the same character.
      if (IsDBCSLeadByte(byte) && i + 1 < name.size())
        AppendHexEscape(rtf, static_cast<unsigned char>(name[++i]));
    } else {
      rtf += c;
    }
  }
}

// Colour 1 of a document with marks: the background of marked text.
constexpr char kMarkColour[] = "\\red255\\green226\\blue102;";
// Colour 2 of a document with headings: their text and the rule under them.
constexpr char kHeadingColour[] = "\\red128\\green128\\blue128;";
// A heading's size against the entries', in per cent.
constexpr int64_t kHeadingSizePercent = 80;

void AppendHeader(std::string& rtf, const std::string& fontName, int32_t fontSize,
                  bool marked = false, bool headings = false) {
  rtf += "{\\rtf1{\\fonttbl{\\f0 ";
  AppendFontName(rtf, fontName);
  rtf += "}}{\\colortbl\\red0\\green0\\blue0;";
  if (marked || headings)
    rtf += kMarkColour;
  if (headings)
    rtf += kHeadingColour;
  rtf += "}\\fs";
  // RTF sizes are half-points; widened so that no size overflows.
  rtf += std::to_string(int64_t{fontSize} * 2);
  rtf += "\\li30\\ri30\\f0\\cf0";
}

std::string StartDocument(size_t textSize, const std::string& fontName, int32_t fontSize,
                          bool marked = false) {
  std::string rtf;
  rtf.reserve(80 + 4 * kMaxFaceNameChars + textSize * kMaxPieceSize);
  AppendHeader(rtf, fontName, fontSize, marked);
  return rtf;
}

// The document's bytes as a read-only stream for EM_STREAMIN, read from the start on each load.
class MemoryReadStream {
 public:
  explicit MemoryReadStream(std::string_view bytes) : bytes_(bytes) {}

  // Streams the whole document into `pane` in `format`, replacing its content. True when the
  // pane read the stream and reported no error. Rethrows what the read callback caught.
  bool LoadInto(HWND pane, WPARAM format) {
    position_ = 0;
    read_ = false;
    EDITSTREAM stream{};
    stream.dwCookie = reinterpret_cast<DWORD_PTR>(this);
    stream.pfnCallback = &Read;
    SendMessageW(pane, EM_STREAMIN, format, reinterpret_cast<LPARAM>(&stream));
    if (error_)
      std::rethrow_exception(std::exchange(error_, nullptr));
    // The result only counts characters, and 0 is right for an empty document. A parse failure
    // sets dwError; a window that is no rich-text pane never calls back.
    return read_ && stream.dwError == 0;
  }

 private:
  // Called by the pane; nothing may unwind through it, so a failure is kept for LoadInto.
  static DWORD CALLBACK Read(DWORD_PTR cookie, LPBYTE buffer, LONG size, LONG* done) {
    auto& self = *reinterpret_cast<MemoryReadStream*>(cookie);
    try {
      self.read_ = true;
      size_t count = std::min(static_cast<size_t>(std::max<LONG>(size, 0)),
                              self.bytes_.size() - self.position_);
      std::memcpy(buffer, self.bytes_.data() + self.position_, count);
      self.position_ += count;
      *done = static_cast<LONG>(count);
      return 0;
    } catch (...) {
      self.error_ = std::current_exception();
      *done = 0;
      return 1;
    }
  }

  std::string_view bytes_;
  size_t position_ = 0;
  bool read_ = false;
  std::exception_ptr error_;
};

// Switches a showing pane's redrawing off for its lifetime, then on again with one repaint.
// A hidden pane is left alone: WM_SETREDRAW TRUE would make it visible.
class PaneUpdate {
 public:
  explicit PaneUpdate(HWND pane) : pane_(pane), showing_(IsWindowVisible(pane) != FALSE) {
    if (showing_)
      SendMessageW(pane_, WM_SETREDRAW, FALSE, 0);
  }
  ~PaneUpdate() {
    if (!showing_)
      return;
    SendMessageW(pane_, WM_SETREDRAW, TRUE, 0);
    RedrawWindow(pane_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
  }
  PaneUpdate(const PaneUpdate&) = delete;
  PaneUpdate& operator=(const PaneUpdate&) = delete;

 private:
  HWND pane_;
  bool showing_;
};

}  // namespace

bool IsCyrillicChar(wchar_t c) {
  return c >= 1025 && c <= 1228;
}

bool IsLatinChar(wchar_t c) {
  return (c >= 65 && c <= 90) || (c >= 97 && c <= 122) || (c >= 192 && c <= 214) ||
         (c >= 216 && c <= 246) || (c >= 248 && c <= 511) || (c >= 592 && c <= 680);
}

void AppendRtfChar(std::string& rtf, wchar_t c) {
  if (c == kCr || c == kLf)
    return;
  char digits[8];
  auto end = std::to_chars(digits, digits + sizeof digits, static_cast<uint16_t>(c)).ptr;
  rtf += "\\u";
  rtf.append(digits, end);
  rtf += '?';
}

std::string FormatEntryRtf(const std::wstring& text, const std::string& fontName,
                           int32_t fontSize) {
  return FormatEntryRtf(text, fontName, fontSize, {});
}

namespace {

// The entry's paragraphs, with the words in the script of its first unit bold and `marks`
// highlighted (colour 1).
void AppendEntryBody(std::string& rtf, const std::wstring& text,
                     const std::vector<RtfMark>& marks) {
  if (text.empty())
    return;
  const bool latinEntry = IsLatinChar(text.front());
  bool bold = false;
  auto mark = marks.begin();
  bool highlighted = false;
  for (size_t i = 0; i < text.size(); ++i) {
    while (mark != marks.end() && mark->start + mark->length <= i)
      ++mark;
    const bool inMark = mark != marks.end() && mark->start <= i;
    if (inMark != highlighted) {
      rtf += inMark ? "\\highlight1 " : "\\highlight0 ";
      highlighted = inMark;
    }
    const wchar_t c = text[i];
    if (c == kCr) {
      rtf += "\\par\\li90\\sa100";
      continue;
    }
    if (c != kSpace) {
      const bool ownScript = latinEntry ? IsLatinChar(c) : IsCyrillicChar(c);
      if (ownScript && !bold) {
        rtf += "\\b";
        bold = true;
      } else if (!ownScript && bold) {
        rtf += "\\b0";
        bold = false;
      }
    }
    AppendRtfChar(rtf, c);
  }
}

}  // namespace

std::string FormatEntryRtf(const std::wstring& text, const std::string& fontName, int32_t fontSize,
                           const std::vector<RtfMark>& marks) {
  if (text.empty())
    return {};
  std::string rtf = StartDocument(text.size(), fontName, fontSize, !marks.empty());
  AppendEntryBody(rtf, text, marks);
  rtf += '}';
  return rtf;
}

std::string FormatEntriesRtf(const std::vector<RtfSection>& sections, const std::string& fontName,
                             int32_t fontSize) {
  size_t size = 0;
  for (const RtfSection& section : sections)
    size += section.heading.size() + section.text.size();
  if (size == 0)
    return {};
  std::string rtf;
  rtf.reserve(80 + 4 * kMaxFaceNameChars + (size + sections.size() * 8) * kMaxPieceSize);
  AppendHeader(rtf, fontName, fontSize, true, true);
  const std::string entrySize = std::to_string(int64_t{fontSize} * 2);
  const std::string headingSize = std::to_string(int64_t{fontSize} * 2 * kHeadingSizePercent / 100);
  bool first = true;
  for (const RtfSection& section : sections) {
    // Bold and highlighting end with the entry before.
    if (!first)
      rtf += "\\highlight0\\b0\\par";
    first = false;
    if (!section.heading.empty()) {
      // A small grey line with a rule under it, apart from the entry before it.
      rtf += "\\pard\\li30\\ri30\\sb120\\sa60\\brdrb\\brdrs\\brdrw10\\brdrcf2\\brsp20\\cf2\\fs";
      rtf += headingSize;
      rtf += ' ';
      for (wchar_t c : section.heading)
        AppendRtfChar(rtf, c);
      rtf += "\\par\\pard\\li30\\ri30\\cf0\\fs";
      rtf += entrySize;
      rtf += ' ';
    }
    AppendEntryBody(rtf, section.text, section.marks);
  }
  // The pane's reader gives a last paragraph left open after a \pard the document's first
  // indent: the entry's last line is ended here so that it keeps its own.
  rtf += "\\par}";
  return rtf;
}

std::string FormatPreviewRtf(const std::wstring& text, const std::string& fontName,
                             int32_t fontSize) {
  if (text.empty())
    return {};
  std::string rtf = StartDocument(text.size(), fontName, fontSize);
  for (wchar_t c : text) {
    if (c == kCr) {
      rtf += ' ';
    } else {
      AppendRtfChar(rtf, c);
    }
  }
  rtf += "\\par}";
  return rtf;
}

void LoadRtfIntoPane(const std::string& rtf, HWND pane) {
  MemoryReadStream stream(rtf);
  PaneUpdate update(pane);
  if (stream.LoadInto(pane, SF_RTF))
    return;
  if (stream.LoadInto(pane, SF_TEXT))
    return;
  throw EStreamError("Failed to Load Stream");
}

}  // namespace lexmora
