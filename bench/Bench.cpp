// Figures for the dictionary store, printed as one table: index build throughput against a
// plain read of the same file, sorted build times beside the literal algorithm's, peak memory
// and responsiveness of sorted builds, opening time and word search times. `--quick` leaves
// out the 10 000 000-entry build and the literal algorithm at 1 000 000 entries; `--unsorted`
// runs only the unsorted build, `--lookup` only the opening and word search rows. A dictionary
// file given as well (`DICT.dat`, its index beside it) gets the lookup rows of its own, its
// headwords typed. Generates its dictionaries in a temporary folder and removes them at the end.
#include <windows.h>
// after windows.h
#include <psapi.h>

#include <algorithm>
#include <cstdio>
#include <random>
#include <stdexcept>
#include <string>
#include <vector>

#include "BenchClock.h"
#include "BenchSupport.h"
#include "base/CombiningMarks.h"
#include "base/FileIO.h"
#include "base/Handle.h"
#include "store/ADictU.h"
#include "store/DictFormat.h"
#include "store/HeadwordLookup.h"

namespace lexmora {
namespace {

constexpr wchar_t kSep = dict_format::kEntrySeparator;
constexpr int64_t kLargeFileBytes = 210LL * 1024 * 1024;
constexpr int kRepeats = 3;
constexpr int kLookups = 20000;
// Short rounds, many of them, for ratios of two ways measured close together in time.
constexpr int kRounds = 41;
constexpr int kRoundLookups = 4000;
constexpr wchar_t kTitle[] = L"\uFEFFBenchmark dictionary\r\n";

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

// Beginnings of random words of `words`, one to all of their letters long.
std::vector<std::wstring> Probes(const std::vector<std::wstring>& words, std::mt19937& rng) {
  std::vector<std::wstring> probes;
  for (int k = 0; k < kLookups; ++k) {
    const std::wstring& w = words[rng() % words.size()];
    probes.push_back(w.substr(0, 1 + rng() % w.size()));
  }
  return probes;
}

double MeanFindWordSeconds(TADict& dict, const std::vector<std::wstring>& probes) {
  volatile int32_t sink = 0;
  const double start = Now();
  for (const auto& probe : probes)
    sink = sink + dict.FindWord(probe);
  return (Now() - start) / static_cast<double>(probes.size());
}

// The entry reads that follow a lookup: the entry found in full and four neighbours of 50
// characters, at random places.
double MeanShownEntriesSeconds(TADict& dict, std::mt19937& rng) {
  const int32_t count = dict.EntryCount();
  std::vector<int32_t> places(kLookups);
  for (int32_t& i : places)
    i = static_cast<int32_t>(rng() % static_cast<uint32_t>(count));
  volatile size_t sink = 0;
  const double start = Now();
  for (int32_t i : places) {
    sink = sink + dict.ReadEntry(i, -1).size();
    for (int32_t neighbour : {i - 2, i - 1, i + 1, i + 2})
      sink = sink + dict.ReadEntry(neighbour, 50).size();
  }
  return (Now() - start) / static_cast<double>(places.size());
}

double MeanFindHeadwordSeconds(TADict& dict, const std::vector<std::wstring>& probes) {
  volatile int32_t sink = 0;
  const double start = Now();
  for (const auto& probe : probes)
    sink = sink + FindHeadword(dict, probe);
  return (Now() - start) / static_cast<double>(probes.size());
}

// Figures of two ways of doing the same work, A and B, measured in alternating rounds: which
// goes first changes from round to round, and each round gives the ratio B / A of two measures
// close together in time (the machine's load changes between rounds more than within one).
struct RoundFigures {
  double medianRatio = 0;
  double medianA = 0, medianB = 0;  // seconds, the median round of each
  double bestA = 0, bestB = 0;      // seconds, the best round of each
};

template <typename MeasureA, typename MeasureB>
RoundFigures AlternatingRounds(const MeasureA& measureA, const MeasureB& measureB) {
  std::vector<double> a, b, ratios;
  for (int round = 0; round < kRounds; ++round) {
    double ta = 0, tb = 0;
    if (round % 2 == 0) {
      ta = measureA();
      tb = measureB();
    } else {
      tb = measureB();
      ta = measureA();
    }
    a.push_back(ta);
    b.push_back(tb);
    ratios.push_back(tb / ta);
  }
  auto median = [](std::vector<double>& v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
  };
  RoundFigures r;
  r.bestA = *std::min_element(a.begin(), a.end());
  r.bestB = *std::min_element(b.begin(), b.end());
  r.medianRatio = median(ratios);
  r.medianA = median(a);
  r.medianB = median(b);
  return r;
}

// A dictionary of `count` short entries (about 62 bytes each) in random order, for sorted builds.
void WriteShuffledDictionary(const std::string& path, uint32_t count, std::mt19937& rng) {
  std::vector<uint32_t> order(count);
  for (uint32_t k = 0; k < count; ++k)
    order[k] = k;
  std::shuffle(order.begin(), order.end(), rng);
  TextWriter out(path);
  out.Append(kTitle);
  for (uint32_t n : order) {
    const std::wstring w = Word(n, 6);
    out.Append(std::wstring(1, kSep) + w + L" [" + w.substr(0, 3) + L"] n. sense " +
               std::to_wstring(n) + L"\r\n");
  }
  out.Finish();
}

// The sorted build as the builder's rules state it, with the store's own FindSortedPosition:
// one seek and read per key, the tail of the list moved for each insertion.
TIndexList LiteralSortedBuild(const std::string& path) {
  FileStream data = FileStream::OpenRead(path);
  const int64_t size = data.Size();
  std::vector<uint16_t> buffer(16384);
  TIndexList list;
  for (int64_t blockStart = 0; blockStart < size; blockStart += 32768) {
    data.Seek(blockStart);
    const uint32_t got = data.Read(buffer.data(), 32768);
    for (uint32_t i = 0; i < got / 2; ++i) {
      if (buffer[i] != kSep)
        continue;
      const auto offset = static_cast<int32_t>(blockStart + 2 * i + 2);
      data.Seek(offset);
      list.insert(list.begin() + FindSortedPosition(data, list), offset);
    }
  }
  return list;
}

// What a sorted build in a process of its own reports: the time, the longest stretch without
// a call the window could pump its messages in, and the process's memory.
struct ChildBuild {
  double seconds = 0;
  double longestGapMs = 0;
  double peakWorkingSetMb = 0;
  double peakPrivateMb = 0;
  double baselineWorkingSetMb = 0;
  size_t entries = 0;
};

// Runs in the child: builds the sorted index of `dat` and writes the figures to `report`.
int SortedBuildChild(const std::string& dat, const std::string& ind, const std::string& report) {
  PROCESS_MEMORY_COUNTERS before{};
  GetProcessMemoryInfo(GetCurrentProcess(), &before, sizeof before);
  TIndexList list;
  FILETIME time{};
  double last = Now(), longest = 0;
  auto pumped = [&] {
    const double now = Now();
    longest = std::max(longest, now - last);
    last = now;
  };
  const double start = Now();
  last = start;
  ScanEntries(
      dat, true, list, time, [&](int32_t) { pumped(); }, pumped);
  WriteIndexFile(ind, list, time);
  pumped();
  const double seconds = Now() - start;
  PROCESS_MEMORY_COUNTERS after{};
  GetProcessMemoryInfo(GetCurrentProcess(), &after, sizeof after);
  FILE* out = std::fopen(report.c_str(), "w");
  if (out == nullptr)
    return 1;
  std::fprintf(out, "%f %f %f %f %f %zu\n", seconds, longest * 1000, Mb(after.PeakWorkingSetSize),
               Mb(after.PeakPagefileUsage), Mb(before.WorkingSetSize), list.size());
  std::fclose(out);
  return 0;
}

ChildBuild RunSortedBuildChild(const std::string& dat, const std::string& ind,
                               const std::string& report) {
  const std::string text =
      RunChild("the sorted build child", "--sorted-build-child", {dat, ind}, report);
  ChildBuild r;
  if (std::sscanf(text.c_str(), "%lf %lf %lf %lf %lf %zu", &r.seconds, &r.longestGapMs,
                  &r.peakWorkingSetMb, &r.peakPrivateMb, &r.baselineWorkingSetMb,
                  &r.entries) != 6) {
    throw std::runtime_error("the sorted build child failed");
  }
  return r;
}

double FileMb(const std::string& path) {
  return Mb(FileBytes(path));
}

void RunBuilds(const ScratchFolder& folder, std::mt19937& rng, bool quick, bool unsortedOnly) {
  // Unsorted build against a plain read, alternating, best of each. Every timed build rewrites
  // the index of the build before it, as a rebuild of a stale index does. Beside each pair:
  // the scan again into a list whose room a scan has touched before (the scan without the
  // first touches of fresh memory), and the write of the same offsets to a new index file.
  {
    const std::string dat = folder.File("large.dat"), ind = folder.File("large.ind");
    const std::string newInd = folder.File("large-new.ind");
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
    size_t entries = 0;
    BuildIndex(dat, ind, false, &entries);  // the index that the timed builds rewrite
    double read = 1e9, build = 1e9, write = 0, scan = 0;
    double touchedScan = 1e9, newWrite = 1e9;
    std::vector<double> ratios;
    TIndexList touched;
    for (int r = 0; r < kRepeats; ++r) {
      const double oneRead = PlainRead(dat);
      BuildTimes t = BuildIndex(dat, ind, false, &entries);
      ratios.push_back(oneRead / t.Total());
      read = std::min(read, oneRead);
      if (t.Total() < build) {
        build = t.Total();
        write = t.write;
        scan = t.scan;
      }
      touched.clear();
      FILETIME time{};
      double start = Now();
      ScanEntries(dat, false, touched, time, nullptr);
      touchedScan = std::min(touchedScan, Now() - start);
      DeleteFileA(newInd.c_str());
      start = Now();
      WriteIndexFile(newInd, touched, time);
      newWrite = std::min(newWrite, Now() - start);
    }
    std::sort(ratios.begin(), ratios.end());
    const double mb = Mb(bytes);
    Row("unsorted build (scan + write) / plain 32 KB read, " + Fixed(mb, 0) + " MiB, " +
            std::to_string(entries) + " entries",
        Fixed(read / build, 2) + " best (" + Fixed(ratios.front(), 2) + "-" +
            Fixed(ratios.back(), 2) + " over " + std::to_string(kRepeats) + " pairs); read " +
            Fixed(read * 1000, 0) + " ms (" + Fixed(mb / read, 0) + " MiB/s), build " +
            Fixed(build * 1000, 0) + " ms (scan " + Fixed(scan * 1000, 0) +
            " ms, rewrite of the index " + Fixed(write * 1000, 1) + " ms); best of " +
            std::to_string(kRepeats) + ": scan into touched room " + Fixed(touchedScan * 1000, 0) +
            " ms, write of a new index " + Fixed(newWrite * 1000, 1) + " ms",
        ">= 0.75");
    DeleteFileA(dat.c_str());
    DeleteFileA(ind.c_str());
    DeleteFileA(newInd.c_str());
  }
  if (unsortedOnly)
    return;

  // Sorted builds: the fast build in a process of its own (for its peak memory) against the
  // literal algorithm, whose result must be the same.
  for (uint32_t count : {100000u, 1000000u, 10000000u}) {
    if (quick && count == 10000000u)
      continue;
    const std::string dat = folder.File("sorted.dat"), ind = folder.File("sorted.ind");
    WriteShuffledDictionary(dat, count, rng);
    const double fileMb = FileMb(dat);
    const ChildBuild fast = RunSortedBuildChild(dat, ind, folder.File("child.txt"));
    const std::string name = count == 100000u    ? "100 000"
                             : count == 1000000u ? "1 000 000"
                                                 : "10 000 000";
    // The literal algorithm would take hours at 10 000 000 entries.
    std::string literal = quick ? "not run (--quick)" : "not run at this size";
    if (count == 100000u || (count == 1000000u && !quick)) {
      const double start = Now();
      const TIndexList want = LiteralSortedBuild(dat);
      const double seconds = Now() - start;
      TIndexList got;
      FILETIME time{};
      ScanEntries(dat, true, got, time, nullptr);
      literal = Fixed(seconds, 1) + " s, same offsets: " + (got == want ? "yes" : "NO");
    }
    const std::string target = count == 1000000u    ? "< 30 s"
                               : count == 10000000u ? "< 360 s, window responsive"
                                                    : "-";
    Row("sorted build, " + name + " entries (" + Fixed(fileMb, 0) + " MiB), random order",
        Fixed(fast.seconds, 1) + " s; longest stretch without a pump " +
            Fixed(fast.longestGapMs, 0) + " ms; literal algorithm " + literal,
        target);
    if (count >= 1000000u) {
      Row("peak memory of that sorted build",
          Fixed(fast.peakWorkingSetMb, 0) + " MiB working set (" +
              Fixed(fast.peakWorkingSetMb / fileMb, 2) + " x file; process before the build " +
              Fixed(fast.baselineWorkingSetMb, 0) + " MiB), private " +
              Fixed(fast.peakPrivateMb, 0) + " MiB",
          "< 3 x file");
    }
    DeleteFileA(dat.c_str());
    DeleteFileA(ind.c_str());
  }
}

// The main window's lookup against the word search, with letter conversion on as the window
// has it by default: FindHeadword / FindWord over the same lookups, in memory and on disk.
void HeadwordRows(const std::string& what, const std::string& dat, const std::string& ind,
                  const std::vector<std::wstring>& probes) {
  for (bool onDisk : {false, true}) {
    TADict dict(dat, ind, false, onDisk, true);
    const RoundFigures r = AlternatingRounds([&] { return MeanFindWordSeconds(dict, probes); },
                                             [&] { return MeanFindHeadwordSeconds(dict, probes); });
    Row("FindHeadword / FindWord, " + what + ", index " + (onDisk ? "on disk" : "in memory") +
            ", letter conversion on",
        Fixed(r.medianRatio, 2) + " median of the ratios within " + std::to_string(kRounds) +
            " alternating rounds of " + std::to_string(probes.size()) + " lookups (median " +
            Fixed(r.medianB * 1e6, 2) + " us against " + Fixed(r.medianA * 1e6, 2) +
            " us; best rounds " + Fixed(r.bestB * 1e6, 2) + " us against " +
            Fixed(r.bestA * 1e6, 2) + " us)",
        "<= 1.5");
  }
}

// A real dictionary's headwords typed as a user types them, a letter at a time: every beginning
// of randomly chosen headwords, without their combining marks, up to the search box's 50
// characters.
std::vector<std::wstring> TypedHeadwords(TADict& dict, std::mt19937& rng) {
  std::vector<std::wstring> typed;
  const auto count = static_cast<uint32_t>(dict.EntryCount());
  for (int tries = 0; count > 0 && typed.size() < kRoundLookups && tries < 100 * kRoundLookups;
       ++tries) {
    std::wstring headword =
        WithoutCombiningMarks(HeadwordOf(dict.ReadEntry(static_cast<int32_t>(rng() % count), -1)));
    headword.resize(std::min<size_t>(headword.size(), dict_format::kKeyChars));
    for (size_t letters = 1; letters <= headword.size(); ++letters)
      typed.push_back(headword.substr(0, letters));
  }
  typed.resize(std::min<size_t>(typed.size(), kRoundLookups));
  return typed;
}

// The lookup rows on a real dictionary given by its path (a .dat with its .ind beside it, built
// when missing).
void RunRealDictionaryLookups(const std::string& dat, std::mt19937& rng) {
  const std::string ind = dat.substr(0, dat.size() - 4) + ".ind";
  std::vector<std::wstring> typed;
  int32_t entries = 0;
  {
    TADict dict(dat, ind, false, false, true);
    entries = dict.EntryCount();
    typed = TypedHeadwords(dict, rng);
  }
  if (typed.empty())
    throw std::runtime_error(dat + " has no headwords to type");
  const size_t slash = dat.find_last_of("\\/");
  HeadwordRows(dat.substr(slash == std::string::npos ? 0 : slash + 1) + " (" +
                   std::to_string(entries) + " entries, its headwords typed a letter at a time)",
               dat, ind, typed);
}

// Opening and word search on a million entries.
void RunLookups(const ScratchFolder& folder, std::mt19937& rng) {
  const std::string dat = folder.File("million.dat"), ind = folder.File("million.ind");
  std::vector<std::wstring> words = WriteDictionary(dat, 1000000, false, rng);
  { TADict build(dat, ind, false, false, false); }
  for (bool onDisk : {false, true}) {
    std::vector<double> opens;
    for (int k = 0; k < 20; ++k) {
      const double start = Now();
      TADict dict(dat, ind, false, onDisk, false);
      opens.push_back(Now() - start);
    }
    std::sort(opens.begin(), opens.end());
    Row(std::string("open a 1 000 000-entry dictionary with a fresh index, ") +
            (onDisk ? "on disk" : "in memory") + " (" + Fixed(FileMb(dat), 0) + " MiB)",
        Fixed(opens[opens.size() / 2] * 1000, 1) + " ms median, " + Fixed(opens.back() * 1000, 1) +
            " ms max of 20",
        "< 50 ms");
  }
  double memory = 0;
  for (bool onDisk : {false, true}) {
    TADict dict(dat, ind, false, onDisk, false);
    const double mean = MeanFindWordSeconds(dict, Probes(words, rng));
    if (!onDisk)
      memory = mean;
    Row(onDisk ? "FindWord, 1 000 000 entries, index on disk"
               : "FindWord, 1 000 000 entries, index in memory",
        Fixed(mean * 1e6, 1) + " us mean over " + std::to_string(kLookups) + " lookups" +
            (onDisk ? " (" + Fixed(mean / memory, 2) + " x in memory)" : ""),
        onDisk ? "< 3 x in memory" : "< 50 us");
  }
  {
    TADict dict(dat, ind, false, false, false);
    Row("the five entry reads after a lookup (one whole, four of 50 characters), in memory",
        Fixed(MeanShownEntriesSeconds(dict, rng) * 1e6, 1) + " us mean over " +
            std::to_string(kLookups) + " lookups",
        "-");
  }
  // The same lookups with the shipped conversion tables (copied beside the benchmark by the
  // build) and without, in short alternating rounds: the median of the ratios within a round
  // (the machine's load changes between rounds more than within one), and the best round of
  // each.
  std::vector<std::wstring> probes = Probes(words, rng);
  probes.resize(kRoundLookups);
  TADict plain(dat, ind, false, false, false);
  TADict converting(dat, ind, false, false, true);
  const RoundFigures conversion =
      AlternatingRounds([&] { return MeanFindWordSeconds(plain, probes); },
                        [&] { return MeanFindWordSeconds(converting, probes); });
  Row("FindWord with letter conversion (shipped tables) / without, 1 000 000 entries, in memory",
      Fixed(conversion.medianRatio, 2) + " median of the ratios within " + std::to_string(kRounds) +
          " alternating rounds of " + std::to_string(probes.size()) + " lookups (best rounds " +
          Fixed(conversion.bestB * 1e6, 1) + " us against " + Fixed(conversion.bestA * 1e6, 1) +
          " us)",
      "<= 1.15");
  HeadwordRows("1 000 000 entries", dat, ind, probes);
}

void Run(bool quick, bool unsortedOnly, bool lookupOnly, const std::string& realDictionary) {
  ScratchFolder folder("lexmora-bench-");
  std::mt19937 rng(2024);
  std::printf("| what | measured | target |\n|---|---|---|\n");
  if (!lookupOnly)
    RunBuilds(folder, rng, quick, unsortedOnly);
  if (unsortedOnly)
    return;
  RunLookups(folder, rng);
  if (!realDictionary.empty())
    RunRealDictionaryLookups(realDictionary, rng);
}

}  // namespace
}  // namespace lexmora

int main(int argc, char** argv) {
  try {
    if (argc == 5 && std::string(argv[1]) == "--sorted-build-child")
      return lexmora::SortedBuildChild(argv[2], argv[3], argv[4]);
    // [--quick | --unsorted | --lookup] [DICT.dat]: the lookup rows also on that dictionary.
    std::string option, realDictionary;
    for (int k = 1; k < argc; ++k) {
      const std::string arg = argv[k];
      (arg.size() > 4 && arg.compare(arg.size() - 4, 4, ".dat") == 0 ? realDictionary : option) =
          arg;
    }
    lexmora::Run(option == "--quick", option == "--unsorted", option == "--lookup", realDictionary);
    return 0;
  } catch (const std::exception& e) {
    std::fprintf(stderr, "benchmark failed: %s\n", e.what());
    return 1;
  }
}
