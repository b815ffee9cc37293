// The dictionaries in use: which one leads a text, and the entries of the others shown below the
// leading one's.
#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "TestFiles.h"
#include "base/Errors.h"
#include "base/Text.h"
#include "morph/Morphology.h"
#include "shell/DictsInUse.h"
#include "store/HeadwordLookup.h"

namespace lexmora {
namespace {

class DictsInUseTest : public ::testing::Test {
 protected:
  void SetUp() override {
    Write("en", {L"apple\r\nябълка", L"house\r\nкъща", L"water\r\nвода"});
    Write("bg", {L"вода\r\nwater", L"къща\r\nhouse", L"ябълка\r\napple"});
    Write("en2", {L"Apple\r\nthe fruit", L"cat\r\nthe animal", L"waterfall\r\na fall"});
    Write("en3", {L"water\r\nthe drink"});
  }
  void Write(const std::string& name, const std::vector<std::wstring>& entries) {
    test::WriteBytes(dir_.File(name + ".dat"), test::DictionaryBytes(entries));
  }
  void Open(const std::vector<std::wstring>& names) {
    dicts_.Open(
        names,
        [&](const std::wstring& name) {
          const std::string path = dir_.File(ToAnsi(name));
          return std::make_unique<TADict>(path + ".dat", path + ".ind", false, false, false);
        },
        [&](const std::wstring& name) { return titles_.at(name); });
  }
  // What the large pane would show for `typed`: each entry's heading and headword.
  std::vector<std::string> Shown(const std::wstring& typed) {
    dicts_.LeadFor(typed);
    std::vector<std::string> shown;
    for (const ShownEntry& s : dicts_.EntriesFor(FindHeadword(*dicts_.Lead(), typed)))
      shown.push_back(ToAnsi(s.heading) + ": " +
                      ToAnsi(HeadwordOf(s.dict->ReadEntry(s.entry, -1))));
    return shown;
  }

  test::TempDir dir_;
  std::map<std::wstring, std::wstring> titles_{
      {L"en", L"English"}, {L"bg", L"Bulgarian"}, {L"en2", L"Other"}, {L"en3", L"Other"}};
  std::vector<std::string> errors_;
  TDictsInUse dicts_{[this] {
    try {
      throw;
    } catch (const std::exception& e) {
      errors_.push_back(e.what());
    }
  }};
};

TEST_F(DictsInUseTest, TheScriptLeadsAndTheOthersFollowWithTheSameHeadword) {
  Open({L"en", L"bg", L"en2", L"en3", L"missing"});
  ASSERT_EQ(errors_.size(), 1u) << "the missing one";
  EXPECT_EQ(dicts_.Names(), (std::vector<std::wstring>{L"en", L"bg", L"en2", L"en3"}));
  const struct {
    const wchar_t* typed;
    std::vector<std::string> want;
  } cases[] = {
      // Headwords compare as the lookup compares them; "waterfall" is no "water".
      {L"water", {"English: water", "Other (en3): water"}},
      {L"apple", {"English: apple", "Other (en2): Apple"}},
      {L"\u043A\u044A\u0449\u0430", {"Bulgarian: " + ToAnsi(L"\u043A\u044A\u0449\u0430")}},
      {L"house", {"English: house"}},                     // held by no other
      {L"42", {"English: apple", "Other (en2): Apple"}},  // no letters: the first leads
  };
  for (const auto& c : cases)
    EXPECT_EQ(Shown(c.typed), c.want) << ToAnsi(c.typed);
  EXPECT_EQ(errors_.size(), 1u);
}

// Another dictionary that lacks the headword shows the entry of its dictionary form.
TEST_F(DictsInUseTest, AnotherDictionaryShowsTheDictionaryFormOfTheHeadword) {
  Write("forms", {L"fruit\r\nплод", L"house\r\nдом"});
  titles_[L"forms"] = L"Forms";
  Morphology morphology(ToWide(LEXMORA_MORPHOLOGY_DATA));
  morphology.LoadAll();
  Write("houses", {L"houses\r\nкъщи"});
  titles_[L"houses"] = L"Plural";
  Open({L"houses", L"forms"});
  dicts_.Dict(1).SetLanguages({morphology.Find(L"en_US"), nullptr});
  EXPECT_EQ(Shown(L"houses"), (std::vector<std::string>{"Plural: houses", "Forms: house"}));
  dicts_.Dict(1).SetLanguages({});
  EXPECT_EQ(Shown(L"houses"), std::vector<std::string>{"Plural: houses"}) << "without forms";
}

TEST_F(DictsInUseTest, OneDictionaryInUseShowsNoHeading) {
  Write("en", {L"\u043A\u044A\u0449\u0430\r\nCyrillic headword in a one-entry file"});
  Open({L"en"});
  EXPECT_EQ(Shown(L"house"), std::vector<std::string>{": " + ToAnsi(L"\u043A\u044A\u0449\u0430")});
}

}  // namespace
}  // namespace lexmora
