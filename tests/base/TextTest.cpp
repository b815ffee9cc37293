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

TEST(Text, ProgramFolderEndsWithABackslashAndHoldsTheExecutable) {
  std::string folder = ProgramFolder();
  ASSERT_FALSE(folder.empty());
  EXPECT_EQ('\\', folder.back());
  char exe[MAX_PATH];
  GetModuleFileNameA(nullptr, exe, MAX_PATH);
  EXPECT_EQ(0u, std::string(exe).find(folder));
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
