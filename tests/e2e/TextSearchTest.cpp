// Searching inside the entries in the running program: Ctrl+F, typing with real key presses,
// the word index built while the window stays usable, F3 and Shift+F3, Escape.
#include <windows.h>
// after windows.h
#include <commctrl.h>

#include <algorithm>
#include <optional>
#include <set>

#include "E2eTest.h"
#include "MainIds.h"
#include "RemoteWindow.h"

namespace lexmora::e2e {
namespace {

constexpr int kEntries = 300000;

// Types `text` (letters, digits, spaces) as key presses through the system's input, queued
// behind the keys typed before (a Ctrl let go of, say); the program's message loop makes the
// character of each key. False when a key could not be typed.
bool TypeKeys(HWND wnd, const std::wstring& text) {
  for (wchar_t c : text) {
    if (!SendChord(wnd, {}, LOBYTE(VkKeyScanW(c))))
      return false;
  }
  return true;
}

bool ButtonDown(const MainWindow& main) {
  HWND bar = remote::FindDescendantById(main.wnd, IDC_TOOLBAR);
  return SendMessageW(bar, TB_ISBUTTONCHECKED, IDC_TBTNFINDINTEXT, 0) != 0;
}

class TextSearchTest : public E2eTest {
 protected:
  void SetUp() override {
    E2eTest::SetUp();
    folder_.AddShippedDictionary("diruridu");
    folder_.AddConversionTables();
    std::wstring text =
        L"\xFEFF"
        L"Generated dictionary\r\n";
    for (int k = 0; k < kEntries; ++k) {
      text += L"\x00B7w" + std::to_wstring(k) + L"\r\nsense number " + std::to_wstring(k % 1000) +
              L" of a house";
    }
    test::WriteBytes(folder_.DataFile("big"), test::Utf16Le(text));
    test::WriteBytes(folder_.IndexFile("big"), FileOrderIndex(folder_.DataFile("big")));
    WriteSetting("Dict", StringValue("big"));
  }

  ProgramFolder folder_;
};

TEST_F(TextSearchTest, CtrlFSearchesInsideTheEntriesWhileTheWordIndexIsBuilt) {
  const std::vector<std::wstring> entries = ReadEntries(folder_.DataFile("big"));
  std::vector<int> matches;  // "number 42"
  for (int k = 42; k < kEntries; k += 1000)
    matches.push_back(k);

  RunningProgram program(folder_.Exe());
  MainWindow main = program.WaitForFirstEntry();
  ASSERT_TRUE(main) << program.DescribeWindows();
  HWND label = remote::FindDescendantById(main.wnd, IDC_LBLMATCHES);
  ASSERT_NE(label, nullptr);
  auto labelText = [&] { return Narrow(TextOf(label)); };

  ASSERT_TRUE(SendChord(main.wnd, {VK_CONTROL}, 'F')) << "could not type Ctrl+F";
  ASSERT_TRUE(WaitUntil([&] { return ButtonDown(main); })) << "Ctrl+F left the button up";
  ASSERT_TRUE(TypeKeys(main.wnd, L"number 42"));

  // The word index is built while the window goes on handling its messages: the label counts
  // up, and messages posted to the window are handled while the label still says "indexing".
  std::set<std::string> seen;
  int handledDuringBuild = 0, unhandled = 0;
  auto indexing = [](const std::string& text) { return text.rfind("indexing", 0) == 0; };
  const bool found = WaitUntil(
      [&] {
        const std::string text = labelText();
        seen.insert(text);
        if (indexing(text)) {
          if (!WaitForPostedMessages(main))
            ++unhandled;
          else if (indexing(labelText()))
            ++handledDuringBuild;
        }
        return text == "1 of " + std::to_string(matches.size());
      },
      30000);
  std::string labels;
  for (const std::string& s : seen)
    labels += " [" + s + "]";
  ASSERT_TRUE(found) << "label showed" << labels << "; search text \"" << Narrow(main.SearchText())
                     << "\"";
  EXPECT_TRUE(std::any_of(seen.begin(), seen.end(),
                          [](const std::string& s) { return s.rfind("indexing ", 0) == 0; }))
      << "no progress shown; label showed" << labels;
  EXPECT_EQ(unhandled, 0) << "posted messages waited for the index to be built";
  EXPECT_GT(handledDuringBuild, 0) << "no posted message was handled while the index was built";
  EXPECT_EQ(Narrow(main.SearchText()), "number 42");

  auto shows = [&](size_t position) {
    auto preview = [&](int offset) {
      const int at = static_cast<int>(position) + offset;
      return at >= 0 && at < static_cast<int>(matches.size()) ? PreviewText(entries[matches[at]])
                                                              : kBeyondTheEnd;
    };
    const std::vector<std::wstring> wanted = {
        preview(-2), preview(-1), MainPaneText(entries[matches[position]]), preview(1), preview(2)};
    const std::string count =
        std::to_string(position + 1) + " of " + std::to_string(matches.size());
    return WaitUntil([&] { return main.Panes() == wanted && labelText() == count; });
  };
  EXPECT_TRUE(shows(0)) << "label " << labelText() << ", pane " << Narrow(main.Panes()[2]);

  const struct {
    const char* keys;
    std::function<bool()> press;
    size_t position;
  } steps[] = {
      {"F3",
       [&] {
         PressKey(main.searchEdit, VK_F3);
         return true;
       },
       1},
      {"F3",
       [&] {
         PressKey(main.searchEdit, VK_F3);
         return true;
       },
       2},
      {"Shift+F3", [&] { return SendChord(main.wnd, {VK_SHIFT}, VK_F3); }, 1},
  };
  for (const auto& step : steps) {
    ASSERT_TRUE(step.press()) << "could not type " << step.keys;
    EXPECT_TRUE(shows(step.position)) << step.keys << ": label " << labelText();
  }
  EXPECT_EQ(Narrow(TextOf(main.wnd)), "Lexmora - BETA RELEASE");
  EXPECT_NE(GetFileAttributesA((folder_.Path() + "Dictionaries\\big.wix").c_str()),
            INVALID_FILE_ATTRIBUTES);

  // Escape goes back to headword lookup; Ctrl+F switches on and off.
  PressKey(main.searchEdit, VK_ESCAPE);
  EXPECT_TRUE(WaitUntil([&] { return !ButtonDown(main) && labelText().empty(); }))
      << "after Escape: label " << labelText();
  for (bool down : {true, false}) {
    ASSERT_TRUE(SendChord(main.wnd, {VK_CONTROL}, 'F'));
    EXPECT_TRUE(WaitUntil([&] { return ButtonDown(main) == down; })) << "Ctrl+F, wanted " << down;
  }
  std::optional<DWORD> code = program.Close();
  ASSERT_TRUE(code) << program.DescribeWindows();
  EXPECT_EQ(*code, 0u);
}

}  // namespace
}  // namespace lexmora::e2e
