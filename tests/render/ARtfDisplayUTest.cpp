#include <gtest/gtest.h>
#include <richedit.h>

#include <memory>
#include <string>
#include <vector>

#include "base/Errors.h"
#include "base/Handle.h"
#include "base/Text.h"
#include "render/ARtfDisplayU.h"

namespace lexmora {
namespace {

// "дом", "кот" and "house" as UTF-16 code units.
const std::wstring kDom = L"\u0434\u043E\u043C";
const std::wstring kKot = L"\u043A\u043E\u0442";
constexpr const char* kDomRtf = R"(\u1076?\u1086?\u1084?)";
constexpr const char* kHouseRtf = R"(\u104?\u111?\u117?\u115?\u101?)";
// The document header for the font "Arial" at 8 points.
const std::string kHeader = R"({\rtf1{\fonttbl{\f0 Arial}}{\colortbl\red0\green0\blue0;}\fs16)"
                            R"(\li30\ri30\f0\cf0)";

TEST(ScriptClasses, BoundariesOfEachRange) {
  struct Case {
    wchar_t c;
    bool cyrillic;
    bool latin;
  };
  const Case cases[] = {
      {0, false, false},     {L'0', false, false},  {64, false, false},     {65, false, true},
      {90, false, true},     {91, false, false},    {96, false, false},     {97, false, true},
      {122, false, true},    {123, false, false},   {191, false, false},    {192, false, true},
      {214, false, true},    {215, false, false},   {216, false, true},     {246, false, true},
      {247, false, false},   {248, false, true},    {511, false, true},     {512, false, false},
      {591, false, false},   {592, false, true},    {680, false, true},     {681, false, false},
      {0x3B1, false, false}, {0x400, false, false}, {0x401, true, false},   {0x434, true, false},
      {0x4CC, true, false},  {0x4CD, false, false}, {0xFEFF, false, false}, {0xFFFF, false, false},
  };
  for (const Case& c : cases) {
    unsigned value = static_cast<uint16_t>(c.c);
    EXPECT_EQ(c.cyrillic, IsCyrillicChar(c.c)) << "IsCyrillicChar(" << value << ")";
    EXPECT_EQ(c.latin, IsLatinChar(c.c)) << "IsLatinChar(" << value << ")";
  }
}

TEST(AppendRtfChar, WritesTheUnsignedValueOrNothingForLineBreaks) {
  struct Case {
    wchar_t c;
    const char* wanted;
  };
  const Case cases[] = {
      {L'A', R"(\u65?)"},
      {0, R"(\u0?)"},
      {13, ""},
      {10, ""},
      {32767, R"(\u32767?)"},
      {32768, R"(\u32768?)"},
      {0xFEFF, R"(\u65279?)"},
      {0xFFFF, R"(\u65535?)"},
  };
  for (const Case& c : cases) {
    std::string rtf = "x";
    AppendRtfChar(rtf, c.c);
    EXPECT_EQ(std::string("x") + c.wanted, rtf) << "unit " << static_cast<uint16_t>(c.c);
  }
}

TEST(FormatRtf, WorkedExampleByteForByte) {
  const std::string header = R"({\rtf1{\fonttbl{\f0 Lucida Sans Unicode}})"
                             R"({\colortbl\red0\green0\blue0;}\fs16\li30\ri30\f0\cf0)";
  EXPECT_EQ(header + R"(\b\u1076?\u1086?\u1084?\u32?\b0\u104?\u111?\u117?\u115?\u101?})",
            FormatEntryRtf(kDom + L" house", "Lucida Sans Unicode", 8));
  EXPECT_EQ(header + R"(\u1076?\u1086?\u1084?\u32?\u104?\u111?\u117?\u115?\u101?\par})",
            FormatPreviewRtf(kDom + L" house", "Lucida Sans Unicode", 8));
  EXPECT_EQ(header + R"(\b\u1076?\u1086?\u1084?\par\li90\sa100\b0\u104?\u111?\u117?\u115?)"
                     R"(\u101?})",
            FormatEntryRtf(kDom + L"\r\nhouse", "Lucida Sans Unicode", 8));
  EXPECT_EQ(header + R"(\u1076?\u1086?\u1084? \u104?\u111?\u117?\u115?\u101?\par})",
            FormatPreviewRtf(kDom + L"\r\nhouse", "Lucida Sans Unicode", 8));
}

TEST(FormatEntryRtf, BoldRunsFollowTheScriptOfTheFirstUnit) {
  struct Case {
    const char* name;
    std::wstring text;
    std::string body;
  };
  const std::string dom = kDomRtf;
  const Case cases[] = {
      {"Latin first", L"cat " + kKot, R"(\b\u99?\u97?\u116?\u32?\b0\u1082?\u1086?\u1090?)"},
      {"space first", L" " + kDom, R"(\u32?\b)" + dom},
      {"digit first, Latin regular", L"1 cat " + kDom,
       R"(\u49?\u32?\u99?\u97?\u116?\u32?\b)" + dom},
      {"punctuation first", L"(" + kDom + L")", R"(\u40?\b)" + dom + R"(\b0\u41?)"},
      {"CR first", L"\r\n" + kDom, R"(\par\li90\sa100\b)" + dom},
      {"U+0400 is not Cyrillic", L"\u0400" + kDom, R"(\u1024?\b)" + dom},
      {"U+04CD ends a run", L"\u0434\u04CD\u0434", R"(\b\u1076?\b0\u1229?\b\u1076?)"},
      {"U+0250 joins a Latin run", L"a\u0250", R"(\b\u97?\u592?)"},
      {"multiplication sign ends a Latin run", L"a\u00D7b", R"(\b\u97?\b0\u215?\b\u98?)"},
      {"spaces stay inside a run", kDom + L"  " + kDom, R"(\b)" + dom + R"(\u32?\u32?)" + dom},
      {"comma splits runs", kDom + L", " + kDom, R"(\b)" + dom + R"(\b0\u44?\u32?\b)" + dom},
      {"CR LF closes the run", kDom + L"\r\n" + kDom,
       R"(\b)" + dom + R"(\par\li90\sa100\b0\b)" + dom},
      {"lone CR keeps the run", kDom + L"\r" + kDom, R"(\b)" + dom + R"(\par\li90\sa100)" + dom},
      {"lone LF closes the run, no break", kDom + L"\n" + kDom, R"(\b)" + dom + R"(\b0\b)" + dom},
      {"tab", L"a\tb", R"(\b\u97?\b0\u9?\b\u98?)"},
      {"surrogate pair", std::wstring(L"a") + L"\xD83D" + L"\xDE00",
       R"(\b\u97?\b0\u55357?\u56832?)"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(kHeader + c.body + "}", FormatEntryRtf(c.text, "Arial", 8)) << c.name;
  }
}

TEST(FormatEntryRtf, MarkedRunsGetTheHighlightColour) {
  const std::string markedHeader =
      R"({\rtf1{\fonttbl{\f0 Arial}}{\colortbl\red0\green0\blue0;\red255\green226\blue102;})"
      R"(\fs16\li30\ri30\f0\cf0)";
  const std::string dom = kDomRtf;
  struct Case {
    const char* name;
    std::wstring text;
    std::vector<RtfMark> marks;
    std::string body;
  };
  const Case cases[] = {
      {"the whole text", L"ab", {{0, 2}}, R"(\highlight1 \b\u97?\u98?)"},
      {"a word inside",
       L"a " + kDom + L" b",
       {{2, 3}},
       R"(\b\u97?\u32?\highlight1 \b0)" + dom + R"(\highlight0 \u32?\b\u98?)"},
      {"two words across a line break",
       kDom + L"\r\n" + kDom,
       {{0, 3}, {5, 3}},
       R"(\highlight1 \b)" + dom + R"(\highlight0 \par\li90\sa100\b0\highlight1 \b)" + dom},
      {"marks reaching past the text", L"ab", {{1, 9}}, R"(\b\u97?\highlight1 \u98?)"},
  };
  for (const Case& c : cases)
    EXPECT_EQ(markedHeader + c.body + "}", FormatEntryRtf(c.text, "Arial", 8, c.marks)) << c.name;
  EXPECT_EQ(FormatEntryRtf(kDom + L" house", "Arial", 8),
            FormatEntryRtf(kDom + L" house", "Arial", 8, {}));
}

TEST(FormatPreviewRtf, OneLineWithoutBold) {
  struct Case {
    const char* name;
    std::wstring text;
    std::string body;
  };
  const Case cases[] = {
      {"CR LF only", L"\r\n", " "},
      {"CR LF between words", kDom + L"\r\nhouse", std::string(kDomRtf) + " " + kHouseRtf},
      {"lone CR", L"a\rb", R"(\u97? \u98?)"},
      {"lone LF", L"a\nb", R"(\u97?\u98?)"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(kHeader + c.body + R"(\par})", FormatPreviewRtf(c.text, "Arial", 8)) << c.name;
  }
}

TEST(FormatRtf, HeaderCarriesTheFontNameEscapedAndTwiceTheSize) {
  struct Case {
    std::string font;
    int32_t size;
    std::string wanted;
  };
  const Case cases[] = {
      {"Arial", 10, R"({\rtf1{\fonttbl{\f0 Arial}}{\colortbl\red0\green0\blue0;}\fs20)"},
      {"Arial", 0, R"({\rtf1{\fonttbl{\f0 Arial}}{\colortbl\red0\green0\blue0;}\fs0)"},
      {"Arial", 0x40000000,
       R"({\rtf1{\fonttbl{\f0 Arial}}{\colortbl\red0\green0\blue0;}\fs2147483648)"},
      {"\xC0rial;x", 8, R"({\rtf1{\fonttbl{\f0 \'c0rial}}{\colortbl\red0\green0\blue0;}\fs16)"},
      {"A}r{i\\al", 8, R"({\rtf1{\fonttbl{\f0 A\}r\{i\\al}}{\colortbl\red0\green0\blue0;}\fs16)"},
      {"A\tB\x7F\xFF", 8,
       R"({\rtf1{\fonttbl{\f0 A\'09B\'7f\'ff}}{\colortbl\red0\green0\blue0;}\fs16)"},
      {std::string(40, 'x'), 8,
       "{\\rtf1{\\fonttbl{\\f0 " + std::string(31, 'x') +
           "}}{\\colortbl\\red0\\green0\\blue0;}\\fs16"},
  };
  for (const Case& c : cases) {
    const std::string tail = R"(\li30\ri30\f0\cf0)";
    EXPECT_EQ(c.wanted + tail + R"(\b\u97?})", FormatEntryRtf(L"a", c.font, c.size)) << c.size;
    EXPECT_EQ(c.wanted + tail + R"(\u97?\par})", FormatPreviewRtf(L"a", c.font, c.size)) << c.size;
  }
}

TEST(FormatRtf, EmptyTextGivesTheEmptyDocument) {
  EXPECT_EQ("", FormatEntryRtf(L"", "Arial", 8));
  EXPECT_EQ("", FormatPreviewRtf(L"", "Arial", 8));
}

// Real panes, created directly. Wine 8 has Msftedit.dll; the module stays loaded.
const wchar_t* RichEditClass() {
  static const HMODULE library = LoadLibraryW(L"Msftedit.dll");
  return library ? MSFTEDIT_CLASS : L"";
}

struct WindowDeleter {
  void operator()(HWND window) const { DestroyWindow(window); }
};
using Window = std::unique_ptr<HWND__, WindowDeleter>;

// A shown top-level window that holds the panes. Panes are its children: a top-level window of
// its own takes Wine about two seconds to destroy under Xvfb.
HWND Host() {
  static Window host(CreateWindowExW(0, L"Static", L"", WS_POPUP | WS_VISIBLE, 10, 10, 420, 220,
                                     nullptr, nullptr, GetModuleHandleW(nullptr), nullptr));
  return host.get();
}

// The regular font the program gives its panes; without one the pane's default text is bold.
HFONT PaneFont() {
  static GdiObject font(CreateFontW(-11, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                                    OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                                    DEFAULT_PITCH, L"Arial"));
  return static_cast<HFONT>(font.Get());
}

Window CreatePane(const wchar_t* className, bool visible) {
  DWORD style = WS_CHILD | ES_MULTILINE | ES_READONLY | WS_VSCROLL | (visible ? WS_VISIBLE : 0);
  HWND pane = CreateWindowExW(0, className, L"", style, 0, 0, 400, 200, Host(), nullptr,
                              GetModuleHandleW(nullptr), nullptr);
  if (pane) {
    SendMessageW(pane, WM_SETFONT, reinterpret_cast<WPARAM>(PaneFont()), FALSE);
    UpdateWindow(pane);
  }
  return Window(pane);
}

// The pane's text with each paragraph mark as one CR.
std::wstring PaneText(HWND pane) {
  wchar_t text[256] = {};
  GETTEXTEX query{sizeof text - sizeof *text, GT_DEFAULT, 1200, nullptr, nullptr};
  SendMessageW(pane, EM_GETTEXTEX, reinterpret_cast<WPARAM>(&query),
               reinterpret_cast<LPARAM>(text));
  return text;
}

void Select(HWND pane, LONG start, LONG end) {
  CHARRANGE range{start, end};
  SendMessageW(pane, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&range));
}

CHARFORMAT2W CharFormatOf(HWND pane, LONG start, LONG end) {
  Select(pane, start, end);
  CHARFORMAT2W format{};
  format.cbSize = sizeof format;
  SendMessageW(pane, EM_GETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&format));
  return format;
}

PARAFORMAT2 ParaFormatAt(HWND pane, LONG position) {
  Select(pane, position, position);
  PARAFORMAT2 format{};
  format.cbSize = sizeof format;
  SendMessageW(pane, EM_GETPARAFORMAT, 0, reinterpret_cast<LPARAM>(&format));
  return format;
}

class Pane : public ::testing::Test {
 protected:
  void SetUp() override {
    pane_ = CreatePane(RichEditClass(), true);
    ASSERT_TRUE(pane_) << "no rich-edit pane, error " << GetLastError();
  }
  HWND pane() const { return pane_.get(); }

  // Bold over [start, end) must be uniform and equal to `bold`.
  void ExpectBold(LONG start, LONG end, bool bold) {
    CHARFORMAT2W format = CharFormatOf(pane(), start, end);
    ASSERT_TRUE(format.dwMask & CFM_BOLD) << "mixed bold in [" << start << ", " << end << ")";
    EXPECT_EQ(bold, (format.dwEffects & CFE_BOLD) != 0)
        << "bold in [" << start << ", " << end << ")";
  }

  Window pane_;
};

TEST_F(Pane, EntryLoadsWithItsTextBoldFontAndSize) {
  LoadRtfIntoPane(FormatEntryRtf(kDom + L" house", "Lucida Sans Unicode", 8), pane());
  EXPECT_EQ(kDom + L" house", PaneText(pane()));
  ExpectBold(0, 4, true);
  ExpectBold(4, 9, false);
  CHARFORMAT2W format = CharFormatOf(pane(), 0, 9);
  EXPECT_EQ(std::wstring(L"Lucida Sans Unicode"), format.szFaceName);
  EXPECT_EQ(160, format.yHeight) << "twips for 8 points";
}

// Entries of several dictionaries: each under its heading, which is grey and smaller; only the
// first entry's marks highlight, and each entry is drawn as it would be alone.
TEST_F(Pane, EntriesStandUnderTheirGreyHeadings) {
  LoadRtfIntoPane(
      FormatEntriesRtf(
          {{L"One", kDom + L" house", {{4, 5}}}, {L"Two", kDom + L"\r\nhouse", {}}, {L"", L"", {}}},
          "Arial", 10),
      pane());
  const std::wstring text = PaneText(pane());
  ASSERT_EQ(ToUtf8(L"One\r" + kDom + L" house\rTwo\r" + kDom + L"\rhouse"),
            ToUtf8(text.substr(0, text.find_last_not_of(L"\r") + 1)));
  const struct {
    const char* what;
    LONG start, end;
    COLORREF colour;
    LONG twips;
    bool marked;
  } runs[] = {
      {"first heading", 0, 3, RGB(128, 128, 128), 160, false},
      {"first entry", 4, 8, RGB(0, 0, 0), 200, false},
      {"its mark", 8, 13, RGB(0, 0, 0), 200, true},
      {"second heading", 14, 17, RGB(128, 128, 128), 160, false},
      {"second entry", 18, 27, RGB(0, 0, 0), 200, false},
  };
  for (const auto& run : runs) {
    const CHARFORMAT2W format = CharFormatOf(pane(), run.start, run.end);
    EXPECT_EQ(format.crTextColor, run.colour) << run.what;
    EXPECT_EQ(format.yHeight, run.twips) << run.what;
    const bool marked =
        (format.dwEffects & CFE_AUTOBACKCOLOR) == 0 && format.crBackColor == RGB(255, 226, 102);
    EXPECT_EQ(marked, run.marked) << run.what;
  }
  ExpectBold(18, 21, true);
  ExpectBold(22, 27, false);
  // Each entry's lines are indented as they are alone, its last line too.
  EXPECT_EQ(ParaFormatAt(pane(), 18).dxStartIndent, 30);
  EXPECT_EQ(ParaFormatAt(pane(), 22).dxStartIndent, 90);
  EXPECT_EQ("", FormatEntriesRtf({{L"", L"", {}}}, "Arial", 10));
}

// Whatever the font name holds, the pane shows the entry as it is, in a font of the name's first
// 31 characters up to any ";".
TEST_F(Pane, FontNamesWithRtfCharactersChangeNeitherTheTextNorTheFontName) {
  const std::pair<std::string, std::string> cases[] = {
      {"Ar}ial", "Ar}ial"},
      {"Ar{ial", "Ar{ial"},
      {"Ari\\al", "Ari\\al"},
      {"Arial}}\\par INJECTED{", "Arial}}\\par INJECTED{"},
      {"Ari;al", "Ari"},
      {"\xC0rial", "\xC0rial"},
      {std::string(1500, 'A'), std::string(31, 'A')},
  };
  for (const auto& [name, face] : cases) {
    LoadRtfIntoPane(FormatEntryRtf(kDom + L" house", name, 8), pane());
    EXPECT_EQ(kDom + L" house", PaneText(pane())) << name;
    CHARFORMAT2W format = CharFormatOf(pane(), 0, 9);
    EXPECT_EQ(ToWide(face), format.szFaceName) << name;
  }
}

TEST_F(Pane, MarkedWordsShowOnTheHighlightColour) {
  LoadRtfIntoPane(FormatEntryRtf(kDom + L" house " + kKot, "Arial", 8, {{4, 5}}), pane());
  ASSERT_EQ(kDom + L" house " + kKot, PaneText(pane()));
  const struct {
    LONG start, end;
    bool marked;
  } runs[] = {{0, 4, false}, {4, 9, true}, {9, 13, false}};
  for (const auto& run : runs) {
    const CHARFORMAT2W format = CharFormatOf(pane(), run.start, run.end);
    ASSERT_TRUE(format.dwMask & CFM_BACKCOLOR)
        << "mixed background in [" << run.start << ", " << run.end << ")";
    const bool marked =
        (format.dwEffects & CFE_AUTOBACKCOLOR) == 0 && format.crBackColor == RGB(255, 226, 102);
    EXPECT_EQ(marked, run.marked) << "[" << run.start << ", " << run.end << ") background "
                                  << std::hex << format.crBackColor;
  }
  ExpectBold(0, 3, true);
  ExpectBold(4, 9, false);
}

TEST_F(Pane, LinesBecomeIndentedParagraphs) {
  LoadRtfIntoPane(FormatEntryRtf(kDom + L"\r\nhouse, " + kDom + L"\r" + kKot, "Arial", 8), pane());
  const std::wstring wanted = kDom + L"\rhouse, " + kDom + L"\r" + kKot;
  ASSERT_EQ(wanted, PaneText(pane()));
  ExpectBold(0, 3, true);
  ExpectBold(4, 11, false);
  // A lone CR keeps the run open over the paragraph mark.
  ExpectBold(11, 18, true);

  struct Case {
    LONG position;
    LONG startIndent;
    LONG spaceAfter;
  };
  for (const Case& c : {Case{0, 30, 0}, Case{5, 90, 100}, Case{16, 90, 100}}) {
    PARAFORMAT2 format = ParaFormatAt(pane(), c.position);
    EXPECT_EQ(c.startIndent, format.dxStartIndent) << "left indent at " << c.position;
    EXPECT_EQ(30, format.dxRightIndent) << "right indent at " << c.position;
    EXPECT_EQ(c.spaceAfter, format.dySpaceAfter) << "space after at " << c.position;
  }
}

TEST_F(Pane, UnitsAboveSignedRangeAndSurrogatesLoadUnchanged) {
  const std::wstring text =
      std::wstring(L"a") + L"\x8000" + L"\xD83D" + L"\xDE00" + L"b" + L"\xFEFF" + L"c" + L"\xFFFD";
  LoadRtfIntoPane(FormatPreviewRtf(text, "Arial", 8), pane());
  EXPECT_EQ(text, PaneText(pane()));
}

TEST_F(Pane, PreviewIsOneUnboldLine) {
  LoadRtfIntoPane(FormatPreviewRtf(kDom + L"\r\nhouse ...", "Arial", 8), pane());
  EXPECT_EQ(kDom + L" house ...", PaneText(pane()));
  ExpectBold(0, 13, false);
}

TEST_F(Pane, LoadReplacesTheWholeContentNotTheSelection) {
  SetWindowTextW(pane(), L"old content here");
  LoadRtfIntoPane("", pane());
  EXPECT_EQ(L"", PaneText(pane()));

  SetWindowTextW(pane(), L"old content here");
  Select(pane(), 4, 7);
  LoadRtfIntoPane(FormatEntryRtf(L"new", "Arial", 8), pane());
  EXPECT_EQ(L"new", PaneText(pane()));
}

TEST_F(Pane, DocumentsThePaneRejectsAsRtfLoadAsPlainText) {
  // Not RTF at all, and RTF cut short: the pane reports an error for both.
  for (const std::string document : {R"(plain {words} \b here)", R"({\rtf1\b cut)"}) {
    SetWindowTextW(pane(), L"previous");
    LoadRtfIntoPane(document, pane());
    EXPECT_EQ(std::wstring(document.begin(), document.end()), PaneText(pane()));
  }
}

// Records the messages of the load that matter for redrawing, in order.
class MessageLog {
 public:
  explicit MessageLog(HWND window) : window_(window) {
    SetPropW(window_, kProp, this);
    previous_ = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(window_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&Proc)));
  }
  ~MessageLog() {
    SetWindowLongPtrW(window_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(previous_));
    RemovePropW(window_, kProp);
  }
  std::vector<std::string> entries;

 private:
  static LRESULT CALLBACK Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* self = static_cast<MessageLog*>(GetPropW(window, kProp));
    if (message == WM_SETREDRAW)
      self->entries.push_back("redraw " + std::to_string(wParam));
    if (message == EM_STREAMIN)
      self->entries.push_back("stream " + std::to_string(wParam));
    if (message == WM_PAINT)
      self->entries.push_back("paint");
    return CallWindowProcW(self->previous_, window, message, wParam, lParam);
  }
  static constexpr const wchar_t* kProp = L"LexmoraMessageLog";
  HWND window_;
  WNDPROC previous_;
};

using Log = std::vector<std::string>;

TEST_F(Pane, RedrawIsOffDuringTheLoadThenOnWithOneRepaint) {
  MessageLog log(pane());
  LoadRtfIntoPane(FormatEntryRtf(L"word", "Arial", 8), pane());
  EXPECT_EQ((Log{"redraw 0", "stream 2", "redraw 1", "paint"}), log.entries);
}

TEST(HiddenPane, LoadsWithoutTouchingRedrawAndStaysHidden) {
  Window pane = CreatePane(RichEditClass(), false);
  ASSERT_TRUE(pane);
  MessageLog log(pane.get());
  LoadRtfIntoPane(FormatEntryRtf(L"word", "Arial", 8), pane.get());
  EXPECT_EQ(Log{"stream 2"}, log.entries);
  EXPECT_FALSE(IsWindowVisible(pane.get()));
  EXPECT_EQ(L"word", PaneText(pane.get()));
}

TEST(NonRichPane, RaisesFailedToLoadStreamAndRestoresRedraw) {
  // A plain edit control takes neither RTF nor text through EM_STREAMIN.
  Window pane = CreatePane(L"Edit", true);
  ASSERT_TRUE(pane);
  MessageLog log(pane.get());
  try {
    LoadRtfIntoPane(FormatEntryRtf(L"word", "Arial", 8), pane.get());
    ADD_FAILURE() << "no exception";
  } catch (const EStreamError& e) {
    EXPECT_STREQ("Failed to Load Stream", e.what());
  }
  EXPECT_EQ((Log{"redraw 0", "stream 2", "stream 1", "redraw 1", "paint"}), log.entries);
}

}  // namespace
}  // namespace lexmora
