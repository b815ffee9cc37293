#include <gtest/gtest.h>
#include <windows.h>

#include <optional>
#include <string>
#include <vector>

#include "base/Text.h"
#include "shell/CopiedText.h"

namespace lexmora {
namespace {

std::string Show(const std::optional<std::wstring>& text) {
  if (!text)
    return "nothing";
  std::string out(1, '"');
  out.append(ToUtf8(*text)).push_back('"');
  return out;
}

TEST(ShortCopiedText, OneTrimmedLineOfAtMostFiftyUnits) {
  const std::wstring fifty(50, L'a');
  const struct {
    std::wstring copied;
    std::optional<std::wstring> want;
  } cases[] = {
      {L"house", L"house"},
      {L"  House \r\n", L"House"},             // a line copied with its end
      {L"\t\u00A0къща\u3000\uFEFF", L"къща"},  // tabs, no-break and wide spaces, a byte order mark
      {L"honey bee", L"honey bee"},            // spaces inside stay
      {fifty, fifty},
      {L"  " + fifty + L"\r\n", fifty},  // the ends do not count
      {fifty + L"a", std::nullopt},
      {L"house\r\nbee", std::nullopt},
      {L"house\nbee", std::nullopt},
      {L"house\u2028bee", std::nullopt},  // a line separator
      {L"house\tbee", std::nullopt},
      {std::wstring(L"house\0bee", 9), std::nullopt},
      {L"", std::nullopt},
      {L" \r\n\t ", std::nullopt},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(Show(ShortCopiedText(c.copied)), Show(c.want)) << "copied " << Show(c.copied);
  }
}

// One clipboard notice: its time in milliseconds and the text it brought (nothing: no text).
struct Notice {
  uint64_t ms;
  std::optional<std::wstring> text;
};

TEST(CopyTwiceDetector, TheSameShortTextTwiceWithinHalfASecondIsLookedUp) {
  const std::optional<std::wstring> none;
  const struct {
    const char* name;
    std::vector<Notice> notices;
    std::vector<std::optional<std::wstring>> want;  // the result of each notice
  } cases[] = {
      {"twice, 150 ms apart", {{1000, L"house"}, {1150, L"house"}}, {none, L"house"}},
      {"twice, 500 ms apart", {{1000, L"house"}, {1500, L"house"}}, {none, L"house"}},
      {"twice, 501 ms apart", {{1000, L"house"}, {1501, L"house"}}, {none, none}},
      {"the second pairs with a third in time",
       {{1000, L"house"}, {1600, L"house"}, {1800, L"house"}},
       {none, none, L"house"}},
      {"trimmed texts compare", {{0, L"house\r\n"}, {100, L" house"}}, {none, L"house"}},
      {"other texts between",
       {{0, L"house"}, {100, L"bee"}, {200, L"house"}, {300, L"house"}},
       {none, none, none, L"house"}},
      {"the latest of two texts pairs",
       {{0, L"house"}, {100, L"bee"}, {200, L"bee"}},
       {none, none, L"bee"}},
      {"three times: the third starts a new pair",
       {{0, L"house"}, {100, L"house"}, {200, L"house"}, {300, L"house"}},
       {none, L"house", none, L"house"}},
      {"a long text twice",
       {{0, std::wstring(51, L'a')}, {100, std::wstring(51, L'a')}},
       {none, none}},
      {"two lines twice", {{0, L"house\r\nbee"}, {100, L"house\r\nbee"}}, {none, none}},
      {"no text between", {{0, L"house"}, {100, none}, {200, L"house"}}, {none, none, none}},
      {"a long text between",
       {{0, L"house"}, {100, std::wstring(60, L'a')}, {200, L"house"}},
       {none, none, none}},
      // A program that writes the clipboard twice for one copy: its notices are one copy.
      {"one copy written twice", {{0, L"house"}, {5, L"house"}}, {none, none}},
      {"two copies written twice each",
       {{0, L"house"}, {5, L"house"}, {120, L"house"}, {126, L"house"}, {250, L"house"}},
       {none, none, L"house", none, none}},
  };
  for (const auto& c : cases) {
    CopyTwiceDetector detector;
    ASSERT_EQ(c.notices.size(), c.want.size()) << c.name;
    for (size_t k = 0; k < c.notices.size(); ++k) {
      const Notice& n = c.notices[k];
      const auto got =
          detector.Copied(n.text ? std::optional<std::wstring_view>(*n.text) : std::nullopt, n.ms);
      EXPECT_EQ(Show(got), Show(c.want[k])) << c.name << ", notice " << k << " at " << n.ms;
    }
  }
}

TEST(CopyTwiceDetector, ForgettingDropsTheWaitingCopy) {
  CopyTwiceDetector detector;
  EXPECT_EQ(Show(detector.Copied(L"house", 0)), "nothing");
  detector.Forget();
  EXPECT_EQ(Show(detector.Copied(L"house", 100)), "nothing");
  EXPECT_EQ(Show(detector.Copied(L"house", 200)), "\"house\"");
}

}  // namespace
}  // namespace lexmora
