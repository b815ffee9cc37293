// Import figures of lexmora-import, from sources generated in a temporary folder that is removed
// at the end.
//   lexmora_import_bench [COUNT]        time of the library's import of COUNT entries (100 000)
//                                       from each source format: tab-separated text, dictd with
//                                       a dictzip data file, StarDict; best of 3 runs
//   lexmora_import_bench --tab [COUNT]  a tab-separated list of COUNT entries (1 000 000): time
//                                       and peak working set of lexmora-import.exe (beside this
//                                       program or in the build's Lexmora folder) importing it,
//                                       3 runs; then where the time goes,
//                                       stage by stage, in one run of the library, with the
//                                       straightforward sort beside the one used
#include <windows.h>
// after windows.h
#include <psapi.h>
#include <zlib.h>

#include <algorithm>
#include <cstdio>
#include <random>
#include <stdexcept>
#include <string>
#include <vector>

#include "BenchClock.h"
#include "BenchSupport.h"
#include "import/DictionaryWriter.h"
#include "import/EntryTable.h"
#include "import/Import.h"
#include "import/OutputTarget.h"
#include "import/Readers.h"
#include "import/SearchOrder.h"
#include "import/SourceFiles.h"

namespace {

using lexmora::FileBytes;
using lexmora::Mb;
using lexmora::Now;
namespace import = lexmora::import;

std::wstring Wide(const std::string& s) {
  return std::wstring(s.begin(), s.end());
}

void Write(const std::string& path, const std::string& bytes) {
  HANDLE h = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  DWORD written = 0;
  const bool ok = h != INVALID_HANDLE_VALUE &&
                  WriteFile(h, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
                  written == bytes.size();
  if (h != INVALID_HANDLE_VALUE)
    CloseHandle(h);
  if (!ok)
    throw std::runtime_error("cannot write " + path);
}

void PutLe(std::string& s, uint32_t v, int bytes) {
  for (int i = 0; i < bytes; ++i)
    s.push_back(static_cast<char>(v >> (8 * i) & 0xFF));
}
void PutBe32(std::string& s, uint32_t v) {
  for (int shift = 24; shift >= 0; shift -= 8)
    s.push_back(static_cast<char>(v >> shift & 0xFF));
}

// A dictzip file in chunks of 60 000 bytes.
std::string Dictzip(const std::string& data) {
  constexpr uint32_t kChunk = 60000;
  z_stream z{};
  deflateInit2(&z, 6, Z_DEFLATED, -MAX_WBITS, 8, Z_DEFAULT_STRATEGY);
  std::string body;
  std::vector<uint32_t> sizes;
  for (size_t at = 0; at < data.size(); at += kChunk) {
    const size_t n = std::min<size_t>(kChunk, data.size() - at);
    std::string out(deflateBound(&z, n) + 64, '\0');
    z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data.data() + at));
    z.avail_in = static_cast<uInt>(n);
    z.next_out = reinterpret_cast<Bytef*>(out.data());
    z.avail_out = static_cast<uInt>(out.size());
    deflate(&z, at + n >= data.size() ? Z_FINISH : Z_FULL_FLUSH);
    out.resize(out.size() - z.avail_out);
    sizes.push_back(static_cast<uint32_t>(out.size()));
    body += out;
  }
  deflateEnd(&z);
  std::string extra = "RA";
  PutLe(extra, static_cast<uint32_t>(6 + 2 * sizes.size()), 2);
  PutLe(extra, 1, 2);
  PutLe(extra, kChunk, 2);
  PutLe(extra, static_cast<uint32_t>(sizes.size()), 2);
  for (uint32_t s : sizes)
    PutLe(extra, s, 2);
  std::string out = {'\x1F', '\x8B', 8, 0x04, 0, 0, 0, 0, 0, 3};
  PutLe(out, static_cast<uint32_t>(extra.size()), 2);
  out += extra + body;
  PutLe(out, crc32(0, reinterpret_cast<const Bytef*>(data.data()), data.size()), 4);
  PutLe(out, static_cast<uint32_t>(data.size()), 4);
  return out;
}

std::string Base64(uint64_t v) {
  static constexpr char kDigits[] =
      "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
  std::string s;
  do {
    s.insert(s.begin(), kDigits[v % 64]);
    v /= 64;
  } while (v > 0);
  return s;
}

struct Entry {
  std::string word, meaning;
};

// Random Latin and Cyrillic headwords with two-line meanings, in random order.
std::vector<Entry> MakeEntries(int count) {
  std::mt19937 random(20240607);
  const char* cyrillic[] = {"\xD0\xB0", "\xD0\xB1", "\xD0\xB2", "\xD0\xB3", "\xD0\xB4",
                            "\xD0\xB5", "\xD0\xB6", "\xD0\xB7", "\xD0\xB8", "\xD0\xBA",
                            "\xD0\xBB", "\xD0\xBC", "\xD0\xBD", "\xD0\xBE", "\xD0\xBF"};
  std::vector<Entry> entries;
  for (int i = 0; i < count; ++i) {
    std::string word;
    const int length = 3 + static_cast<int>(random() % 9);
    for (int k = 0; k < length; ++k) {
      if (i % 2 == 0)
        word += static_cast<char>('a' + random() % 26);
      else
        word += cyrillic[random() % 15];
    }
    word += std::to_string(i);
    entries.push_back({word, "meaning of " + word + " in a sentence\nsecond line, example " +
                                 std::to_string(random() % 1000)});
  }
  return entries;
}

double TimeImport(const std::vector<std::string>& sources, const std::string& output,
                  long long* written) {
  lexmora::import::ImportOptions options;
  for (const std::string& s : sources)
    options.sources.push_back(Wide(s));
  options.output = Wide(output);
  const double start = Now();
  const lexmora::import::ImportResult result = lexmora::import::ImportDictionary(options);
  *written = result.entriesWritten;
  return Now() - start;
}

// The lines of a tab-separated list of the entries, meaning lines joined by "\\n".
std::string TabList(const std::vector<Entry>& entries) {
  std::string text;
  for (const Entry& e : entries) {
    std::string escaped = e.meaning;
    escaped.replace(escaped.find('\n'), 1, "\\n");
    text += e.word + "\t" + escaped + "\n";
  }
  return text;
}

struct ProgramRun {
  double seconds = 0;
  double peakBytes = 0;
};

// lexmora-import.exe beside this program, or in the staged program folder of its build.
std::string ImporterPath() {
  char exe[MAX_PATH];
  GetModuleFileNameA(nullptr, exe, MAX_PATH);
  const std::string here = std::string(exe).substr(0, std::string(exe).find_last_of('\\') + 1);
  for (const char* relative : {"", "..\\..\\Lexmora\\"}) {
    const std::string candidate = here + relative + "lexmora-import.exe";
    if (GetFileAttributesA(candidate.c_str()) != INVALID_FILE_ATTRIBUTES)
      return candidate;
  }
  throw std::runtime_error("lexmora-import.exe is neither beside " + std::string(exe) +
                           " nor in the build's Lexmora folder");
}

// Runs lexmora-import.exe on `list`, writing `output`; its peak working set is read while it
// runs (the figure only grows) and once more when it has ended.
ProgramRun RunImporter(const std::string& list, const std::string& output) {
  const std::string program = ImporterPath();
  std::string command = "\"" + program + "\" \"" + list + "\" -o \"" + output + "\"";
  SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
  HANDLE nul = CreateFileA("NUL", GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit,
                           OPEN_EXISTING, 0, nullptr);
  STARTUPINFOA si{};
  si.cb = sizeof si;
  si.dwFlags = STARTF_USESTDHANDLES;
  si.hStdOutput = nul;
  si.hStdError = GetStdHandle(STD_ERROR_HANDLE);
  PROCESS_INFORMATION pi{};
  const double start = Now();
  if (!CreateProcessA(program.c_str(), command.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr,
                      &si, &pi))
    throw std::runtime_error("cannot start " + program);
  ProgramRun run;
  auto sample = [&] {
    PROCESS_MEMORY_COUNTERS counters{};
    if (GetProcessMemoryInfo(pi.hProcess, &counters, sizeof counters))
      run.peakBytes = std::max(run.peakBytes, static_cast<double>(counters.PeakWorkingSetSize));
  };
  while (WaitForSingleObject(pi.hProcess, 20) == WAIT_TIMEOUT)
    sample();
  run.seconds = Now() - start;
  sample();
  DWORD code = 1;
  GetExitCodeProcess(pi.hProcess, &code);
  CloseHandle(pi.hThread);
  CloseHandle(pi.hProcess);
  CloseHandle(nul);
  if (code != 0)
    throw std::runtime_error("lexmora-import.exe failed with exit code " + std::to_string(code));
  return run;
}

// Reading the list and decoding its UTF-8, as the reader does, without making entries of it.
double TimeReadAndDecode(const std::string& list) {
  const double start = Now();
  int64_t size = 0;
  const lexmora::FileHandle file = import::OpenSourceFile(Wide(list), size);
  std::string data(static_cast<size_t>(size), '\0');
  DWORD got = 0;
  for (size_t done = 0; done < data.size(); done += got) {
    if (!ReadFile(file.Get(), data.data() + done,
                  static_cast<DWORD>(std::min<size_t>(data.size() - done, 1 << 20)), &got,
                  nullptr) ||
        got == 0)
      throw std::runtime_error("cannot read " + list);
  }
  std::wstring line;
  size_t units = 0;
  for (size_t at = 0; at < data.size();) {
    size_t end = data.find('\n', at);
    end = end == std::string::npos ? data.size() : end;
    line.clear();
    import::AppendUtf8(std::string_view(data).substr(at, end - at), line);
    units += line.size();
    at = end + 1;
  }
  return units > 0 ? Now() - start : 0;
}

// The import of `list` stage by stage in this process, the sort also done the straightforward
// way, then lexmora-import.exe three times.
void TabBenchmark(int count, const std::string& dir) {
  const std::string list = dir + "list.txt";
  Write(list, TabList(MakeEntries(count)));
  const auto listBytes = static_cast<double>(FileBytes(list));
  std::printf("Tab-separated list of %d entries, %.1f MiB (sorted import, .dat and .ind written)\n",
              count, Mb(listBytes));

  std::printf("lexmora-import.exe, 3 runs:\n");
  double fastest = 1e9, slowest = 0, lowest = 1e18, highest = 0;
  for (int i = 0; i < 3; ++i) {
    const ProgramRun run = RunImporter(list, dir + "out.dat");
    std::printf("  run %d: %6.2f s, peak working set %6.1f MiB = %.2f x the list\n", i + 1,
                run.seconds, Mb(run.peakBytes), run.peakBytes / listBytes);
    std::fflush(stdout);
    fastest = std::min(fastest, run.seconds);
    slowest = std::max(slowest, run.seconds);
    lowest = std::min(lowest, run.peakBytes);
    highest = std::max(highest, run.peakBytes);
  }
  std::printf("  range: %.2f-%.2f s, %.1f-%.1f MiB (%.2f-%.2f x the list)\n", fastest, slowest,
              Mb(lowest), Mb(highest), lowest / listBytes, highest / listBytes);

  std::printf("Where the time goes (the library, one run):\n");
  auto row = [](const char* stage, double seconds) {
    std::printf("  %-58s %6.2f s\n", stage, seconds);
    std::fflush(stdout);
  };
  const double decode = TimeReadAndDecode(list);
  row("reading the file and decoding its UTF-8", decode);
  const import::SourceSet source{import::SourceFormat::TabText, Wide(list), Wide(list), {}, {}, {}};
  import::EntryTable entries;
  std::vector<std::string> notes;
  const import::ImportProgress noProgress;
  import::ReadContext context{entries, notes, noProgress, {}};
  double start = Now();
  import::ReadTabText(source, context);
  entries.EndAdding();
  const double read = Now() - start;
  row("  + cleaning, merging by headword, storing (the reader)", read - decode);
  start = Now();
  const std::vector<uint32_t> order = import::SearchOrder(entries);
  row("sorting: sort keys, ties by comparison, the order checked", Now() - start);
  start = Now();
  const bool same = import::SearchOrderByComparison(entries) == order;
  row(same ? "  (the straightforward sort, same order)"
           : "  (the straightforward sort: ORDER DIFFERS)",
      Now() - start);
  import::OutputTarget target(Wide(dir + "out.dat"), {source});
  start = Now();
  import::WriteDictionaryFile(target, L"list", entries, order, int64_t{1} << 31, noProgress);
  row("writing the .dat (UTF-16)", Now() - start);
  start = Now();
  std::string note;
  import::WriteFreshIndex(target, entries.Size(), note);
  row("writing the .ind", Now() - start);
  if (!same)
    throw std::runtime_error("the two sorts gave different orders");
}

// The library's import of `count` entries from each source format, best of 3 runs.
void FormatTable(int count, const std::string& dir) {
  const std::vector<Entry> entries = MakeEntries(count);
  std::string text, index, data, idx, sdata;
  for (const Entry& e : entries) {
    std::string escaped = e.meaning;
    escaped.replace(escaped.find('\n'), 1, "\\n");
    text += e.word + "\t" + escaped + "\n";
    const std::string definition = e.word + "\n   " + e.meaning + "\n";
    index += e.word + "\t" + Base64(data.size()) + "\t" + Base64(definition.size()) + "\n";
    data += definition;
    idx += e.word + '\0';
    PutBe32(idx, static_cast<uint32_t>(sdata.size()));
    PutBe32(idx, static_cast<uint32_t>(e.meaning.size()));
    sdata += e.meaning;
  }
  Write(dir + "list.txt", text);
  Write(dir + "d.index", index);
  Write(dir + "d.dict.dz", Dictzip(data));
  Write(dir + "s.idx", idx);
  Write(dir + "s.dict", sdata);
  Write(dir + "s.ifo", "StarDict's dict ifo file\nversion=2.4.2\nbookname=Bench\nwordcount=" +
                           std::to_string(count) + "\nidxfilesize=" + std::to_string(idx.size()) +
                           "\nsametypesequence=m\n");

  std::printf("Import of %d entries (sorted, .dat and .ind written), best of 3 runs:\n", count);
  struct Source {
    const char* name;
    std::string file;
  };
  for (const Source& s :
       {Source{"tab-separated text", dir + "list.txt"},
        Source{"dictd, dictzip data", dir + "d.index"}, Source{"StarDict", dir + "s.ifo"}}) {
    double best = 1e9;
    long long written = 0;
    for (int run = 0; run < 3; ++run)
      best = std::min(best, TimeImport({s.file}, dir + "out.dat", &written));
    std::printf("  %-22s %8.2f s  (%lld entries written)\n", s.name, best, written);
  }
}

}  // namespace

int main(int argc, char** argv) {
  const bool tab = argc > 1 && std::string(argv[1]) == "--tab";
  const int countArgument = tab ? 2 : 1;
  const int count =
      argc > countArgument ? std::atoi(argv[countArgument]) : (tab ? 1000000 : 100000);
  try {
    const lexmora::ScratchFolder folder("lexmora-import-bench-");
    if (tab)
      TabBenchmark(count, folder.File(""));
    else
      FormatTable(count, folder.File(""));
  } catch (const std::exception& e) {
    std::fprintf(stderr, "lexmora_import_bench: %s\n", e.what());
    return 1;
  }
  return 0;
}
