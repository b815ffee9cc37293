// lexmora-import.exe run as a user runs it: arguments, exit codes and what it prints.
#include <gtest/gtest.h>
#include <windows.h>

#include "ImportTestSupport.h"
#include "TestFiles.h"
#include "base/Handle.h"
#include "store/ADictU.h"

namespace lexmora::test {
namespace {

struct ProgramRun {
  DWORD exitCode = 0;
  std::string out;
  std::string err;
};

// Runs the staged program in `dir` with `arguments`; its output and errors go to files of a
// folder of their own, new ones for each run (the console host may hold the last ones a while).
ProgramRun RunImporter(const TempDir& dir, const std::string& arguments) {
  static TempDir outputs;
  static int runs = 0;
  const std::string prefix = std::to_string(++runs);
  char full[MAX_PATH];
  GetFullPathNameA(LEXMORA_STAGED_FOLDER "\\lexmora-import.exe", MAX_PATH, full, nullptr);
  SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
  auto open = [&](const std::string& name) {
    return FileHandle(CreateFileA(outputs.File(prefix + name).c_str(), GENERIC_WRITE,
                                  FILE_SHARE_READ, &inherit, CREATE_ALWAYS, 0, nullptr));
  };
  FileHandle out = open("stdout.txt"), err = open("stderr.txt");
  STARTUPINFOA si{};
  si.cb = sizeof si;
  si.dwFlags = STARTF_USESTDHANDLES;
  si.hStdOutput = out.Get();
  si.hStdError = err.Get();
  si.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
  PROCESS_INFORMATION pi{};
  std::string commandLine = "\"" + std::string(full) + "\" " + arguments;
  if (!CreateProcessA(full, commandLine.data(), nullptr, nullptr, TRUE, CREATE_NO_WINDOW, nullptr,
                      dir.Path().c_str(), &si, &pi))
    throw std::runtime_error("cannot start " + std::string(full));
  KernelHandle process(pi.hProcess), thread(pi.hThread);
  EXPECT_EQ(WaitForSingleObject(process.Get(), 60000), WAIT_OBJECT_0);
  ProgramRun run;
  GetExitCodeProcess(process.Get(), &run.exitCode);
  out.Reset();
  err.Reset();
  run.out = ReadFile(outputs.File(prefix + "stdout.txt"));
  run.err = ReadFile(outputs.File(prefix + "stderr.txt"));
  return run;
}

TEST(ImportProgram, ImportsADictdDictionaryWithOneCommand) {
  TempDir dir;
  CreateDirectoryA(dir.File("Dictionaries").c_str(), nullptr);
  WriteDictd(dir.File("fd-eng-bul"),
             {{"00-database-short", "00-database-short\n   English-Bulgarian\n"},
              {"cat", "cat\n   \xD0\xBA\xD0\xBE\xD1\x82\xD0\xBA\xD0\xB0\n"},
              {"dog", "dog\n   \xD0\xBA\xD1\x83\xD1\x87\xD0\xB5\n"}},
             true);
  const ProgramRun run = RunImporter(dir, "fd-eng-bul.index -o Dictionaries\\eng-bul.dat");
  EXPECT_EQ(run.exitCode, 0u) << run.err;
  EXPECT_NE(run.out.find("2 entries written to Dictionaries\\eng-bul.dat (\"English-Bulgarian\""),
            std::string::npos)
      << run.out;
  TADict dict(dir.File("Dictionaries\\eng-bul.dat"), dir.File("Dictionaries\\eng-bul.ind"), false,
              false, false);
  EXPECT_EQ(dict.ReadEntry(dict.FindWord(L"dog"), -1), L"dog\r\n\u043A\u0443\u0447\u0435");
}

TEST(ImportProgram, ReportsUsageAndSourceErrors) {
  TempDir dir;
  WriteFile(dir.File("list.txt"), "a\tA\nno tab here\n");
  struct Case {
    const char* arguments;
    DWORD exitCode;
    std::string errorStart;
  };
  const Case cases[] = {
      {"list.txt", 2, "lexmora-import: no output given (-o NAME.dat)"},
      {"-o x.dat", 2, "lexmora-import: no source given"},
      {"list.txt -o x.dat --bogus", 2, "lexmora-import: unknown option --bogus"},
      {"list.txt -o", 2, "lexmora-import: -o needs a value"},
      {"list.txt -o x.dat --title \"My words\"", 1,
       "lexmora-import: list.txt, line 2: no tab between the headword and the meaning"},
  };
  for (const Case& c : cases) {
    const ProgramRun run = RunImporter(dir, c.arguments);
    EXPECT_EQ(run.exitCode, c.exitCode) << c.arguments;
    EXPECT_EQ(run.err.substr(0, c.errorStart.size()), c.errorStart) << c.arguments;
    EXPECT_EQ(FilesIn(dir.Path()), std::vector<std::string>{"list.txt"}) << c.arguments;
  }
}

}  // namespace
}  // namespace lexmora::test
