// An index that cannot be written: the progress window reports the failure and can be closed,
// and the dictionary is left unopened, with one error and empty panes.
#include <windows.h>

#include <optional>

#include "E2eTest.h"

namespace lexmora::e2e {
namespace {

constexpr char kShipped[] = "diruridu";

class IndexFailureTest : public E2eTest {
 protected:
  // The shipped dictionary without its index, and a folder where the index file would go.
  void SetUp() override {
    E2eTest::SetUp();
    folder_.AddShippedDictionary(kShipped, false);
    folder_.AddConversionTables();
    ASSERT_TRUE(CreateDirectoryA(folder_.IndexFile(kShipped).c_str(), nullptr));
  }
  ProgramFolder folder_;
};

HWND Child(HWND parent, const std::wstring& text) {
  return FindChild(parent, [&](HWND c) { return TextOf(c) == text; });
}

TEST_F(IndexFailureTest, TheProgressWindowSaysSoClosesAndTheOpeningIsAbandoned) {
  struct Close {
    const char* name;
    void (*close)(HWND progress, HWND ok);
  } closes[] = {
      {"a click on OK", [](HWND, HWND ok) { ClickAt(ok, 10, 10); }},
      {"Enter", [](HWND, HWND ok) { PressKey(ok, VK_RETURN); }},
      {"Alt+F4", [](HWND progress, HWND) { SendChord(progress, {VK_MENU}, VK_F4); }},
  };
  for (const Close& c : closes) {
    SCOPED_TRACE(c.name);
    ClearSettings();
    RunningProgram program(folder_.Exe());
    HWND progress = program.WaitForWindow(IsProgressWindow);
    ASSERT_NE(progress, nullptr) << "no progress window; " << program.DescribeWindows();
    HWND ok = Child(progress, L"OK");

    // The build's error comes over the window, which already says that the build failed.
    HWND box = program.WaitForWindow(IsMessageBox);
    ASSERT_NE(box, nullptr) << "no error; " << program.DescribeWindows();
    EXPECT_NE(Child(box, L"File access denied"), nullptr) << program.DescribeWindows();
    EXPECT_NE(Child(progress, L"Index file could not be created. Click OK to continue..."), nullptr)
        << program.DescribeWindows();
    EXPECT_TRUE(IsWindowEnabled(ok)) << "OK stays disabled after the failure";
    PressKey(Child(box, L"OK"), VK_RETURN);
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(box); })) << program.DescribeWindows();

    c.close(progress, ok);
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(progress) || !IsWindowVisible(progress); }))
        << "the progress window stays; " << program.DescribeWindows();
    MainWindow main = program.WaitForMainWindow(0);
    ASSERT_TRUE(main);
    EXPECT_TRUE(WaitUntil([&] { return IsWindowEnabled(main.wnd) != FALSE; }));
    // No second error follows: the dictionary is not opened.
    ASSERT_TRUE(WaitForPostedMessages(main));
    EXPECT_EQ(program.WaitForWindow(IsMessageBox, 0), nullptr) << program.DescribeWindows();
    EXPECT_EQ(main.Panes(), std::vector<std::wstring>(5)) << "the panes show entries";

    TypeSearch(main, L"a");
    EXPECT_EQ(main.Panes(), std::vector<std::wstring>(5)) << "a lookup without a dictionary";
    EXPECT_EQ(program.WaitForWindow(IsMessageBox, 0), nullptr) << program.DescribeWindows();
    std::optional<DWORD> code = program.Close();
    ASSERT_TRUE(code) << program.DescribeWindows();
    EXPECT_EQ(*code, 0u);
  }
}

}  // namespace
}  // namespace lexmora::e2e
