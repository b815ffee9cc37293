#pragma once
// What the benchmark programs share: a scratch folder, a child copy of the running benchmark
// that reports in a file, and the rows of their tables of figures.
#include <windows.h>

#include <cstdint>
#include <cstdio>
#include <initializer_list>
#include <stdexcept>
#include <string>

#include "base/Handle.h"

namespace lexmora {

// A folder in the temporary folder named `prefix` and this process's id, removed with the
// files in it at the end. Throws std::runtime_error when it cannot be created.
class ScratchFolder {
 public:
  explicit ScratchFolder(const std::string& prefix) {
    char base[MAX_PATH];
    GetTempPathA(MAX_PATH, base);
    path_ = std::string(base) + prefix + std::to_string(GetCurrentProcessId());
    if (!CreateDirectoryA(path_.c_str(), nullptr))
      throw std::runtime_error("cannot create " + path_);
    path_ += "\\";
  }
  ~ScratchFolder() {
    WIN32_FIND_DATAA fd;
    FindHandle h(FindFirstFileA((path_ + "*").c_str(), &fd));
    if (h) {
      do {
        DeleteFileA((path_ + fd.cFileName).c_str());
      } while (FindNextFileA(h.Get(), &fd));
    }
    h.Reset();
    RemoveDirectoryA(path_.c_str());
  }
  ScratchFolder(const ScratchFolder&) = delete;
  ScratchFolder& operator=(const ScratchFolder&) = delete;
  std::string File(const std::string& name) const { return path_ + name; }

 private:
  std::string path_;
};

// Runs this program again as `"exe" option "path"... "report"`, waits for it to end, and returns
// the text of the report file it wrote, which is then removed. Throws std::runtime_error naming
// `what` when the child cannot start, fails or writes no report.
inline std::string RunChild(const std::string& what, const std::string& option,
                            std::initializer_list<std::string> paths, const std::string& report) {
  char exe[MAX_PATH];
  GetModuleFileNameA(nullptr, exe, MAX_PATH);
  std::string command = std::string("\"") + exe + "\" " + option;
  for (const std::string& path : paths)
    command += " \"" + path + "\"";
  command += " \"" + report + "\"";
  STARTUPINFOA si{};
  si.cb = sizeof si;
  PROCESS_INFORMATION pi{};
  if (!CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si,
                      &pi)) {
    throw std::runtime_error("cannot start " + what);
  }
  WaitForSingleObject(pi.hProcess, INFINITE);
  DWORD code = 1;
  GetExitCodeProcess(pi.hProcess, &code);
  CloseHandle(pi.hThread);
  CloseHandle(pi.hProcess);
  std::string text;
  FILE* in = std::fopen(report.c_str(), "r");
  const bool written = in != nullptr;
  if (written) {
    char buffer[512];
    for (size_t got; (got = std::fread(buffer, 1, sizeof buffer, in)) > 0;)
      text.append(buffer, got);
    std::fclose(in);
  }
  DeleteFileA(report.c_str());
  if (code != 0 || !written)
    throw std::runtime_error(what + " failed");
  return text;
}

inline double Mb(double bytes) {
  return bytes / (1024.0 * 1024.0);
}

// The size of a file; 0 when it cannot be read.
inline uint64_t FileBytes(const std::string& path) {
  WIN32_FILE_ATTRIBUTE_DATA info;
  if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &info))
    return 0;
  return (static_cast<uint64_t>(info.nFileSizeHigh) << 32) | info.nFileSizeLow;
}

// One row of a table of figures, printed at once.
inline void Row(const std::string& measure, const std::string& value, const std::string& target) {
  std::printf("| %s | %s | %s |\n", measure.c_str(), value.c_str(), target.c_str());
  std::fflush(stdout);
}

inline std::string Fixed(double v, int decimals) {
  char buf[64];
  std::snprintf(buf, sizeof buf, "%.*f", decimals, v);
  return buf;
}

}  // namespace lexmora
