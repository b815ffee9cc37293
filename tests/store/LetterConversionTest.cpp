#include <gtest/gtest.h>

#include <optional>

#include "StoreTestSupport.h"
#include "base/Handle.h"
#include "base/Text.h"
#include "store/ADictU.h"

namespace lexmora {
namespace {

using test::Bytes;
using test::ConversionFiles;
using test::TempDir;

const char kMissing[] =
    "A transformation file was not found.\r\nRecreate it/them or disable the option";
const char kMismatch[] =
    "Transformation files are different in items.\r\nPlease correct the files and restart the "
    "program";

class ConversionTest : public ::testing::Test {
 protected:
  ConversionTest() : scopedReporter_(reporter) {
    test::WriteBytes(dir.File("c.dat"), test::DictBytes({L"entry"}));
  }
  std::unique_ptr<TADict> Open(bool convert, bool doSort = false) {
    return std::make_unique<TADict>(dir.File("c.dat"), dir.File("c.ind"), doSort, false, convert);
  }

  TempDir dir;
  ConversionFiles files;
  test::RecordingReporter reporter;

 private:
  ScopedReporter scopedReporter_;
};

TEST_F(ConversionTest, TablesAreLoadedOrRefusedWithTheirMessage) {
  const auto text = ConversionFiles::Text;
  struct Case {
    const char* name;
    std::optional<Bytes> to, from;
    const char* message;  // nullptr: none
    std::wstring input, want;
  } cases[] = {
      {"the example tables", Bytes{0xFF, 0xFE, 0x61, 0, 0x63, 0},
       Bytes{0xFF, 0xFE, 0xE0, 0, 0xE1, 0, 0xE2, 0, 0x0D, 0, 0x0A, 0, 0xE7, 0}, nullptr,
       L"\u00E7\u00E0x\u00E2",
       L"cax"
       L"a"},
      {"conv_to.txt missing", std::nullopt, text(L"\u00E0"), kMissing, L"\u00E0", L"\u00E0"},
      {"conv_from.txt missing", text(L"a"), std::nullopt, kMissing, L"\u00E0", L"\u00E0"},
      {"both missing: one message", std::nullopt, std::nullopt, kMissing, L"a", L"a"},
      {"byte-order marks only", text(L""), text(L""), kMismatch, L"a", L"a"},
      {"empty files", Bytes{}, Bytes{}, kMismatch, L"a", L"a"},
      {"single bytes", Bytes{0x61}, Bytes{0x61}, kMismatch, L"a", L"a"},
      {"odd trailing byte is not read", Bytes{0xFF, 0xFE, 0x61, 0, 0x62},
       Bytes{0xFF, 0xFE, 0xE0, 0, 0xE1}, nullptr, L"\u00E0\u00E1", L"a\u00E1"},
      // A line break that ends the last line, as editors save it, is no group and no target.
      {"conv_from.txt's last line ended by CR LF", text(L"a"), text(L"\u00E0\r\n"), nullptr,
       L"\u00E0", L"a"},
      {"conv_to.txt's line ended by CR LF", text(L"ab\r\n"), text(L"x\r\ny"), nullptr, L"xy",
       L"ab"},
      {"both ended by CR LF", text(L"ab\r\n"), text(L"x\r\ny\r\n"), nullptr, L"yx", L"ba"},
      {"conv_to.txt's line ended by LF", text(L"a\n"), text(L"x"), nullptr, L"x", L"a"},
      {"conv_to.txt's line ended by CR", text(L"a\r"), text(L"x"), nullptr, L"x", L"a"},
      {"... with one more target for the empty group, as written", text(L"a?"), text(L"\u00E0\r\n"),
       nullptr, L"\u00E0", L"a"},
      {"an empty last line is a group", text(L"a"), text(L"x\r\n\r\n"), kMismatch, L"x", L"x"},
      {"... which needs its target", text(L"ab"), text(L"x\r\n\r\n"), nullptr, L"x", L"a"},
      {"a real mismatch, both ended by CR LF", text(L"ab\r\n"), text(L"x\r\n"), kMismatch, L"x",
       L"x"},
      {"CR LF inside conv_to.txt are two targets", text(L"a\r\nb"), text(L"x\ry\rz\rw"), nullptr,
       L"wxyz", L"ba\r\n"},
      {"a lone LF changes nothing", text(L"a"), text(L"\u00E0\n\u00E1"), nullptr, L"\u00E0\n\u00E1",
       L"a\na"},
      {"a lone CR starts a group", text(L"ab"), text(L"\u00E0\r\u00E1"), nullptr, L"\u00E0\u00E1",
       L"ab"},
      {"the earlier group wins", text(L"ab"), text(L"x\r\nx"), nullptr, L"x", L"a"},
      {"conversions never chain", text(L"bc"), text(L"a\r\nb"), nullptr, L"ab", L"bc"},
      {"empty text", text(L"a"), text(L"b"), nullptr, L"", L""},
      {"an empty group matches nothing", text(L"ab"), text(L"\r\nc"), nullptr, L"c\u00B7",
       L"b\u00B7"},
      {"surrogate halves on their own", text(L"a"), text(L"\xD83D"), nullptr, L"\xD83D\xDE00",
       L"a\xDE00"},
  };
  for (const auto& c : cases) {
    files.Set(c.to, c.from);
    reporter.messages.clear();
    auto dict = Open(true);
    if (c.message == nullptr) {
      EXPECT_TRUE(reporter.messages.empty())
          << c.name << ": unexpected \"" << reporter.messages[0].text << "\"";
    } else {
      ASSERT_EQ(1u, reporter.messages.size()) << c.name;
      const auto& m = reporter.messages[0];
      EXPECT_EQ(c.message, m.text) << c.name;
      EXPECT_EQ("Error", m.caption) << c.name;
      EXPECT_EQ(static_cast<UINT>(MB_ICONERROR), m.style) << c.name;
      EXPECT_EQ(nullptr, m.owner) << c.name;
    }
    EXPECT_EQ(c.want, dict->ConvertLetters(c.input)) << c.name;
  }
}

// Another program (an editor, a sync tool) holds a table open without sharing it: the dictionary
// opens without letter conversion, and one message names the file that cannot be read.
TEST_F(ConversionTest, ATableHeldByAnotherProgramTurnsConversionOffWithItsName) {
  const std::string data = ToAnsi(ProgramFolderW()) + "Data\\";
  const std::string held = "\" cannot be read: " + SysErrorMessage(ERROR_SHARING_VIOLATION) +
                           ".\r\nLetter conversion is off until the file can be read and the "
                           "dictionary is opened again.";
  const struct {
    const char* name;
    std::vector<std::string> held;
    std::string message;
  } cases[] = {
      {"conv_to.txt", {"conv_to.txt"}, "conv_to.txt"},
      {"conv_from.txt", {"conv_from.txt"}, "conv_from.txt"},
      {"both: one message", {"conv_to.txt", "conv_from.txt"}, "conv_to.txt"},
  };
  test::WriteBytes(dir.File("c.dat"), test::DictBytes({L"b\u00E0r", L"cat"}));
  for (const auto& c : cases) {
    files.Set(ConversionFiles::Text(L"a"), ConversionFiles::Text(L"\u00E0"));
    std::vector<FileHandle> holds;
    for (const std::string& name : c.held) {
      holds.emplace_back(
          CreateFileA((data + name).c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
      ASSERT_TRUE(holds.back()) << c.name;
    }
    reporter.messages.clear();
    std::unique_ptr<TADict> dict;
    ASSERT_NO_THROW(dict = Open(true)) << c.name;
    ASSERT_EQ(reporter.messages.size(), 1u) << c.name;
    const auto& m = reporter.messages[0];
    EXPECT_EQ(m.text, "The transformation file \"" + data + c.message + held) << c.name;
    EXPECT_EQ(m.caption, "Error") << c.name;
    EXPECT_EQ(m.style, static_cast<UINT>(MB_ICONERROR)) << c.name;
    EXPECT_EQ(dict->ConvertLetters(L"\u00E0"), L"\u00E0") << c.name << ": still converts";
    EXPECT_EQ(dict->FindWord(L"cat"), 1) << c.name;
    holds.clear();
    reporter.messages.clear();
    EXPECT_EQ(Open(true)->ConvertLetters(L"\u00E0"), L"a") << c.name << ": released";
    EXPECT_TRUE(reporter.messages.empty()) << c.name << ": released";
  }
}

TEST_F(ConversionTest, FlagOffTouchesNothing) {
  files.Set(std::nullopt, std::nullopt);
  EXPECT_EQ(L"\u00E0bc", Open(false)->ConvertLetters(L"\u00E0bc"));
  files.Set(ConversionFiles::Text(L"a"), ConversionFiles::Text(L"\u00E0"));
  EXPECT_EQ(L"\u00E0bc", Open(false)->ConvertLetters(L"\u00E0bc"));
  EXPECT_TRUE(reporter.messages.empty());
}

TEST_F(ConversionTest, FindWordMatchesFoldedLettersBothWays) {
  // Folds à to a.
  files.Set(ConversionFiles::Text(L"a"), ConversionFiles::Text(L"\u00E0"));
  struct Case {
    std::vector<std::wstring> entries;
    std::wstring word;
    int32_t want;
  } cases[] = {
      {{L"apple", L"b\u00E0r", L"cat", L"dog", L"eel"}, L"bar", 1},
      {{L"apple", L"bar", L"cat", L"dog", L"eel"}, L"b\u00E0r", 1},
      {{L"apple", L"bar", L"cat", L"dog", L"eel"}, L"B\u00C0R", 1},
      {{L"aa", L"b\u00E0\u00E0", L"bab", L"c"}, L"baa", 1},
  };
  for (const auto& c : cases) {
    test::WriteBytes(dir.File("c.dat"), test::DictBytes(c.entries));
    DeleteFileA(dir.File("c.ind").c_str());
    auto dict = Open(true);
    EXPECT_EQ(c.want, dict->FindWord(c.word)) << ToAnsi(c.word);
  }
  EXPECT_TRUE(reporter.messages.empty());
  // Common prefixes are counted on the converted entry.
  auto dict = Open(true);
  EXPECT_EQ(2, dict->CommonPrefixLength(1, L"bax"));
  EXPECT_EQ(3, dict->CommonPrefixLength(1, L"baa"));
}

// The groups of a conv_from.txt body (after its first unit): CR closes a group, LF is ignored.
std::vector<std::wstring> Groups(const std::wstring& units) {
  std::vector<std::wstring> groups(1);
  for (wchar_t u : units) {
    if (u == L'\r') {
      groups.emplace_back();
    } else if (u != L'\n') {
      groups.back().push_back(u);
    }
  }
  return groups;
}

// Conversion as the groups define it: each unit tried against every group in turn.
std::wstring ConvertByGroups(const std::wstring& text, const std::wstring& targets,
                             const std::vector<std::wstring>& groups) {
  std::wstring out = text;
  for (wchar_t& ch : out) {
    for (size_t k = 0; k < targets.size(); ++k) {
      if (IsCharInGroup(ch, groups[k])) {
        ch = targets[k];
        break;
      }
    }
  }
  return out;
}

std::wstring UnitsAfterFirst(const Bytes& bytes) {
  std::wstring units;
  for (size_t k = 2; k + 1 < bytes.size(); k += 2)
    units.push_back(static_cast<wchar_t>(bytes[k] | bytes[k + 1] << 8));
  return units;
}

TEST_F(ConversionTest, EveryUnitConvertsAsTheGroupsSay) {
  using namespace std::string_literals;
  std::wstring everyUnit(0x10000, L'\0');
  for (size_t k = 0; k < everyUnit.size(); ++k)
    everyUnit[k] = static_cast<wchar_t>(k);
  const std::string shipped = LEXMORA_SHIPPED_DATA;
  const auto text = ConversionFiles::Text;
  struct Case {
    const char* name;
    Bytes to, from;
  } cases[] = {
      {"the shipped tables", test::ReadBytes(shipped + "Data\\conv_to.txt"),
       test::ReadBytes(shipped + "Data\\conv_from.txt")},
      {"a unit in two groups, chains, an empty group", text(L"abc?"), text(L"x\r\nxa\r\nb\r\n")},
      {"the lowest and highest units, surrogate halves", text(L"\xFFFFz\0"s),
       text(L"\0\r\xD800\xDFFF\r\xFFFF"s)},
  };
  for (const auto& c : cases) {
    files.Set(c.to, c.from);
    const std::wstring targets = UnitsAfterFirst(c.to);
    const std::vector<std::wstring> groups = Groups(UnitsAfterFirst(c.from));
    ASSERT_EQ(targets.size(), groups.size()) << c.name;
    const std::wstring want = ConvertByGroups(everyUnit, targets, groups);
    const std::wstring got = Open(true)->ConvertLetters(everyUnit);
    ASSERT_EQ(want.size(), got.size()) << c.name;
    int differences = 0;
    for (size_t k = 0; k < want.size(); ++k) {
      if (got[k] != want[k] && ++differences <= 5) {
        ADD_FAILURE() << c.name << ": U+" << std::hex << k << " got U+" << int{got[k]}
                      << ", wanted U+" << int{want[k]};
      }
    }
    EXPECT_EQ(0, differences) << c.name;
    EXPECT_NE(want, everyUnit) << c.name << ": the tables convert nothing";
  }
  EXPECT_TRUE(reporter.messages.empty());
}

TEST_F(ConversionTest, SortedBuildIgnoresLetterConversion) {
  // Converted, "za" would read "aa" and sort before "b"; the index keeps the unconverted order.
  files.Set(ConversionFiles::Text(L"a"), ConversionFiles::Text(L"z"));
  test::WriteBytes(dir.File("c.dat"), test::DictBytes({L"za", L"b"}));
  auto dict = Open(true, true);
  EXPECT_EQ(L"b", dict->ReadEntry(0, -1));
  EXPECT_EQ(L"za", dict->ReadEntry(1, -1));
  EXPECT_EQ(L"aa", dict->ConvertLetters(L"za"));
}

}  // namespace
}  // namespace lexmora
