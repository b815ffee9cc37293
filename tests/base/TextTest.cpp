#include <gtest/gtest.h>

#include "base/Reporter.h"
#include "base/Text.h"

namespace lexmora {
namespace {

TEST(Text, RoundTripsThroughTheSystemCodePage) {
  EXPECT_EQ(L"abc \u00e9", ToWide("abc \xe9"));
  EXPECT_EQ("abc \xe9", ToAnsi(L"abc \u00e9"));
  EXPECT_EQ(L"", ToWide(""));
}

TEST(Text, Utf8CarriesWhatTheCodePageCannot) {
  const struct {
    std::wstring wide;
    std::string utf8;
    bool inCodePage;  // the tests run with a Western code page
  } cases[] = {
      {L"", "", true},
      {L"abc", "abc", true},
      {L"caf\u00e9", "caf\xC3\xA9", true},
      {L"\u0420\u0435\u0447", "\xD0\xA0\xD0\xB5\xD1\x87", false},
      {L"\U0001F600", "\xF0\x9F\x98\x80", false},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(c.utf8, ToUtf8(c.wide));
    EXPECT_EQ(c.wide, FromUtf8(c.utf8));
    EXPECT_EQ(c.inCodePage, SpelledInCodePage(c.wide)) << c.utf8;
  }
  EXPECT_EQ(L"a\uFFFDb", FromUtf8("a\xFF"
                                  "b"));
}

TEST(Text, ProgramFolderEndsWithABackslashAndHoldsTheExecutable) {
  std::string folder = ProgramFolder();
  ASSERT_FALSE(folder.empty());
  EXPECT_EQ('\\', folder.back());
  char exe[MAX_PATH];
  GetModuleFileNameA(nullptr, exe, MAX_PATH);
  EXPECT_EQ(0u, std::string(exe).find(folder));
  wchar_t wideExe[MAX_PATH];
  GetModuleFileNameW(nullptr, wideExe, MAX_PATH);
  EXPECT_EQ(std::wstring(wideExe).rfind(L'\\') + 1, ProgramFolderW().size());
  EXPECT_EQ(0u, std::wstring(wideExe).find(ProgramFolderW()));
}

struct Recorder : Reporter {
  int ShowMessage(HWND, const std::string& text, const std::string&, UINT) override {
    texts.push_back(text);
    return IDOK;
  }
  void Beep(UINT) override { ++beeps; }
  std::vector<std::string> texts;
  int beeps = 0;
};

TEST(Reporter, WideTextReachesAReporterOfCodePageTextConverted) {
  Recorder r;
  r.ShowWideMessage(nullptr, L"caf\u00e9 \u0420", L"Error", MB_ICONERROR);
  EXPECT_EQ(std::vector<std::string>{"caf\xe9 ?"}, r.texts);
}

TEST(Reporter, ScopedReplacementIsUndoneAtScopeEnd) {
  Reporter* before = &CurrentReporter();
  {
    Recorder r;
    ScopedReporter scope(r);
    CurrentReporter().ShowMessage(nullptr, "hi", "Error", MB_ICONERROR);
    CurrentReporter().Beep(0);
    EXPECT_EQ(std::vector<std::string>{"hi"}, r.texts);
    EXPECT_EQ(1, r.beeps);
  }
  EXPECT_EQ(before, &CurrentReporter());
}

}  // namespace
}  // namespace lexmora
