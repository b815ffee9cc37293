#include <gtest/gtest.h>

#include <set>

#include "RegistryTestUtil.h"
#include "base/Errors.h"
#include "shell/SettingsU.h"

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
};

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

TEST(CreateMissingSettings, LeavesExistingValuesAsTheyAreWhateverTheirType) {
  ScratchKey scratch(HKEY_CURRENT_USER, kScratch);
  const std::vector<std::pair<std::string, RawValue>> stored = {
      {"Dict", {REG_DWORD, DwordBytes(7)}},    {"Font", {REG_SZ, StrBytes("Arial")}},
      {"Pixels", {REG_SZ, StrBytes("x")}},     {"Top", {REG_BINARY, {1, 2, 3, 4, 5, 6, 7, 8}}},
      {"Docking", {REG_DWORD, DwordBytes(5)}}, {"Allow", {REG_DWORD, DwordBytes(1)}},
  };
  for (const auto& [name, value] : stored)
    SetRaw(scratch.Get(), name, value);

  Registry reg(HKEY_CURRENT_USER);
  ASSERT_TRUE(reg.OpenKey(kScratch, false));
  CreateMissingSettings(reg);
  CreateMissingSettings(reg);

  std::set<std::string> storedNames;
  for (const auto& [name, value] : stored) {
    storedNames.insert(name);
    EXPECT_EQ(value, GetRaw(scratch.Get(), name)) << name << " was changed";
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
      SetRaw(scratch.Get(), name, {REG_DWORD, DwordBytes(3)});
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

}  // namespace
}  // namespace lexmora
