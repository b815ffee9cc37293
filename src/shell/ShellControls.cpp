#include "shell/ShellControls.h"

#include <commctrl.h>

#include <algorithm>
#include <string>

#include "base/CharClasses.h"
#include "base/Handle.h"
#include "ui/Cursors.h"

namespace lexmora {

LRESULT StripTextColors(HDC dc) {
  SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
  SetBkColor(dc, GetSysColor(COLOR_WINDOW));
  return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_WINDOW));
}

namespace {

// Erases the whole window in a system colour, for WM_ERASEBKGND (the DC is in wParam).
LRESULT EraseInSystemColor(HWND wnd, WPARAM dc, int color) {
  RECT r;
  GetClientRect(wnd, &r);
  FillRect(reinterpret_cast<HDC>(dc), &r, GetSysColorBrush(color));
  return 1;
}

}  // namespace

bool TPreviewPane::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) {
  if (msg == WM_SETCURSOR && LOWORD(lParam) == HTCLIENT) {
    SetCursor(HandCursor());
    result = TRUE;
    return true;
  }
  if (PressedButton(msg) != 0) {
    TRichEdit::HandleMessage(msg, wParam, lParam, result);
    result = 0;
    return true;
  }
  return TRichEdit::HandleMessage(msg, wParam, lParam, result);
}

bool TWindowBevel::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) {
  if (msg == WM_ERASEBKGND) {
    result = EraseInSystemColor(Handle(), wParam, COLOR_WINDOW);
    return true;
  }
  return TBevel::HandleMessage(msg, wParam, lParam, result);
}

bool TEdgedToolBar::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) {
  if (msg == WM_ERASEBKGND) {
    // A flat bar would show its parent's background; this one keeps the button face.
    result = EraseInSystemColor(Handle(), wParam, COLOR_BTNFACE);
    return true;
  }
  if (msg == WM_PAINT) {
    result = DefSubclassProc(Handle(), msg, wParam, lParam);
    RECT r;
    GetClientRect(Handle(), &r);
    DrawEdge(WindowDC(Handle()).Get(), &r, EDGE_ETCHED, BF_TOP | BF_BOTTOM);
    return true;
  }
  return TToolBar::HandleMessage(msg, wParam, lParam, result);
}

void TLinkLabel::HandleCommand(WORD code, WORD id) {
  if (code == STN_CLICKED && OnClick) {
    OnClick(*this);
    return;
  }
  TLabel::HandleCommand(code, id);
}

bool TLinkLabel::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) {
  switch (msg) {
    case WM_SETCURSOR:
      SetCursor(HandCursor());
      result = TRUE;
      return true;
    case WM_MOUSEMOVE:
      if (!hovered_) {
        hovered_ = true;
        TRACKMOUSEEVENT track{sizeof(track), TME_LEAVE, Handle(), 0};
        TrackMouseEvent(&track);
        if (OnMouseEnter)
          OnMouseEnter(*this);
      }
      break;
    case WM_MOUSELEAVE:
      if (hovered_) {
        hovered_ = false;
        if (OnMouseLeave)
          OnMouseLeave(*this);
      }
      break;
    default:
      break;
  }
  return TLabel::HandleMessage(msg, wParam, lParam, result);
}

bool DropFormatCharacters(TComboBox& box) {
  const std::wstring text = box.Text();
  const std::wstring kept = WithoutFormatCharacters(text);
  if (kept.size() == text.size())
    return false;
  DWORD start = 0, end = 0;
  SendMessageW(box.Handle(), CB_GETEDITSEL, reinterpret_cast<WPARAM>(&start),
               reinterpret_cast<LPARAM>(&end));
  // A place in the text moves back by the format characters before it.
  auto keptBefore = [&](DWORD place) {
    return WithoutFormatCharacters(
               std::wstring_view(text).substr(0, std::min<size_t>(place, text.size())))
        .size();
  };
  const size_t newStart = keptBefore(start), newEnd = keptBefore(end);
  box.SetText(kept);
  SendMessageW(box.Handle(), CB_SETEDITSEL, 0, MAKELPARAM(newStart, newEnd));
  return true;
}

HWND EditOf(const TComboBox& box) {
  COMBOBOXINFO info{};
  info.cbSize = sizeof(info);
  if (!GetComboBoxInfo(box.Handle(), &info))
    return nullptr;
  return info.hwndItem;
}

int SearchTextLeft(const TComboBox& box, HWND window) {
  const HWND edit = EditOf(box);
  if (edit == nullptr)
    return 0;
  RECT bounds{};
  GetWindowRect(edit, &bounds);
  MapWindowPoints(HWND_DESKTOP, window, reinterpret_cast<POINT*>(&bounds), 2);
  const auto margins = static_cast<DWORD>(SendMessageW(edit, EM_GETMARGINS, 0, 0));
  return std::max(0, static_cast<int>(bounds.left) + LOWORD(margins));
}

}  // namespace lexmora
