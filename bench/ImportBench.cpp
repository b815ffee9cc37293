// Import time of lexmora-import's library for a dictionary of 100 000 entries (the count can be
// given as the first argument), from each source format: tab-separated text, dictd with a
// dictzip data file, StarDict. Sources are generated in a temporary folder, removed at the end.
#include <windows.h>
#include <zlib.h>

#include <cstdio>
#include <random>
#include <stdexcept>
#include <string>
#include <vector>

#include "import/Import.h"

namespace {

double Now() {
  LARGE_INTEGER f, t;
  QueryPerformanceFrequency(&f);
  QueryPerformanceCounter(&t);
  return static_cast<double>(t.QuadPart) / static_cast<double>(f.QuadPart);
}

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

}  // namespace

int main(int argc, char** argv) {
  const int count = argc > 1 ? std::atoi(argv[1]) : 100000;
  char base[MAX_PATH];
  GetTempPathA(MAX_PATH, base);
  const std::string dir =
      std::string(base) + "lexmora-import-bench-" + std::to_string(GetCurrentProcessId()) + "\\";
  CreateDirectoryA(dir.c_str(), nullptr);
  const std::vector<std::string> files = {"list.txt", "d.index", "d.dict.dz", "s.ifo",
                                          "s.idx",    "s.dict",  "out.dat",   "out.ind"};
  int status = 0;
  try {
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
  } catch (const std::exception& e) {
    std::fprintf(stderr, "lexmora_import_bench: %s\n", e.what());
    status = 1;
  }
  for (const std::string& f : files)
    DeleteFileA((dir + f).c_str());
  RemoveDirectoryA(dir.c_str());
  return status;
}
