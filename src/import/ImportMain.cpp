// lexmora-import: turns dictd, StarDict and tab-separated dictionaries into a Lexmora dictionary.
#include <windows.h>
// after windows.h
#include <shellapi.h>

#include <cstdio>
#include <string>
#include <vector>

#include "base/Text.h"
#include "import/Import.h"

namespace {

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
        std::printf("%s...\n", stage.c_str());
    }
    if (console_ && percent != percent_) {
      percent_ = percent;
      if (percent >= 0)
        std::printf("\r%s... %d%%", stage.c_str(), percent);
      else
        std::printf("\r%s...", stage.c_str());
      open_ = true;
    }
    std::fflush(stdout);
  }
  void End() {
    if (open_)
      std::printf("\n");
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
      std::fputs(kUsage, stdout);
      return 0;
    }
    if (a == L"-o" || a == L"--output" || a == L"--title") {
      if (i + 1 >= args.size()) {
        std::fprintf(stderr, "lexmora-import: %s needs a value\n\n%s", lexmora::ToAnsi(a).c_str(),
                     kUsage);
        return 2;
      }
      if (a == L"--title") {
        options.title = args[++i];
      } else {
        if (outputGiven) {
          std::fprintf(stderr, "lexmora-import: only one output file can be given\n");
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
      std::fprintf(stderr, "lexmora-import: unknown option %s\n\n%s", lexmora::ToAnsi(a).c_str(),
                   kUsage);
      return 2;
    } else {
      options.sources.push_back(a);
    }
  }
  if (options.sources.empty() || !outputGiven) {
    std::fprintf(stderr, "lexmora-import: %s\n\n%s",
                 options.sources.empty() ? "no source given" : "no output given (-o NAME.dat)",
                 kUsage);
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
      std::printf("Note: %s\n", note.c_str());
    std::printf("%lld entries written to %s (\"%s\"; %lld read, %lld merged by headword)\n",
                static_cast<long long>(result.entriesWritten),
                lexmora::ToAnsi(options.output).c_str(), lexmora::ToAnsi(result.title).c_str(),
                static_cast<long long>(result.entriesRead),
                static_cast<long long>(result.entriesMerged));
    return 0;
  } catch (const std::exception& e) {
    progress.End();
    std::fflush(stdout);
    std::fprintf(stderr, "lexmora-import: %s\n", e.what());
    return 1;
  }
}

}  // namespace

int main() {
  int argc = 0;
  LPWSTR* argv = CommandLineToArgvW(GetCommandLineW(), &argc);
  if (argv == nullptr) {
    std::fprintf(stderr, "lexmora-import: cannot read the command line\n");
    return 2;
  }
  std::vector<std::wstring> args(argv + 1, argv + argc);
  LocalFree(argv);
  return Run(args);
}
