// Figures for the dictionary store: index build throughput against a plain read of the same
// file, sorted build times, and word search times. Generates its dictionaries in a temporary
// folder and removes them at the end.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <random>
#include <stdexcept>
#include <string>
#include <vector>

#include "base/FileIO.h"
#include "base/Handle.h"
#include "store/ADictU.h"

namespace lexmora {
namespace {

constexpr wchar_t kSep = 0x00B7;
constexpr int64_t kLargeFileBytes = 210LL * 1024 * 1024;
constexpr int kRepeats = 3;
constexpr int kLookups = 20000;
constexpr wchar_t kTitle[] = L"\uFEFFBenchmark dictionary\r\n";

double Now() {
  static LARGE_INTEGER frequency = [] {
    LARGE_INTEGER f;
    QueryPerformanceFrequency(&f);
    return f;
  }();
  LARGE_INTEGER t;
  QueryPerformanceCounter(&t);
  return static_cast<double>(t.QuadPart) / static_cast<double>(frequency.QuadPart);
}

// A scratch folder, removed with everything in it at the end.
class ScratchFolder {
 public:
  ScratchFolder() {
    char base[MAX_PATH];
    GetTempPathA(MAX_PATH, base);
    path_ = std::string(base) + "lexmora-bench-" + std::to_string(GetCurrentProcessId());
    if (!CreateDirectoryA(path_.c_str(), nullptr))
      throw std::runtime_error("cannot create " + path_);
    path_ += "\\";
  }
  ~ScratchFolder() {
    WIN32_FIND_DATAA fd;
    HANDLE h = FindFirstFileA((path_ + "*").c_str(), &fd);
    if (h != INVALID_HANDLE_VALUE) {
      do {
        DeleteFileA((path_ + fd.cFileName).c_str());
      } while (FindNextFileA(h, &fd));
      FindClose(h);
    }
    RemoveDirectoryA(path_.c_str());
  }
  std::string File(const std::string& name) const { return path_ + name; }

 private:
  std::string path_;
};

// Writes UTF-16 text to a new file in large pieces.
class TextWriter {
 public:
  explicit TextWriter(const std::string& path)
      : file_(CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                          FILE_ATTRIBUTE_NORMAL, nullptr)) {
    if (!file_)
      throw std::runtime_error("cannot create " + path);
  }
  // Writes what is still pending; a writer dropped without Finish loses it.
  void Finish() { Flush(); }
  void Append(const std::wstring& text) {
    pending_ += text;
    written_ += static_cast<int64_t>(text.size()) * 2;
    if (pending_.size() >= (1u << 19))
      Flush();
  }
  int64_t Bytes() const { return written_; }

 private:
  void Flush() {
    DWORD put = 0;
    const auto bytes = static_cast<DWORD>(pending_.size() * 2);
    if (!WriteFile(file_.Get(), pending_.data(), bytes, &put, nullptr) || put != bytes) {
      throw std::runtime_error("write failed");
    }
    pending_.clear();
  }
  FileHandle file_;
  std::wstring pending_;
  int64_t written_ = 0;
};

// A word of plain letters for number n, `letters` long; ascending n gives ascending words.
std::wstring Word(uint32_t n, int letters) {
  std::wstring w(static_cast<size_t>(letters), L'a');
  for (int k = letters - 1; k >= 0; --k, n /= 26)
    w[static_cast<size_t>(k)] = L'a' + n % 26;
  return w;
}

std::wstring Entry(const std::wstring& word, uint32_t n) {
  return std::wstring(1, kSep) + word + L" [" + word.substr(0, 3) + L"] n. meaning number " +
         std::to_wstring(n) + L"; see also " + word.substr(1) + L"\r\n";
}

// Dictionary of `count` entries whose words ascend in file order, or come in random order.
std::vector<std::wstring> WriteDictionary(const std::string& path, uint32_t count, bool shuffled,
                                          std::mt19937& rng) {
  std::vector<uint32_t> order(count);
  for (uint32_t k = 0; k < count; ++k)
    order[k] = k;
  if (shuffled)
    std::shuffle(order.begin(), order.end(), rng);
  std::vector<std::wstring> words;
  words.reserve(count);
  TextWriter out(path);
  out.Append(kTitle);
  for (uint32_t n : order) {
    words.push_back(Word(n, 6));
    out.Append(Entry(words.back(), n));
  }
  out.Finish();
  return words;
}

double PlainRead(const std::string& path) {
  const double start = Now();
  FileStream data = FileStream::OpenRead(path);
  std::vector<char> buffer(32768);
  volatile uint32_t sink = 0;
  for (;;) {
    uint32_t got = data.Read(buffer.data(), 32768);
    if (got > 0)
      sink = sink + static_cast<uint8_t>(buffer[got - 1]);
    if (got != 32768)
      break;
  }
  return Now() - start;
}

struct BuildTimes {
  double scan = 0, write = 0;
  double Total() const { return scan + write; }
};

BuildTimes BuildIndex(const std::string& dat, const std::string& ind, bool doSort,
                      size_t* entries) {
  BuildTimes t;
  double start = Now();
  TIndexList list;
  FILETIME time{};
  ScanEntries(dat, doSort, list, time, nullptr);
  t.scan = Now() - start;
  start = Now();
  WriteIndexFile(ind, list, time);
  t.write = Now() - start;
  if (entries != nullptr)
    *entries = list.size();
  return t;
}

double MeanFindWordSeconds(TADict& dict, const std::vector<std::wstring>& words,
                           std::mt19937& rng) {
  std::vector<std::wstring> probes;
  for (int k = 0; k < kLookups; ++k) {
    const std::wstring& w = words[rng() % words.size()];
    probes.push_back(w.substr(0, 1 + rng() % w.size()));
  }
  volatile int32_t sink = 0;
  const double start = Now();
  for (const auto& probe : probes)
    sink = sink + dict.FindWord(probe);
  return (Now() - start) / kLookups;
}

void Row(const char* measure, const std::string& value) {
  std::printf("| %-52s | %-48s |\n", measure, value.c_str());
  std::fflush(stdout);
}

std::string Fixed(double v, int decimals) {
  char buf[64];
  std::snprintf(buf, sizeof buf, "%.*f", decimals, v);
  return buf;
}

void Run() {
  ScratchFolder folder;
  std::mt19937 rng(2024);
  std::printf("| %-52s | %-48s |\n|%s|%s|\n", "measure", "result", std::string(54, '-').c_str(),
              std::string(50, '-').c_str());

  // Unsorted build against a plain read, alternating, best of each.
  {
    const std::string dat = folder.File("large.dat"), ind = folder.File("large.ind");
    int64_t bytes = 0;
    {
      TextWriter out(dat);
      out.Append(kTitle);
      for (uint32_t n = 0; out.Bytes() < kLargeFileBytes; ++n)
        out.Append(Entry(Word(n, 7), n));
      out.Finish();
      bytes = out.Bytes();
    }
    PlainRead(dat);  // warm the cache
    double read = 1e9, build = 1e9, write = 0;
    size_t entries = 0;
    for (int r = 0; r < kRepeats; ++r) {
      read = std::min(read, PlainRead(dat));
      BuildTimes t = BuildIndex(dat, ind, false, &entries);
      if (t.Total() < build) {
        build = t.Total();
        write = t.write;
      }
    }
    const double mb = static_cast<double>(bytes) / (1024.0 * 1024.0);
    Row("dictionary file for the build",
        Fixed(mb, 1) + " MiB, " + std::to_string(entries) + " entries");
    Row("plain sequential read, 32 KB blocks",
        Fixed(mb / read, 0) + " MiB/s (" + Fixed(read * 1000, 0) + " ms)");
    Row("unsorted index build (scan + write)", Fixed(mb / build, 0) + " MiB/s (" +
                                                   Fixed(build * 1000, 0) + " ms, write " +
                                                   Fixed(write * 1000, 0) + " ms)");
    Row("build throughput / read throughput", Fixed(read / build, 2));
    DeleteFileA(dat.c_str());
    DeleteFileA(ind.c_str());
  }

  // Sorted builds of entries in random order.
  for (uint32_t count : {10000u, 100000u}) {
    const std::string dat = folder.File("sorted.dat"), ind = folder.File("sorted.ind");
    WriteDictionary(dat, count, true, rng);
    const double seconds = BuildIndex(dat, ind, true, nullptr).Total();
    Row(count == 10000 ? "sorted build, 10 000 entries in random order"
                       : "sorted build, 100 000 entries in random order",
        Fixed(seconds, 2) + " s");
    DeleteFileA(dat.c_str());
    DeleteFileA(ind.c_str());
  }

  // Word search on a million entries.
  {
    const std::string dat = folder.File("million.dat"), ind = folder.File("million.ind");
    std::vector<std::wstring> words = WriteDictionary(dat, 1000000, false, rng);
    for (bool onDisk : {false, true}) {
      TADict dict(dat, ind, false, onDisk, false);
      const double mean = MeanFindWordSeconds(dict, words, rng);
      Row(onDisk ? "FindWord, 1 000 000 entries, index on disk"
                 : "FindWord, 1 000 000 entries, index in memory",
          Fixed(mean * 1e6, 1) + " us mean over " + std::to_string(kLookups) + " lookups");
    }
  }
}

}  // namespace
}  // namespace lexmora

int main() {
  try {
    lexmora::Run();
    return 0;
  } catch (const std::exception& e) {
    std::fprintf(stderr, "benchmark failed: %s\n", e.what());
    return 1;
  }
}
