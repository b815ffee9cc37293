#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <vector>

#include "LexmoraVersion.h"
#include "TestFiles.h"
#include "base/Text.h"
#include "shell/AppVersion.h"

namespace lexmora {
namespace {

TEST(GetAppInfo, ReadsTheProgramsOwnVersionResource) {
  TAppInfo info;
  GetAppInfo(info);
  EXPECT_EQ(LEXMORA_VERSION_STRING, info.FileVersion);
  EXPECT_EQ("Lexmora", info.ProductName);
}

// DLLs built beside this test, each with a version resource of its own (VersionCases.rc).
TEST(GetAppInfoFrom, ReadsTheFirstTranslationsStringTable) {
  struct Case {
    const char* file;
    std::string fileVersion, productName;
  };
  const Case cases[] = {
      // Translation 0x0400 / 1200: string table "040004B0".
      {"version_unicode.dll", "2.0.0.1", "Neutral Unicode"},
      // Two pairs: only the first, 0x0409 / 0x04E4, is used.
      {"version_several.dll", "3.1", "First Pair"},
      {"version_noproduct.dll", "4.0", "n/a"},
      {"version_emptyproduct.dll", "n/a", "Has No Version"},
      // The translation names a string table that does not exist.
      {"version_notable.dll", "n/a", "n/a"},
  };
  for (const auto& c : cases) {
    TAppInfo info;
    GetAppInfoFrom(ProgramFolder() + c.file, info);
    EXPECT_EQ(c.fileVersion, info.FileVersion) << c.file;
    EXPECT_EQ(c.productName, info.ProductName) << c.file;
  }
}

TEST(GetAppInfoFrom, LeavesTheRecordAsItWasWithoutAUsableResource) {
  const char* files[] = {
      "version_none.dll",           // no version resource
      "version_notranslation.dll",  // no translation value
      "no such file.dll",
  };
  for (const char* file : files) {
    TAppInfo info{"before", "unchanged"};
    GetAppInfoFrom(ProgramFolder() + file, info);
    EXPECT_EQ("before", info.FileVersion) << file;
    EXPECT_EQ("unchanged", info.ProductName) << file;
  }
}

// The version resource of version_notable.dll with the length of its translation value set to
// translationLength, written into a copy of version_none.dll at path.
void WriteDllWithTranslationLength(const std::string& path, uint16_t translationLength) {
  HMODULE source = LoadLibraryExA((ProgramFolder() + "version_notable.dll").c_str(), nullptr,
                                  LOAD_LIBRARY_AS_DATAFILE);
  ASSERT_NE(nullptr, source);
  HRSRC found = FindResourceA(source, MAKEINTRESOURCEA(VS_VERSION_INFO), MAKEINTRESOURCEA(16));
  ASSERT_NE(nullptr, found);
  const auto* bytes = static_cast<const uint8_t*>(LockResource(LoadResource(source, found)));
  std::vector<uint8_t> block(bytes, bytes + SizeofResource(source, found));
  FreeLibrary(source);

  // The value's header (length, value length, type) comes just before its UTF-16 key.
  const wchar_t key[] = L"Translation";
  auto at = std::search(block.begin(), block.end(), reinterpret_cast<const uint8_t*>(key),
                        reinterpret_cast<const uint8_t*>(key) + sizeof key);
  ASSERT_NE(block.end(), at);
  const size_t valueLength = static_cast<size_t>(at - block.begin()) - 4;
  ASSERT_EQ(4, block[valueLength] | (block[valueLength + 1] << 8));
  block[valueLength] = static_cast<uint8_t>(translationLength);
  block[valueLength + 1] = 0;

  ASSERT_TRUE(CopyFileA((ProgramFolder() + "version_none.dll").c_str(), path.c_str(), FALSE));
  HANDLE update = BeginUpdateResourceA(path.c_str(), FALSE);
  ASSERT_NE(nullptr, update);
  ASSERT_TRUE(UpdateResourceA(update, MAKEINTRESOURCEA(16), MAKEINTRESOURCEA(VS_VERSION_INFO),
                              MAKELANGID(LANG_NEUTRAL, SUBLANG_NEUTRAL), block.data(),
                              static_cast<DWORD>(block.size())));
  ASSERT_TRUE(EndUpdateResourceA(update, FALSE));
}

TEST(GetAppInfoFrom, ATranslationShorterThanFourBytesIsUnusable) {
  test::TempDir dir;
  struct Case {
    uint16_t length;
    std::string fileVersion, productName;
  };
  const Case cases[] = {
      {4, "n/a", "n/a"},  // the untouched length: the file is read, its table is missing
      {3, "before", "unchanged"},
      {2, "before", "unchanged"},
      {0, "before", "unchanged"},
  };
  for (const auto& c : cases) {
    const std::string path = dir.File("translation" + std::to_string(c.length) + ".dll");
    WriteDllWithTranslationLength(path, c.length);
    TAppInfo info{"before", "unchanged"};
    GetAppInfoFrom(path, info);
    EXPECT_EQ(c.fileVersion, info.FileVersion) << "translation of " << c.length << " bytes";
    EXPECT_EQ(c.productName, info.ProductName) << "translation of " << c.length << " bytes";
  }
}

}  // namespace
}  // namespace lexmora
