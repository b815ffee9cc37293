// The main window with several dictionaries in use: which are opened and kept, which one leads a
// lookup, and what the large pane shows of the others.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <optional>
#include <string>
#include <vector>

#include "MainWinTestSupport.h"
#include "RegistryTestUtil.h"
#include "base/Text.h"
#include "shell/ChooseU.h"
#include "shell/ConstU.h"
#include "shell/MainU.h"

namespace lexmora {
namespace {

using test::PaneText;
using test::Pump;
using test::RunSoon;
using test::Stored;
using test::StoreDword;
using test::StoreString;
using test::Type;

// The settings key, opened for the W functions, which keep list values in UTF-16.
class SettingsKey {
 public:
  SettingsKey() {
    if (RegCreateKeyExW(HKEY_CURRENT_USER, L"SOFTWARE\\Lexmora", 0, nullptr, 0, KEY_ALL_ACCESS,
                        nullptr, &key_, nullptr) != ERROR_SUCCESS) {
      ADD_FAILURE() << "cannot open the settings key";
    }
  }
  ~SettingsKey() { RegCloseKey(key_); }
  SettingsKey(const SettingsKey&) = delete;
  SettingsKey& operator=(const SettingsKey&) = delete;
  HKEY Get() const { return key_; }

 private:
  HKEY key_ = nullptr;
};

void StoreDicts(const std::vector<std::wstring>& names) {
  std::wstring units;
  for (const std::wstring& name : names)
    units += name + L'\0';
  test::SetRawWide(SettingsKey().Get(), L"Dicts", {REG_MULTI_SZ, test::WideBytes(units)});
}

// The names of the stored Dicts; nothing when it is missing or of another type.
std::optional<std::vector<std::wstring>> StoredDicts() {
  const auto stored = test::GetRawWide(SettingsKey().Get(), L"Dicts");
  if (!stored || stored->type != REG_MULTI_SZ)
    return std::nullopt;
  std::vector<std::wstring> names;
  const std::wstring units(reinterpret_cast<const wchar_t*>(stored->data.data()),
                           stored->data.size() / sizeof(wchar_t));
  for (size_t at = 0; at < units.size() && units[at] != L'\0';) {
    const size_t end = std::min(units.find(L'\0', at), units.size());
    names.push_back(units.substr(at, end - at));
    at = end + 1;
  }
  return names;
}

class SeveralDictsTest : public test::MainWindowFixture {
 protected:
  void SetUp() override {
    dictionaries.Add("en", {L"apple\r\nябълка", L"house\r\nкъща", L"water\r\nвода"});
    dictionaries.Add("bg", {L"вода\r\nwater", L"къща\r\nhouse", L"ябълка\r\napple"});
    dictionaries.Add("en2", {L"apple\r\nthe fruit", L"cat\r\nthe animal", L"water\r\nthe drink"});
    StoreDword(kRefineTextValue, 0);
  }
  void UseDicts(const std::vector<std::wstring>& names) {
    StoreString(kDictValue, ToAnsi(names.front()));
    StoreDicts(names);
  }
  void MakeChooser() {
    chooser = MakeForm<TfmChooseDict>();
    fmChooseDict = chooser.get();
  }
};

// Each dictionary named is opened; one that fails is reported once and left out, the others
// stay in use and are stored in order at the end, the first as Dict.
TEST_F(SeveralDictsTest, TheDictionariesThatOpenStayInUseAndAreStored) {
  dictionaries.AddFolder("broken");
  UseDicts({L"bg", L"broken", L"en", L"missing"});
  auto form = ShowMain();
  EXPECT_EQ(errors.size(), 2u) << "the two that did not open";
  EXPECT_EQ(form->DictNames(), (std::vector<std::wstring>{L"bg", L"en"}));
  EXPECT_EQ(form->DictName(), L"bg");
  form.reset();
  EXPECT_EQ(StoredDicts(), (std::vector<std::wstring>{L"bg", L"en"}));
  const auto dict = Stored(kDictValue);
  ASSERT_TRUE(dict);
  EXPECT_STREQ(reinterpret_cast<const char*>(dict->second.data()), "bg");
}

// Ticked in the chooser and put in order, the dictionaries are in use at once and stored so;
// one chosen alone again leaves no list behind.
TEST_F(SeveralDictsTest, TheChoosersTicksAndOrderAreUsedAndStored) {
  UseDicts({L"en"});
  MakeChooser();
  auto form = ShowMain();
  RunSoon([] {
    TfmChooseDict& c = *fmChooseDict;
    for (int32_t k = 0; k < c.lbFiles.Count(); ++k) {
      if (c.lbFiles.Item(k) == L"en2")
        c.lbFiles.SetItemIndex(k);
    }
    c.ToggleTick(c.lbFiles.ItemIndex());
    while (c.lbFiles.ItemIndex() > 0)
      c.MoveSelected(-1);
    c.SetModalResult(mrOk);
  });
  form->tbtnDictClick();
  EXPECT_EQ(form->DictNames(), (std::vector<std::wstring>{L"en2", L"en"}));
  form.reset();
  EXPECT_EQ(StoredDicts(), (std::vector<std::wstring>{L"en2", L"en"}));

  form = ShowMain();
  EXPECT_EQ(form->DictNames(), (std::vector<std::wstring>{L"en2", L"en"})) << "read back";
  RunSoon([] { test::Choose(L"bg"); });
  form->tbtnDictClick();
  EXPECT_EQ(form->DictNames(), std::vector<std::wstring>{L"bg"});
  form.reset();
  EXPECT_FALSE(StoredDicts().has_value());
  EXPECT_TRUE(errors.empty()) << errors.front();
}

// A Cyrillic word is led by the first dictionary with Cyrillic headwords, a Latin one by the
// first with Latin headwords, anything else by the first in use.
TEST_F(SeveralDictsTest, TheScriptTypedChoosesTheLeadingDictionary) {
  UseDicts({L"en", L"bg", L"en2"});
  auto form = ShowMain();
  const struct {
    const wchar_t* typed;
    const wchar_t* wantHeadword;
  } cases[] = {
      {L"къща", L"къща"},
      {L"water", L"water"},
      {L"вода", L"вода"},
      {L"123", L"apple"},  // no letters: the first in use, from its first entry
  };
  for (const auto& c : cases) {
    form->cbSearch.SetText(L"");
    Type(*form, c.typed);
    const std::wstring shown = PaneText(form->reMeaning);
    EXPECT_NE(shown.find(std::wstring(c.wantHeadword) + L"\n"), std::wstring::npos)
        << ToAnsi(c.typed) << " showed " << ToAnsi(shown);
  }
  EXPECT_TRUE(errors.empty()) << errors.front();
}

// Searching inside the entries goes through every dictionary in use, one after the other, each
// match under its dictionary's heading.
TEST_F(SeveralDictsTest, SearchingInsideTheEntriesGoesThroughEveryDictionary) {
  UseDicts({L"en", L"bg", L"en2"});
  auto form = ShowMain();
  TTextSearch& search = form->TextSearch();
  search.SetActive(true);
  form->cbSearch.SetText(L"water");
  search.SearchNow();
  const ULONGLONG end = GetTickCount64() + 10000;
  while (search.Waiting() && GetTickCount64() < end)
    Pump();
  const struct {
    int step;
    std::wstring wantMeaning;
    const char* wantCount;
  } cases[] = {
      {0, L"Test dictionary (en)\nwater\nвода", "1 of 3"},
      {1, L"Test dictionary (bg)\nвода\nwater", "2 of 3"},
      {1, L"Test dictionary (en2)\nwater\nthe drink", "3 of 3"},
  };
  for (const auto& c : cases) {
    search.Step(c.step);
    EXPECT_EQ(ToUtf8(PaneText(form->reMeaning)), ToUtf8(c.wantMeaning)) << c.wantCount;
    EXPECT_EQ(search.lblMatches.Caption(), c.wantCount);
  }
  EXPECT_TRUE(errors.empty()) << errors.front();
}

}  // namespace
}  // namespace lexmora
