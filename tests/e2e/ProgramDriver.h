#pragma once
// Drives the staged Lexmora.exe from outside, as a user and as a second copy would: a program
// folder of the test's own, the settings key, the running process with its windows, typing and
// clicking by posted messages, and the texts of the panes.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdint>
#include <functional>
#include <initializer_list>
#include <optional>
#include <string>
#include <vector>

#include "TestFiles.h"

namespace lexmora::e2e {

// How long a wait for the program lasts before the test gives up.
inline constexpr DWORD kWaitMs = 10000;

// Polls `done` until it holds or `timeoutMs` have passed: 10 ms apart at first, the pause growing
// by half each time up to 100 ms, so a condition that turns true late is seen up to 100 ms after.
bool WaitUntil(const std::function<bool()>& done, DWORD timeoutMs = kWaitMs);

// ---- The program folder ----

// The staged folder <build>/Lexmora/ with its trailing backslash.
std::string StagedFolder();

// A scratch program folder holding a copy of the staged Lexmora.exe and whatever data a test
// adds. Copies keep their last-write times, so an index written here stays fresh.
class ProgramFolder {
 public:
  ProgramFolder();
  // The program in a folder of this name inside the scratch folder; the name may hold letters
  // that the system code page cannot spell (use the wide paths then).
  explicit ProgramFolder(const std::wstring& folderName);
  std::string Path() const;
  std::string Exe() const { return Path() + "Lexmora.exe"; }
  const std::wstring& WidePath() const { return folder_; }
  std::wstring WideExe() const { return folder_ + L"Lexmora.exe"; }
  std::wstring WideDataFile(const std::wstring& name) const;   // Dictionaries\<name>.dat
  std::wstring WideIndexFile(const std::wstring& name) const;  // Dictionaries\<name>.ind
  std::string DataFile(const std::string& name) const;         // Dictionaries\<name>.dat
  std::string IndexFile(const std::string& name) const;        // Dictionaries\<name>.ind
  // Copies the staged Dictionaries\<name>.dat; with withIndex, also writes its index (file order).
  void AddShippedDictionary(const std::string& name, bool withIndex = true);
  // Writes Dictionaries\<name>.dat holding a title line and `entries` in that order, and with
  // withIndex its index in file order.
  void AddDictionary(const std::string& name, const std::vector<std::wstring>& entries);
  void AddDictionary(const std::wstring& name, const std::vector<std::wstring>& entries,
                     bool withIndex);
  // Data\conv_to.txt and Data\conv_from.txt from the staged folder.
  void AddConversionTables();
  // Morphology\ with the staged Hunspell pairs of `languages` ("bg_BG") and their tables of
  // irregular forms.
  void AddMorphology(const std::vector<std::wstring>& languages);

 private:
  test::TempDir dir_;
  std::wstring folder_;
};

// ---- Dictionary files, read independently of the program ----

// The entries of a dictionary file in file order (the preamble left out).
std::vector<std::wstring> ReadEntries(const std::string& dataPath);
// The index the program must write for a dictionary file in file order: its last-write time,
// then one offset per entry.
test::Bytes FileOrderIndex(const std::string& dataPath);
test::Bytes FileOrderIndex(const std::wstring& dataPath);

// What the panes show, in the form PaneText returns: the main pane holds the whole entry with
// one paragraph per line; a preview holds the first 50 characters on one line and " ...".
std::wstring MainPaneText(const std::wstring& entry);
std::wstring PreviewText(const std::wstring& entry);
inline const std::wstring kBeyondTheEnd = L" ...";

// ---- Settings: SOFTWARE\Lexmora of this prefix, under HKEY_CURRENT_USER unless a test writes
// the machine-wide key of earlier copies ----

struct RegValue {
  DWORD type = REG_NONE;
  test::Bytes data;
  bool operator==(const RegValue&) const = default;
};
RegValue DwordValue(uint32_t value);
RegValue StringValue(const std::string& value);  // REG_SZ with its terminating NUL
std::string Describe(const RegValue& value);

// Removes the key under both roots.
void ClearSettings();
void WriteSetting(const std::string& name, const RegValue& value, HKEY root = HKEY_CURRENT_USER);
std::optional<RegValue> ReadSetting(const std::string& name, HKEY root = HKEY_CURRENT_USER);
std::vector<std::string> SettingNames(HKEY root = HKEY_CURRENT_USER);

// ---- Windows of another process ----

std::wstring ClassOf(HWND wnd);
// Class names compare without regard to case (Wine may report another process's in capitals).
bool HasClass(HWND wnd, const std::wstring& name);
// WM_GETTEXT, with a timeout so that a hung program fails the test instead of blocking it.
std::wstring TextOf(HWND wnd);
// A pane's text with line ends as "\n" and no line end at the end.
std::wstring PaneText(HWND pane);
HWND FindChild(HWND parent, const std::function<bool(HWND)>& match);
std::string Narrow(const std::wstring& text);  // UTF-8, for failure messages

// Keyboard and mouse input posted to a window, as the system would queue it.
void TypeText(HWND wnd, const std::wstring& text);  // WM_CHAR per character
// WM_KEYDOWN and WM_KEYUP. The program's message loop makes the WM_CHAR of the key and posts it
// behind whatever is queued by then, so wait for the key's effect before posting more input.
void PressKey(HWND wnd, UINT vk);
void SelectAll(HWND edit);
void ClickAt(HWND wnd, int x, int y);
// A double click with the left, right or middle button (`down` is WM_LBUTTONDOWN, ...): the
// first press and release, then the second press as the system reports it (WM_LBUTTONDBLCLK,
// ...) and its release.
void DoubleClickAt(HWND wnd, UINT down, int x, int y);
// Keys typed on the keyboard with modifiers held (VK_SHIFT, VK_CONTROL), through the system's
// input, which sets the key state that posted messages leave alone. The window `wnd` of the
// program comes to the foreground first; the keys go to whatever control has its focus.
bool SendChord(HWND wnd, std::initializer_list<UINT> modifiers, UINT vk);
// The same keys typed into whatever window is in front, as a global hotkey is typed.
bool SendKeys(std::initializer_list<UINT> modifiers, UINT vk);

// ---- The clipboard, as another program uses it ----

// Puts `text` on the clipboard as CF_UNICODETEXT, owned by no window; false when it cannot.
bool SetClipboardText(const std::wstring& text);
// The clipboard's CF_UNICODETEXT, or nothing.
std::optional<std::wstring> ClipboardText();

// A window of another program in front of the others (made by this test program, on a thread of
// its own that answers its messages).
class OtherWindow {
 public:
  OtherWindow();
  ~OtherWindow();
  OtherWindow(const OtherWindow&) = delete;
  OtherWindow& operator=(const OtherWindow&) = delete;
  HWND Handle() const { return wnd_; }
  // Makes it the foreground window; false when it did not become that.
  bool ComeForward() const;

 private:
  HANDLE thread_ = nullptr;
  HANDLE ready_ = nullptr;
  HWND wnd_ = nullptr;
};

// The index progress window: a topmost window without a title bar that holds a progress bar and
// "OK".
bool IsProgressWindow(HWND w);
// A message box of the program, captioned with its title.
bool IsMessageBox(HWND w);

// The main window and its controls, found by their ids.
struct MainWindow {
  HWND wnd = nullptr;
  HWND toolBar = nullptr;
  HWND search = nullptr;      // the combo box
  HWND searchEdit = nullptr;  // its edit field
  HWND top1 = nullptr, top2 = nullptr, meaning = nullptr, bottom2 = nullptr, bottom1 = nullptr;
  explicit operator bool() const { return wnd != nullptr; }
  // The five panes, top to bottom.
  std::vector<std::wstring> Panes() const;
  std::wstring SearchText() const { return TextOf(search); }
};

// Waits until the program's user-interface thread has handled every message posted to its
// windows before this call (typed characters, key presses, clicks, clipboard notices), and the
// messages that those posted in turn (the character the message loop makes of a key, the
// clipboard notice of a copy). A thread handles posted messages in the order they came, so the
// test posts one of its own behind them, a harmless one (the tool bar's anchor highlight, which
// only the keyboard's hot tracking uses), and waits for its effect. Input sent with SendInput is
// handled after posted messages and is not waited for. False when the program did not get there
// within the timeout.
bool WaitForPostedMessages(const MainWindow& main, DWORD timeoutMs = kWaitMs);

// Types `word` into the search box as a user does, key by key: what the box holds is selected
// and deleted first, then each key goes down and up through the program's message loop, which
// makes its character, and the next key waits until the box shows the word so far. Fails,
// saying what the box showed, when a key's character did not arrive.
::testing::AssertionResult TypeWord(const MainWindow& main, const std::wstring& word);

// ---- The running program ----

// One run of Lexmora.exe. Ending the object ends the process on every path: WM_CLOSE to its
// windows first, then TerminateProcess, so no test leaves a process or a message box behind.
class RunningProgram {
 public:
  explicit RunningProgram(const std::string& exe);
  explicit RunningProgram(const std::wstring& exe);
  ~RunningProgram();
  RunningProgram(const RunningProgram&) = delete;
  RunningProgram& operator=(const RunningProgram&) = delete;

  DWORD Pid() const { return info_.dwProcessId; }
  DWORD ThreadId() const { return info_.dwThreadId; }
  bool Running() const;
  // The exit code once the process has ended within the timeout, otherwise nothing.
  std::optional<DWORD> WaitForExit(DWORD timeoutMs = kWaitMs);
  // Posts WM_CLOSE to the main window and waits for the process to end.
  std::optional<DWORD> Close(DWORD timeoutMs = kWaitMs);
  // Stops the program's user-interface thread, as a program that hangs, and lets it go on.
  void Hang();
  void Resume();

  // The visible top-level windows of the process.
  std::vector<HWND> Windows() const;
  HWND WaitForWindow(const std::function<bool(HWND)>& match, DWORD timeoutMs = kWaitMs) const;
  // The main window ("TfmMain.UnicodeClass", "Lexmora - BETA RELEASE") once it exists.
  MainWindow WaitForMainWindow(DWORD timeoutMs = kWaitMs) const;
  // The main window once it shows an entry (its first activation is over).
  MainWindow WaitForFirstEntry(DWORD timeoutMs = kWaitMs) const;
  // The window with the keyboard focus in the program's user-interface thread.
  HWND Focus() const;
  // Classes, titles and texts of the process's windows (message boxes included), for failures.
  std::string DescribeWindows() const;

 private:
  PROCESS_INFORMATION info_{};
};

}  // namespace lexmora::e2e
