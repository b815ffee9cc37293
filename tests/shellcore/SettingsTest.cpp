#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <set>
#include <tuple>

#include "RegistryTestUtil.h"
#include "base/Errors.h"
#include "base/Text.h"
#include "shell/Settings.h"

namespace lexmora {
namespace {

using test::DwordBytes;
using test::GetRaw;
using test::RawValue;
using test::ScratchKey;
using test::SetRaw;
using test::StrBytes;

constexpr char kScratch[] = "Software\\LexmoraTests\\Settings";

// Every value with its default, written out by hand so that a slip in the tables shows.
const std::vector<std::pair<std::string, RawValue>> kDefaults = {
    {"Dict", {REG_SZ, StrBytes("diruridu")}},
    {"Font", {REG_SZ, StrBytes("Lucida Sans Unicode")}},
    {"Top", {REG_DWORD, DwordBytes(10)}},
    {"Left", {REG_DWORD, DwordBytes(10)}},
    {"Width", {REG_DWORD, DwordBytes(400)}},
    {"Height", {REG_DWORD, DwordBytes(300)}},
    {"FontSize", {REG_DWORD, DwordBytes(8)}},
    {"Pixels", {REG_DWORD, DwordBytes(10)}},
    {"History", {REG_DWORD, DwordBytes(10)}},
    {"StayOnTop", {REG_DWORD, DwordBytes(0)}},
    {"IsMaximized", {REG_DWORD, DwordBytes(0)}},
    {"Docking", {REG_DWORD, DwordBytes(1)}},
    {"ReadHDD", {REG_DWORD, DwordBytes(0)}},
    {"RefineText", {REG_DWORD, DwordBytes(1)}},
    {"Allow", {REG_DWORD, DwordBytes(0)}},
    {"LookupCopied", {REG_DWORD, DwordBytes(1)}},
};

const RawValue& Default(const std::string& name) {
  for (const auto& [n, value] : kDefaults) {
    if (n == name)
      return value;
  }
  throw std::runtime_error("no setting " + name);
}

TEST(CreateMissingSettings, FillsAnEmptyKeyWithTheDefaults) {
  ScratchKey scratch(HKEY_CURRENT_USER, kScratch);
  Registry reg(HKEY_CURRENT_USER);
  ASSERT_TRUE(reg.OpenKey(kScratch, false));
  CreateMissingSettings(reg);
  EXPECT_EQ(kDefaults.size(), test::ValueCount(scratch.Get()));
  for (const auto& [name, want] : kDefaults) {
    auto got = GetRaw(scratch.Get(), name);
    ASSERT_TRUE(got.has_value()) << name << " was not created";
    EXPECT_EQ(want.type, got->type) << name;
    EXPECT_EQ(want.data, got->data) << name;
  }
}

// The default size is written in the pixels of the display; nothing else depends on it.
TEST(CreateMissingSettings, WritesTheDefaultSizeInTheDisplaysPixels) {
  const struct {
    int dpi;
    DWORD width, height;
  } cases[] = {{96, 400, 300}, {120, 500, 375}, {144, 600, 450}, {192, 800, 600}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.dpi);
    ScratchKey scratch(HKEY_CURRENT_USER, kScratch);
    Registry reg(HKEY_CURRENT_USER);
    ASSERT_TRUE(reg.OpenKey(kScratch, false));
    CreateMissingSettings(reg, c.dpi);
    for (const auto& [name, want] : kDefaults) {
      const RawValue wanted = name == "Width"    ? RawValue{REG_DWORD, DwordBytes(c.width)}
                              : name == "Height" ? RawValue{REG_DWORD, DwordBytes(c.height)}
                                                 : want;
      auto got = GetRaw(scratch.Get(), name);
      ASSERT_TRUE(got.has_value()) << name << " was not created";
      EXPECT_TRUE(got->type == wanted.type && got->data == wanted.data) << name;
    }
  }
}

// A value that cannot be read as its kind counts as missing; a readable one stays, however odd.
TEST(CreateMissingSettings, ReplacesOnlyValuesThatCannotBeReadAsTheirKind) {
  ScratchKey scratch(HKEY_CURRENT_USER, kScratch);
  const std::vector<std::pair<std::string, RawValue>> stored = {
      {"Dict", {REG_DWORD, DwordBytes(7)}},    {"Font", {REG_EXPAND_SZ, StrBytes("%x%")}},
      {"Pixels", {REG_SZ, StrBytes("x")}},     {"Top", {REG_BINARY, {1, 2, 3, 4, 5, 6, 7, 8}}},
      {"Left", {REG_DWORD, {5, 0}}},           {"Width", {REG_QWORD, {1, 0, 0, 0, 0, 0, 0, 0}}},
      {"Docking", {REG_DWORD, DwordBytes(5)}}, {"Allow", {REG_SZ, StrBytes("1")}},
  };
  const std::set<std::string> unreadable = {"Dict", "Pixels", "Top", "Width", "Allow"};
  for (const auto& [name, value] : stored)
    SetRaw(scratch.Get(), name, value);

  Registry reg(HKEY_CURRENT_USER);
  ASSERT_TRUE(reg.OpenKey(kScratch, false));
  CreateMissingSettings(reg);
  CreateMissingSettings(reg);

  std::set<std::string> storedNames;
  for (const auto& [name, value] : stored) {
    storedNames.insert(name);
    EXPECT_EQ(unreadable.count(name) ? Default(name) : value, GetRaw(scratch.Get(), name)) << name;
  }
  for (const auto& [name, want] : kDefaults) {
    if (storedNames.count(name))
      continue;
    EXPECT_EQ(want, GetRaw(scratch.Get(), name)) << name;
  }
  EXPECT_EQ(kDefaults.size(), test::ValueCount(scratch.Get()));
}

// With a key that can be queried but not written, the first missing value in creation order is
// the one the failure names.
TEST(CreateMissingSettings, CreatesInTableOrderStringsIntegersBooleans) {
  struct Case {
    std::vector<std::string> present;
    std::string wantError;
  };
  std::vector<std::string> allButAllow;
  for (const auto& [name, value] : kDefaults) {
    if (name != "Allow")
      allButAllow.push_back(name);
  }
  std::vector<std::string> allButTopAndAllow;
  for (const auto& n : allButAllow) {
    if (n != "Top")
      allButTopAndAllow.push_back(n);
  }
  const Case cases[] = {
      {{}, "Failed to set data for 'Dict'"},
      {{"Dict"}, "Failed to set data for 'Font'"},
      {{"Font"}, "Failed to set data for 'Dict'"},
      {{"Dict", "Font"}, "Failed to set data for 'Top'"},
      {{"Dict", "Font", "Top", "Left", "Width", "Height", "FontSize", "Pixels"},
       "Failed to set data for 'History'"},
      {{"Dict", "Font", "Top", "Left", "Width", "Height", "FontSize", "Pixels", "History"},
       "Failed to set data for 'StayOnTop'"},
      {{"Dict", "Font", "StayOnTop"}, "Failed to set data for 'Top'"},
      {allButTopAndAllow, "Failed to set data for 'Top'"},
      {allButAllow, "Failed to set data for 'Allow'"},
  };
  for (const auto& c : cases) {
    ScratchKey scratch(HKEY_CURRENT_USER, kScratch);
    for (const auto& name : c.present)
      SetRaw(scratch.Get(), name, Default(name));
    Registry reg(HKEY_CURRENT_USER, KEY_READ);
    ASSERT_TRUE(reg.OpenKey(kScratch, false));
    std::string got;
    try {
      CreateMissingSettings(reg);
    } catch (const ERegistryException& e) {
      got = e.what();
    }
    EXPECT_EQ(c.wantError, got) << c.present.size() << " values present";
    EXPECT_EQ(c.present.size(), test::ValueCount(scratch.Get()));
  }
}

TEST(CreateMissingSettings, WithoutAKeyFailsAtDict) {
  Registry reg(HKEY_CURRENT_USER);
  try {
    CreateMissingSettings(reg);
    FAIL() << "no error";
  } catch (const ERegistryException& e) {
    EXPECT_STREQ("Failed to set data for 'Dict'", e.what());
  }
}

// Scratch keys stand in for the machine-wide root (from) and the per-user one (to).
TEST(TakeOverSettings, CopiesTheSettingsOnlyWhenTheNewKeyIsMissingAndTheOldOneExists) {
  ScratchKey from(HKEY_CURRENT_USER, "Software\\LexmoraTests\\Machine");
  ScratchKey to(HKEY_CURRENT_USER, "Software\\LexmoraTests\\User");
  const std::vector<std::pair<std::string, RawValue>> old = {
      {"Dict", {REG_SZ, StrBytes("english")}},
      {"Left", {REG_DWORD, DwordBytes(120)}},
      {"Allow", {REG_SZ, StrBytes("1")}},  // copied as it is; loading replaces it
      {"Unknown", {REG_DWORD, DwordBytes(1)}},
  };
  const std::tuple<const char*, bool, bool, bool> cases[] = {
      {"only the old key", true, false, true},
      {"both keys", true, true, false},
      {"only the new key", false, true, false},
      {"neither", false, false, false},
  };
  for (const auto& [what, oldKey, newKey, wantCopied] : cases) {
    std::unique_ptr<ScratchKey> oldSettings, newSettings;
    if (oldKey) {
      oldSettings = std::make_unique<ScratchKey>(from.Get(), "Lexmora");
      for (const auto& [name, value] : old)
        SetRaw(oldSettings->Get(), name, value);
    }
    if (newKey)
      newSettings = std::make_unique<ScratchKey>(to.Get(), "Lexmora");
    EXPECT_EQ(wantCopied, TakeOverSettings(from.Get(), to.Get(), "Lexmora")) << what;
    EXPECT_EQ(oldKey || newKey, test::KeyExists(to.Get(), "Lexmora")) << what;
    for (const auto& [name, value] : old) {
      auto got = GetRaw(to.Get(), "Lexmora", name);
      if (wantCopied && name != "Unknown") {
        EXPECT_EQ(value, got) << what << ": " << name;
      } else {
        EXPECT_FALSE(got.has_value()) << what << ": " << name << " was copied";
      }
      if (oldKey) {
        EXPECT_EQ(value, GetRaw(oldSettings->Get(), name)) << what << ": the old key changed";
      }
    }
  }
}

// The dictionary name is taken over, stored and read as it is, letters that the system code page
// lacks included.
TEST(DictionaryName, NamesOutsideTheCodePageSurviveTakeOverAndReading) {
  const std::wstring name =
      L"\u0431\u044A\u043B\u0433\u0430\u0440\u0441\u043A\u0438 "
      L"\u0440\u0435\u0447\u043D\u0438\u043A";
  ScratchKey from(HKEY_CURRENT_USER, "Software\\LexmoraTests\\Machine");
  ScratchKey to(HKEY_CURRENT_USER, "Software\\LexmoraTests\\User");
  ScratchKey old(from.Get(), "Lexmora");
  test::SetRawWide(old.Get(), L"Dict", {REG_SZ, test::WideBytes(name)});
  ASSERT_TRUE(TakeOverSettings(from.Get(), to.Get(), "Lexmora"));
  Registry reg(to.Get(), KEY_READ);
  ASSERT_TRUE(reg.OpenKey("Lexmora", false));
  EXPECT_EQ(RawValue({REG_SZ, test::WideBytes(name)}), test::GetRawWide(reg.CurrentKey(), L"Dict"));
  EXPECT_EQ(name, ReadSettings(reg).dict);
  EXPECT_TRUE(IsPlainDictionaryName(name));
  EXPECT_FALSE(IsPlainDictionaryName(name + L"\\.."));
}

// The field of `s` that the value `name` fills, as text.
std::string FieldOf(const StoredSettings& s, const std::string& name) {
  const std::map<std::string, int64_t> numbers = {
      {"FontSize", s.fontSize}, {"Pixels", s.pixels}, {"History", s.history},
      {"Top", s.top},           {"Left", s.left},     {"Width", s.width},
      {"Height", s.height},     {"Allow", s.allow},   {"LookupCopied", s.lookupCopied}};
  if (name == "Dict")
    return ToAnsi(s.dict);
  if (name == "Font")
    return s.font;
  return std::to_string(numbers.at(name));
}

TEST(ReadSettings, UnusableValuesGiveWayAndNumbersStayInTheirRanges) {
  auto dword = [](int32_t v) { return RawValue{REG_DWORD, DwordBytes(static_cast<uint32_t>(v))}; };
  auto sz = [](const std::string& v) { return RawValue{REG_SZ, StrBytes(v)}; };
  const std::tuple<std::string, RawValue, std::string> cases[] = {
      {"FontSize", dword(5), "6"},
      {"FontSize", dword(6), "6"},
      {"FontSize", dword(40), "40"},
      {"FontSize", dword(41), "40"},
      {"FontSize", sz("12"), "8"},
      {"Pixels", dword(1), "2"},
      {"Pixels", dword(71), "70"},
      {"History", dword(-1), "2"},
      {"History", dword(101), "100"},
      {"Top", dword(-100000), "-32000"},
      {"Left", dword(INT32_MAX), "32000"},
      {"Width", dword(-5), "0"},
      {"Height", {REG_BINARY, {1, 2, 3, 4, 5}}, "300"},
      {"Allow", sz("1"), "0"},
      {"LookupCopied", sz("0"), "1"},
      {"LookupCopied", dword(0), "0"},
      {"LookupCopied", dword(2), "1"},
      {"Dict", sz("..\\..\\victim"), ""},
      {"Dict", {REG_EXPAND_SZ, StrBytes("%x%")}, "%x%"},
      {"Dict", dword(7), "diruridu"},
      {"Font", sz("Arial}\\par x"), "Lucida Sans Unicode"},
      {"Font", sz(std::string(1500, 'A')), "Lucida Sans Unicode"},
  };
  for (const auto& [name, stored, want] : cases) {
    ScratchKey scratch(HKEY_CURRENT_USER, kScratch);
    SetRaw(scratch.Get(), name, stored);
    Registry reg(HKEY_CURRENT_USER, KEY_READ);
    ASSERT_TRUE(reg.OpenKey(kScratch, false));
    EXPECT_EQ(want, FieldOf(ReadSettings(reg), name))
        << name << " of type " << stored.type << " and " << stored.data.size() << " bytes";
  }
}

// What is written reads back as it was; a maximized window leaves the stored edges of its last
// normal place alone.
TEST(WriteSettings, ReadsBackAsWrittenAndAMaximizedWindowKeepsItsStoredEdges) {
  StoredSettings normal;
  normal.dict = L"\u0440\u0435\u0447\u043D\u0438\u043A";  // a name outside the code page
  normal.font = "Arial";
  normal.fontSize = 12;
  normal.pixels = 25;
  normal.history = 7;
  normal.docking = normal.readHDD = normal.allow = normal.stayOnTop = true;
  normal.refineText = normal.lookupCopied = false;
  normal.top = -20;
  normal.left = 30;
  normal.width = 500;
  normal.height = 350;
  StoredSettings maximized = normal;
  maximized.isMaximized = true;
  maximized.top = maximized.left = maximized.width = maximized.height = 1;

  ScratchKey scratch(HKEY_CURRENT_USER, kScratch);
  Registry reg(HKEY_CURRENT_USER, KEY_READ | KEY_WRITE);
  ASSERT_TRUE(reg.OpenKey(kScratch, false));
  WriteSettings(reg, normal);
  EXPECT_TRUE(ReadSettings(reg) == normal) << "a normal window";
  WriteSettings(reg, maximized);
  StoredSettings want = normal;
  want.isMaximized = true;
  EXPECT_TRUE(ReadSettings(reg) == want) << "a maximized window";
}

// UTF-16 bytes of REG_MULTI_SZ data: each name with its NUL, then one more.
test::RegBytes ListBytes(const std::vector<std::wstring>& names) {
  std::wstring units;
  for (const std::wstring& name : names)
    units += name + L'\0';
  test::RegBytes b = test::WideBytes(units);  // adds the final NUL
  return b;
}

// A stored list of dictionaries keeps its plain names, each once, in order, the first 32; a
// value of another type names none.
TEST(ReadSettings, DictsKeepsItsPlainNamesOnceInOrder) {
  std::vector<std::wstring> many;
  for (int k = 0; k < 40; ++k)
    many.push_back(L"d" + std::to_wstring(k));
  const std::vector<std::wstring> firstOf(many.begin(), many.begin() + 32);
  const std::tuple<const char*, RawValue, std::vector<std::wstring>> cases[] = {
      {"names in order",
       {REG_MULTI_SZ, ListBytes({L"b", L"a", L"\u0440\u0435\u0447"})},
       {L"b", L"a", L"\u0440\u0435\u0447"}},
      {"no plain names, empty and repeated ones",
       {REG_MULTI_SZ, ListBytes({L"a", L"..\\x", L"", L"c:x", L"A", L"con", L"b", L"a"})},
       {L"a", L"b"}},
      {"more than 32", {REG_MULTI_SZ, ListBytes(many)}, firstOf},
      {"a string", {REG_SZ, test::WideBytes(L"a")}, {}},
      {"a number", {REG_DWORD, DwordBytes(2)}, {}},
      {"empty", {REG_MULTI_SZ, {}}, {}},
  };
  for (const auto& [what, stored, want] : cases) {
    ScratchKey scratch(HKEY_CURRENT_USER, kScratch);
    test::SetRawWide(scratch.Get(), L"Dicts", stored);
    Registry reg(HKEY_CURRENT_USER, KEY_READ);
    ASSERT_TRUE(reg.OpenKey(kScratch, false));
    EXPECT_EQ(want, ReadSettings(reg).dicts) << what;
  }
}

// Dict leads the dictionaries in use; the list never grows past 32.
TEST(DictionariesInUse, DictFirstThenTheOthersOfDicts) {
  std::vector<std::wstring> many;
  for (int k = 0; k < 32; ++k)
    many.push_back(L"d" + std::to_wstring(k));
  std::vector<std::wstring> dictAndMany{L"x"};
  dictAndMany.insert(dictAndMany.end(), many.begin(), many.end() - 1);
  const std::tuple<std::wstring, std::vector<std::wstring>, std::vector<std::wstring>> cases[] = {
      {L"a", {}, {L"a"}},
      {L"a", {L"a", L"b", L"c"}, {L"a", L"b", L"c"}},
      {L"b", {L"a", L"B", L"c"}, {L"b", L"a", L"c"}},  // changed by a copy that knows only Dict
      {L"", {L"a", L"b"}, {L"a", L"b"}},
      {L"x", many, dictAndMany},
  };
  for (const auto& [dict, dicts, want] : cases)
    EXPECT_EQ(want, DictionariesInUse(dict, dicts)) << ToAnsi(dict) << ", " << dicts.size();
}

// Several dictionaries are written as Dicts; one alone leaves no Dicts behind.
TEST(WriteSettings, DictsIsWrittenForSeveralDictionariesOnly) {
  ScratchKey scratch(HKEY_CURRENT_USER, kScratch);
  Registry reg(HKEY_CURRENT_USER, KEY_READ | KEY_WRITE);
  ASSERT_TRUE(reg.OpenKey(kScratch, false));
  StoredSettings s;
  s.dict = L"b";
  s.dicts = {L"b", L"\u0440\u0435\u0447", L"a"};
  WriteSettings(reg, s);
  EXPECT_EQ(RawValue({REG_MULTI_SZ, ListBytes(s.dicts)}),
            test::GetRawWide(scratch.Get(), L"Dicts"));
  EXPECT_EQ(s.dicts, ReadSettings(reg).dicts);
  s.dicts = {L"b"};
  WriteSettings(reg, s);
  EXPECT_FALSE(GetRaw(scratch.Get(), "Dicts").has_value());
  EXPECT_EQ(kDefaults.size(), test::ValueCount(scratch.Get()));
}

TEST(SettingNames, DictionaryNamesStayInTheFolderAndFontNamesFitAFace) {
  for (std::string name : {"diruridu", "my dict", "a..b", "com10", "\xC0nglais"})
    EXPECT_TRUE(IsPlainDictionaryName(ToWide(name))) << name;
  for (std::string name : {"", ".", "..", "..\\victim", "../victim", "C:victim", "\\\\?\\C:\\v",
                           "x*", "x?", "a|b", "a\tb", "con", "Aux.old", "LPT9"})
    EXPECT_FALSE(IsPlainDictionaryName(ToWide(name))) << name;
  const std::string longest(31, 'A'), tooLong(32, 'A');
  for (std::string name : {"MS Sans Serif", "\xC0rial", longest.c_str()})
    EXPECT_TRUE(IsUsableFontName(name)) << name;
  for (std::string name :
       {tooLong.c_str(), "", "Ar}ial", "Ar{ial", "Ari\\al", "Ari;al", "Ari\tal", "Ari\x7F"})
    EXPECT_FALSE(IsUsableFontName(name)) << name;
}

}  // namespace
}  // namespace lexmora
