#include "E2eTest.h"

namespace lexmora::e2e {

namespace {

std::string ListPanes(const std::vector<std::wstring>& panes) {
  static const char* const names[] = {"reTop1", "reTop2", "reMeaning", "reBottom2", "reBottom1"};
  std::string out;
  for (size_t k = 0; k < panes.size(); ++k) {
    out += std::string("\n  ") + names[k] + ": \"" + Narrow(panes[k]) + "\"";
  }
  return out;
}

}  // namespace

MainWindow ProgramTest::Start() {
  program_.emplace(folder_.Exe());
  MainWindow main = program_->WaitForFirstEntry();
  EXPECT_TRUE(main) << program_->DescribeWindows();
  return main;
}

void ShippedDictionaryTest::SetUp() {
  ProgramTest::SetUp();
  folder_.AddShippedDictionary("diruridu", index_);
  folder_.AddConversionTables();
  entries_ = ReadEntries(folder_.DataFile("diruridu"));
}

void CloseWithSuccess(RunningProgram& program) {
  std::optional<DWORD> code = program.Close();
  ASSERT_TRUE(code) << program.DescribeWindows();
  EXPECT_EQ(*code, 0u);
}

std::vector<std::wstring> WantedPanes(const std::vector<std::wstring>& entries, int i) {
  auto preview = [&](int k) {
    return k >= 0 && k < static_cast<int>(entries.size()) ? PreviewText(entries[k]) : kBeyondTheEnd;
  };
  return {preview(i - 2), preview(i - 1), MainPaneText(entries.at(i)), preview(i + 1),
          preview(i + 2)};
}

::testing::AssertionResult ShowsEntry(const MainWindow& main,
                                      const std::vector<std::wstring>& entries, int i) {
  const std::vector<std::wstring> wanted = WantedPanes(entries, i);
  std::vector<std::wstring> got;
  if (WaitUntil([&] { return (got = main.Panes()) == wanted; })) {
    return ::testing::AssertionSuccess();
  }
  return ::testing::AssertionFailure() << "entry " << i << " not shown; got:" << ListPanes(got)
                                       << "\nwanted:" << ListPanes(wanted);
}

int EntryNumber(const std::vector<std::wstring>& entries, const std::wstring& headword) {
  for (size_t i = 0; i < entries.size(); ++i) {
    if (entries[i].substr(0, entries[i].find(L'\r')) == headword)
      return static_cast<int>(i);
  }
  ADD_FAILURE() << "no entry with the headword \"" << Narrow(headword) << "\"";
  return 0;
}

void TypeSearch(const MainWindow& main, const std::wstring& text) {
  SelectAll(main.searchEdit);
  TypeText(main.searchEdit, text);
  EXPECT_TRUE(WaitForPostedMessages(main))
      << "the program did not take \"" << Narrow(text) << "\"; search text \""
      << Narrow(main.SearchText()) << "\"";
}

void ExpectSettings(const std::vector<std::pair<std::string, RegValue>>& wanted) {
  for (const auto& [name, value] : wanted) {
    std::optional<RegValue> got = ReadSetting(name);
    if (!got) {
      ADD_FAILURE() << name << ": got no value, wanted " << Describe(value);
    } else {
      EXPECT_EQ(*got, value) << name << ": got " << Describe(*got) << ", wanted "
                             << Describe(value);
    }
  }
}

::testing::AssertionResult CopyTwiceInTime(const MainWindow& main,
                                           const std::function<bool()>& copy) {
  constexpr int kAttempts = 8;
  for (int attempt = 0; attempt < kAttempts; ++attempt) {
    if (!SetClipboardText(L"-") || !WaitForPostedMessages(main))
      return ::testing::AssertionFailure() << "cannot clear the clipboard";
    const ULONGLONG start = GetTickCount64();
    if (!copy() || !WaitForPostedMessages(main))
      return ::testing::AssertionFailure() << "the first copy failed";
    Sleep(kBetweenCopiesMs);
    if (!copy())
      return ::testing::AssertionFailure() << "the second copy failed";
    if (GetTickCount64() - start < kPairMs)
      return ::testing::AssertionSuccess();
  }
  return ::testing::AssertionFailure()
         << "the copies were too far apart to count, " << kAttempts << " times";
}

::testing::AssertionResult CopyTwice(const MainWindow& main, const std::wstring& text) {
  return CopyTwiceInTime(main, [&] { return SetClipboardText(text); });
}

}  // namespace lexmora::e2e
