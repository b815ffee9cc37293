#pragma once
// The fixture and checks shared by the end-to-end tests.
#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "ProgramDriver.h"

namespace lexmora::e2e {

// Every test starts and ends with no settings key, so that no test sees another's settings.
class E2eTest : public ::testing::Test {
 protected:
  void SetUp() override { ClearSettings(); }
  void TearDown() override { ClearSettings(); }
};

// A program folder of the test's own and one run of the program from it.
class ProgramTest : public E2eTest {
 protected:
  // Starts the program and waits for its first entry.
  MainWindow Start();

  ProgramFolder folder_;
  std::optional<RunningProgram> program_;
};

// The program folder as shipped: the dictionary diruridu, with its index unless a fixture's
// constructor clears index_, and the conversion tables; entries_ are the dictionary's entries.
class ShippedDictionaryTest : public ProgramTest {
 protected:
  void SetUp() override;

  bool index_ = true;
  std::vector<std::wstring> entries_;
};

// Closes the program and expects it to end with exit code 0.
void CloseWithSuccess(RunningProgram& program);

// The five pane texts, top to bottom, that showing entry i of `entries` must give.
std::vector<std::wstring> WantedPanes(const std::vector<std::wstring>& entries, int i);

// Waits until the main window shows entry i with its neighbours; on failure tells what the
// panes showed and what was wanted.
::testing::AssertionResult ShowsEntry(const MainWindow& main,
                                      const std::vector<std::wstring>& entries, int i);

// The number of the entry whose first line is `headword`; fails the test when there is none.
int EntryNumber(const std::vector<std::wstring>& entries, const std::wstring& headword);

// Replaces the search text by typing `text` over the selected old text, and waits until the
// program has handled every typed character: the entry wanted may show before the last of them
// have arrived.
void TypeSearch(const MainWindow& main, const std::wstring& text);

// Expects each named value of the settings key to be the one given.
void ExpectSettings(const std::vector<std::pair<std::string, RegValue>>& wanted);

constexpr DWORD kBetweenCopiesMs = 150;
// The second copy of a pair follows the first within this time.
constexpr DWORD kPairMs = 500;

// Copies twice as Ctrl+C pressed twice does: `copy` (one change of the clipboard, over when it
// returns), then again kBetweenCopiesMs after the program has read the first, so that the second
// never finds the clipboard held open by the program. The program counts the two as a pair by
// the times of their changes; the test knows they were close enough when both were over within
// kPairMs of the first being started. A busy machine may hold a copy up longer: then the test
// starts again, after a change that does not count ("-", no word), so that nothing of the late
// pair is left to pair with.
::testing::AssertionResult CopyTwiceInTime(const MainWindow& main,
                                           const std::function<bool()>& copy);
// Copies `text` twice as another program would, close enough to be a pair.
::testing::AssertionResult CopyTwice(const MainWindow& main, const std::wstring& text);

}  // namespace lexmora::e2e
