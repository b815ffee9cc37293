#pragma once
// Looking words up from any program. A short text copied twice within half a second (Ctrl+C
// pressed twice) brings the main window to the front, restored when minimized, and is looked up
// as if typed into the search box; the window listens to the clipboard for this while the option
// "Look up copied text" is on. The global hotkey Ctrl+Alt+L brings the window forward with the
// search text selected.
#include <windows.h>

#include <cstdint>
#include <optional>
#include <string>

#include "shell/CopiedText.h"

namespace lexmora {

// What looking words up from any program needs from the window it serves.
class TLookupHost {
 public:
  // Whether the option "Look up copied text" is on.
  virtual bool CopiedTextLookupOn() const = 0;
  // Gives the search box the focus, its whole text selected.
  virtual void FocusSearchBox() = 0;
  // Looks `word` up as a headword, as if typed into the search box, and leaves the focus there.
  virtual void LookUp(const std::wstring& word) = 0;

 protected:
  ~TLookupHost() = default;
};

class TLookupAnywhere {
 public:
  // The hotkey's id among the window's hotkeys, and its key.
  static constexpr int kHotKeyId = 0x4C58;
  static constexpr UINT kHotKeyModifiers = MOD_CONTROL | MOD_ALT;
  static constexpr UINT kHotKeyKey = 'L';

  explicit TLookupAnywhere(TLookupHost& host) noexcept : host_(host) {}
  ~TLookupAnywhere();
  TLookupAnywhere(const TLookupAnywhere&) = delete;
  TLookupAnywhere& operator=(const TLookupAnywhere&) = delete;

  // Listens to the clipboard and takes the hotkey for the window `wnd`; another program may
  // hold the hotkey already (see HotKeyAvailable).
  void Start(HWND wnd);
  // Stops listening and gives the hotkey back.
  void Stop() noexcept;
  bool Listening() const noexcept { return listening_; }
  // Whether the hotkey is this window's; when it is not, tries once more to take it, for the
  // other program may have let it go.
  bool HotKeyAvailable();

  // The clipboard notices and the hotkey; true when the message was handled here.
  bool HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam);

 private:
  void ClipboardChanged();
  void HotKeyPressed();
  void TakeHotKey() noexcept;
  // Shows the window, restored when minimized, and brings it to the front; while one of the
  // program's modal dialogs disables it, the dialog instead. True when the window is the one to
  // work in.
  bool ComeForward();
  void LookUp(std::wstring word);

  TLookupHost& host_;
  HWND wnd_ = nullptr;
  bool listening_ = false;
  bool hotKey_ = false;
  CopyTwiceDetector copies_;
};

}  // namespace lexmora
