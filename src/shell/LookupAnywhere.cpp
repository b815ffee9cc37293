#include "shell/LookupAnywhere.h"

#include <algorithm>
#include <cwchar>

#include "shell/FocusU.h"
#include "shell/SingleInstance.h"

namespace lexmora {

namespace {

// While another program keeps the clipboard open, opening it is tried this often, this far apart.
constexpr int kOpenAttempts = 5;
constexpr DWORD kOpenRetryMs = 10;
// Longer texts are not read in full: none of them is short once trimmed, unless it is nearly all
// white space.
constexpr size_t kReadLimit = 4096;

// The clipboard, open for reading; closed on every path.
class OpenedClipboard {
 public:
  explicit OpenedClipboard(HWND wnd) {
    for (int attempt = 0; attempt < kOpenAttempts && !open_; ++attempt) {
      open_ = OpenClipboard(wnd) != FALSE;
      if (!open_)
        Sleep(kOpenRetryMs);
    }
  }
  ~OpenedClipboard() {
    if (open_)
      CloseClipboard();
  }
  OpenedClipboard(const OpenedClipboard&) = delete;
  OpenedClipboard& operator=(const OpenedClipboard&) = delete;
  bool IsOpen() const noexcept { return open_; }

 private:
  bool open_ = false;
};

// The clipboard's text data, locked for reading; unlocked on every path.
class LockedText {
 public:
  explicit LockedText(HANDLE data) noexcept
      : data_(data), units_(static_cast<const wchar_t*>(GlobalLock(data))) {}
  ~LockedText() {
    if (units_ != nullptr)
      GlobalUnlock(data_);
  }
  LockedText(const LockedText&) = delete;
  LockedText& operator=(const LockedText&) = delete;
  const wchar_t* Units() const noexcept { return units_; }
  size_t Capacity() const noexcept { return GlobalSize(data_) / sizeof(wchar_t); }

 private:
  HANDLE data_;
  const wchar_t* units_;
};

// What the clipboard holds as text.
struct ClipboardText {
  bool read = false;                 // false: another program kept it open
  std::optional<std::wstring> text;  // nothing: no text, or too long to be short
};

ClipboardText ReadClipboardText(HWND wnd) {
  if (!IsClipboardFormatAvailable(CF_UNICODETEXT))
    return {true, std::nullopt};
  OpenedClipboard clipboard(wnd);
  if (!clipboard.IsOpen())
    return {};
  HANDLE data = GetClipboardData(CF_UNICODETEXT);
  if (data == nullptr)
    return {true, std::nullopt};
  const LockedText locked(data);
  if (locked.Units() == nullptr)
    return {true, std::nullopt};
  const size_t length = wcsnlen(locked.Units(), std::min(locked.Capacity(), kReadLimit + 1));
  if (length > kReadLimit)
    return {true, std::nullopt};
  return {true, std::wstring(locked.Units(), length)};
}

// When the message being handled was posted, on GetTickCount64's scale: a notice handled late,
// behind other work, keeps the time of its change. A sent message has no time of its own: now.
uint64_t PostedTime() {
  const uint64_t now = GetTickCount64();
  if (InSendMessage())
    return now;
  const DWORD age = static_cast<DWORD>(now) - static_cast<DWORD>(GetMessageTime());
  return age <= now ? now - age : now;
}

// The clipboard's owner is a window of this program: it copied from one of its own controls.
bool CopiedHere() {
  HWND owner = GetClipboardOwner();
  DWORD process = 0;
  return owner != nullptr && GetWindowThreadProcessId(owner, &process) != 0 &&
         process == GetCurrentProcessId();
}

}  // namespace

TLookupAnywhere::~TLookupAnywhere() {
  Stop();
}

void TLookupAnywhere::Start(HWND wnd) {
  Stop();
  wnd_ = wnd;
  listening_ = AddClipboardFormatListener(wnd) != FALSE;
  TakeHotKey();
}

void TLookupAnywhere::Stop() noexcept {
  if (listening_)
    RemoveClipboardFormatListener(wnd_);
  if (hotKey_)
    UnregisterHotKey(wnd_, kHotKeyId);
  listening_ = hotKey_ = false;
  wnd_ = nullptr;
  copies_.Forget();
}

void TLookupAnywhere::TakeHotKey() noexcept {
  hotKey_ = RegisterHotKey(wnd_, kHotKeyId, kHotKeyModifiers | MOD_NOREPEAT, kHotKeyKey) != FALSE;
}

bool TLookupAnywhere::HotKeyAvailable() {
  if (!hotKey_ && wnd_ != nullptr)
    TakeHotKey();
  return hotKey_;
}

bool TLookupAnywhere::HandleMessage(UINT msg, WPARAM wParam, LPARAM) {
  switch (msg) {
    case WM_CLIPBOARDUPDATE:
      ClipboardChanged();
      return true;
    case WM_HOTKEY:
      if (wParam != kHotKeyId)
        return false;
      HotKeyPressed();
      return true;
    case WM_DESTROY:
      Stop();
      return false;  // the window's own handling goes on
    default:
      return false;
  }
}

void TLookupAnywhere::ClipboardChanged() {
  // Notices handled late read what the clipboard holds by then, the same text for each; they
  // still count by the times of their changes.
  const uint64_t changed = PostedTime();
  if (!host_.CopiedTextLookupOn() || CopiedHere()) {
    copies_.Forget();
    return;
  }
  const ClipboardText clipboard = ReadClipboardText(wnd_);
  if (!clipboard.read)
    return;  // what it holds is unknown; the copies seen so far still count
  std::optional<std::wstring> word = copies_.Copied(
      clipboard.text ? std::optional<std::wstring_view>(*clipboard.text) : std::nullopt, changed);
  if (word)
    LookUp(std::move(*word));
}

void TLookupAnywhere::HotKeyPressed() {
  if (ComeForward())
    host_.FocusSearchBox();
}

bool TLookupAnywhere::ComeForward() {
  const HWND main = wnd_;
  if (main == nullptr)
    return false;
  if (IsIconic(main)) {
    ShowWindow(main, SW_RESTORE);
  } else if (!IsWindowVisible(main)) {
    ShowWindow(main, SW_SHOW);
  }
  const HWND usable = UsableWindow(main);
  ForceForeground(usable);
  return usable == main;
}

void TLookupAnywhere::LookUp(std::wstring word) {
  // While a dialog of the program is up, it comes forward and the word is left: the user is in
  // the middle of something there.
  if (!ComeForward())
    return;
  // As typed: the search box keeps its text in small letters.
  CharLowerBuffW(word.data(), static_cast<DWORD>(word.size()));
  host_.LookUp(word);
}

}  // namespace lexmora
