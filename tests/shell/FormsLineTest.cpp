#include <gtest/gtest.h>
#include <windows.h>
// After windows.h, which it needs.
#include <commctrl.h>

#include "base/Text.h"
#include "shell/FormsLine.h"
#include "shell/OptionsU.h"
#include "ui/Application.h"
#include "ui/Controls.h"
#include "ui/Form.h"

namespace lexmora {
namespace {

std::string Describe(const FormsLine& line) {
  std::string text = ToUtf8(line.markup);
  text.append(" |");
  for (int32_t entry : line.links)
    text.append(" ").append(std::to_string(entry));
  return text;
}

WordLookup Found(std::vector<FormEntry> forms) {
  WordLookup lookup;
  lookup.kind = WordLookup::Kind::Form;
  lookup.forms = std::move(forms);
  lookup.entry = lookup.forms.empty() ? 0 : lookup.forms.front().entry;
  return lookup;
}

// The entry shown is plain; every other form is a link to its entry, in the order of the forms.
TEST(FormsLineTest, TheFormShownIsPlainAndTheOthersLeadToTheirEntries) {
  const struct {
    const wchar_t* typed;
    std::vector<FormEntry> forms;
    int32_t shown;
    const char* want;
  } cases[] = {
      {L"къщата", {{L"къща", 3}}, 3, "къщата → къща |"},
      {L"стекла", {{L"стекло", 5}, {L"стечь", 7}}, 5, "стекла → стекло, <a>стечь</a> | 7"},
      // The second form followed: the first one leads back.
      {L"стекла", {{L"стекло", 5}, {L"стечь", 7}}, 7, "стекла → <a>стекло</a>, стечь | 5"},
      // A preview followed: every form leads somewhere.
      {L"saw", {{L"saw", 3}, {L"see", 4}}, 9, "saw → <a>saw</a>, <a>see</a> | 3 4"},
      // Angle brackets typed cannot open a link.
      {L"<a>went", {{L"go", 1}}, 1, "‹a›went → go |"},
      {L"house", {}, 2, " |"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(Describe(LineOfForms(c.typed, Found(c.forms), c.shown)), c.want)
        << ToUtf8(c.typed) << " showing " << c.shown;
  }
}

TEST(FormsLineTest, EverySuggestionIsALink) {
  EXPECT_EQ(Describe(LineOfSuggestions({{L"къща", 1}, {L"къта", 2}})),
            "Did you mean: <a>къща</a>, <a>къта</a>? | 1 2");
  EXPECT_EQ(Describe(LineOfSuggestions({{L"cat", 0}})), "Did you mean: <a>cat</a>? | 0");
  EXPECT_EQ(Describe(LineOfSuggestions({})), " |");
}

// A click on a link of the line tells which one it was; a click beside the links tells nothing.
TEST(FormsLineTest, AClickOnALinkTellsItsNumber) {
  std::vector<std::string> errors;
  ScopedExceptionHandler handler{[&](const std::exception& e) { errors.push_back(e.what()); }};
  // Any shown form of the program can hold the line.
  FormPtr<TfmOptions> form = MakeForm<TfmOptions>();
  TSysLink link;
  link.Create(form->Handle(), 77);
  link.SetBounds(10, 10, 380, 20);
  ShowWindow(link.Handle(), SW_SHOWNA);
  form->Show();
  std::vector<int> clicked;
  link.OnLinkClick = [&](int k) { clicked.push_back(k); };
  link.SetMarkup(LineOfForms(L"saw", Found({{L"saw", 3}, {L"see", 4}}), 9).markup +
                 L" and more text");
  // The first point over each link, and one over plain text, found by the control's hit test.
  std::vector<int> overLink(2, -1);
  int overText = -1;
  for (int x = 0; x < 380; ++x) {
    LHITTESTINFO hit{};
    hit.pt = {x, 8};
    const bool onLink = SendMessageW(link.Handle(), LM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit));
    if (onLink && hit.item.iLink >= 0 && hit.item.iLink < 2 && overLink[hit.item.iLink] < 0)
      overLink[hit.item.iLink] = x;
    if (!onLink && overText < 0 && x > 2)
      overText = x;
  }
  ASSERT_GE(overLink[0], 0);
  ASSERT_GE(overLink[1], 0);
  for (int x : {overLink[1], overText, overLink[0]}) {
    SendMessageW(link.Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x + 1, 8));
    SendMessageW(link.Handle(), WM_LBUTTONUP, 0, MAKELPARAM(x + 1, 8));
  }
  EXPECT_EQ(clicked, (std::vector<int>{1, 0}));
  EXPECT_TRUE(errors.empty());
}

}  // namespace
}  // namespace lexmora
