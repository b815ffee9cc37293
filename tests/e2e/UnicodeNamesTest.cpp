// A program folder and a dictionary whose names the system code page cannot spell (Cyrillic
// under a Western code page): the chooser lists the name as it is, the dictionary opens, its
// index is written beside it, and the name is remembered for the next start.
#include <windows.h>
// (needs windows.h first)
#include <commctrl.h>

#include <optional>

#include "E2eTest.h"

namespace lexmora::e2e {
namespace {

const std::wstring kFolder = L"\u0420\u0435\u0447\u043D\u0438\u043A";  // Речник
// български речник
const std::wstring kDictionary =
    L"\u0431\u044A\u043B\u0433\u0430\u0440\u0441\u043A\u0438 \u0440\u0435\u0447\u043D\u0438\u043A";
// Latin headwords, so that each letter can be typed as a key of any keyboard layout.
const std::vector<std::wstring> kEntries = {
    L"apple\r\n\u044F\u0431\u044A\u043B\u043A\u0430", L"cat\r\n\u043A\u043E\u0442\u043A\u0430",
    L"dog\r\n\u043A\u0443\u0447\u0435", L"house\r\n\u043A\u044A\u0449\u0430",
    L"water\r\n\u0432\u043E\u0434\u0430"};

bool IsProgressWindow(HWND w) {
  return FindChild(w, [](HWND c) { return HasClass(c, PROGRESS_CLASSW); }) != nullptr;
}

// The registry value as stored, type and bytes, read without any code-page conversion.
std::optional<RegValue> ReadWideSetting(const wchar_t* name) {
  HKEY key = nullptr;
  if (RegOpenKeyExW(HKEY_CURRENT_USER, L"SOFTWARE\\Lexmora", 0, KEY_READ, &key) != ERROR_SUCCESS)
    return std::nullopt;
  RegValue v;
  DWORD size = 0;
  std::optional<RegValue> result;
  if (RegQueryValueExW(key, name, nullptr, &v.type, nullptr, &size) == ERROR_SUCCESS) {
    v.data.resize(size);
    if (RegQueryValueExW(key, name, nullptr, &v.type, v.data.data(), &size) == ERROR_SUCCESS)
      result = v;
  }
  RegCloseKey(key);
  return result;
}

using UnicodeNamesTest = E2eTest;

TEST_F(UnicodeNamesTest, CyrillicFolderAndDictionaryAreListedOpenedAndRemembered) {
  ProgramFolder folder(kFolder);
  folder.AddConversionTables();
  folder.AddDictionary(kDictionary, kEntries, false);

  {
    RunningProgram program(folder.WideExe());
    HWND chooser = program.WaitForWindow([](HWND w) { return TextOf(w) == L"Choose Dictionary"; });
    ASSERT_NE(chooser, nullptr) << "no chooser; " << program.DescribeWindows();
    HWND list = FindChild(chooser, [](HWND w) { return HasClass(w, L"ListBox"); });
    ASSERT_NE(list, nullptr);
    ASSERT_EQ(SendMessageW(list, LB_GETCOUNT, 0, 0), 1) << program.DescribeWindows();
    wchar_t item[64] = L"";
    SendMessageTimeoutW(list, LB_GETTEXT, 0, reinterpret_cast<LPARAM>(item), SMTO_ABORTIFHUNG, 3000,
                        nullptr);
    EXPECT_EQ(std::wstring(item), kDictionary) << "listed \"" << Narrow(item) << "\"";

    PressKey(list, VK_DOWN);
    ASSERT_TRUE(WaitUntil([&] { return SendMessageW(list, LB_GETCURSEL, 0, 0) == 0; }));
    PressKey(list, VK_RETURN);
    // No index yet: the program builds it beside the dictionary.
    HWND progress = program.WaitForWindow(IsProgressWindow);
    ASSERT_NE(progress, nullptr) << "no progress window; " << program.DescribeWindows();
    HWND ok = FindChild(progress, [](HWND c) { return TextOf(c) == L"OK"; });
    ASSERT_TRUE(WaitUntil([&] { return IsWindowEnabled(ok) != FALSE; }))
        << program.DescribeWindows();
    PostMessageW(ok, BM_CLICK, 0, 0);
    EXPECT_TRUE(test::ReadBytes(folder.WideIndexFile(kDictionary)) ==
                FileOrderIndex(folder.WideDataFile(kDictionary)))
        << "the index beside the dictionary is missing or wrong";

    MainWindow main = program.WaitForFirstEntry();
    ASSERT_TRUE(main) << program.DescribeWindows();
    EXPECT_TRUE(ShowsEntry(main, kEntries, 0));
    ASSERT_TRUE(TypeWord(main, L"dog"));
    EXPECT_TRUE(ShowsEntry(main, kEntries, 2));

    std::optional<DWORD> code = program.Close();
    ASSERT_TRUE(code) << program.DescribeWindows();
    EXPECT_EQ(*code, 0u);
  }

  test::Bytes name = test::Utf16Le(kDictionary);
  name.insert(name.end(), {0, 0});
  const RegValue wanted{REG_SZ, name};
  std::optional<RegValue> dict = ReadWideSetting(L"Dict");
  ASSERT_TRUE(dict) << "no Dict value";
  EXPECT_EQ(*dict, wanted) << "Dict got " << Describe(*dict) << ", wanted " << Describe(wanted);

  // The next start opens the remembered dictionary without asking.
  RunningProgram again(folder.WideExe());
  MainWindow main = again.WaitForFirstEntry();
  ASSERT_TRUE(main) << again.DescribeWindows();
  EXPECT_TRUE(ShowsEntry(main, kEntries, 0));
  for (HWND w : again.Windows())
    EXPECT_EQ(w, main.wnd) << "another window is up: " << again.DescribeWindows();
  std::optional<DWORD> code = again.Close();
  ASSERT_TRUE(code) << again.DescribeWindows();
  EXPECT_EQ(*code, 0u);
}

}  // namespace
}  // namespace lexmora::e2e
