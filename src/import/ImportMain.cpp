// lexmora-import: turns dictd, StarDict and tab-separated dictionaries into a Lexmora dictionary.
// File names come from the wide command line and go out as they are: to a console in UTF-16, to a
// file or pipe in UTF-8 (the console's code page would lose what it cannot spell).
#include <windows.h>
// after windows.h
#include <shellapi.h>

#include <string>
#include <vector>

#include "base/Errors.h"
#include "base/Text.h"
#include "import/Import.h"

namespace {

using lexmora::FromUtf8;
using lexmora::ToUtf8;

// Writes UTF-8 text to standard output or standard error, unbuffered.
void Write(DWORD stream, const std::string& utf8) {
  const HANDLE out = GetStdHandle(stream);
  if (out == nullptr || out == INVALID_HANDLE_VALUE || utf8.empty())
    return;
  DWORD mode = 0;
  if (GetFileType(out) == FILE_TYPE_CHAR && GetConsoleMode(out, &mode)) {
    const std::wstring text = FromUtf8(utf8);
    DWORD written = 0;
    WriteConsoleW(out, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
    return;
  }
  DWORD written = 0;
  WriteFile(out, utf8.data(), static_cast<DWORD>(utf8.size()), &written, nullptr);
}

void Print(const std::string& utf8) {
  Write(STD_OUTPUT_HANDLE, utf8);
}

void PrintError(const std::string& utf8) {
  Write(STD_ERROR_HANDLE, utf8);
}

constexpr char kUsage[] =
    "usage: lexmora-import SOURCE... -o Dictionaries\\NAME.dat [--sort|--keep-order] "
    "[--title TEXT]\n"
    "\n"
    "SOURCE is any file of a dictionary:\n"
    "  dictd      NAME.index with NAME.dict or NAME.dict.dz\n"
    "  StarDict   NAME.ifo with NAME.idx[.gz], NAME.dict[.dz] and an optional NAME.syn\n"
    "  text       lines of headword<TAB>meaning in UTF-8; \\n in a meaning breaks the line\n"
    "Several sources are merged into one dictionary.\n"
    "  -o FILE       the dictionary to write (its index is written beside it)\n"
    "  --sort        order the entries for Lexmora's search (the default)\n"
    "  --keep-order  keep the order of the sources (they must be in search order already)\n"
    "  --title TEXT  the dictionary's title (default: the source's own)\n";

// Shows how far the import has got on one line that is rewritten in place, when the output is
// a console; a redirected output gets only the stages.
class ProgressLine {
 public:
  ProgressLine() : console_(GetFileType(GetStdHandle(STD_OUTPUT_HANDLE)) == FILE_TYPE_CHAR) {}

  void Show(const std::string& stage, int64_t done, int64_t total) {
    const int percent = total > 0 ? static_cast<int>(done * 100 / total) : -1;
    if (stage != stage_) {
      End();
      stage_ = stage;
      percent_ = -2;
      if (!console_)
        Print(stage + "...\n");
    }
    if (console_ && percent != percent_) {
      percent_ = percent;
      std::string line = "\r" + stage + "...";
      if (percent >= 0)
        line.append(" ").append(std::to_string(percent)).append("%");
      Print(line);
      open_ = true;
    }
  }
  void End() {
    if (open_)
      Print("\n");
    open_ = false;
  }

 private:
  bool console_;
  bool open_ = false;
  std::string stage_;
  int percent_ = -2;
};

int Run(const std::vector<std::wstring>& args) {
  lexmora::import::ImportOptions options;
  bool outputGiven = false;
  for (size_t i = 0; i < args.size(); ++i) {
    const std::wstring& a = args[i];
    if (a == L"-h" || a == L"--help" || a == L"/?") {
      Print(kUsage);
      return 0;
    }
    if (a == L"-o" || a == L"--output" || a == L"--title") {
      if (i + 1 >= args.size()) {
        PrintError("lexmora-import: " + ToUtf8(a) + " needs a value\n\n" + kUsage);
        return 2;
      }
      if (a == L"--title") {
        options.title = args[++i];
      } else {
        if (outputGiven) {
          PrintError("lexmora-import: only one output file can be given\n");
          return 2;
        }
        options.output = args[++i];
        outputGiven = true;
      }
    } else if (a == L"--sort") {
      options.sort = true;
    } else if (a == L"--keep-order") {
      options.sort = false;
    } else if (a.size() > 1 && a[0] == L'-') {
      PrintError("lexmora-import: unknown option " + ToUtf8(a) + "\n\n" + kUsage);
      return 2;
    } else {
      options.sources.push_back(a);
    }
  }
  if (options.sources.empty() || !outputGiven) {
    PrintError(std::string("lexmora-import: ") +
               (options.sources.empty() ? "no source given" : "no output given (-o NAME.dat)") +
               "\n\n" + kUsage);
    return 2;
  }

  ProgressLine progress;
  options.progress = [&](const std::string& stage, int64_t done, int64_t total) {
    progress.Show(stage, done, total);
  };
  try {
    const lexmora::import::ImportResult result = lexmora::import::ImportDictionary(options);
    progress.End();
    for (const std::string& note : result.notes)
      Print("Note: " + note + "\n");
    Print(std::to_string(result.entriesWritten) + " entries written to " + ToUtf8(options.output) +
          " (\"" + ToUtf8(result.title) + "\"; " + std::to_string(result.entriesRead) + " read, " +
          std::to_string(result.entriesMerged) + " merged by headword)\n");
    return 0;
  } catch (const std::exception& e) {
    progress.End();
    PrintError("lexmora-import: " + ToUtf8(lexmora::WideMessageOf(e)) + "\n");
    return 1;
  }
}

}  // namespace

int main() {
  int argc = 0;
  LPWSTR* argv = CommandLineToArgvW(GetCommandLineW(), &argc);
  if (argv == nullptr) {
    PrintError("lexmora-import: cannot read the command line\n");
    return 2;
  }
  std::vector<std::wstring> args(argv + 1, argv + argc);
  LocalFree(argv);
  return Run(args);
}
