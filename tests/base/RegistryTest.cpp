#include <gtest/gtest.h>

#include <climits>
#include <functional>
#include <vector>

#include "RegistryTestUtil.h"
#include "base/Errors.h"
#include "base/Registry.h"

namespace lexmora {
namespace {

using test::DwordBytes;
using test::GetRaw;
using test::RawValue;
using test::ScratchKey;
using test::SetRaw;
using test::StrBytes;

constexpr char kScratch[] = "Software\\LexmoraTests\\Registry";

// The message of the ERegistryException that f raises, or "" when it raises none.
std::string RegistryError(const std::function<void()>& f) {
  try {
    f();
  } catch (const ERegistryException& e) {
    return e.what();
  }
  return "";
}

class RegistryTest : public ::testing::Test {
 protected:
  ScratchKey scratch_{HKEY_CURRENT_USER, kScratch};
  Registry reg_{HKEY_CURRENT_USER};
  void Open() { ASSERT_TRUE(reg_.OpenKey(kScratch, false)); }
};

TEST_F(RegistryTest, OpenKeyCreatesOnlyWhenAsked) {
  const std::string sub = std::string(kScratch) + "\\Sub";
  EXPECT_FALSE(reg_.OpenKey(sub, false));
  EXPECT_EQ(nullptr, reg_.CurrentKey());
  EXPECT_FALSE(test::KeyExists(HKEY_CURRENT_USER, sub)) << "opening without create made the key";

  EXPECT_TRUE(reg_.OpenKey(sub, true));
  EXPECT_NE(nullptr, reg_.CurrentKey());
  EXPECT_TRUE(test::KeyExists(HKEY_CURRENT_USER, sub));

  // An existing key opens either way, and stays current until a successful open replaces it.
  EXPECT_TRUE(reg_.OpenKey(sub, false));
  EXPECT_FALSE(reg_.OpenKey(sub + "\\Missing", false));
  reg_.WriteInteger("X", 1);
  EXPECT_EQ(RawValue({REG_DWORD, DwordBytes(1)}), GetRaw(reg_.CurrentKey(), "X"));
  reg_.CloseKey();
  EXPECT_EQ(nullptr, reg_.CurrentKey());
}

TEST_F(RegistryTest, WritesStoreTheDocumentedEncodings) {
  Open();
  struct Case {
    const char* name;
    std::function<void()> write;
    RawValue want;
  };
  const Case cases[] = {
      {"s",
       [&] { reg_.WriteString("s", "Lucida Sans Unicode"); },
       {REG_SZ, StrBytes("Lucida Sans Unicode")}},
      {"empty", [&] { reg_.WriteString("empty", ""); }, {REG_SZ, StrBytes("")}},
      {"i", [&] { reg_.WriteInteger("i", 400); }, {REG_DWORD, DwordBytes(400)}},
      {"neg", [&] { reg_.WriteInteger("neg", -2); }, {REG_DWORD, DwordBytes(0xFFFFFFFE)}},
      {"t", [&] { reg_.WriteBool("t", true); }, {REG_DWORD, DwordBytes(1)}},
      {"f", [&] { reg_.WriteBool("f", false); }, {REG_DWORD, DwordBytes(0)}},
  };
  for (const auto& c : cases) {
    c.write();
    auto got = GetRaw(scratch_.Get(), c.name);
    ASSERT_TRUE(got.has_value()) << c.name;
    EXPECT_EQ(c.want.type, got->type) << c.name;
    EXPECT_EQ(c.want.data, got->data) << c.name;
  }
}

TEST_F(RegistryTest, WritesReplaceAValueOfAnyType) {
  Open();
  SetRaw(scratch_.Get(), "v", {REG_BINARY, {1, 2, 3, 4, 5, 6, 7, 8}});
  reg_.WriteInteger("v", 7);
  EXPECT_EQ(RawValue({REG_DWORD, DwordBytes(7)}), GetRaw(scratch_.Get(), "v"));
  reg_.WriteString("v", "x");
  EXPECT_EQ(RawValue({REG_SZ, StrBytes("x")}), GetRaw(scratch_.Get(), "v"));
}

TEST_F(RegistryTest, StringsRoundTripInTheSystemCodePage) {
  Open();
  for (const std::string& v : {std::string(""), std::string(300, 'w'), std::string("caf\xe9")}) {
    reg_.WriteString("s", v);
    EXPECT_EQ(v, reg_.ReadString("s"));
  }
}

// Text that the system code page cannot spell is stored and read back in UTF-16 as it is; the
// 8-bit read gives ASCII text written this way unchanged.
TEST_F(RegistryTest, WideStringsAreStoredAndReadInUtf16) {
  Open();
  const std::wstring cyrillic = L"\u0431\u044A\u043B\u0433\u0430\u0440\u0441\u043A\u0438";
  for (const std::wstring& v : {cyrillic, std::wstring(L""), std::wstring(300, L'w')}) {
    reg_.WriteString("s", v);
    EXPECT_EQ(RawValue({REG_SZ, test::WideBytes(v)}), test::GetRawWide(scratch_.Get(), L"s"));
    EXPECT_EQ(v, reg_.ReadWideString("s")) << v.size() << " characters";
  }
  reg_.WriteString("ascii", std::wstring(L"diruridu"));
  EXPECT_EQ("diruridu", reg_.ReadString("ascii"));
  EXPECT_EQ(RawValue({REG_SZ, StrBytes("diruridu")}), GetRaw(scratch_.Get(), "ascii"));

  struct Case {
    RawValue stored;
    std::wstring want;
    std::string wantError;
  };
  const Case cases[] = {
      {{REG_EXPAND_SZ, test::WideBytes(cyrillic)}, cyrillic, ""},
      {{REG_SZ, {'a', 0, 'b', 0}}, L"ab", ""},             // stored without its NUL
      {{REG_SZ, {'a', 0, 0, 0, 'b', 0, 0, 0}}, L"a", ""},  // ends at the first NUL
      {{REG_SZ, {'a', 0, 'b'}}, L"a", ""},                 // an odd byte count
      {{REG_SZ, {}}, L"", ""},
      {{REG_DWORD, DwordBytes(1)}, L"", "Invalid data type for 'v'"},
  };
  for (const Case& c : cases) {
    test::SetRawWide(scratch_.Get(), L"v", c.stored);
    std::wstring got;
    EXPECT_EQ(c.wantError, RegistryError([&] { got = reg_.ReadWideString("v"); }))
        << "type " << c.stored.type << ", size " << c.stored.data.size();
    EXPECT_EQ(c.want, got) << "type " << c.stored.type << ", size " << c.stored.data.size();
  }
  EXPECT_EQ("Failed to get data for 'missing'",
            RegistryError([&] { reg_.ReadWideString("missing"); }));
}

// UTF-16 bytes of `units`, as stored, without any NUL added.
test::RegBytes UnitBytes(const std::wstring& units) {
  test::RegBytes b = test::WideBytes(units);
  b.resize(b.size() - 2);
  return b;
}

// A list of strings is stored with a NUL after each and one more at the end, and read back in
// order; empty strings and a missing end read as another program may have left them.
TEST_F(RegistryTest, StringListsAreStoredAndReadInUtf16) {
  Open();
  const std::wstring cyrillic = L"\u0440\u0435\u0447\u043D\u0438\u043A";
  reg_.WriteStrings("l", {L"a", cyrillic});
  EXPECT_EQ(RawValue({REG_MULTI_SZ,
                      UnitBytes(std::wstring(L"a\0", 2) + cyrillic + std::wstring(L"\0\0", 2))}),
            test::GetRawWide(scratch_.Get(), L"l"));
  EXPECT_EQ((std::vector<std::wstring>{L"a", cyrillic}), reg_.ReadStrings("l"));
  reg_.WriteStrings("l", {});
  EXPECT_EQ(RawValue({REG_MULTI_SZ, {0, 0}}), test::GetRawWide(scratch_.Get(), L"l"));
  EXPECT_EQ("Failed to set data for 'l'", RegistryError([&] { reg_.WriteStrings("l", {L""}); }));

  struct Case {
    RawValue stored;
    std::vector<std::wstring> want;
    std::string wantError;
  };
  const Case cases[] = {
      {{REG_MULTI_SZ, UnitBytes(std::wstring(L"a\0\0b\0\0", 7))}, {L"a", L"b"}, ""},
      {{REG_MULTI_SZ, UnitBytes(L"ab")}, {L"ab"}, ""},  // without its NULs
      {{REG_MULTI_SZ, {'a', 0, 'b'}}, {L"a"}, ""},      // an odd byte count
      {{REG_MULTI_SZ, {}}, {}, ""},
      {{REG_SZ, test::WideBytes(L"a")}, {}, "Invalid data type for 'l'"},
  };
  for (const Case& c : cases) {
    test::SetRawWide(scratch_.Get(), L"l", c.stored);
    std::vector<std::wstring> got;
    EXPECT_EQ(c.wantError, RegistryError([&] { got = reg_.ReadStrings("l"); }))
        << "type " << c.stored.type << ", size " << c.stored.data.size();
    EXPECT_EQ(c.want, got) << "type " << c.stored.type << ", size " << c.stored.data.size();
  }
  EXPECT_EQ("Failed to get data for 'missing'",
            RegistryError([&] { reg_.ReadStrings("missing"); }));
}

TEST_F(RegistryTest, DeletingAValueThatIsMissingIsNoFailure) {
  Open();
  SetRaw(scratch_.Get(), "v", {REG_DWORD, DwordBytes(1)});
  reg_.DeleteValue("v");
  EXPECT_FALSE(GetRaw(scratch_.Get(), "v").has_value());
  reg_.DeleteValue("v");
  SetRaw(scratch_.Get(), "v", {REG_DWORD, DwordBytes(1)});
  Registry readOnly(HKEY_CURRENT_USER, KEY_READ);
  ASSERT_TRUE(readOnly.OpenKey(kScratch, false));
  EXPECT_EQ("Failed to set data for 'v'", RegistryError([&] { readOnly.DeleteValue("v"); }));
  EXPECT_TRUE(GetRaw(scratch_.Get(), "v").has_value());
}

TEST_F(RegistryTest, ValueExistsWhenTheValueCanBeQueried) {
  Open();
  SetRaw(scratch_.Get(), "empty", {REG_SZ, {}});
  SetRaw(scratch_.Get(), "bin", {REG_BINARY, {1, 2, 3, 4, 5, 6, 7, 8, 9}});
  EXPECT_TRUE(reg_.ValueExists("empty"));
  EXPECT_TRUE(reg_.ValueExists("bin"));
  EXPECT_FALSE(reg_.ValueExists("missing"));
}

TEST_F(RegistryTest, ReadStringAcceptsOnlyStringTypes) {
  Open();
  struct Case {
    RawValue stored;
    std::string want;       // when no error is wanted
    std::string wantError;  // "" for none
  };
  const std::vector<Case> cases = {
      {{REG_SZ, StrBytes("abc")}, "abc", ""},
      {{REG_EXPAND_SZ, StrBytes("%SystemRoot%\\x")}, "%SystemRoot%\\x", ""},
      {{REG_SZ, {}}, "", ""},
      {{REG_SZ, StrBytes("")}, "", ""},
      {{REG_SZ, StrBytes(std::string("ab\0cd", 5))}, "ab", ""},
      {{REG_SZ, StrBytes("abc", false)}, "abc", ""},
      {{REG_DWORD, DwordBytes(1)}, "", "Invalid data type for 'v'"},
      {{REG_BINARY, StrBytes("abc")}, "", "Invalid data type for 'v'"},
      {{REG_MULTI_SZ, {'a', 0, 0}}, "", "Invalid data type for 'v'"},
      {{REG_BINARY, {}}, "", "Invalid data type for 'v'"},
  };
  for (const auto& c : cases) {
    SetRaw(scratch_.Get(), "v", c.stored);
    std::string got;
    std::string error = RegistryError([&] { got = reg_.ReadString("v"); });
    EXPECT_EQ(c.wantError, error) << "type " << c.stored.type << ", size " << c.stored.data.size();
    if (c.wantError.empty()) {
      EXPECT_EQ(c.want, got) << "type " << c.stored.type;
    }
  }
  EXPECT_EQ("Failed to get data for 'missing'", RegistryError([&] { reg_.ReadString("missing"); }));
}

TEST_F(RegistryTest, ReadIntegerRequiresADword) {
  Open();
  struct Case {
    RawValue stored;
    int32_t want;
    bool wantBool;
    std::string wantError;
  };
  const std::vector<Case> cases = {
      {{REG_DWORD, DwordBytes(300)}, 300, true, ""},
      {{REG_DWORD, DwordBytes(0)}, 0, false, ""},
      {{REG_DWORD, DwordBytes(5)}, 5, true, ""},
      {{REG_DWORD, DwordBytes(0x80000000)}, INT32_MIN, true, ""},
      {{REG_DWORD_BIG_ENDIAN, DwordBytes(1)}, 0, false, "Invalid data type for 'v'"},
      {{REG_BINARY, DwordBytes(1)}, 0, false, "Invalid data type for 'v'"},
      {{REG_SZ, StrBytes("1")}, 0, false, "Invalid data type for 'v'"},
      {{REG_BINARY, {1, 0, 0, 0, 0}}, 0, false, "Failed to get data for 'v'"},
      {{REG_QWORD, {1, 0, 0, 0, 0, 0, 0, 0}}, 0, false, "Failed to get data for 'v'"},
      {{REG_SZ, StrBytes("12345")}, 0, false, "Failed to get data for 'v'"},
  };
  for (const auto& c : cases) {
    SetRaw(scratch_.Get(), "v", c.stored);
    int32_t got = 0;
    bool gotBool = false;
    EXPECT_EQ(c.wantError, RegistryError([&] { got = reg_.ReadInteger("v"); }))
        << "type " << c.stored.type << ", size " << c.stored.data.size();
    EXPECT_EQ(c.wantError, RegistryError([&] { gotBool = reg_.ReadBool("v"); }))
        << "type " << c.stored.type << ", size " << c.stored.data.size();
    if (c.wantError.empty()) {
      EXPECT_EQ(c.want, got);
      EXPECT_EQ(c.wantBool, gotBool);
    }
  }
  EXPECT_EQ("Failed to get data for 'missing'",
            RegistryError([&] { reg_.ReadInteger("missing"); }));
}

TEST_F(RegistryTest, WithoutAKeyEveryOperationFails) {
  SetRaw(scratch_.Get(), "Dict", {REG_SZ, StrBytes("x")});
  Registry never(HKEY_CURRENT_USER);
  Registry closed(HKEY_CURRENT_USER);
  ASSERT_TRUE(closed.OpenKey(kScratch, false));
  closed.CloseKey();
  Registry failed(HKEY_CURRENT_USER);
  ASSERT_FALSE(failed.OpenKey(std::string(kScratch) + "\\Missing", false));

  for (Registry* r : {&never, &closed, &failed}) {
    EXPECT_FALSE(r->ValueExists("Dict"));
    EXPECT_EQ("Failed to set data for 'Dict'", RegistryError([&] { r->WriteString("Dict", "a"); }));
    EXPECT_EQ("Failed to set data for 'Dict'",
              RegistryError([&] { r->WriteString("Dict", std::wstring(L"a")); }));
    EXPECT_EQ("Failed to get data for 'Dict'", RegistryError([&] { r->ReadWideString("Dict"); }));
    EXPECT_EQ("Failed to set data for 'Top'", RegistryError([&] { r->WriteInteger("Top", 1); }));
    EXPECT_EQ("Failed to set data for 'Allow'", RegistryError([&] { r->WriteBool("Allow", 1); }));
    EXPECT_EQ("Failed to get data for 'Dict'", RegistryError([&] { r->ReadString("Dict"); }));
    EXPECT_EQ("Failed to get data for 'Top'", RegistryError([&] { r->ReadInteger("Top"); }));
    EXPECT_EQ("Failed to get data for 'Allow'", RegistryError([&] { r->ReadBool("Allow"); }));
  }
  EXPECT_EQ(RawValue({REG_SZ, StrBytes("x")}), GetRaw(scratch_.Get(), "Dict"));
}

TEST_F(RegistryTest, AWriteThatWindowsRefusesFails) {
  SetRaw(scratch_.Get(), "Top", {REG_DWORD, DwordBytes(3)});
  Registry readOnly(HKEY_CURRENT_USER, KEY_READ);
  ASSERT_TRUE(readOnly.OpenKey(kScratch, false));
  EXPECT_TRUE(readOnly.ValueExists("Top"));
  EXPECT_EQ(3, readOnly.ReadInteger("Top"));
  EXPECT_EQ("Failed to set data for 'Top'",
            RegistryError([&] { readOnly.WriteInteger("Top", 4); }));
  EXPECT_EQ("Failed to set data for 'Dict'",
            RegistryError([&] { readOnly.WriteString("Dict", "d"); }));
  EXPECT_EQ(RawValue({REG_DWORD, DwordBytes(3)}), GetRaw(scratch_.Get(), "Top"));
  EXPECT_FALSE(GetRaw(scratch_.Get(), "Dict").has_value());
}

}  // namespace
}  // namespace lexmora
