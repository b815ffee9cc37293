#include <gtest/gtest.h>

#include "RegistryTestUtil.h"
#include "TestFiles.h"
#include "base/Text.h"
#include "shell/KeptLanguages.h"

namespace lexmora {
namespace {

using test::DwordBytes;
using test::ScratchKey;
using test::SetRaw;
using test::StrBytes;

constexpr char kScratch[] = "Software\\LexmoraTests\\KeptLanguages";

HKEY OpenLanguages(const std::string& dict) {
  HKEY key = nullptr;
  RegOpenKeyExA(HKEY_CURRENT_USER, (std::string(kScratch) + "\\Languages\\" + dict).c_str(), 0,
                KEY_ALL_ACCESS, &key);
  return key;
}

std::string Describe(const std::optional<KeptLanguages>& kept) {
  if (!kept)
    return "nothing";
  return ToUtf8(kept->headwords + L"|" + kept->meanings) + (kept->chosen ? " chosen" : " found");
}

TEST(KeptLanguagesTest, FoundLanguagesHoldForTheirStampChosenOnesForAny) {
  ScratchKey scratch(HKEY_CURRENT_USER, kScratch);
  // A name the system code page cannot spell.
  const std::wstring dict = L"eng-bul \u4e2d";
  const KeptLanguages found{L"en_US", L"bg_BG", false};
  const KeptLanguages chosen{L"", L"ru_RU", true};
  KeepLanguages(HKEY_CURRENT_USER, kScratch, dict, found, L"100 5 bg_BG en_US");
  const struct {
    const wchar_t* dict;
    const wchar_t* stamp;
    std::optional<KeptLanguages> want;
  } reads[] = {
      {dict.c_str(), L"100 5 bg_BG en_US", found},
      {dict.c_str(), L"100 6 bg_BG en_US", std::nullopt},        // the file changed
      {dict.c_str(), L"100 5 bg_BG en_US ru_RU", std::nullopt},  // a language came
      {dict.c_str(), L"", std::nullopt},                         // the file cannot be looked at
      {L"other", L"100 5 bg_BG en_US", std::nullopt},
  };
  for (const auto& r : reads) {
    EXPECT_EQ(Describe(ReadKeptLanguages(HKEY_CURRENT_USER, kScratch, r.dict, r.stamp)),
              Describe(r.want))
        << ToUtf8(r.stamp);
  }
  KeepLanguages(HKEY_CURRENT_USER, kScratch, dict, chosen, L"100 5 bg_BG en_US");
  for (const wchar_t* stamp : {L"100 5 bg_BG en_US", L"200 9", L""}) {
    EXPECT_EQ(Describe(ReadKeptLanguages(HKEY_CURRENT_USER, kScratch, dict, stamp)),
              Describe(chosen))
        << ToUtf8(stamp);
  }
}

TEST(KeptLanguagesTest, ValuesMissingOrOfAnotherTypeKeepNothing) {
  const struct {
    const char* name;
    test::RawValue value;  // REG_NONE: deleted
  } damages[] = {
      {"Headwords", {REG_NONE, {}}},
      {"Meanings", {REG_DWORD, DwordBytes(1)}},
      {"Chosen", {REG_SZ, StrBytes("1")}},
      {"Chosen", {REG_DWORD, {1, 0, 0, 0, 0, 0, 0, 0}}},  // another program's 8 bytes
      {"Stamp", {REG_BINARY, {1, 2, 3}}},
  };
  for (const auto& d : damages) {
    ScratchKey scratch(HKEY_CURRENT_USER, kScratch);
    KeepLanguages(HKEY_CURRENT_USER, kScratch, L"d", {L"en_US", L"bg_BG", true}, L"1 2");
    HKEY key = OpenLanguages("d");
    ASSERT_NE(key, nullptr);
    if (d.value.type == REG_NONE) {
      RegDeleteValueA(key, d.name);
    } else {
      SetRaw(key, d.name, d.value);
    }
    RegCloseKey(key);
    EXPECT_EQ(Describe(ReadKeptLanguages(HKEY_CURRENT_USER, kScratch, L"d", L"1 2")), "nothing")
        << d.name;
  }
}

TEST(KeptLanguagesTest, TheStampFollowsTheFileAndTheLanguages) {
  test::TempDir dir;
  const std::wstring path = ToWide(dir.File("d.dat"));
  test::WriteBytes(path, {1, 2, 3});
  const std::wstring first = LanguageStamp(path, {L"bg_BG", L"en_US"});
  EXPECT_FALSE(first.empty());
  EXPECT_EQ(LanguageStamp(path, {L"bg_BG", L"en_US"}), first);
  EXPECT_NE(LanguageStamp(path, {L"bg_BG"}), first);
  test::WriteBytes(path, {1, 2, 3, 4});
  EXPECT_NE(LanguageStamp(path, {L"bg_BG", L"en_US"}), first);
  EXPECT_EQ(LanguageStamp(ToWide(dir.File("missing.dat")), {L"bg_BG"}), L"");
}

}  // namespace
}  // namespace lexmora
