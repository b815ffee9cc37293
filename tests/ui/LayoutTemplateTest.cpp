// The layout-template reader without windows: what it reads from a template, and how it refuses
// damaged ones, each placed where readable memory ends so that a read past the end faults.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "base/Errors.h"
#include "ui/LayoutTemplate.h"

namespace lexmora {
namespace {

// Writes a template field by field, as the resource compiler lays it out.
class TemplateWriter {
 public:
  TemplateWriter& Word(WORD v) { return Raw(&v, sizeof(v)); }
  TemplateWriter& Dword(DWORD v) { return Raw(&v, sizeof(v)); }
  TemplateWriter& Short(short v) { return Raw(&v, sizeof(v)); }
  TemplateWriter& Byte(BYTE v) { return Raw(&v, sizeof(v)); }
  TemplateWriter& Sz(const std::wstring& s) {
    for (wchar_t c : s)
      Word(static_cast<WORD>(c));
    return Word(0);
  }
  TemplateWriter& Ordinal(WORD v) { return Word(0xFFFF).Word(v); }
  TemplateWriter& AlignDword() {
    while (bytes.size() % 4 != 0)
      Byte(0);
    return *this;
  }
  std::vector<BYTE> bytes;

 private:
  TemplateWriter& Raw(const void* p, size_t n) {
    const auto* b = static_cast<const BYTE*>(p);
    bytes.insert(bytes.end(), b, b + n);
    return *this;
  }
};

// A layout with a font, a class of its own and an odd-length caption, and three items: a
// predefined class by ordinal with creation data, a named class in a panel, and a text given
// as an ordinal.
std::vector<BYTE> SampleTemplate() {
  TemplateWriter w;
  w.Word(1).Word(0xFFFF).Dword(0).Dword(WS_EX_TOOLWINDOW);
  w.Dword(DS_SETFONT | WS_POPUP | WS_CAPTION).Word(3);
  w.Short(5).Short(6).Short(200).Short(120);
  w.Word(0).Sz(L"MyForm").Sz(L"Odd");
  w.Word(9).Word(FW_BOLD).Byte(1).Byte(RUSSIAN_CHARSET).Sz(L"Tahoma");

  w.AlignDword().Dword(0).Dword(WS_EX_CLIENTEDGE).Dword(ES_AUTOHSCROLL);
  w.Short(10).Short(12).Short(100).Short(21).Dword(7).Ordinal(0x81).Sz(L"text");
  w.Word(3).Byte(0xAA).Byte(0xBB).Byte(0xCC);

  w.AlignDword().Dword(77).Dword(0).Dword(BS_PUSHBUTTON);
  w.Short(-4).Short(6).Short(75).Short(25).Dword(8).Sz(L"LexmoraPanel").Sz(L"OK").Word(0);

  w.AlignDword().Dword(0).Dword(0).Dword(SS_ICON);
  w.Short(0).Short(0).Short(32).Short(32).Dword(9).Ordinal(0x82).Ordinal(1).Word(0);
  return w.bytes;
}

// Bytes placed so that they end where readable memory ends: the page after them is no-access.
class GuardedBytes {
 public:
  GuardedBytes() {
    SYSTEM_INFO info{};
    GetSystemInfo(&info);
    page_ = info.dwPageSize;
    base_ = static_cast<BYTE*>(
        VirtualAlloc(nullptr, 2 * page_, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE));
    DWORD old = 0;
    if (base_ == nullptr || !VirtualProtect(base_ + page_, page_, PAGE_NOACCESS, &old))
      throw Exception("Cannot set up the guard page");
  }
  ~GuardedBytes() { VirtualFree(base_, 0, MEM_RELEASE); }
  GuardedBytes(const GuardedBytes&) = delete;
  GuardedBytes& operator=(const GuardedBytes&) = delete;

  // Reads `size` bytes of `bytes` from their place before the guard page.
  TLayoutTemplate Read(const std::vector<BYTE>& bytes, size_t size) {
    BYTE* at = base_ + page_ - size;
    if (size > 0)
      std::memcpy(at, bytes.data(), size);
    return ReadLayoutTemplate(at, size);
  }

 private:
  size_t page_ = 0;
  BYTE* base_ = nullptr;
};

// What reading raises, or "read" when nothing is raised.
std::string Outcome(GuardedBytes& guarded, const std::vector<BYTE>& bytes, size_t size) {
  try {
    guarded.Read(bytes, size);
  } catch (const Exception& e) {
    return e.what();
  }
  return "read";
}

std::string Describe(const RECT& r) {
  return std::to_string(r.left) + "," + std::to_string(r.top) + "," + std::to_string(r.right) +
         "," + std::to_string(r.bottom);
}

TEST(LayoutTemplateTest, ReadsTheHeaderTheFontAndEveryItem) {
  GuardedBytes guarded;
  const std::vector<BYTE> bytes = SampleTemplate();
  const TLayoutTemplate layout = guarded.Read(bytes, bytes.size());
  EXPECT_EQ(layout.exStyle, static_cast<DWORD>(WS_EX_TOOLWINDOW));
  EXPECT_EQ(layout.style, static_cast<DWORD>(DS_SETFONT | WS_POPUP | WS_CAPTION));
  EXPECT_EQ(layout.width, 200);
  EXPECT_EQ(layout.height, 120);
  EXPECT_EQ(layout.className, L"MyForm");
  EXPECT_EQ(layout.caption, L"Odd");
  ASSERT_TRUE(layout.hasFont);
  EXPECT_EQ(layout.font.points, 9);
  EXPECT_EQ(layout.font.weight, FW_BOLD);
  EXPECT_TRUE(layout.font.italic);
  EXPECT_EQ(layout.font.charSet, RUSSIAN_CHARSET);
  EXPECT_EQ(layout.font.faceName, L"Tahoma");

  const struct {
    DWORD helpId, exStyle, style, id;
    RECT bounds;
    std::wstring className, text;
  } want[] = {
      {0, WS_EX_CLIENTEDGE, ES_AUTOHSCROLL, 7, {10, 12, 110, 33}, L"Edit", L"text"},
      {77, 0, BS_PUSHBUTTON, 8, {-4, 6, 71, 31}, L"LexmoraPanel", L"OK"},
      {0, 0, SS_ICON, 9, {0, 0, 32, 32}, L"Static", L""},
  };
  ASSERT_EQ(layout.items.size(), std::size(want));
  for (size_t i = 0; i < std::size(want); ++i) {
    const TLayoutItem& got = layout.items[i];
    SCOPED_TRACE("item " + std::to_string(i));
    EXPECT_EQ(got.helpId, want[i].helpId);
    EXPECT_EQ(got.exStyle, want[i].exStyle);
    EXPECT_EQ(got.style, want[i].style);
    EXPECT_EQ(got.id, want[i].id);
    EXPECT_TRUE(EqualRect(&got.bounds, &want[i].bounds))
        << "got " << Describe(got.bounds) << " want " << Describe(want[i].bounds);
    EXPECT_EQ(got.className, want[i].className);
    EXPECT_EQ(got.text, want[i].text);
  }
}

TEST(LayoutTemplateTest, RefusesTemplatesThatAreNoneOrEndEarly) {
  TemplateWriter oneItem;
  oneItem.Word(1).Word(0xFFFF).Dword(0).Dword(0).Dword(WS_POPUP).Word(1);
  oneItem.Short(0).Short(0).Short(10).Short(10).Word(0).Word(0).Word(0);
  oneItem.AlignDword().Dword(0).Dword(0).Dword(0).Short(0).Short(0).Short(1).Short(1).Dword(5);
  TemplateWriter unknown = oneItem;
  unknown.Ordinal(0x86).Word(0).Word(0);
  TemplateWriter emptyClass = oneItem;
  emptyClass.Word(0).Word(0).Word(0);
  TemplateWriter manyItems;
  manyItems.Word(1).Word(0xFFFF).Dword(0).Dword(0).Dword(WS_POPUP).Word(0xFFFF);
  manyItems.Short(0).Short(0).Short(10).Short(10).Word(0).Word(0).Word(0);
  TemplateWriter bigExtra = oneItem;
  bigExtra.Ordinal(0x80).Word(0).Word(0xFFFF).Word(1);
  TemplateWriter plainDialog;  // DLGTEMPLATE: the style comes first
  plainDialog.Dword(WS_POPUP).Dword(0).Word(0).Short(0).Short(0).Short(10).Short(10);
  TemplateWriter wrongSignature;
  wrongSignature.Word(1).Word(0).Dword(0).Dword(0).Dword(0);

  const struct {
    const char* name;
    std::vector<BYTE> bytes;
    std::string want;
  } cases[] = {
      {"nothing", {}, "Invalid form layout resource"},
      {"one byte", {1}, "Invalid form layout resource"},
      {"an odd length: the version and half a word", {1, 0, 0xFF}, "Invalid form layout resource"},
      {"a plain DIALOG", plainDialog.bytes, "Form layout is not a DIALOGEX"},
      {"version 1 without the signature", wrongSignature.bytes, "Form layout is not a DIALOGEX"},
      {"an unknown class ordinal", unknown.bytes, "Unknown control class 134 in form layout"},
      {"an empty class name", emptyClass.bytes, "Unknown control class 0 in form layout"},
      {"65535 items announced, none there", manyItems.bytes, "Invalid form layout resource"},
      {"creation data longer than the rest", bigExtra.bytes, "Invalid form layout resource"},
  };
  GuardedBytes guarded;
  for (const auto& c : cases)
    EXPECT_EQ(Outcome(guarded, c.bytes, c.bytes.size()), c.want) << c.name;
}

// Every template cut short ends inside one of its fields: each is refused, none read past.
TEST(LayoutTemplateTest, EveryCutOfATemplateIsRefused) {
  GuardedBytes guarded;
  const std::vector<BYTE> bytes = SampleTemplate();
  for (size_t size = 0; size < bytes.size(); ++size)
    EXPECT_EQ(Outcome(guarded, bytes, size), "Invalid form layout resource") << size << " bytes";
  EXPECT_EQ(Outcome(guarded, bytes, bytes.size()), "read");
}

// Random damage to a good template, cut at random places: it is read or refused with one of the
// reader's messages, and nothing is read past its end (a read there faults).
TEST(LayoutTemplateTest, DamagedTemplatesAreReadOrRefusedNeverReadPast) {
  GuardedBytes guarded;
  const std::vector<BYTE> sample = SampleTemplate();
  std::mt19937 random(17);
  int refused = 0;
  for (int round = 0; round < 3000; ++round) {
    std::vector<BYTE> bytes = sample;
    const int changes = 1 + static_cast<int>(random() % 4);
    for (int i = 0; i < changes; ++i) {
      // Many changes hit the 16-bit fields: counts, lengths, terminators and ordinals.
      BYTE& b = bytes[random() % bytes.size()];
      b = random() % 3 == 0 ? 0xFF : random() % 3 == 0 ? 0 : static_cast<BYTE>(random());
    }
    const size_t size = random() % 4 == 0 ? random() % (bytes.size() + 1) : bytes.size();
    const std::string got = Outcome(guarded, bytes, size);
    if (got == "read")
      continue;
    ++refused;
    EXPECT_TRUE(got == "Invalid form layout resource" || got == "Form layout is not a DIALOGEX" ||
                got.rfind("Unknown control class ", 0) == 0)
        << "round " << round << ": " << got;
  }
  EXPECT_GT(refused, 0);
}

}  // namespace
}  // namespace lexmora
