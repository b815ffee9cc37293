#include <gtest/gtest.h>

#include <functional>

#include "TestFiles.h"
#include "base/Errors.h"
#include "base/FileIO.h"

namespace lexmora {
namespace {

using test::Bytes;
using test::TempDir;

int IoCode(const std::function<void()>& action) {
  try {
    action();
  } catch (const EInOutError& e) {
    return e.ErrorCode();
  }
  return 0;
}

TEST(ErrorTexts, InOutErrorsCarryTheirCodeAndText) {
  struct Case {
    int32_t named;  // as the code names it
    int code;       // the runtime's number
    const char* text;
  } cases[] = {{io_error::kFileNotFound, 2, "File not found"},
               {io_error::kInvalidFilename, 3, "Invalid filename"},
               {io_error::kAccessDenied, 5, "File access denied"},
               {io_error::kReadBeyondEnd, 100, "Read beyond end of file"},
               {io_error::kDiskFull, 101, "Disk full"},
               {io_error::kFileNotOpen, 103, "File not open"},
               {io_error::kNegativeSeek, 131, "I/O error 131"},
               {32, 32, "I/O error 32"},
               {1234, 1234, "I/O error 1234"}};
  for (const auto& c : cases) {
    EXPECT_EQ(c.named, c.code);
    EInOutError e(c.code);
    EXPECT_STREQ(c.text, e.what()) << "code " << c.code;
    EXPECT_EQ(c.code, e.ErrorCode());
  }
  EXPECT_STREQ("List index out of bounds (-1)", EListError(-1).what());
  EXPECT_STREQ("Cannot open file \"C:\\a b.dat\". Gone", EFOpenError("C:\\a b.dat", "Gone").what());
}

TEST(ErrorTexts, TheLastSystemErrorRaisesItsRuntimeCode) {
  const struct {
    DWORD last;
    int32_t code;
    const char* text;
  } cases[] = {
      {ERROR_DISK_FULL, 101, "Disk full"},
      {ERROR_HANDLE_DISK_FULL, 101, "Disk full"},
      {ERROR_FILE_NOT_FOUND, 2, "File not found"},
      {ERROR_ACCESS_DENIED, 5, "File access denied"},
      {ERROR_SHARING_VIOLATION, 32, "I/O error 32"},
      {0, 5, "File access denied"},  // a failure that set no error
  };
  for (const auto& c : cases) {
    SetLastError(c.last);
    try {
      RaiseLastError();
    } catch (const EInOutError& e) {
      EXPECT_EQ(e.ErrorCode(), c.code) << "last error " << c.last;
      EXPECT_EQ(e.SystemCode(), c.last) << "last error " << c.last;
      EXPECT_STREQ(e.what(), c.text) << "last error " << c.last;
    }
  }
}

TEST(RecordFile, WritesLittleEndianRecordsAndReadsThemBack) {
  TempDir dir;
  RecordFile f(4);
  f.Create(dir.File("r.bin"));
  uint32_t values[] = {0x04030201u, 0xFFFFFFFEu, 7u};
  f.Write(values, 3);
  EXPECT_EQ(3, f.RecordCount());
  f.Seek(1);
  uint32_t v = 0;
  f.Read(&v);
  EXPECT_EQ(0xFFFFFFFEu, v);
  f.Close();
  EXPECT_EQ((Bytes{1, 2, 3, 4, 0xFE, 0xFF, 0xFF, 0xFF, 7, 0, 0, 0}),
            test::ReadBytes(dir.File("r.bin")));
}

TEST(RecordFile, CountIgnoresATrailingPartialRecordAndReadingItFails) {
  TempDir dir;
  test::WriteBytes(dir.File("p.bin"), Bytes{1, 0, 0, 0, 2, 0, 0});
  RecordFile f(4);
  f.OpenExisting(dir.File("p.bin"));
  EXPECT_EQ(1, f.RecordCount());
  f.Seek(1);
  uint32_t v = 0;
  EXPECT_EQ(io_error::kReadBeyondEnd, IoCode([&] { f.Read(&v); }));
}

TEST(RecordFile, OpenFailuresCarryTheSystemCode) {
  TempDir dir;
  RecordFile f(4);
  EXPECT_EQ(io_error::kFileNotFound, IoCode([&] { f.OpenExisting(dir.File("missing.ind")); }));
  EXPECT_EQ(io_error::kInvalidFilename,
            IoCode([&] { f.OpenExisting(dir.File("no-such-folder\\x.ind")); }));
  EXPECT_EQ(io_error::kInvalidFilename,
            IoCode([&] { f.Create(dir.File("no-such-folder\\x.ind")); }));
  test::WriteBytes(dir.File("ro.ind"), Bytes(8, 0));
  SetFileAttributesA(dir.File("ro.ind").c_str(), FILE_ATTRIBUTE_READONLY);
  EXPECT_EQ(io_error::kAccessDenied, IoCode([&] { f.OpenExisting(dir.File("ro.ind")); }));
  EXPECT_EQ(io_error::kAccessDenied, IoCode([&] { f.Create(dir.File("ro.ind")); }));
  EXPECT_EQ(0, IoCode([&] { f.OpenExisting(dir.File("ro.ind"), RecordFile::Access::Read); }));
}

TEST(RecordFile, AnOpenFileSharesReadingAndWriting) {
  TempDir dir;
  RecordFile a(4), b(4);
  a.Create(dir.File("s.ind"));
  uint32_t one = 1;
  a.Write(&one);
  b.Create(dir.File("s.ind"));  // replacing it while `a` holds it open
  uint32_t two[] = {2, 3};
  b.Write(two, 2);
  EXPECT_EQ(2, a.RecordCount());
}

TEST(FileStream, MissingFileNamesTheFullPathAndTheSystemText) {
  TempDir dir;
  std::string path = dir.File("gone.dat");
  try {
    FileStream::OpenRead(path);
    FAIL() << "no error";
  } catch (const EFOpenError& e) {
    std::string want = "Cannot open file \"" + ExpandFileName(path) + "\". " + SysErrorMessage(2);
    EXPECT_EQ(want, e.what());
    EXPECT_NE('.', want.back());
  }
}

TEST(FileStream, DenyWriteKeepsWritersOutButLetsReadersIn) {
  TempDir dir;
  test::WriteBytes(dir.File("d.dat"), Bytes{1, 2, 3});
  FileStream s = FileStream::OpenRead(dir.File("d.dat"));
  HANDLE writer =
      CreateFileA(dir.File("d.dat").c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                  nullptr, OPEN_EXISTING, 0, nullptr);
  EXPECT_EQ(INVALID_HANDLE_VALUE, writer);
  if (writer != INVALID_HANDLE_VALUE)
    CloseHandle(writer);
  FileStream second = FileStream::OpenRead(dir.File("d.dat"));
  uint8_t buf[8];
  second.Seek(1);
  EXPECT_EQ(2u, second.Read(buf, 8));
  EXPECT_EQ(3, second.Size());
  s.Seek(10);
  EXPECT_EQ(0u, s.Read(buf, 8));
}

}  // namespace
}  // namespace lexmora
