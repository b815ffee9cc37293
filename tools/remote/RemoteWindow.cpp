#include "RemoteWindow.h"

#include <algorithm>

#include "MainIds.h"

namespace lexmora::remote {

std::optional<std::wstring> TextOf(HWND wnd, DWORD timeoutMs) {
  DWORD_PTR length = 0;
  if (!SendMessageTimeoutW(wnd, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, timeoutMs, &length))
    return std::nullopt;
  std::wstring text(length + 1, L'\0');
  DWORD_PTR copied = 0;
  if (!SendMessageTimeoutW(wnd, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()),
                           SMTO_ABORTIFHUNG, timeoutMs, &copied)) {
    return std::nullopt;
  }
  text.resize(std::min<size_t>(copied, length));
  return text;
}

HWND FindDescendantById(HWND parent, int id) {
  struct Search {
    int id;
    HWND found;
  } search{id, nullptr};
  EnumChildWindows(
      parent,
      [](HWND w, LPARAM p) -> BOOL {
        auto* s = reinterpret_cast<Search*>(p);
        if (GetDlgCtrlID(w) != s->id)
          return TRUE;
        s->found = w;
        return FALSE;
      },
      reinterpret_cast<LPARAM>(&search));
  return search.found;
}

HWND FindMainWindow() {
  return FindWindowW(kMainClass, kMainTitle);
}

HWND SearchEditOf(HWND mainWindow) {
  HWND combo = FindDescendantById(mainWindow, IDC_CBSEARCH);
  return combo != nullptr ? FindWindowExW(combo, nullptr, L"Edit", nullptr) : nullptr;
}

}  // namespace lexmora::remote
