#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

#include "TestFiles.h"
#include "base/Errors.h"
#include "base/FileIO.h"
#include "base/TemporaryFile.h"
#include "base/Text.h"

namespace lexmora {
namespace {

using test::Bytes;

// The names in `dir` that end in ".tmp".
std::vector<std::string> Temporaries(const test::TempDir& dir) {
  std::vector<std::string> names;
  WIN32_FIND_DATAA found;
  FindHandle search(FindFirstFileA(dir.File("*.tmp").c_str(), &found));
  for (bool more = search.Valid(); more; more = FindNextFileA(search.Get(), &found))
    names.push_back(found.cFileName);
  return names;
}

TEST(TemporaryFile, TheTargetIsReplacedOnlyByAMovedFile) {
  const Bytes earlier = {1, 2, 3}, written = {7, 8};
  const struct {
    const char* name;
    std::function<void(TemporaryFile&)> finish;
    Bytes want;
  } cases[] = {
      {"moved", [](TemporaryFile& f) { f.MoveOntoTarget(); }, written},
      {"closed, not moved", [](TemporaryFile& f) { f.Close(); }, earlier},
      {"dropped", [](TemporaryFile&) {}, earlier},
      {"failed on the way", [](TemporaryFile&) { throw EInOutError(io_error::kDiskFull); },
       earlier},
  };
  for (const auto& c : cases) {
    test::TempDir dir;
    const std::string target = dir.File("t.dat");
    test::WriteBytes(target, earlier);
    try {
      TemporaryFile file(ToWide(target), L".w.tmp", L"*.w.tmp");
      WriteFully(file.Handle(), written.data(), written.size());
      c.finish(file);
    } catch (const EInOutError&) {
    }
    EXPECT_EQ(test::ReadBytes(target), c.want) << c.name;
    EXPECT_EQ(Temporaries(dir), std::vector<std::string>{}) << c.name;
  }
}

TEST(TemporaryFile, AMoveThatFailsRaisesAndLeavesNoTemporary) {
  test::TempDir dir;
  const std::string target = dir.File("t.dat");
  ASSERT_TRUE(CreateDirectoryA(target.c_str(), nullptr));  // in the way of the file
  {
    TemporaryFile file(ToWide(target), L".w.tmp", L"*.w.tmp");
    EXPECT_THROW(file.MoveOntoTarget(), EInOutError);
  }
  EXPECT_EQ(Temporaries(dir), std::vector<std::string>{});
  EXPECT_THROW(TemporaryFile(ToWide(dir.File("missing\\t.dat")), L".w.tmp", L"*.w.tmp"),
               EInOutError);
}

// Leftovers of killed writers go; a temporary that a writer holds, and other names, stay.
TEST(TemporaryFile, RemovesTheLeftoversOfItsPatternThatNoWriterHolds) {
  test::TempDir dir;
  for (const char* name : {"a.dat.1-1.w.tmp", "B.DAT.2-2.W.TMP", "held.dat.3-3.w.tmp",
                           "a.dat.1-1.x.tmp", "notes.w.txt"}) {
    test::WriteBytes(dir.File(name), {1});
  }
  FileHandle held(CreateFileA(dir.File("held.dat.3-3.w.tmp").c_str(), GENERIC_WRITE, 0, nullptr,
                              OPEN_EXISTING, 0, nullptr));
  ASSERT_TRUE(held);
  TemporaryFile file(ToWide(dir.File("c.dat")), L".w.tmp", L"*.w.tmp");
  std::vector<std::string> left = Temporaries(dir);
  std::sort(left.begin(), left.end());
  const std::string own = "c.dat." + std::to_string(GetCurrentProcessId()) + "-" +
                          std::to_string(GetCurrentThreadId()) + ".w.tmp";
  EXPECT_EQ(left, (std::vector<std::string>{"a.dat.1-1.x.tmp", own, "held.dat.3-3.w.tmp"}));
  EXPECT_TRUE(FileExists(dir.File("notes.w.txt")));
}

}  // namespace
}  // namespace lexmora
