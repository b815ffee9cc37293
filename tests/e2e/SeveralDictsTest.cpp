// Several dictionaries in use in the running program: ticked in the chooser with the keys, each
// script led by its own dictionary, the others' entries for the same headword below it.
#include <string>
#include <vector>

#include "E2eTest.h"

namespace lexmora::e2e {
namespace {

std::wstring ListItem(HWND list, LRESULT k) {
  wchar_t item[64] = L"";
  SendMessageTimeoutW(list, LB_GETTEXT, k, reinterpret_cast<LPARAM>(item), SMTO_ABORTIFHUNG, 3000,
                      nullptr);
  return item;
}

class SeveralDictsTest : public ProgramTest {
 protected:
  void SetUp() override {
    ProgramTest::SetUp();
    folder_.AddDictionary("en", {L"apple\r\nябълка", L"house\r\nкъща", L"water\r\nвода"});
    folder_.AddDictionary("bg", {L"вода\r\nwater", L"къща\r\nhouse", L"ябълка\r\napple"});
    folder_.AddDictionary("en2",
                          {L"apple\r\nthe fruit", L"cat\r\nthe animal", L"water\r\nthe drink"});
  }
};

TEST_F(SeveralDictsTest, TickedWithTheKeysThenEachScriptLedByItsOwnDictionary) {
  WriteSetting("Dict", StringValue("en"));
  WriteSetting("RefineText", DwordValue(0));
  MainWindow main = Start();
  ASSERT_TRUE(main);
  ASSERT_TRUE(SendChord(main.wnd, {VK_CONTROL}, 'D'));
  HWND chooser = program_->WaitForWindow([](HWND w) { return TextOf(w) == L"Choose Dictionary"; });
  ASSERT_NE(chooser, nullptr) << program_->DescribeWindows();
  HWND list = FindChild(chooser, [](HWND w) { return HasClass(w, L"ListBox"); });
  ASSERT_NE(list, nullptr);
  ASSERT_EQ(SendMessageW(list, LB_GETCOUNT, 0, 0), 3);
  ASSERT_EQ(Narrow(ListItem(list, 0)), "en") << "the dictionary in use comes first";
  // Down to each of the other two and Space ticks it. The keys go through the input queue, behind
  // the release of Ctrl: a posted Down would be handled before that release and read as Ctrl+Down.
  for (LRESULT k = 0; k < 3; ++k) {
    ASSERT_TRUE(SendChord(list, {}, VK_DOWN));
    ASSERT_TRUE(WaitUntil([&] { return SendMessageW(list, LB_GETCURSEL, 0, 0) == k; }))
        << "at " << k << " the selection is " << SendMessageW(list, LB_GETCURSEL, 0, 0);
    if (k > 0) {
      ASSERT_TRUE(SendChord(list, {}, VK_SPACE));  // handled before the next key, in its order
    }
  }
  const std::wstring second = ListItem(list, 1), third = ListItem(list, 2);
  ASSERT_TRUE(SendChord(list, {}, VK_RETURN));
  ASSERT_TRUE(WaitUntil([&] { return IsWindowVisible(chooser) == FALSE; }));

  // The previews are the leading dictionary's neighbours.
  struct Case {
    std::wstring typed;
    std::wstring wantMeaning;
    std::wstring wantAbove;
  } cases[] = {
      {L"water", L"Title (en)\nwater\nвода\nTitle (en2)\nwater\nthe drink",
       PreviewText(L"house\r\nкъща")},
      {L"къща", L"Title (bg)\nкъща\nhouse", PreviewText(L"вода\r\nwater")},
      {L"apple", L"Title (en)\napple\nябълка\nTitle (en2)\napple\nthe fruit", kBeyondTheEnd},
  };
  for (const Case& c : cases) {
    TypeSearch(main, c.typed);
    EXPECT_TRUE(WaitUntil([&] { return PaneText(main.meaning) == c.wantMeaning; }))
        << Narrow(c.typed) << " showed \"" << Narrow(PaneText(main.meaning)) << "\"";
    EXPECT_EQ(Narrow(PaneText(main.top2)), Narrow(c.wantAbove)) << Narrow(c.typed);
  }

  CloseWithSuccess(*program_);
  std::string dicts = "en";
  for (const std::wstring& name : {second, third})
    dicts += '\0' + Narrow(name);
  dicts += std::string(2, '\0');
  const std::optional<RegValue> stored = ReadSetting("Dicts");
  ASSERT_TRUE(stored);
  EXPECT_EQ(*stored, (RegValue{REG_MULTI_SZ, test::Bytes(dicts.begin(), dicts.end())}))
      << Describe(*stored);
}

}  // namespace
}  // namespace lexmora::e2e
