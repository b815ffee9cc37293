// The store at the limit of the format: a dictionary file of 2^31 - 1 bytes (the largest whose
// offsets fit in 32 bits) is indexed and its first and last entries are found in both index
// modes; the same file grown to 2^31 bytes is refused with its error. Run by scripts/stress.sh.
#include <windows.h>

#include <cstdio>
#include <stdexcept>
#include <string>

#include "BenchClock.h"
#include "base/Handle.h"
#include "store/ADictU.h"
#include "store/DictFormat.h"

namespace lexmora {
namespace {

constexpr wchar_t kSep = dict_format::kEntrySeparator;
constexpr size_t kEntryUnits = 32;

std::wstring Word(uint32_t n) {
  std::wstring w(7, L'a');
  for (int k = 6; k >= 0; --k, n /= 26)
    w[static_cast<size_t>(k)] = static_cast<wchar_t>(L'a' + n % 26);
  return w;
}

void Put(HANDLE file, const void* data, DWORD bytes) {
  DWORD put = 0;
  if (!WriteFile(file, data, bytes, &put, nullptr) || put != bytes)
    throw std::runtime_error("cannot write the stress dictionary");
}

// Writes entries of 32 units with ascending headwords up to exactly `size` bytes (the last
// entry takes up the rest; an odd size ends in a lone byte). Returns the entry count and the
// last headword.
uint32_t WriteDictionary(const std::string& path, int64_t size, std::wstring& lastWord) {
  FileHandle file(CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file)
    throw std::runtime_error("cannot create " + path);
  const std::wstring title = L"stress\r\n";
  Put(file.Get(), title.data(), static_cast<DWORD>(title.size() * 2));
  const int64_t units = (size - static_cast<int64_t>(title.size()) * 2) / 2;
  const auto count = static_cast<uint32_t>(units / kEntryUnits);
  std::wstring chunk;
  for (uint32_t n = 0; n < count; ++n) {
    std::wstring entry(1, kSep);
    entry += Word(n) + L" entry ";
    if (n + 1 == count) {
      lastWord = Word(n);
      entry.resize(static_cast<size_t>(units - int64_t{n} * kEntryUnits), L'z');
    } else {
      entry.resize(kEntryUnits, L'.');
    }
    chunk += entry;
    if (chunk.size() >= (1u << 20) || n + 1 == count) {
      Put(file.Get(), chunk.data(), static_cast<DWORD>(chunk.size() * 2));
      chunk.clear();
    }
  }
  if (size % 2 != 0)
    Put(file.Get(), "x", 1);
  return count;
}

bool Check(bool ok, const std::string& what) {
  std::printf("%s %s\n", ok ? "ok  " : "FAIL", what.c_str());
  std::fflush(stdout);
  return ok;
}

int Run() {
  char temp[MAX_PATH];
  GetTempPathA(MAX_PATH, temp);
  const std::string dat = std::string(temp) + "lexmora-stress.dat";
  const std::string ind = std::string(temp) + "lexmora-stress.ind";
  DeleteFileA(ind.c_str());
  bool ok = true;
  std::wstring lastWord;
  double start = Now();
  const uint32_t count = WriteDictionary(dat, kMaxDictionaryFileSize - 1, lastWord);
  std::printf("wrote %lld bytes, %u entries, in %.1f s\n",
              static_cast<long long>(kMaxDictionaryFileSize - 1), count, Now() - start);
  for (bool onDisk : {false, true}) {
    start = Now();
    TADict dict(dat, ind, false, onDisk, false);
    const double opened = Now() - start;
    const std::string mode = onDisk ? " (index on disk)" : " (index in memory)";
    ok &= Check(dict.EntryCount() == static_cast<int32_t>(count),
                "entry count " + std::to_string(dict.EntryCount()) + ", wanted " +
                    std::to_string(count) + mode + "; opened in " + std::to_string(opened) + " s");
    ok &= Check(dict.FindWord(Word(0)) == 0, "first entry found" + mode);
    const int32_t last = dict.FindWord(lastWord);
    ok &= Check(last == static_cast<int32_t>(count) - 1, "last entry found: got " +
                                                             std::to_string(last) + ", wanted " +
                                                             std::to_string(count - 1) + mode);
    const std::wstring text = dict.ReadEntry(last, 20);
    ok &= Check(text.compare(0, 7, lastWord) == 0, "last entry reads from its headword" + mode);
  }

  // One byte more: the file is 2^31 bytes and is refused.
  {
    FileHandle file(CreateFileA(dat.c_str(), FILE_APPEND_DATA, 0, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
    Put(file.Get(), "y", 1);
  }
  DeleteFileA(ind.c_str());
  try {
    TADict dict(dat, ind, false, false, false);
    ok &= Check(false, "a file of 2^31 bytes was opened");
  } catch (const EDictionaryTooLarge& e) {
    ok &= Check(std::string(e.what()).find("too large") != std::string::npos,
                std::string("2^31 bytes refused: ") + e.what());
  }
  ok &= Check(!FileExists(ind), "no index written for it");
  DeleteFileA(dat.c_str());
  DeleteFileA(ind.c_str());
  std::printf("%s\n", ok ? "stress run passed" : "stress run FAILED");
  return ok ? 0 : 1;
}

}  // namespace
}  // namespace lexmora

int main() {
  try {
    return lexmora::Run();
  } catch (const std::exception& e) {
    std::fprintf(stderr, "stress run failed: %s\n", e.what());
    return 1;
  }
}
