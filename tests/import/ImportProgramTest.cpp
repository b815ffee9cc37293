// lexmora-import.exe run as a user runs it: arguments, exit codes and what it prints.
#include <gtest/gtest.h>
#include <windows.h>

#include <functional>
#include <map>

#include "ImportTestSupport.h"
#include "TestFiles.h"
#include "base/Handle.h"
#include "base/Text.h"
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
// `whileRunning`, when given, is called with the process as soon as it has started.
ProgramRun RunImporter(const TempDir& dir, const std::wstring& arguments,
                       const std::function<void(HANDLE process)>& whileRunning = nullptr) {
  static TempDir outputs;
  static int runs = 0;
  const std::string prefix = std::to_string(++runs);
  wchar_t full[MAX_PATH];
  GetFullPathNameW(ToWide(LEXMORA_STAGED_FOLDER "\\lexmora-import.exe").c_str(), MAX_PATH, full,
                   nullptr);
  SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
  auto open = [&](const std::string& name) {
    return FileHandle(CreateFileA(outputs.File(prefix + name).c_str(), GENERIC_WRITE,
                                  FILE_SHARE_READ, &inherit, CREATE_ALWAYS, 0, nullptr));
  };
  FileHandle out = open("stdout.txt"), err = open("stderr.txt");
  STARTUPINFOW si{};
  si.cb = sizeof si;
  si.dwFlags = STARTF_USESTDHANDLES;
  si.hStdOutput = out.Get();
  si.hStdError = err.Get();
  si.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
  PROCESS_INFORMATION pi{};
  std::wstring commandLine = L"\"" + std::wstring(full) + L"\" " + arguments;
  if (!CreateProcessW(full, commandLine.data(), nullptr, nullptr, TRUE, CREATE_NO_WINDOW, nullptr,
                      ToWide(dir.Path()).c_str(), &si, &pi))
    throw std::runtime_error("cannot start " + ToAnsi(full));
  KernelHandle process(pi.hProcess), thread(pi.hThread);
  if (whileRunning)
    whileRunning(process.Get());
  EXPECT_EQ(WaitForSingleObject(process.Get(), 60000), WAIT_OBJECT_0);
  ProgramRun run;
  GetExitCodeProcess(process.Get(), &run.exitCode);
  out.Reset();
  err.Reset();
  run.out = ReadFile(outputs.File(prefix + "stdout.txt"));
  run.err = ReadFile(outputs.File(prefix + "stderr.txt"));
  return run;
}

ProgramRun RunImporter(const TempDir& dir, const std::string& arguments) {
  return RunImporter(dir, ToWide(arguments));
}

// Every file of a folder, by name, with its contents and attributes.
std::map<std::wstring, std::pair<std::string, DWORD>> FolderState(const TempDir& dir) {
  std::map<std::wstring, std::pair<std::string, DWORD>> state;
  const std::wstring folder = ToWide(dir.Path());
  WIN32_FIND_DATAW fd;
  FindHandle find(FindFirstFileW((folder + L"*").c_str(), &fd));
  for (bool more = find.Valid(); more; more = FindNextFileW(find.Get(), &fd)) {
    const std::wstring name = fd.cFileName;
    if (name == L"." || name == L"..")
      continue;
    std::string bytes;
    FileHandle file(CreateFileW((folder + name).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    char buffer[4096];
    DWORD got = 0;
    while (!(fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) &&
           ::ReadFile(file.Get(), buffer, sizeof buffer, &got, nullptr) && got > 0)
      bytes.append(buffer, got);
    state[name] = {bytes, fd.dwFileAttributes};
  }
  return state;
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

// An output that must not be replaced is refused before any source is read, and the folder is
// left exactly as it was: the same files, contents and attributes.
TEST(ImportProgram, RefusesOutputsItMustNotReplaceBeforeReading) {
  auto readOnly = [](const TempDir& dir, const char* name) {
    WriteFile(dir.File(name), "earlier");
    SetFileAttributesA(dir.File(name).c_str(), FILE_ATTRIBUTE_READONLY);
  };
  auto full = [](const TempDir& dir) { return ToWide(dir.Path()); };
  struct Case {
    const char* name;
    std::function<void(const TempDir&)> setUp;  // besides list.txt
    std::function<std::wstring(const TempDir&)> arguments;
    std::string wantedError;
  };
  const Case cases[] = {
      {"read-only output", [&](const TempDir& d) { readOnly(d, "out.dat"); },
       [](const TempDir&) { return std::wstring(L"list.txt -o out.dat"); }, "is read-only"},
      {"read-only index beside the output", [&](const TempDir& d) { readOnly(d, "out.ind"); },
       [](const TempDir&) { return std::wstring(L"list.txt -o out.dat"); }, "is read-only"},
      {"output is the source through \\\\?\\",
       [](const TempDir& d) { WriteFile(d.File("words.dat"), "w\tW\n"); },
       [&](const TempDir& d) { return L"words.dat -o \\\\?\\" + full(d) + L"words.dat"; },
       "is one of the sources"},
      {"output is the source in another case",
       [](const TempDir& d) {
         FileHandle f(
             CreateFileW((ToWide(d.Path()) + L"\u0421\u043B\u043E\u0432\u0430.dat").c_str(),
                         GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr));
         DWORD written = 0;
         ::WriteFile(f.Get(), "w\tW\n", 4, &written, nullptr);
       },
       [](const TempDir&) {
         return std::wstring(
             L"\u0421\u043B\u043E\u0432\u0430.dat -o \u0441\u043B\u043E\u0432\u0430.dat");
       },
       "is one of the sources"},
      {"the index beside the output is a source",
       [](const TempDir& d) { WriteFile(d.File("out.ind"), "w\tW\n"); },
       [](const TempDir&) { return std::wstring(L"out.ind -o out.dat"); }, "is one of the sources"},
      {"output folder missing", [](const TempDir&) {},
       [](const TempDir&) { return std::wstring(L"list.txt -o missing\\out.dat"); },
       "does not exist"},
      {"output is a folder",
       [](const TempDir& d) { CreateDirectoryA(d.File("out.dat").c_str(), nullptr); },
       [](const TempDir&) { return std::wstring(L"list.txt -o out.dat"); }, "is a folder"},
  };
  for (const Case& c : cases) {
    TempDir dir;
    WriteFile(dir.File("list.txt"), "a\tA\nb\tB\n");
    c.setUp(dir);
    const auto before = FolderState(dir);
    const ProgramRun run = RunImporter(dir, c.arguments(dir));
    EXPECT_EQ(run.exitCode, 1u) << c.name << ": " << run.out;
    EXPECT_NE(run.err.find(c.wantedError), std::string::npos) << c.name << ": " << run.err;
    EXPECT_EQ(run.out.find("Reading"), std::string::npos) << c.name << ": " << run.out;
    EXPECT_TRUE(FolderState(dir) == before) << c.name;
  }
}

// An import killed while it writes leaves its temporary file; the next import into that folder
// removes it, and leaves alone other files of the folder and the temporary of an import still
// running.
TEST(ImportProgram, RemovesTheTemporaryFileOfAKilledImportAndNoOther) {
  TempDir dir;
  std::string lines;
  for (int i = 0; i < 200000; ++i)
    lines +=
        "word" + std::to_string(i) + "\tmeaning of the word number " + std::to_string(i) + "\n";
  WriteFile(dir.File("big.txt"), lines);
  WriteFile(dir.File("small.txt"), "a\tA\n");
  auto temporaries = [&] {
    std::vector<std::string> found;
    for (const std::string& name : FilesIn(dir.Path())) {
      if (name.ends_with(".lexmora-import.tmp"))
        found.push_back(name);
    }
    return found;
  };
  bool killed = false;
  RunImporter(dir, L"big.txt -o big.dat", [&](HANDLE process) {
    for (int k = 0; k < 20000 && temporaries().empty(); ++k)
      Sleep(1);
    killed = TerminateProcess(process, 9) != FALSE;
  });
  ASSERT_TRUE(killed);
  const std::vector<std::string> left = temporaries();
  ASSERT_EQ(left.size(), 1u) << "the killed import left no temporary file";
  EXPECT_EQ(left[0].substr(0, 8), "big.dat.");
  // A file of the pattern that another import holds open, and files of other names.
  const std::string running = dir.File("other.dat.7-7.lexmora-import.tmp");
  FileHandle held(
      CreateFileA(running.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
  ASSERT_TRUE(held);
  WriteFile(dir.File("lxi16de.tmp"), "not ours");
  WriteFile(dir.File("notes.lexmora-import.txt"), "not ours");

  const ProgramRun run = RunImporter(dir, L"small.txt -o small.dat");
  EXPECT_EQ(run.exitCode, 0u) << run.err;
  EXPECT_EQ(temporaries(), std::vector<std::string>{"other.dat.7-7.lexmora-import.tmp"});
  EXPECT_TRUE(FileExists(dir.File("lxi16de.tmp")));
  EXPECT_TRUE(FileExists(dir.File("notes.lexmora-import.txt")));
}

// Names that the system code page cannot spell reach the importer from its wide command line, and
// its messages show them as they are (in UTF-8, as output to a file goes).
TEST(ImportProgram, TakesAndShowsNamesOutsideTheCodePage) {
  TempDir dir;
  const std::wstring folder = L"\u0420\u0435\u0447\u043D\u0438\u043A";  // Речник
  const std::wstring source = L"\u0434\u0443\u043C\u0438.txt";          // думи.txt
  // Речник\български речник.dat
  const std::wstring output = folder +
                              L"\\\u0431\u044A\u043B\u0433\u0430\u0440\u0441\u043A\u0438 "
                              L"\u0440\u0435\u0447\u043D\u0438\u043A.dat";
  ASSERT_TRUE(CreateDirectoryW((ToWide(dir.Path()) + folder).c_str(), nullptr));
  WriteBytes(ToWide(dir.Path()) + source,
             Bytes{'c', 'a', 't', '\t', 'C', '\n', 'd', 'o', 'g', '\t', 'D'});
  struct Case {
    std::wstring arguments;
    DWORD exitCode;
    bool toErrors;
    std::wstring wanted;
  };
  const Case cases[] = {
      {source + L" -o \"" + output + L"\"", 0, false, L"2 entries written to " + output + L" ("},
      {L"\u043D\u044F\u043C\u0430.txt -o out.dat", 1, true,  // няма.txt
       L"lexmora-import: \"\u043D\u044F\u043C\u0430.txt\" does not exist\n"},
      {source + L" -o " + folder + L"\\x\\y.dat", 1, true, folder + L"\\x\\\" does not exist\n"},
  };
  for (const Case& c : cases) {
    const ProgramRun run = RunImporter(dir, c.arguments);
    const std::string& shown = c.toErrors ? run.err : run.out;
    EXPECT_EQ(run.exitCode, c.exitCode) << run.err;
    EXPECT_NE(shown.find(ToUtf8(c.wanted)), std::string::npos)
        << "got \"" << shown << "\", wanted \"" << ToUtf8(c.wanted) << "\" in it";
    EXPECT_EQ(run.out.find("Note:"), std::string::npos) << run.out;
  }
  // The index was written beside the output, under its name.
  const std::wstring dat = ToWide(dir.Path()) + output;
  const std::wstring ind = dat.substr(0, dat.size() - 4) + L".ind";
  EXPECT_NE(GetFileAttributesW(ind.c_str()), INVALID_FILE_ATTRIBUTES);
  TADict dict(dat, ind, false, false, false);
  EXPECT_EQ(dict.ReadEntry(dict.FindWord(L"dog"), -1), L"dog\r\nD");
}

// On a console the messages are written as UTF-16 text, so that they show names the console's
// code page cannot spell.
TEST(ImportProgram, ShowsNamesOnAConsoleAsTheyAre) {
  FreeConsole();
  ASSERT_TRUE(AllocConsole());
  SetConsoleOutputCP(437);
  const std::wstring missing = L"\u043D\u044F\u043C\u0430.txt";  // няма.txt
  wchar_t full[MAX_PATH];
  GetFullPathNameW(ToWide(LEXMORA_STAGED_FOLDER "\\lexmora-import.exe").c_str(), MAX_PATH, full,
                   nullptr);
  std::wstring commandLine = L"\"" + std::wstring(full) + L"\" " + missing + L" -o out.dat";
  STARTUPINFOW si{};
  si.cb = sizeof si;
  PROCESS_INFORMATION pi{};
  ASSERT_TRUE(CreateProcessW(full, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                             &si, &pi));
  KernelHandle process(pi.hProcess), thread(pi.hThread);
  EXPECT_EQ(WaitForSingleObject(process.Get(), 60000), WAIT_OBJECT_0);
  std::wstring screen(80 * 4, L' ');
  DWORD read = 0;
  ReadConsoleOutputCharacterW(GetStdHandle(STD_OUTPUT_HANDLE), screen.data(),
                              static_cast<DWORD>(screen.size()), COORD{0, 0}, &read);
  FreeConsole();
  const std::wstring wanted = L"lexmora-import: \"" + missing + L"\" does not exist";
  EXPECT_NE(screen.find(wanted), std::wstring::npos)
      << "console shows \"" << ToUtf8(screen.substr(0, read)) << "\"";
}

}  // namespace
}  // namespace lexmora::test
