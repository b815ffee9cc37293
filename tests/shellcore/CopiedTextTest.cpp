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
      {L"\u00AB" + fifty + L"\u00BB", fifty},  // counted without its quotes
  };
  for (const auto& c : cases) {
    EXPECT_EQ(Show(ShortCopiedText(c.copied)), Show(c.want)) << "copied " << Show(c.copied);
  }
}

// Text copied from pages carries invisible characters, and quotes or punctuation around a word.
TEST(ShortCopiedText, LeavesOutHiddenCharactersAndThePunctuationAround) {
  const std::wstring kashta = L"\u043A\u044A\u0449\u0430";
  const struct {
    std::wstring copied;
    std::optional<std::wstring> want;
  } cases[] = {
      {L"\u200F" + kashta + L"\u200F", kashta},        // right-to-left marks around it
      {L"\u200E" + kashta, kashta},                    // a left-to-right mark before it
      {L"\u043A\u044A\u00AD\u0449\u0430", kashta},     // a soft hyphen inside
      {L"\u043A\u044A\u200B\u0449\u0430", kashta},     // a zero-width space inside
      {L"\u2066" + kashta + L"\u2069\u2060", kashta},  // isolates and a word joiner
      {L"\xDB40\xDC41" + kashta, kashta},              // a tag character beyond the basic plane
      {L"\u00AB" + kashta + L"\u00BB", kashta},        // guillemets
      {L"\u201E" + kashta + L"\u201C", kashta},        // low and high quotation marks
      {L"(" + kashta + L")", kashta},
      {L"\"house\"", L"house"},
      {kashta + L".", kashta},
      {L"[house], ", L"house"},
      {L" \u00AB " + kashta + L" \u00BB\u2026\r\n", kashta},  // spaces between the quotes
      {L"\u00BFqu\u00E9?", L"qu\u00E9"},
      {L"\u2014house\xD800\xDF9F", L"house"},  // a dash, a word divider beyond the basic plane
      {L"rock 'n' roll", L"rock 'n' roll"},    // inside, punctuation stays
      {L"e-mail", L"e-mail"},
      {L"C++", L"C++"},                                                        // symbols stay
      {L"\u043A\u044A\u0301\u0449\u0430", L"\u043A\u044A\u0301\u0449\u0430"},  // a stress mark
      {L"\u00AB...\u00BB", std::nullopt},
      {L"\u200B\u200F", std::nullopt},
      {L"\u00AB" + kashta + L"\r\nhouse\u00BB", std::nullopt},  // two lines
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
      {"cleaned texts compare",
       {{0, L"\u00ABhouse\u00BB"}, {100, L"hou\u00ADse."}},
       {none, L"house"}},
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
      {"white space twice", {{0, L" \r\n"}, {100, L" \r\n"}}, {none, none}},
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
