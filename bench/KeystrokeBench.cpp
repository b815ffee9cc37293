// Keystroke-to-paint timing of the real main window, run by scripts/bench-window.sh.
//
//   lexmora_keystroke_bench.exe <staged Lexmora.exe> [--entries N] [--words N] [--dicts D]
//                               [--forms LANG]
//
// Writes a bilingual dictionary of N entries (1 000 000 by default) into a program folder of
// its own beside a copy of the program, builds its index with the store's builder, points the
// settings of this Wine prefix at it, starts the program, and types words into the search box
// letter by letter, with backspaces, once with the index in memory and once with it on disk.
//
// One keystroke is timed from sending WM_CHAR to the search box's edit until the window has
// nothing left to paint:
//   - SendMessage returns only after the edit has handled the character; its change
//     notification runs the lookup and shows the entry and its four neighbours before that, and
//     each pane is repainted (WM_PAINT handled) while its rich text is loaded;
//   - then RedrawWindow(main, RDW_UPDATENOW | RDW_ALLCHILDREN) sends WM_PAINT to every window
//     of the main window that still has an invalid region (the edit's own text, for one) and
//     returns when they have painted.
// After the handler returns, the panes' update regions are checked (outside the timed span):
// a pane still waiting for its paint there would mean the first span left painting out.
// Prints mean, p50, p99 and max of the whole span and of its two parts, and of the keystrokes
// after which the large pane showed the same text (the lookup kept its entry) and the others. The
// settings key is restored at the end; the scratch folder is removed.
//
// With --dicts D, D dictionaries of N entries each (different words, some shared) are in use at
// once, the first leading the typed words; each run also tells the time from the program's start
// to its first entry shown and its working set after the typing.
//
// With --forms LANG the runs are made twice: without the morphology folder (no word forms), and
// with the staged Morphology\ and LANG kept as the language of the dictionary's headwords; the
// typing then starts once the window has taken in every language (WM_LEXMORA_LANGUAGES), so that
// no language loads while keystrokes are timed. Each run also tells the time from the program's
// start to its first entry shown and its working set after the typing. The word-form step is timed
// on its own, in this process, on the same keystrokes and on the keystrokes of real English forms.
#include <windows.h>
// after windows.h
#include <psapi.h>
#include <richedit.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <random>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "BenchClock.h"
#include "BenchSupport.h"
#include "FormStepBench.h"
#include "MainIds.h"
#include "RemoteWindow.h"
#include "base/Handle.h"
#include "base/Text.h"
#include "render/ARtfDisplayU.h"
#include "store/ADictU.h"
#include "store/DictFormat.h"

namespace lexmora {
namespace {

constexpr wchar_t kSep = dict_format::kEntrySeparator;
constexpr char kSettingsKey[] = "SOFTWARE\\Lexmora";
constexpr char kDictName[] = "KeystrokeBench";
constexpr DWORD kStartTimeoutMs = 120000;
constexpr UINT kSendTimeoutMs = 10000;
constexpr size_t kLongEntryChars = 1000;

[[noreturn]] void Fail(const std::string& what) {
  throw std::runtime_error(what + " (error " + std::to_string(GetLastError()) + ")");
}

// Removes a folder and everything below it.
void RemoveTree(const std::string& folder) {
  WIN32_FIND_DATAA fd;
  HANDLE h = FindFirstFileA((folder + "\\*").c_str(), &fd);
  if (h != INVALID_HANDLE_VALUE) {
    do {
      const std::string name = fd.cFileName;
      if (name == "." || name == "..")
        continue;
      const std::string path = folder + "\\" + name;
      if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
        RemoveTree(path);
      } else {
        DeleteFileA(path.c_str());
      }
    } while (FindNextFileA(h, &fd));
    FindClose(h);
  }
  RemoveDirectoryA(folder.c_str());
}

// A program folder of the benchmark's own: the program, its Data\ and a Dictionaries\ folder.
class ProgramFolder {
 public:
  explicit ProgramFolder(const std::string& stagedExe) {
    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    path_ = std::string(temp) + "lexmora-keys-" + std::to_string(GetCurrentProcessId());
    const std::string staged = stagedExe.substr(0, stagedExe.find_last_of("\\/") + 1);
    for (const std::string& sub :
         {std::string(), std::string("\\Dictionaries"), std::string("\\Data")}) {
      if (!CreateDirectoryA((path_ + sub).c_str(), nullptr))
        Fail("cannot create " + path_ + sub);
    }
    Copy(stagedExe, Exe());
    // Letter conversion is on by default and reads its tables from Data\.
    for (const char* table : {"conv_to.txt", "conv_from.txt"})
      Copy(staged + "Data\\" + table, path_ + "\\Data\\" + table);
    staged_ = staged;
  }
  // The staged Morphology\ beside the program, or none.
  void SetMorphology(bool present) {
    const std::string folder = path_ + "\\Morphology";
    RemoveTree(folder);
    if (!present)
      return;
    if (!CreateDirectoryA(folder.c_str(), nullptr))
      Fail("cannot create " + folder);
    WIN32_FIND_DATAA fd;
    HANDLE h = FindFirstFileA((staged_ + "Morphology\\*").c_str(), &fd);
    if (h == INVALID_HANDLE_VALUE)
      Fail("no staged Morphology folder");
    do {
      if ((fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0)
        Copy(staged_ + "Morphology\\" + fd.cFileName, folder + "\\" + fd.cFileName);
    } while (FindNextFileA(h, &fd));
    FindClose(h);
  }
  std::string StagedMorphology() const { return staged_ + "Morphology\\"; }
  ~ProgramFolder() { RemoveTree(path_); }
  ProgramFolder(const ProgramFolder&) = delete;
  ProgramFolder& operator=(const ProgramFolder&) = delete;

  std::string Exe() const { return path_ + "\\Lexmora.exe"; }
  // The dictionary `k` (0 is the first in use).
  std::string Dictionary(const char* extension, size_t k = 0) const {
    return path_ + "\\Dictionaries\\" + DictName(k) + extension;
  }
  static std::string DictName(size_t k) {
    return kDictName + (k == 0 ? std::string() : std::to_string(k + 1));
  }

 private:
  static void Copy(const std::string& from, const std::string& to) {
    if (!CopyFileA(from.c_str(), to.c_str(), FALSE))
      Fail("cannot copy " + from);
  }
  std::string path_;
  std::string staged_;
};

// ---- The dictionary ----

constexpr const wchar_t* kLatinSyllables[] = {
    L"ba", L"ce",  L"di", L"fo", L"gu", L"ha", L"je", L"ki", L"lo",  L"mu", L"na",
    L"pe", L"qui", L"ro", L"su", L"ta", L"ve", L"wi", L"xo", L"yu",  L"za", L"str",
    L"an", L"el",  L"in", L"on", L"ur", L"ck", L"sh", L"th", L"ing", L"er"};
constexpr const wchar_t* kCyrillicSyllables[] = {
    L"\x0431\x0430", L"\x0432\x0435", L"\x0433\x0438", L"\x0434\x043E", L"\x0436\x0443",
    L"\x0437\x0430", L"\x043A\x0435", L"\x043B\x0438", L"\x043C\x043E", L"\x043D\x0443",
    L"\x043F\x0430", L"\x0440\x0435", L"\x0441\x0438", L"\x0442\x043E", L"\x0444\x0443",
    L"\x0445\x0430", L"\x0446\x0435", L"\x0447\x0438", L"\x0448\x043E", L"\x0449\x0443",
    L"\x044F\x0432", L"\x044E\x0440", L"\x0430\x043D", L"\x043E\x0441", L"\x0438\x0442",
    L"\x0443\x043C", L"\x0435\x043B", L"\x044A\x0440"};

template <size_t N>
std::wstring MakeWord(const wchar_t* const (&syllables)[N], std::mt19937& rng) {
  std::wstring w;
  const int parts = 1 + static_cast<int>(rng() % 5);
  for (int k = 0; k < parts; ++k)
    w += syllables[rng() % N];
  return w;
}

// `count` distinct words, in ascending order.
template <size_t N>
std::vector<std::wstring> MakeWords(const wchar_t* const (&syllables)[N], size_t count,
                                    std::mt19937& rng) {
  std::vector<std::wstring> words;
  while (words.size() < count) {
    while (words.size() < count + count / 4)
      words.push_back(MakeWord(syllables, rng));
    std::sort(words.begin(), words.end());
    words.erase(std::unique(words.begin(), words.end()), words.end());
  }
  std::shuffle(words.begin(), words.end(), rng);
  words.resize(count);
  std::sort(words.begin(), words.end());
  return words;
}

// An entry as the shipped dictionaries write them: the headword on its own line, then senses
// in the other language and now and then an example; one entry in a hundred runs long.
std::wstring MakeEntry(const std::wstring& headword, bool latin, std::mt19937& rng) {
  std::wstring entry(1, kSep);
  entry += headword;
  const int senses =
      rng() % 100 == 0 ? 20 + static_cast<int>(rng() % 40) : 1 + static_cast<int>(rng() % 4);
  for (int s = 0; s < senses; ++s) {
    entry += L"\r\n";
    const int words = 1 + static_cast<int>(rng() % 3);
    for (int w = 0; w < words; ++w) {
      if (w > 0)
        entry += L", ";
      entry += latin ? MakeWord(kCyrillicSyllables, rng) : MakeWord(kLatinSyllables, rng);
    }
    if (rng() % 3 == 0) {
      entry += L"\r\n";
      entry += headword + L" " + MakeWord(kLatinSyllables, rng) + L" - " +
               MakeWord(kCyrillicSyllables, rng) + L" " + MakeWord(kCyrillicSyllables, rng) + L".";
    }
  }
  return entry;
}

// Writes the dictionary: Latin headwords first, then Cyrillic ones, each part in ascending
// order, so that an index in file order is in the search's order. Returns the headwords.
std::vector<std::wstring> WriteDictionary(const std::string& path, size_t count,
                                          std::mt19937& rng) {
  const size_t latinCount = count * 7 / 10;
  std::vector<std::wstring> headwords = MakeWords(kLatinSyllables, latinCount, rng);
  std::vector<std::wstring> cyrillic = MakeWords(kCyrillicSyllables, count - latinCount, rng);
  headwords.insert(headwords.end(), cyrillic.begin(), cyrillic.end());

  FileHandle file(CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file)
    Fail("cannot create " + path);
  std::wstring pending =
      L"\xFEFF"
      L"Keystroke benchmark dictionary\r\n";
  auto flush = [&] {
    DWORD put = 0;
    const auto bytes = static_cast<DWORD>(pending.size() * 2);
    if (!WriteFile(file.Get(), pending.data(), bytes, &put, nullptr) || put != bytes)
      Fail("cannot write " + path);
    pending.clear();
  };
  for (size_t k = 0; k < headwords.size(); ++k) {
    pending += MakeEntry(headwords[k], k < latinCount, rng);
    if (pending.size() >= (1u << 19))
      flush();
  }
  flush();
  return headwords;
}

// ---- Settings of this prefix ----

// The settings key's values, restored when the benchmark ends.
class SettingsSnapshot {
 public:
  SettingsSnapshot() {
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, kSettingsKey, 0, KEY_READ, &key) != ERROR_SUCCESS)
      return;
    existed_ = true;
    for (DWORD i = 0;; ++i) {
      char name[256];
      DWORD nameSize = sizeof name, type = 0, size = 0;
      if (RegEnumValueA(key, i, name, &nameSize, nullptr, &type, nullptr, &size) != ERROR_SUCCESS)
        break;
      Value v{name, type, std::vector<BYTE>(size)};
      nameSize = sizeof name;
      RegEnumValueA(key, i, name, &nameSize, nullptr, &type, v.data.data(), &size);
      values_.push_back(std::move(v));
    }
    RegCloseKey(key);
  }
  ~SettingsSnapshot() {
    RegDeleteTreeA(HKEY_CURRENT_USER, kSettingsKey);
    if (!existed_)
      return;
    HKEY key = nullptr;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, kSettingsKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                        &key, nullptr) != ERROR_SUCCESS) {
      return;
    }
    for (const Value& v : values_) {
      RegSetValueExA(key, v.name.c_str(), 0, v.type, v.data.data(),
                     static_cast<DWORD>(v.data.size()));
    }
    RegCloseKey(key);
  }
  SettingsSnapshot(const SettingsSnapshot&) = delete;
  SettingsSnapshot& operator=(const SettingsSnapshot&) = delete;

 private:
  struct Value {
    std::string name;
    DWORD type;
    std::vector<BYTE> data;
  };
  bool existed_ = false;
  std::vector<Value> values_;
};

void WriteSettings(bool indexOnDisk, size_t dicts, const std::wstring& formsLanguage) {
  RegDeleteTreeA(HKEY_CURRENT_USER, kSettingsKey);
  HKEY key = nullptr;
  if (RegCreateKeyExA(HKEY_CURRENT_USER, kSettingsKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
                      nullptr) != ERROR_SUCCESS) {
    Fail("cannot create the settings key");
  }
  RegSetValueExA(key, "Dict", 0, REG_SZ, reinterpret_cast<const BYTE*>(kDictName),
                 sizeof kDictName);
  if (dicts > 1) {
    std::string names;
    for (size_t k = 0; k < dicts; ++k)
      names += ProgramFolder::DictName(k) + '\0';
    names += '\0';
    RegSetValueExA(key, "Dicts", 0, REG_MULTI_SZ, reinterpret_cast<const BYTE*>(names.data()),
                   static_cast<DWORD>(names.size()));
  }
  const std::pair<const char*, DWORD> numbers[] = {
      {"Left", 10}, {"Top", 10}, {"Width", 640}, {"Height", 480}, {"ReadHDD", indexOnDisk}};
  for (const auto& [name, value] : numbers) {
    RegSetValueExA(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof value);
  }
  RegCloseKey(key);
  if (formsLanguage.empty())
    return;
  // The language of the headwords, as the options keep a choice.
  const std::string path = std::string(kSettingsKey) + "\\Languages\\" + kDictName;
  if (RegCreateKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
                      nullptr) != ERROR_SUCCESS) {
    Fail("cannot create the languages key");
  }
  const std::pair<const wchar_t*, std::wstring> texts[] = {
      {L"Headwords", formsLanguage}, {L"Meanings", L""}, {L"Stamp", L""}};
  for (const auto& [name, text] : texts) {
    RegSetValueExW(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                   static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
  }
  const DWORD chosen = 1;
  RegSetValueExA(key, "Chosen", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&chosen),
                 sizeof chosen);
  RegCloseKey(key);
}

// ---- The running program ----

std::wstring TextOf(HWND wnd) {
  return remote::TextOf(wnd, kSendTimeoutMs).value_or(L"");
}

struct MainWindow {
  HWND wnd = nullptr, edit = nullptr;
  HWND panes[5] = {};  // top to bottom
};

// One run of the program; ending it closes the window, and ends the process if it hangs.
class RunningProgram {
 public:
  explicit RunningProgram(const std::string& exe) {
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    std::string commandLine = "\"" + exe + "\"";
    if (!CreateProcessA(exe.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        nullptr, &startup, &info_)) {
      Fail("cannot start " + exe);
    }
  }
  ~RunningProgram() {
    if (window_.wnd != nullptr)
      PostMessageW(window_.wnd, WM_CLOSE, 0, 0);
    if (WaitForSingleObject(info_.hProcess, 10000) != WAIT_OBJECT_0) {
      TerminateProcess(info_.hProcess, 99);
      WaitForSingleObject(info_.hProcess, 5000);
    }
    CloseHandle(info_.hThread);
    CloseHandle(info_.hProcess);
  }
  RunningProgram(const RunningProgram&) = delete;
  RunningProgram& operator=(const RunningProgram&) = delete;

  // The process's working set now, in MiB.
  double WorkingSetMb() const {
    PROCESS_MEMORY_COUNTERS counters{};
    counters.cb = sizeof counters;
    if (!GetProcessMemoryInfo(info_.hProcess, &counters, sizeof counters))
      return 0;
    return static_cast<double>(counters.WorkingSetSize) / (1024.0 * 1024.0);
  }

  // The main window once it shows its first entry.
  const MainWindow& WaitForFirstEntry() {
    const ULONGLONG end = GetTickCount64() + kStartTimeoutMs;
    for (;;) {
      HWND wnd = remote::FindMainWindow();
      DWORD pid = 0;
      if (wnd != nullptr)
        GetWindowThreadProcessId(wnd, &pid);
      if (pid == info_.dwProcessId && IsWindowEnabled(wnd)) {
        HWND meaning = remote::FindDescendantById(wnd, IDC_REMEANING);
        if (meaning != nullptr && !TextOf(meaning).empty()) {
          window_.wnd = wnd;
          break;
        }
      }
      if (WaitForSingleObject(info_.hProcess, 0) == WAIT_OBJECT_0)
        throw std::runtime_error("the program ended before it showed an entry");
      if (GetTickCount64() >= end)
        throw std::runtime_error("the program showed no entry in time");
      Sleep(50);
    }
    const int ids[5] = {IDC_RETOP1, IDC_RETOP2, IDC_REMEANING, IDC_REBOTTOM2, IDC_REBOTTOM1};
    for (int k = 0; k < 5; ++k)
      window_.panes[k] = remote::FindDescendantById(window_.wnd, ids[k]);
    window_.edit = remote::SearchEditOf(window_.wnd);
    if (window_.edit == nullptr || std::find(std::begin(window_.panes), std::end(window_.panes),
                                             nullptr) != std::end(window_.panes)) {
      throw std::runtime_error("the main window lacks its search box or a pane");
    }
    return window_;
  }

 private:
  PROCESS_INFORMATION info_{};
  MainWindow window_;
};

// Waits until the window has taken in every language of word forms (each loaded or turned off,
// and the search text looked up again with it), so that no load reloads the panes while the
// keystrokes are timed.
void WaitForLanguages(const MainWindow& window) {
  const ULONGLONG end = GetTickCount64() + kStartTimeoutMs;
  for (;;) {
    DWORD_PTR answer = 0;
    if (!SendMessageTimeoutW(window.wnd, WM_LEXMORA_LANGUAGES, 0, 0, SMTO_NORMAL, kSendTimeoutMs,
                             &answer)) {
      throw std::runtime_error("the program did not tell its languages in time");
    }
    if (HIWORD(answer) > 0 && LOWORD(answer) == HIWORD(answer))
      break;
    if (GetTickCount64() >= end)
      throw std::runtime_error("the program did not take in its languages in time");
    Sleep(20);
  }
  // What the last lookup left to paint is painted before the timing starts.
  RedrawWindow(window.wnd, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
}

// ---- Typing ----

struct Keystroke {
  wchar_t c;
  bool selectAllFirst;  // the character replaces the whole search text, as after Escape
  bool wordComplete;    // the search text is now a whole headword
};

// Each word is typed letter by letter over the previous search text; then its last two
// letters are taken back and typed again.
std::vector<Keystroke> MakeScript(const std::vector<std::wstring>& words) {
  std::vector<Keystroke> script;
  for (const std::wstring& w : words) {
    for (size_t k = 0; k < w.size(); ++k)
      script.push_back({w[k], k == 0, k + 1 == w.size()});
    const size_t back = std::min<size_t>(2, w.size() - 1);
    for (size_t k = 0; k < back; ++k)
      script.push_back({L'\b', false, false});
    for (size_t k = w.size() - back; k < w.size(); ++k)
      script.push_back({w[k], false, k + 1 == w.size()});
  }
  return script;
}

struct Timings {
  std::vector<double> total, handler, flush;  // milliseconds
  // Baselines: a message the edit answers at once, and a keystroke that empties the search
  // box, which runs the edit and its change notification but no lookup and paints no pane.
  std::vector<double> roundTrip, clearing;
  // The whole span of the keystrokes that showed a long entry (over kLongEntryChars) in the
  // main pane, and of the others: whether the slowest keystrokes are those of long entries.
  std::vector<double> longEntries, shortEntries;
  // The whole span of the keystrokes after which the large pane showed the same text as before
  // (the lookup kept its entry), and of the others.
  std::vector<double> keptEntry, changedEntry;
  int pendingPanes = 0;  // panes still invalid when the handler returned
  int wordsChecked = 0, wordsFound = 0;
};

// Whether the large pane's `text` shows the entry of `word`: its first line, or with several
// dictionaries in use the line below the first heading.
bool ShowsHeadword(std::wstring text, const std::wstring& word, bool headings) {
  if (headings)
    text.erase(0,
               std::min(text.size(), text.find_first_not_of(L"\r\n", text.find_first_of(L"\r\n"))));
  return text.compare(0, text.find_first_of(L"\r\n"), word) == 0;
}

Timings TypeScript(const MainWindow& window, const std::vector<Keystroke>& script, bool headings) {
  Timings t;
  std::wstring shownBefore = TextOf(window.panes[2]);
  for (const Keystroke& k : script) {
    if (k.selectAllFirst)
      SendMessageW(window.edit, EM_SETSEL, 0, -1);
    DWORD_PTR ignored = 0;
    const double start = Now();
    if (!SendMessageTimeoutW(window.edit, WM_CHAR, k.c, 1, SMTO_NORMAL, kSendTimeoutMs, &ignored)) {
      throw std::runtime_error("the program did not take a keystroke in time");
    }
    const double handled = Now();
    int pending = 0;
    for (HWND pane : window.panes) {
      if (GetUpdateRect(pane, nullptr, FALSE))
        ++pending;
    }
    if (pending > 0) {
      // Which keystroke, for the one who looks into it.
      const HWND line = remote::FindDescendantById(window.wnd, IDC_LNKFORMS);
      std::fprintf(stderr, "%d pane(s) left unpainted after \"%s\"; the line %s \"%s\"\n", pending,
                   ToUtf8(TextOf(window.edit)).c_str(),
                   line != nullptr && IsWindowVisible(line) ? "shows" : "is hidden, last",
                   line != nullptr ? ToUtf8(TextOf(line)).c_str() : "");
      t.pendingPanes += pending;
    }
    const double flushStart = Now();
    RedrawWindow(window.wnd, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
    const double end = Now();
    t.handler.push_back((handled - start) * 1000);
    t.flush.push_back((end - flushStart) * 1000);
    t.total.push_back((handled - start + end - flushStart) * 1000);
    DWORD_PTR shown = 0;
    SendMessageTimeoutW(window.panes[2], WM_GETTEXTLENGTH, 0, 0, SMTO_NORMAL, kSendTimeoutMs,
                        &shown);
    (shown > kLongEntryChars ? t.longEntries : t.shortEntries).push_back(t.total.back());
    std::wstring shownAfter = TextOf(window.panes[2]);
    (shownAfter == shownBefore ? t.keptEntry : t.changedEntry).push_back(t.total.back());
    shownBefore = std::move(shownAfter);
    if (k.wordComplete) {
      DWORD_PTR length = 0;
      double before = Now();
      SendMessageTimeoutW(window.edit, WM_GETTEXTLENGTH, 0, 0, SMTO_NORMAL, kSendTimeoutMs,
                          &length);
      t.roundTrip.push_back((Now() - before) * 1000);
      const std::wstring text = TextOf(window.edit);
      ++t.wordsChecked;
      if (ShowsHeadword(TextOf(window.panes[2]), text, headings))
        ++t.wordsFound;
    }
  }
  for (int k = 0; k < 50; ++k) {
    DWORD_PTR ignored = 0;
    SendMessageW(window.edit, EM_SETSEL, 0, -1);
    SendMessageTimeoutW(window.edit, WM_CHAR, L'b', 1, SMTO_NORMAL, kSendTimeoutMs, &ignored);
    RedrawWindow(window.wnd, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
    SendMessageW(window.edit, EM_SETSEL, 0, -1);
    const double before = Now();
    SendMessageTimeoutW(window.edit, WM_CHAR, L'\b', 1, SMTO_NORMAL, kSendTimeoutMs, &ignored);
    RedrawWindow(window.wnd, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
    t.clearing.push_back((Now() - before) * 1000);
  }
  return t;
}

// Nearest-rank percentile of sorted values.
double Percentile(const std::vector<double>& sorted, double p) {
  const size_t rank =
      static_cast<size_t>(std::ceil(p / 100.0 * static_cast<double>(sorted.size())));
  return sorted[std::clamp<size_t>(rank, 1, sorted.size()) - 1];
}

std::string Summary(std::vector<double> ms) {
  std::sort(ms.begin(), ms.end());
  double sum = 0;
  for (double v : ms)
    sum += v;
  return "mean " + Fixed(sum / static_cast<double>(ms.size()), 2) + ", p50 " +
         Fixed(Percentile(ms, 50), 2) + ", p99 " + Fixed(Percentile(ms, 99), 2) + ", max " +
         Fixed(ms.back(), 2) + " ms";
}

// The search text after each keystroke of `script`.
std::vector<std::wstring> SearchTexts(const std::vector<Keystroke>& script) {
  std::vector<std::wstring> texts;
  std::wstring search;
  for (const Keystroke& k : script) {
    if (k.selectAllFirst)
      search.clear();
    if (k.c == L'\b') {
      search.pop_back();
    } else {
      search += k.c;
    }
    texts.push_back(search);
  }
  return texts;
}

// ---- Where the time goes ----

// The steps the main window takes for one keystroke, done again in a window of the benchmark's
// own with five rich-text panes of the same sizes, each step timed on its own: the lookup, the
// entries read and turned into rich text, the rich text streamed into the panes (redrawing
// off) and the panes repainted. The program does the same with LoadRtfIntoPane, one pane after
// the other; here the steps are taken apart. Letter conversion is left out (its tables lie
// beside the program); it only changes the lookup's key.
class ProfileWindow {
 public:
  ProfileWindow() {
    if (LoadLibraryW(L"Msftedit.dll") == nullptr)
      Fail("cannot load the rich edit control");
    WNDCLASSW wc{};
    wc.lpfnWndProc = DefWindowProcW;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"LexmoraKeystrokeProfile";
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    RegisterClassW(&wc);
    wnd_ = CreateWindowExW(0, wc.lpszClassName, L"profile", WS_POPUP | WS_VISIBLE, 10, 10, 640, 480,
                           nullptr, nullptr, wc.hInstance, nullptr);
    if (wnd_ == nullptr)
      Fail("cannot create the profile window");
    // The main window's stack: tool bar 30, spacers 9, previews 17, the meaning pane the rest.
    const int heights[5] = {17, 17, 480 - 30 - 6 * 9 - 4 * 17, 17, 17};
    const int gaps[5] = {30 + 9, 9, 9, 9, 9};
    int y = 0;
    for (int k = 0; k < 5; ++k) {
      y += gaps[k];
      const DWORD style = WS_CHILD | WS_VISIBLE | ES_MULTILINE | ES_READONLY | ES_NOHIDESEL |
                          (k == 2 ? WS_VSCROLL : 0);
      panes_[k] = CreateWindowExW(0, L"RICHEDIT50W", L"", style, 0, y, 640, heights[k], wnd_,
                                  nullptr, wc.hInstance, nullptr);
      SendMessageW(panes_[k], EM_SETBKGNDCOLOR, 0, GetSysColor(COLOR_WINDOW));
      y += heights[k];
    }
    Pump();
  }
  ~ProfileWindow() { DestroyWindow(wnd_); }
  ProfileWindow(const ProfileWindow&) = delete;
  ProfileWindow& operator=(const ProfileWindow&) = delete;

  HWND Pane(int k) const { return panes_[k]; }
  static void Pump() {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE))
      DispatchMessageW(&msg);
  }

 private:
  HWND wnd_ = nullptr;
  HWND panes_[5] = {};
};

DWORD CALLBACK ReadRtf(DWORD_PTR cookie, LPBYTE buffer, LONG size, LONG* done) {
  auto& rest = *reinterpret_cast<std::string_view*>(cookie);
  const size_t count = std::min(rest.size(), static_cast<size_t>(std::max<LONG>(size, 0)));
  std::copy_n(rest.data(), count, buffer);
  rest.remove_prefix(count);
  *done = static_cast<LONG>(count);
  return 0;
}

struct StepTimes {
  std::vector<double> lookup, format, stream, paint;  // milliseconds per keystroke
};

StepTimes ProfileSteps(const std::string& dataFile, const std::string& indexFile, bool indexOnDisk,
                       const std::vector<Keystroke>& script) {
  ProfileWindow window;
  TADict dict(dataFile, indexFile, false, indexOnDisk, false);
  StepTimes t;
  for (const std::wstring& search : SearchTexts(script)) {
    double start = Now();
    const int32_t i = dict.FindWord(search);
    t.lookup.push_back((Now() - start) * 1000);

    start = Now();
    std::string rtf[5];
    for (int p = 0; p < 5; ++p) {
      rtf[p] = p == 2 ? FormatEntryRtf(dict.ReadEntry(i, -1), "Lucida Sans Unicode", 8)
                      : FormatPreviewRtf(dict.ReadEntry(i + p - 2, 50) + L" ...",
                                         "Lucida Sans Unicode", 8);
    }
    t.format.push_back((Now() - start) * 1000);

    start = Now();
    for (int p = 0; p < 5; ++p) {
      SendMessageW(window.Pane(p), WM_SETREDRAW, FALSE, 0);
      std::string_view rest = rtf[p];
      EDITSTREAM stream{reinterpret_cast<DWORD_PTR>(&rest), 0, &ReadRtf};
      SendMessageW(window.Pane(p), EM_STREAMIN, SF_RTF, reinterpret_cast<LPARAM>(&stream));
    }
    t.stream.push_back((Now() - start) * 1000);

    start = Now();
    for (int p = 0; p < 5; ++p) {
      SendMessageW(window.Pane(p), WM_SETREDRAW, TRUE, 0);
      RedrawWindow(window.Pane(p), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    }
    t.paint.push_back((Now() - start) * 1000);
    ProfileWindow::Pump();
  }
  return t;
}

std::string Brief(std::vector<double> ms) {
  std::sort(ms.begin(), ms.end());
  double sum = 0;
  for (double v : ms)
    sum += v;
  return Fixed(sum / static_cast<double>(ms.size()), 2) + " / " + Fixed(Percentile(ms, 99), 2);
}

int Run(const std::string& stagedExe, size_t entries, size_t wordCount, size_t dicts,
        const std::wstring& formsLanguage) {
  ProgramFolder folder(stagedExe);
  SettingsSnapshot settings;
  std::mt19937 rng(2024);

  std::vector<std::wstring> headwords;
  for (size_t k = 0; k < dicts; ++k) {
    double start = Now();
    const std::vector<std::wstring> written =
        WriteDictionary(folder.Dictionary(".dat", k), entries, rng);
    const double writing = Now() - start;
    start = Now();
    TIndexList list;
    FILETIME time{};
    ScanEntries(folder.Dictionary(".dat", k), false, list, time, nullptr);
    WriteIndexFile(folder.Dictionary(".ind", k), list, time);
    if (list.size() != written.size())
      throw std::runtime_error("the index does not hold one offset per entry");
    std::fprintf(stderr, "dictionary of %zu entries written in %.1f s, indexed in %.2f s\n",
                 written.size(), writing, Now() - start);
    if (k == 0)
      headwords = written;
  }

  std::printf("| what | measured | target |\n|---|---|---|\n");
  int status = 0;
  // The same words for each run of one index mode.
  std::vector<Keystroke> warmUps[2], scripts[2];
  for (int disk = 0; disk < 2; ++disk) {
    std::vector<std::wstring> words;
    // A warm-up word first, not counted: the first lookups load fonts and page in the files.
    for (size_t k = 0; k <= wordCount; ++k)
      words.push_back(headwords[rng() % headwords.size()]);
    warmUps[disk] = MakeScript({words.front()});
    scripts[disk] = MakeScript({words.begin() + 1, words.end()});
  }
  std::vector<std::wstring> languages = {L""};
  if (!formsLanguage.empty())
    languages.push_back(formsLanguage);
  for (const std::wstring& language : languages) {
    folder.SetMorphology(!language.empty());
    const std::string forms =
        language.empty() ? std::string(", no word forms") : ", word forms of " + ToUtf8(language);
    for (bool indexOnDisk : {false, true}) {
      const std::vector<Keystroke>& script = scripts[indexOnDisk];
      WriteSettings(indexOnDisk, dicts, language);
      const double started = Now();
      RunningProgram program(folder.Exe());
      const MainWindow& window = program.WaitForFirstEntry();
      const double usable = Now() - started;
      if (!language.empty())
        WaitForLanguages(window);
      const double languagesIn = Now() - started;
      TypeScript(window, warmUps[indexOnDisk], dicts > 1);
      const Timings t = TypeScript(window, script, dicts > 1);
      const double workingSet = program.WorkingSetMb();

      // A missed target is a figure, not a failure; a pane left unpainted or a typed word not
      // shown is.
      if (t.pendingPanes > 0 || t.wordsFound != t.wordsChecked)
        status = 1;
      Row(std::string("keystroke to five panes painted, ") +
              (dicts > 1 ? std::to_string(dicts) + " dictionaries of " : std::string()) +
              std::to_string(entries) + " entries, index " +
              (indexOnDisk ? "on disk" : "in memory") + forms + ", " +
              std::to_string(t.total.size()) + " keystrokes",
          Summary(t.total) + " (handler with lookup and pane loads: " + Summary(t.handler) +
              "; paint still pending after it: " + Summary(t.flush) +
              "); panes left unpainted by "
              "the handler: " +
              std::to_string(t.pendingPanes) + "; typed words shown: " +
              std::to_string(t.wordsFound) + "/" + std::to_string(t.wordsChecked) +
              "; keystrokes showing an entry over " + std::to_string(kLongEntryChars) +
              " characters: " + std::to_string(t.longEntries.size()) + ", " +
              (t.longEntries.empty() ? std::string("-") : Summary(t.longEntries)) + "; others " +
              Summary(t.shortEntries) +
              "; keystrokes that kept the entry shown: " + std::to_string(t.keptEntry.size()) +
              ", " + (t.keptEntry.empty() ? std::string("-") : Summary(t.keptEntry)) +
              "; that changed it: " + std::to_string(t.changedEntry.size()) + ", " +
              (t.changedEntry.empty() ? std::string("-") : Summary(t.changedEntry)) +
              "; baselines: message round trip " + Summary(t.roundTrip) +
              ", keystroke that empties the box (no lookup) " + Summary(t.clearing) +
              "; start to first entry " + Fixed(usable, 2) + " s" +
              (language.empty() ? std::string()
                                : ", to its languages taken in " + Fixed(languagesIn, 2) + " s") +
              "; working set after typing " + Fixed(workingSet, 1) + " MiB",
          "p99 < 16 ms");
      if (!language.empty())
        continue;
      const StepTimes steps =
          ProfileSteps(folder.Dictionary(".dat"), folder.Dictionary(".ind"), indexOnDisk, script);
      Row(std::string("the same keystrokes' steps in the benchmark's own window, index ") +
              (indexOnDisk ? "on disk" : "in memory") + ", mean / p99 ms",
          "lookup " + Brief(steps.lookup) + "; five entries read and made rich text " +
              Brief(steps.format) + "; streamed into the five panes " + Brief(steps.stream) +
              "; five panes repainted " + Brief(steps.paint),
          "-");
    }
  }
  if (!formsLanguage.empty()) {
    FormStepRows(folder.Dictionary(".dat"), folder.Dictionary(".ind"), folder.StagedMorphology(),
                 formsLanguage, SearchTexts(scripts[0]));
  }
  return status;
}

}  // namespace
}  // namespace lexmora

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr,
                 "usage: lexmora_keystroke_bench <Lexmora.exe> [--entries N] [--words N] "
                 "[--dicts D] [--forms LANG]\n");
    return 2;
  }
  size_t entries = 1000000, words = 40, dicts = 1;
  std::wstring forms;
  for (int k = 2; k + 1 < argc; k += 2) {
    const std::string option = argv[k];
    if (option == "--entries") {
      entries = std::stoul(argv[k + 1]);
    } else if (option == "--words") {
      words = std::stoul(argv[k + 1]);
    } else if (option == "--dicts") {
      dicts = std::max<size_t>(1, std::stoul(argv[k + 1]));
    } else if (option == "--forms") {
      forms = lexmora::ToWide(argv[k + 1]);
    }
  }
  try {
    return lexmora::Run(argv[1], entries, words, dicts, forms);
  } catch (const std::exception& e) {
    std::fprintf(stderr, "keystroke benchmark failed: %s\n", e.what());
    return 1;
  }
}
