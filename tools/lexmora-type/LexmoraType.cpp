// lexmora-type: drives a running Lexmora from outside, for scripts/run.sh.
//
//   lexmora-type WORD     waits for the main window and its first entry (pressing OK on the
//                         index window if one comes up), types WORD into the search box, waits
//                         for the lookup, and prints the window's rectangle and the entry's
//                         first line
//   lexmora-type --close  closes the main window and waits until it is gone
//
// With --desktop=NAME first, it looks for the program on that desktop (a Wine desktop started
// with `explorer /desktop=NAME,...`), since windows of another desktop cannot be found.
//
// Exit code 0 on success, 1 when the program did not do its part within the time allowed.
#include <windows.h>
// (needs windows.h first)
#include <commctrl.h>
#include <shellapi.h>

#include <cstdio>
#include <string>
#include <utility>

#include "MainIds.h"
#include "RemoteWindow.h"

namespace {

using lexmora::remote::FindDescendantById;
using lexmora::remote::FindMainWindow;
constexpr DWORD kStartTimeoutMs = 60000;  // includes building the index of a large dictionary
constexpr DWORD kTimeoutMs = 10000;

void Print(const std::wstring& text) {
  int n = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0,
                              nullptr, nullptr);
  std::string bytes(n, '\0');
  WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), bytes.data(), n,
                      nullptr, nullptr);
  bytes += '\n';
  DWORD written = 0;
  WriteFile(GetStdHandle(STD_OUTPUT_HANDLE), bytes.data(), static_cast<DWORD>(bytes.size()),
            &written, nullptr);
}

std::wstring TextOf(HWND wnd) {
  return lexmora::remote::TextOf(wnd).value_or(L"");
}

// Presses OK on the program's index window once the index is written.
void ConfirmIndexWindow(DWORD pid) {
  EnumWindows(
      [](HWND w, LPARAM p) -> BOOL {
        DWORD owner = 0;
        GetWindowThreadProcessId(w, &owner);
        if (owner != static_cast<DWORD>(p) || !IsWindowVisible(w))
          return TRUE;
        if (FindWindowExW(w, nullptr, PROGRESS_CLASSW, nullptr) == nullptr)
          return TRUE;
        HWND ok = FindWindowExW(w, nullptr, L"Button", L"OK");
        if (ok != nullptr && IsWindowEnabled(ok)) {
          Print(L"index built; pressing OK");
          PostMessageW(ok, BM_CLICK, 0, 0);
        }
        return TRUE;
      },
      static_cast<LPARAM>(pid));
}

bool WaitUntil(DWORD timeoutMs, auto done) {
  const ULONGLONG end = GetTickCount64() + timeoutMs;
  while (!done()) {
    if (GetTickCount64() >= end)
      return false;
    Sleep(50);
  }
  return true;
}

int Close() {
  HWND main = FindMainWindow();
  if (main == nullptr)
    return 0;
  PostMessageW(main, WM_CLOSE, 0, 0);
  if (!WaitUntil(kTimeoutMs, [] { return FindMainWindow() == nullptr; })) {
    Print(L"lexmora-type: the program did not close");
    return 1;
  }
  return 0;
}

int Type(const std::wstring& word) {
  HWND main = nullptr;
  HWND meaning = nullptr;
  const bool started = WaitUntil(kStartTimeoutMs, [&] {
    main = FindMainWindow();
    if (main == nullptr)
      return false;
    DWORD pid = 0;
    GetWindowThreadProcessId(main, &pid);
    ConfirmIndexWindow(pid);
    meaning = FindDescendantById(main, IDC_REMEANING);
    return meaning != nullptr && IsWindowEnabled(main) && !TextOf(meaning).empty();
  });
  if (!started) {
    Print(L"lexmora-type: the program shows no entry");
    return 1;
  }
  HWND combo = FindDescendantById(main, IDC_CBSEARCH);
  HWND edit = lexmora::remote::SearchEditOf(main);
  if (edit == nullptr) {
    Print(L"lexmora-type: no search box");
    return 1;
  }

  PostMessageW(edit, EM_SETSEL, 0, -1);
  for (wchar_t c : word)
    PostMessageW(edit, WM_CHAR, c, 1);
  std::wstring wanted = word;
  CharLowerBuffW(wanted.data(), static_cast<DWORD>(wanted.size()));
  if (!WaitUntil(kTimeoutMs, [&] { return TextOf(combo) == wanted; })) {
    Print(L"lexmora-type: the search box did not take the word");
    return 1;
  }
  // The lookup runs as the text changes; let the panes settle.
  std::wstring shown = TextOf(meaning);
  WaitUntil(kTimeoutMs, [&] {
    Sleep(300);
    std::wstring now = TextOf(meaning);
    return std::exchange(shown, now) == now;
  });

  RECT r{};
  GetWindowRect(main, &r);
  Print(L"window " + std::to_wstring(r.left) + L" " + std::to_wstring(r.top) + L" " +
        std::to_wstring(r.right) + L" " + std::to_wstring(r.bottom));
  Print(L"entry " + shown.substr(0, shown.find_first_of(L"\r\n")));
  return 0;
}

}  // namespace

int main() {
  int argc = 0;
  LPWSTR* argv = CommandLineToArgvW(GetCommandLineW(), &argc);
  int first = 1;
  if (argv != nullptr && argc > 1 && std::wstring(argv[1]).starts_with(L"--desktop=")) {
    const std::wstring name = std::wstring(argv[1]).substr(10);
    HDESK desktop = nullptr;  // the desktop comes up while the program starts
    WaitUntil(kTimeoutMs, [&] {
      return (desktop = OpenDesktopW(name.c_str(), 0, FALSE, GENERIC_ALL)) != nullptr;
    });
    if (desktop == nullptr || !SetThreadDesktop(desktop)) {
      Print(L"lexmora-type: cannot use the desktop " + name);
      return 1;
    }
    first = 2;
  }
  if (argv == nullptr || argc != first + 1) {
    Print(L"usage: lexmora-type [--desktop=NAME] WORD | lexmora-type [--desktop=NAME] --close");
    return 2;
  }
  const std::wstring arg = argv[first];
  LocalFree(argv);
  return arg == L"--close" ? Close() : Type(arg);
}
