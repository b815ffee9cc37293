// Figures for searching inside the entries, printed as one table: the first search on a
// 1 000 000-entry dictionary (word index built on the way), later searches for one and for two
// words, the word index's size, the memory a process holds while it searches, and what ignoring
// combining marks costs against words cut at the marks. Generates its dictionary in a temporary
// folder and removes it at the end. `--entries N` sets another size; `--stop N` measures only
// how soon a build of a dictionary of N entries stops once every entry is read. The dictionaries
// are opened with letter conversion on (the program's default), with the shipped tables in
// Data\ beside the benchmark.
// Given `--morphology FOLDER` (the Hunspell pairs, as Morphology\ of the program), the Cyrillic
// words are real Bulgarian ones, dictionary forms and their other forms as bg_BG makes them, and
// the searches match word forms through bg_BG, as the meanings of an English-Bulgarian dictionary
// are searched; rows then also compare the same searches and index without forms.
#include <windows.h>
// after windows.h
#include <psapi.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <functional>
#include <hunspell.hxx>
#include <random>
#include <set>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "BenchClock.h"
#include "BenchSupport.h"
#include "base/FileIO.h"
#include "base/Handle.h"
#include "base/Text.h"
#include "morph/Morphology.h"
#include "store/ADictU.h"
#include "store/DictFormat.h"
#include "store/TextQuery.h"
#include "store/TextSearch.h"
#include "store/WordIndex.h"
#include "store/WordIndexBuilder.h"
#include "store/WordRules.h"

namespace lexmora {
namespace {

constexpr wchar_t kSep = dict_format::kEntrySeparator;
constexpr wchar_t kAcute = 0x0301;
constexpr int kQueries = 400;

const wchar_t* const kLatinSyllables[] = {
    L"ba", L"ce",  L"di", L"fo", L"gu", L"ha", L"je", L"ki", L"lo",  L"mu", L"na",
    L"pe", L"qui", L"ro", L"su", L"ta", L"ve", L"wi", L"xo", L"yu",  L"za", L"str",
    L"an", L"el",  L"in", L"on", L"ur", L"ck", L"sh", L"th", L"ing", L"er"};
const wchar_t* const kCyrillicSyllables[] = {L"ба", L"ве", L"ги", L"до", L"жу", L"за", L"ке",
                                             L"ли", L"мо", L"ну", L"па", L"ре", L"си", L"то",
                                             L"фу", L"ха", L"це", L"чи", L"шо", L"щу", L"яв",
                                             L"юр", L"ан", L"ос", L"ит", L"ум", L"ел", L"ър"};

template <size_t N>
std::wstring MakeWord(const wchar_t* const (&syllables)[N], std::mt19937& rng) {
  std::wstring w;
  const int parts = 2 + static_cast<int>(rng() % 3);
  for (int k = 0; k < parts; ++k)
    w += syllables[rng() % N];
  return w;
}

template <size_t N>
std::vector<std::wstring> Vocabulary(const wchar_t* const (&syllables)[N], size_t count,
                                     std::mt19937& rng) {
  std::vector<std::wstring> words;
  while (words.size() < count) {
    words.push_back(MakeWord(syllables, rng));
    if (words.size() == count) {
      std::sort(words.begin(), words.end());
      words.erase(std::unique(words.begin(), words.end()), words.end());
    }
  }
  std::shuffle(words.begin(), words.end(), rng);
  return words;
}

// Word ranks drawn with the frequencies of running text (Zipf: rank r has weight 1 / (r + 1)).
class ZipfRanks {
 public:
  explicit ZipfRanks(size_t count) : cumulative_(count) {
    double sum = 0;
    for (size_t r = 0; r < count; ++r)
      cumulative_[r] = sum += 1.0 / static_cast<double>(r + 1);
    for (double& c : cumulative_)
      c /= sum;
  }
  size_t Draw(std::mt19937& rng) const {
    const double u = std::uniform_real_distribution<double>(0, 1)(rng);
    return static_cast<size_t>(std::lower_bound(cumulative_.begin(), cumulative_.end(), u) -
                               cumulative_.begin()) %
           cumulative_.size();
  }

 private:
  std::vector<double> cumulative_;
};

// A Cyrillic word as running text writes it: one in eight with a stress mark on its second
// letter. Without marks the same draws are made and the word is left as it is.
std::wstring Stressed(const std::wstring& word, bool marks, std::mt19937& rng) {
  if (rng() % 8 != 0 || word.size() < 2 || !marks)
    return word;
  return word.substr(0, 2) + kAcute + word.substr(2);
}

struct Dictionary {
  std::vector<std::wstring> latin, cyrillic;
  int64_t bytes = 0;
};

constexpr size_t kVocabulary = 40000;

bool IsLowerCyrillic(const std::wstring& word) {
  return word.size() >= 3 && std::all_of(word.begin(), word.end(), [](wchar_t c) {
           return (c >= 0x0430 && c <= 0x044F) || c == 0x045D;
         });
}

// `count` Bulgarian words: dictionary forms of bg_BG.dic in `folder`, taken at random, each
// followed by up to four of the forms that Hunspell makes of it with its suffixes. Empty when
// no folder is given.
std::vector<std::wstring> BulgarianVocabulary(const std::string& folder, size_t count,
                                              std::mt19937& rng) {
  if (folder.empty())
    return {};
  const std::string aff = folder + "\\bg_BG.aff", dic = folder + "\\bg_BG.dic";
  std::ifstream in(dic, std::ios::binary);
  if (!in)
    throw std::runtime_error("cannot read " + dic);
  std::stringstream bytes;
  bytes << in.rdbuf();
  std::istringstream lines(bytes.str());
  std::vector<std::wstring> lemmas;
  for (std::string line; std::getline(lines, line);) {
    std::wstring lemma = FromUtf8(line.substr(0, line.find_first_of("/\r")));
    if (IsLowerCyrillic(lemma))
      lemmas.push_back(std::move(lemma));
  }
  std::shuffle(lemmas.begin(), lemmas.end(), rng);
  Hunspell speller(aff.c_str(), dic.c_str());
  std::vector<std::wstring> words;
  std::set<std::wstring> seen;
  for (size_t k = 0; k < lemmas.size() && words.size() < count; ++k) {
    if (!seen.insert(lemmas[k]).second)
      continue;
    words.push_back(lemmas[k]);
    std::vector<std::string> forms = speller.suffix_suggest(ToUtf8(lemmas[k]));
    std::shuffle(forms.begin(), forms.end(), rng);
    size_t taken = 0;
    for (size_t f = 0; f < forms.size() && taken < 4 && words.size() < count; ++f) {
      std::wstring form = FromUtf8(forms[f]);
      if (IsLowerCyrillic(form) && seen.insert(form).second) {
        words.push_back(std::move(form));
        ++taken;
      }
    }
  }
  if (words.size() < count)
    throw std::runtime_error("bg_BG gives too few words");
  std::shuffle(words.begin(), words.end(), rng);
  return words;
}

// An English-Bulgarian dictionary: Latin headwords, senses of Cyrillic words and an example
// mixing both scripts; about 200 bytes an entry. The same seed writes the same text, with or
// without stress marks. The Cyrillic words are `cyrillic` when given, made-up ones otherwise.
Dictionary WriteDictionary(const std::string& path, size_t entries, uint32_t seed, bool marks,
                           const std::vector<std::wstring>& cyrillic) {
  std::mt19937 rng(seed);
  Dictionary d;
  d.latin = Vocabulary(kLatinSyllables, kVocabulary, rng);
  d.cyrillic = Vocabulary(kCyrillicSyllables, kVocabulary, rng);
  if (!cyrillic.empty())
    d.cyrillic = cyrillic;
  const ZipfRanks ranks(kVocabulary);
  FileHandle file(CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file)
    throw std::runtime_error("cannot create " + path);
  std::wstring pending = L"\xFEFFText search benchmark dictionary\r\n";
  auto flush = [&] {
    DWORD put = 0;
    const auto bytes = static_cast<DWORD>(pending.size() * 2);
    if (!WriteFile(file.Get(), pending.data(), bytes, &put, nullptr) || put != bytes)
      throw std::runtime_error("cannot write " + path);
    d.bytes += bytes;
    pending.clear();
  };
  for (size_t n = 0; n < entries; ++n) {
    pending += kSep;
    pending += MakeWord(kLatinSyllables, rng) + std::to_wstring(n % 97);
    const int senses = 1 + static_cast<int>(rng() % 2);
    for (int s = 0; s < senses; ++s) {
      pending += L"\r\n" + std::to_wstring(s + 1) + L". ";
      const int words = 2 + static_cast<int>(rng() % 4);
      for (int w = 0; w < words; ++w)
        pending += (w > 0 ? L", " : L"") + Stressed(d.cyrillic[ranks.Draw(rng)], marks, rng);
    }
    pending += L"\r\n";
    const int example = 2 + static_cast<int>(rng() % 3);
    for (int w = 0; w < example; ++w)
      pending += d.latin[ranks.Draw(rng)] + L" ";
    pending += L"- ";
    for (int w = 0; w < example; ++w)
      pending +=
          Stressed(d.cyrillic[ranks.Draw(rng)], marks, rng) + (w + 1 < example ? L" " : L".");
    if (pending.size() >= (1u << 19))
      flush();
  }
  flush();
  return d;
}

// The processor time this thread has used, user and kernel.
double ThreadSeconds() {
  FILETIME created, exited, kernel, user;
  GetThreadTimes(GetCurrentThread(), &created, &exited, &kernel, &user);
  auto seconds = [](const FILETIME& t) {
    return static_cast<double>((static_cast<uint64_t>(t.dwHighDateTime) << 32) | t.dwLowDateTime) /
           1e7;
  };
  return seconds(kernel) + seconds(user);
}

// Queries of one or two words, each drawn as often as words occur in the text (common words
// often, as people look them up) or evenly from the vocabularies (rare words mostly).
std::vector<std::wstring> Queries(const Dictionary& d, int words, bool asInText,
                                  std::mt19937& rng) {
  static const ZipfRanks ranks(kVocabulary);
  std::vector<std::wstring> queries;
  for (int k = 0; k < kQueries; ++k) {
    std::wstring q;
    for (int w = 0; w < words; ++w) {
      const auto& vocabulary = rng() % 2 == 0 ? d.latin : d.cyrillic;
      const size_t rank = asInText ? ranks.Draw(rng) : rng() % vocabulary.size();
      q += (w > 0 ? L" " : L"") + vocabulary[rank];
    }
    queries.push_back(q);
  }
  return queries;
}

struct Timing {
  double meanMs = 0;
  double maxMs = 0;
  double meanMatches = 0;
};

template <typename Search>
Timing TimeQueries(const std::vector<std::wstring>& queries, Search&& search) {
  Timing t;
  double total = 0;
  size_t matches = 0;
  for (const std::wstring& q : queries) {
    const double start = Now();
    matches += search(q);
    const double spent = Now() - start;
    total += spent;
    t.maxMs = std::max(t.maxMs, spent * 1000);
  }
  t.meanMs = total * 1000 / static_cast<double>(queries.size());
  t.meanMatches = static_cast<double>(matches) / static_cast<double>(queries.size());
  return t;
}

std::string Describe(const Timing& t) {
  return Fixed(t.meanMs, 2) + " ms mean, " + Fixed(t.maxMs, 1) + " ms max over " +
         std::to_string(kQueries) + " queries (" + Fixed(t.meanMatches, 0) + " matches each)";
}

// Runs in a process of its own, so that nothing the build held counts: opens the dictionary,
// searches (reading the word index file) and reports its memory before and at its peak.
int SearchChild(const std::string& dat, const std::string& ind, const std::string& morphology,
                const std::string& report) {
  TADict dict(dat, ind, false, false, true);
  Morphology languages(ToWide(morphology == "-" ? std::string() : morphology));
  MorphLanguage* bulgarian = languages.Find(L"bg_BG");
  PROCESS_MEMORY_COUNTERS_EX before{};
  GetProcessMemoryInfo(GetCurrentProcess(), reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&before),
                       sizeof before);
  size_t matches = 0;
  std::mt19937 rng(99);
  for (int k = 0; k < 200; ++k) {
    const std::wstring q =
        std::wstring(kCyrillicSyllables[rng() % 28]) + kCyrillicSyllables[k % 28];
    matches += FindInText(dict, q, INT32_MAX, bulgarian).size();
  }
  PROCESS_MEMORY_COUNTERS_EX after{};
  GetProcessMemoryInfo(GetCurrentProcess(), reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&after),
                       sizeof after);
  FILE* out = std::fopen(report.c_str(), "w");
  if (out == nullptr)
    return 1;
  std::fprintf(out, "%llu %llu %llu %llu %zu\n",
               static_cast<unsigned long long>(before.WorkingSetSize),
               static_cast<unsigned long long>(after.PeakWorkingSetSize),
               static_cast<unsigned long long>(before.PrivateUsage),
               static_cast<unsigned long long>(after.PeakPagefileUsage), matches);
  std::fclose(out);
  return 0;
}

struct ChildMemory {
  unsigned long long workingBefore = 0, workingPeak = 0, privateBefore = 0, privatePeak = 0;
};

ChildMemory RunSearchChild(const std::string& dat, const std::string& ind,
                           const std::string& morphology, const std::string& report) {
  const std::string text = RunChild("the search child", "--search-child",
                                    {dat, ind, morphology.empty() ? "-" : morphology}, report);
  ChildMemory m;
  size_t matches = 0;
  if (std::sscanf(text.c_str(), "%llu %llu %llu %llu %zu", &m.workingBefore, &m.workingPeak,
                  &m.privateBefore, &m.privatePeak, &matches) != 5) {
    throw std::runtime_error("the search child failed");
  }
  return m;
}

// The best of `rounds` runs of each of `actions`, taken in turns.
std::vector<double> BestInTurns(int rounds, const std::vector<std::function<double()>>& actions) {
  std::vector<double> best(actions.size(), 1e300);
  for (int r = 0; r < rounds; ++r) {
    for (size_t k = 0; k < actions.size(); ++k)
      best[k] = std::min(best[k], actions[k]());
  }
  return best;
}

// How soon a word index build stops once every entry is read, where the window stops it when
// another dictionary is chosen: the longest time between two of its reports there (its chances
// to stop), and how long a build stopped at the first of them and one stopped half way through
// the reports take to return, against the whole time from there to the end of a build that is
// not stopped.
void StopRow(TADict& dict, MorphLanguage* language) {
  std::vector<double> reports;
  WordIndexBuild whole(dict, language);
  whole.Run([&](int32_t done, int32_t total) {
    if (done == total)
      reports.push_back(Now());
    return true;
  });
  reports.push_back(Now());
  double longest = 0;
  for (size_t k = 1; k < reports.size(); ++k)
    longest = std::max(longest, reports[k] - reports[k - 1]);
  auto stoppedAt = [&](size_t report) {
    WordIndexBuild build(dict, language);
    size_t seen = 0;
    double at = 0;
    build.Run([&](int32_t done, int32_t total) {
      if (done != total || ++seen < report)
        return true;
      at = Now();
      return false;
    });
    return Now() - at;
  };
  const double first = stoppedAt(1), middle = stoppedAt(reports.size() / 2);
  Row("stopping a word index build after every entry is read (" +
          std::to_string(reports.size() - 1) + " chances to stop)",
      "longest time between two chances " + Fixed(longest * 1000, 0) +
          " ms; stopped at the first, back in " + Fixed(first * 1000, 0) +
          " ms; stopped half way through the file, back in " + Fixed(middle * 1000, 0) +
          " ms; the whole rest of a build not stopped " +
          Fixed((reports.back() - reports.front()) * 1000, 0) + " ms",
      "-");
}

// The entries of `query` in `index`, as a search without word forms ranks them.
size_t FoundWithoutForms(const detail::WordIndex& index, const detail::WordRules& rules,
                         TADict& dict, const std::wstring& query) {
  std::vector<std::vector<uint32_t>> matched;
  for (const detail::QueryWord& word : detail::ParseQuery(rules, query))
    matched.push_back(detail::MatchedPlaces(index, rules, word, nullptr));
  std::wstring text;
  const auto read = [&](int32_t entry) {
    text = dict.ReadEntry(entry, -1);
    return std::wstring_view(text);
  };
  return detail::RankedEntries(index, rules, matched, read, SIZE_MAX).size();
}

// The language bg_BG of `folder`, loaded; null when no folder is given.
MorphLanguage* Bulgarian(Morphology& languages, const std::string& folder) {
  if (folder.empty())
    return nullptr;
  MorphLanguage* bulgarian = languages.Find(L"bg_BG");
  if (bulgarian == nullptr)
    throw std::runtime_error("no bg_BG in " + folder);
  bulgarian->Load();
  if (bulgarian->State() != MorphState::Ready)
    throw std::runtime_error(ToUtf8(bulgarian->OffReason()));
  return bulgarian;
}

void Run(size_t entries, bool stopOnly, const std::string& morphology) {
  ScratchFolder folder("lexmora-textbench-");
  std::mt19937 rng(2025);
  const std::string dat = folder.File("bench.dat"), ind = folder.File("bench.ind");
  const std::string wix = WordIndexFileName(dat);
  Morphology languages(ToWide(morphology));
  MorphLanguage* bulgarian = Bulgarian(languages, morphology);
  std::mt19937 wordRng(77);
  const std::vector<std::wstring> words = BulgarianVocabulary(morphology, kVocabulary, wordRng);
  const Dictionary d = WriteDictionary(dat, entries, 2025, true, words);
  { TADict index(dat, ind, false, false, true); }
  const uint64_t datBytes = FileBytes(dat);
  const std::string size = std::to_string(entries) + " entries (" + Fixed(Mb(datBytes), 0) +
                           " MiB, " + (bulgarian ? "Bulgarian words, forms" : "made-up words") +
                           ")";
  std::printf("| what | measured | target |\n|---|---|---|\n");

  TADict dict(dat, ind, false, false, true);
  if (stopOnly) {
    StopRow(dict, bulgarian);
    return;
  }
  const double start = Now(), startBusy = ThreadSeconds();
  const size_t firstMatches = FindInText(dict, d.cyrillic[0], INT32_MAX, bulgarian).size();
  const double first = Now() - start, firstBusy = ThreadSeconds() - startBusy;
  // The processor time tells what the clock cannot on a machine that other programs load.
  Row("first search, " + size + ", word index built on the way",
      Fixed(first, 2) + " s (" + Fixed(firstBusy, 2) + " s of processor time; " +
          std::to_string(firstMatches) + " matches)",
      "< 20 s");
  StopRow(dict, bulgarian);

  std::vector<std::wstring> queries[2][2];  // [words - 1][as often as in the text]
  for (int count = 1; count <= 2; ++count) {
    for (int asInText = 1; asInText >= 0; --asInText) {
      queries[count - 1][asInText] = Queries(d, count, asInText == 1, rng);
      const Timing t = TimeQueries(queries[count - 1][asInText], [&](const std::wstring& q) {
        return FindInText(dict, q, INT32_MAX, bulgarian).size();
      });
      Row(std::string("later searches, ") + (count == 1 ? "one word" : "two words") +
              (asInText ? " drawn as often as in the text" : " drawn evenly from the vocabulary") +
              ", all matches, ranked",
          Describe(t), "< 20 ms mean");
    }
  }
  if (bulgarian) {
    // The same words in quotes: each matches itself only.
    for (int count = 1; count <= 2; ++count) {
      std::vector<std::wstring> quoted;
      for (const std::wstring& q : queries[count - 1][1])
        quoted.push_back(L"\"" + q + L"\"");
      const Timing t = TimeQueries(quoted, [&](const std::wstring& q) {
        return FindInText(dict, q, INT32_MAX, bulgarian).size();
      });
      Row(std::string("the same ") + (count == 1 ? "one-word" : "two-word") +
              " searches drawn as in the text, in quotes (no forms)",
          Describe(t), "-");
    }
  }

  const uint64_t wixBytes = FileBytes(wix);
  std::string without;
  if (bulgarian) {
    const double begin = ThreadSeconds();
    const std::optional<std::vector<uint8_t>> plain = detail::BuildWordIndexImage(
        ToWide(dat), dict.EntryOffsets(), detail::MakeWordRules(dict), nullptr, nullptr);
    const double spent = ThreadSeconds() - begin;
    without = "; without forms " + Fixed(Mb(plain->size()), 1) + " MiB, " +
              Fixed(static_cast<double>(plain->size()) / static_cast<double>(datBytes), 3) +
              " x (built in " + Fixed(spent, 2) + " s of processor time)";
  }
  Row("word index file" + std::string(bulgarian ? ", forms included" : ""),
      Fixed(Mb(wixBytes), 1) + " MiB, " +
          Fixed(static_cast<double>(wixBytes) / static_cast<double>(datBytes), 3) +
          " x the dictionary file" + without,
      "<= 0.6 x");

  const ChildMemory m = RunSearchChild(dat, ind, morphology, folder.File("child.txt"));
  const double grown = Mb(m.workingPeak - std::min(m.workingPeak, m.workingBefore));
  Row("memory while searching (a fresh process: open, read the word index, 200 searches)",
      "working set grew by " + Fixed(grown, 0) + " MiB = " + Fixed(grown / Mb(wixBytes), 2) +
          " x the word index file (peak " + Fixed(Mb(m.workingPeak), 0) + " MiB, " +
          Fixed(Mb(m.workingBefore), 0) + " MiB before the first search); private bytes peak " +
          Fixed(Mb(m.privatePeak), 0) + " MiB",
      "< 2 x word index file");

  // What ignoring combining marks costs. Three word indexes built the same way: this text with
  // marks ignored (as searches do), this text with marks cutting words (as a mark did before it
  // was ignored), and the same text written without marks (where ignoring them cannot matter).
  // Builds run in turns, best of three each.
  // These compare words alone, without their forms.
  const std::string plainDat = folder.File("plain.dat"), plainInd = folder.File("plain.ind");
  WriteDictionary(plainDat, entries, 2025, false, words);
  const TIndexList order = dict.EntryOffsets();
  TADict plainDict(plainDat, plainInd, false, false, true);
  const TIndexList plainOrder = plainDict.EntryOffsets();
  struct Variant {
    const char* name;
    std::string dat;
    TADict& dict;
    const TIndexList& offsets;
    detail::WordRules rules;
    std::unique_ptr<detail::WordIndex> index;
  } variants[] = {
      {"marks ignored", dat, dict, order, detail::MakeWordRules(dict, true), nullptr},
      {"marks cutting words", dat, dict, order, detail::MakeWordRules(dict, false), nullptr},
      {"text without marks", plainDat, plainDict, plainOrder, detail::MakeWordRules(dict, true),
       nullptr}};
  // Builds are timed by the thread's processor time, which other programs on the machine
  // disturb less than the clock.
  std::vector<std::function<double()>> builds;
  for (Variant& v : variants) {
    builds.push_back([&v] {
      v.index.reset();
      const double begin = ThreadSeconds();
      std::optional<std::vector<uint8_t>> image =
          detail::BuildWordIndexImage(ToWide(v.dat), v.offsets, v.rules, nullptr, nullptr);
      const double spent = ThreadSeconds() - begin;
      v.index = detail::WordIndex::FromImage(std::move(*image));
      return spent;
    });
  }
  const std::vector<double> buildTimes = BestInTurns(3, builds);
  // Marks ignored, the two texts make the same words in the same entries: the same tables and
  // postings.
  const bool same =
      variants[0].index->Header().bodyChecksum == variants[2].index->Header().bodyChecksum;
  Row("word index build, processor time: marks ignored / marks cutting words; / text without "
      "marks",
      Fixed(buildTimes[0], 2) + " s / " + Fixed(buildTimes[1], 2) +
          " s = " + Fixed(buildTimes[0] / buildTimes[1], 3) + "; / " + Fixed(buildTimes[2], 2) +
          " s = " + Fixed(buildTimes[0] / buildTimes[2], 3) +
          "; word tables and postings the same as without marks: " + (same ? "yes" : "NO"),
      "<= 1.10");
  // Searches: the same 4000 queries on each index in turn, timed by the thread's processor
  // time over the whole batch (which other programs disturb less than the clock), best of three
  // turns.
  for (int words = 0; words < 2; ++words) {
    std::vector<std::wstring> many;
    for (int k = 0; k < 10; ++k) {
      const std::vector<std::wstring> more = Queries(d, words + 1, true, rng);
      many.insert(many.end(), more.begin(), more.end());
    }
    size_t matches[3] = {0, 0, 0};
    std::vector<std::function<double()>> batches;
    for (size_t k = 0; k < 3; ++k) {
      batches.push_back([&, k] {
        size_t found = 0;
        const double begin = ThreadSeconds();
        for (const std::wstring& q : many)
          found += FoundWithoutForms(*variants[k].index, variants[k].rules, variants[k].dict, q);
        const double spent = ThreadSeconds() - begin;
        matches[k] = found;
        return spent;
      });
    }
    const std::vector<double> seconds = BestInTurns(3, batches);
    auto ms = [&](size_t k) { return seconds[k] * 1000 / static_cast<double>(many.size()); };
    auto mean = [&](size_t k) {
      return Fixed(static_cast<double>(matches[k]) / static_cast<double>(many.size()), 0);
    };
    Row(std::string("search, processor time, ") + (words == 0 ? "one word" : "two words") +
            " drawn as in the text, " + std::to_string(many.size()) +
            " queries: marks ignored / marks cutting words; / text without marks",
        Fixed(ms(0), 3) + " ms / " + Fixed(ms(1), 3) + " ms = " + Fixed(ms(0) / ms(1), 3) +
            " (matches " + mean(0) + " against " + mean(1) + "); / " + Fixed(ms(2), 3) +
            " ms = " + Fixed(ms(0) / ms(2), 3) + " (matches " + mean(2) + ")",
        "<= 1.10");
  }
}

}  // namespace
}  // namespace lexmora

int main(int argc, char** argv) {
  try {
    if (argc == 6 && std::string(argv[1]) == "--search-child")
      return lexmora::SearchChild(argv[2], argv[3], argv[4], argv[5]);
    size_t entries = 1000000;
    bool stopOnly = false;
    std::string morphology;
    for (int k = 1; k + 1 < argc; k += 2) {
      const std::string option = argv[k];
      if (option == "--entries" || option == "--stop") {
        entries = std::stoul(argv[k + 1]);
        stopOnly = stopOnly || option == "--stop";
      } else if (option == "--morphology") {
        morphology = argv[k + 1];
      } else {
        throw std::runtime_error("unknown option " + option);
      }
    }
    lexmora::Run(entries, stopOnly, morphology);
    return 0;
  } catch (const std::exception& e) {
    std::fprintf(stderr, "benchmark failed: %s\n", e.what());
    return 1;
  }
}
